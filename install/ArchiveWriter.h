#pragma once
// Writes an archive: the tag, the members one after another (each appended
// to the packed file and closed, which fills in its header), then the
// directory of names and its offset. File errors are thrown as
// CFileException.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CPackedFile;

class CArchiveWriter {
public:
    CArchiveWriter(const std::string& path, int kind);
    ~CArchiveWriter();

    // A member in pieces: BeginMember, any number of Write calls, EndMember.
    void BeginMember(const std::string& name);
    void Write(const void* data, std::uint32_t count);
    void EndMember();
    void AddMember(const std::string& name, const void* data, std::uint32_t count);
    // A member coded elsewhere: codedPath is a packed file of the archive's
    // kind holding that member alone, whose header and coded bytes are
    // copied in.
    void AddCodedMember(const std::string& name, const std::string& codedPath);

    // Writes the directory; the archive is complete afterwards.
    void Finish();

    // Coded bytes of the members finished so far, headers included.
    std::uint64_t GetMembersSize() const { return m_nMembersSize; }

private:
    std::string m_strPath;
    int m_nKind;
    std::unique_ptr<CPackedFile> m_member;
    std::vector<std::string> m_names;
    std::uint64_t m_nMembersSize = 0;
};
