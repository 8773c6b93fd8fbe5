#include "install/ArchiveDirectory.h"

#include <cstring>
#include <memory>

#include "framework/File.h"
#include "install/packed/PackedFile.h"

namespace {

std::uint32_t GetLe32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads exactly count bytes at the file's position; false at its end.
bool ReadExact(CFile& file, void* buffer, std::uint32_t count)
{
    return file.Read(buffer, count) == count;
}

} // namespace

bool CArchiveDirectory::Fail(const std::string& reason)
{
    m_strError = reason;
    return false;
}

std::string CArchiveDirectory::Describe(std::size_t index) const
{
    std::string text = "member " + std::to_string(index);
    if (index < m_members.size())
        text += " \"" + m_members[index].strName + "\"";
    return text;
}

bool CArchiveDirectory::CheckName(const std::string& name, std::string& reason)
{
    if (name.empty()) {
        reason = "the name is empty";
        return false;
    }
    if (name.find('\0') != std::string::npos) {
        reason = "the name holds a NUL byte";
        return false;
    }
    if (name.front() == '\\' || name.front() == '/') {
        reason = "the name is absolute";
        return false;
    }
    if (name.back() == '\\' || name.back() == '/') {
        reason = "the name ends in a separator";
        return false;
    }
    if (name.find(':') != std::string::npos) {
        reason = "the name holds \":\" (a drive or a stream)";
        return false;
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t stop = name.find_first_of("\\/", start);
        if (stop == std::string::npos)
            stop = name.size();
        if (name.compare(start, stop - start, "..") == 0) {
            reason = "the name has a \"..\" segment";
            return false;
        }
        start = stop + 1;
    }
    return true;
}

std::uint64_t CArchiveDirectory::GetTotalSize() const
{
    std::uint64_t total = 0;
    for (const CArchiveMember& m : m_members)
        total += m.nUnpackedSize;
    return total;
}

bool CArchiveDirectory::Read(const std::string& path)
{
    m_strPath = path;
    m_members.clear();
    m_strError.clear();
    m_nKind = CPackedFile::kindStored;
    m_nDirectory = 0;

    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone, &error)) {
        std::string text;
        error.GetErrorMessage(text);
        return Fail(text);
    }
    try {
        const std::uint32_t length = file.GetLength();
        // Tag, an empty directory and its offset.
        if (length < 16)
            return Fail("the file is too short to be an archive (" + std::to_string(length) + " bytes)");
        char tag[8];
        if (!ReadExact(file, tag, 8))
            return Fail("the tag cannot be read");
        for (int kind = 0; kind < 3; ++kind) {
            if (std::memcmp(tag, CPackedFile::TagOf(kind), 8) == 0)
                m_nKind = kind;
        }

        std::uint8_t word[8];
        file.Seek(static_cast<std::int32_t>(length - 4), CFile::begin);
        if (!ReadExact(file, word, 4))
            return Fail("the directory offset cannot be read");
        const std::uint32_t dir = GetLe32(word);
        const std::uint32_t dirEnd = length - 4;
        if (dir < 8 || dir > dirEnd - 4)
            return Fail("the directory offset " + std::to_string(dir) + " lies outside the file");
        m_nDirectory = dir;

        file.Seek(static_cast<std::int32_t>(dir), CFile::begin);
        if (!ReadExact(file, word, 4))
            return Fail("the directory cannot be read");
        const std::uint32_t count = GetLe32(word);
        std::uint32_t pos = dir + 4;
        if (count > (dirEnd - pos) / 4)
            return Fail("the directory claims " + std::to_string(count) + " names, more than it has room for");
        m_members.reserve(count);
        char name[maxNameLength];
        for (std::uint32_t i = 0; i < count; ++i) {
            if (dirEnd - pos < 4 || !ReadExact(file, word, 4))
                return Fail("the directory ends before name " + std::to_string(i));
            pos += 4;
            const std::uint32_t size = GetLe32(word);
            if (size > maxNameLength)
                return Fail("name " + std::to_string(i) + " is " + std::to_string(size) + " bytes long (at most 255)");
            if (dirEnd - pos < size || !ReadExact(file, name, size))
                return Fail("name " + std::to_string(i) + " runs past the end of the directory");
            pos += size;
            CArchiveMember member;
            member.strName.assign(name, size);
            m_members.push_back(member);
            std::string reason;
            if (!CheckName(member.strName, reason))
                return Fail(Describe(i) + ": " + reason + ", so it would be written outside its destination");
        }
        if (pos != dirEnd)
            return Fail(std::to_string(dirEnd - pos) + " stray bytes after the directory's last name");

        // The members, from just after the tag up to the directory.
        std::uint64_t at = 8;
        for (std::size_t i = 0; i < m_members.size(); ++i) {
            CArchiveMember& member = m_members[i];
            if (at + 8 > dir)
                return Fail(Describe(i) + ": no member header before the directory (fewer members than names)");
            file.Seek(static_cast<std::int32_t>(at), CFile::begin);
            if (!ReadExact(file, word, 8))
                return Fail(Describe(i) + ": the member header cannot be read");
            member.nHeaderPos = static_cast<std::uint32_t>(at);
            member.nUnpackedSize = GetLe32(word);
            member.nPackedSize = GetLe32(word + 4);
            if (at + 8 + member.nPackedSize > dir)
                return Fail(Describe(i) + ": its " + std::to_string(member.nPackedSize) +
                            " packed bytes run past the start of the directory");
            if (m_nKind == CPackedFile::kindStored && member.nPackedSize != member.nUnpackedSize)
                return Fail(Describe(i) + ": a stored member whose packed size " + std::to_string(member.nPackedSize) +
                            " differs from its size " + std::to_string(member.nUnpackedSize));
            at += 8 + member.nPackedSize;
        }
        if (at != dir)
            return Fail(std::to_string(dir - at) + " bytes between the last member and the directory "
                        "(more members than names, or damage)");
    } catch (const CFileException& e) {
        std::string text;
        e.GetErrorMessage(text);
        return Fail(text);
    }
    return true;
}

bool CArchiveDirectory::Verify(const std::function<void(std::uint64_t)>& progress, const Sink& sink)
{
    m_strError.clear();
    std::unique_ptr<CPackedFile> packed = CreatePackedFile(std::string(), m_nKind);
    CFileException error;
    if (!packed->Open(m_strPath, CFile::modeRead | CFile::shareDenyNone, &error)) {
        std::string text;
        error.GetErrorMessage(text);
        return Fail(text);
    }
    try {
        constexpr std::uint32_t chunk = 1 << 16;
        std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[chunk]);
        std::uint64_t done = 0;
        for (std::size_t i = 0; i < m_members.size(); ++i) {
            const CArchiveMember& member = m_members[i];
            if (!packed->SelectMember(static_cast<std::uint32_t>(i), 0) ||
                packed->GetUnpackedSize() != member.nUnpackedSize)
                return Fail(Describe(i) + ": the member cannot be found");
            std::uint32_t left = member.nUnpackedSize;
            while (left) {
                const std::uint32_t want = left < chunk ? left : chunk;
                const std::uint32_t got = packed->Read(buffer.get(), want);
                if (sink)
                    sink(i, buffer.get(), got);
                left -= got;
                done += got;
                if (progress)
                    progress(done);
                if (got < want)
                    return Fail(Describe(i) + ": its coded data gives only " +
                                std::to_string(member.nUnpackedSize - left) + " of " +
                                std::to_string(member.nUnpackedSize) + " bytes (truncated or damaged)");
            }
            if (!packed->FinishMember())
                return Fail(Describe(i) + ": no end-of-stream code after its " +
                            std::to_string(member.nUnpackedSize) + " bytes (damaged)");
        }
    } catch (const CFileException& e) {
        std::string text;
        e.GetErrorMessage(text);
        return Fail(text);
    }
    return true;
}
