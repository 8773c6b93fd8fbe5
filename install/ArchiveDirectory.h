#pragma once
// The read side of an archive: the tag, the members' headers, the directory
// of names and the directory offset in the last four bytes. Read checks the
// structure and every name before anything is written anywhere; Verify
// decodes every member (the archive phase decodes while it stages instead). Names and members are matched by position.
//
// Contract: whatever the file holds, reading and checking never touch
// memory outside our own buffers, and a file that fails is rejected with one
// reason that names the member.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CPackedFile;

struct CArchiveMember {
    std::string strName;
    std::uint32_t nHeaderPos = 0;   // offset of the member's 8-byte header
    std::uint32_t nUnpackedSize = 0;
    std::uint32_t nPackedSize = 0;
};

class CArchiveDirectory {
public:
    static constexpr std::uint32_t maxNameLength = 255;

    // Reads and checks the structure: the directory offset and count inside
    // the file, every name 0..255 bytes, inside the file and safe to write
    // below a destination, exactly as many member headers as names, every
    // member's data before the directory, stored members with equal sizes.
    bool Read(const std::string& path);

    // Decodes every member: each must give exactly its unpacked size and
    // then its end-of-stream code within its packed size. progress (when
    // given) learns the bytes decoded so far out of GetTotalSize().
    bool Verify(const std::function<void(std::uint64_t)>& progress = {});

    // The archive opened for decoding; file errors are thrown.
    std::unique_ptr<CPackedFile> OpenPacked();
    // Decodes member index through buffer (size bytes), handing each piece
    // to sink: memory does not depend on the member's size. False, with
    // the reason in GetError, when the member does not give exactly its
    // unpacked size and then its end-of-stream code.
    // With next, each piece is decoded into the buffer next gives, and
    // sink gets every such buffer back, also one left empty.
    using Sink = std::function<void(const std::uint8_t* data, std::uint32_t count)>;
    bool Decode(CPackedFile& packed, std::size_t index, std::uint8_t* buffer, std::uint32_t size, const Sink& sink,
                const std::function<std::uint8_t*()>& next = {});
    static constexpr std::uint32_t chunkSize = 1 << 16;

    int GetKind() const { return m_nKind; }
    const std::string& GetPath() const { return m_strPath; }
    const std::vector<CArchiveMember>& GetMembers() const { return m_members; }
    std::uint64_t GetTotalSize() const;
    std::uint32_t GetDirectoryOffset() const { return m_nDirectory; }
    // Why Read or Verify failed.
    const std::string& GetError() const { return m_strError; }

    // Whether a member name is one Windows can create below the destination
    // (every segment a valid, non-device name, nothing that climbs out);
    // why not in reason.
    static bool CheckName(const std::string& name, std::string& reason);
    // Whether the names can live side by side: no two naming the same file
    // ignoring case, none both a file and a folder of another.
    static bool CheckNameSet(const std::vector<std::string>& names, std::string& reason);

private:
    bool Fail(const std::string& reason);
    std::string Describe(std::size_t index) const;

    std::string m_strPath;
    int m_nKind = -1;
    std::uint32_t m_nDirectory = 0;
    std::vector<CArchiveMember> m_members;
    std::string m_strError;
};
