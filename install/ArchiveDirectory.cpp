#include "install/ArchiveDirectory.h"

#include <cctype>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "framework/File.h"
#include "framework/LittleEndian.h"
#include "install/packed/PackedFile.h"

namespace {

// Reads exactly count bytes at the file's position; false at its end.
bool ReadExact(CFile& file, void* buffer, std::uint32_t count)
{
    return file.Read(buffer, count) == count;
}

// Small reads at offsets that mostly go forward (the directory's fields,
// the member headers), served from one buffer: one system call for many.
class ReadAhead {
public:
    explicit ReadAhead(CFile& file) : m_file(file) {}

    // Copies count bytes (at most the buffer's size) from offset pos; false
    // when the file ends first.
    bool ReadAt(std::uint64_t pos, void* out, std::uint32_t count)
    {
        if (pos < m_start || pos + count > m_start + m_filled) {
            m_file.Seek(static_cast<std::int64_t>(pos), CFile::begin);
            m_start = pos;
            m_filled = m_file.Read(m_buffer, sizeof m_buffer);
            if (count > m_filled)
                return false;
        }
        std::memcpy(out, m_buffer + (pos - m_start), count);
        return true;
    }

private:
    CFile& m_file;
    std::uint64_t m_start = 0;
    std::uint32_t m_filled = 0;
    std::uint8_t m_buffer[16384];
};

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

namespace {

// Device names Windows reserves in every folder, with any extension.
bool IsDeviceName(std::string base)
{
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (char& c : base)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL")
        return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

// Why one segment of a name is not a name Windows can create, or empty.
std::string SegmentProblem(const std::string& segment)
{
    if (segment.empty())
        return "an empty segment";
    if (segment == "." || segment == "..")
        return "a \"" + segment + "\" segment";
    for (char c : segment) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32)
            return "a control character (" + std::to_string(u) + ")";
        if (std::strchr("<>:\"|?*", c))
            return "the character '" + std::string(1, c) + "'";
    }
    if (segment.back() == '.' || segment.back() == ' ')
        return "a segment ending in a dot or a space";
    if (IsDeviceName(segment.substr(0, segment.find('.'))))
        return "the device name \"" + segment + "\"";
    return std::string();
}

// The name as a key that is equal for names of the same file.
std::string FoldName(const std::string& name)
{
    std::string key = name;
    for (char& c : key)
        c = c == '/' ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

} // namespace

bool CArchiveDirectory::CheckName(const std::string& name, std::string& reason)
{
    if (name.empty()) {
        reason = "the name is empty";
        return false;
    }
    if (name.size() > maxNameLength) {
        reason = "the name is longer than 255 bytes";
        return false;
    }
    if (name.front() == '\\' || name.front() == '/') {
        reason = "the name is absolute";
        return false;
    }
    std::size_t start = 0;
    for (;;) {
        std::size_t stop = name.find_first_of("\\/", start);
        const std::string problem = SegmentProblem(name.substr(start, stop == std::string::npos ? stop : stop - start));
        if (!problem.empty()) {
            reason = "the name holds " + problem + ", which Windows cannot create";
            return false;
        }
        if (stop == std::string::npos)
            return true;
        start = stop + 1;
    }
}

bool CArchiveDirectory::CheckNameSet(const std::vector<std::string>& names, std::string& reason)
{
    // Every file, and every folder the names make, ignoring case.
    std::unordered_map<std::string, std::size_t> files, folders;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string key = FoldName(names[i]);
        auto same = files.emplace(key, i);
        if (!same.second) {
            reason = "\"" + names[same.first->second] + "\" and \"" + names[i] + "\" name the same file";
            return false;
        }
        auto folder = folders.find(key);
        if (folder != folders.end()) {
            reason = "\"" + names[i] + "\" is a file and also a folder of \"" + names[folder->second] + "\"";
            return false;
        }
        for (std::size_t at = key.find('\\'); at != std::string::npos; at = key.find('\\', at + 1)) {
            const std::string prefix = key.substr(0, at);
            auto file = files.find(prefix);
            if (file != files.end()) {
                reason = "\"" + names[file->second] + "\" is a file and also a folder of \"" + names[i] + "\"";
                return false;
            }
            folders.emplace(prefix, i);
        }
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
        CFileStatus status;
        if (CFile::GetStatus(path, status) && status.m_size > 0xFFFFFFFFu)
            return Fail("the file is larger than 4 GiB - 1 bytes, the most an archive can be");
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
        file.Seek(length - 4, CFile::begin);
        if (!ReadExact(file, word, 4))
            return Fail("the directory offset cannot be read");
        const std::uint32_t dir = GetLe32(word);
        const std::uint32_t dirEnd = length - 4;
        if (dir < 8 || dir > dirEnd - 4)
            return Fail("the directory offset " + std::to_string(dir) + " lies outside the file");
        m_nDirectory = dir;

        ReadAhead ahead(file);
        if (!ahead.ReadAt(dir, word, 4))
            return Fail("the directory cannot be read");
        const std::uint32_t count = GetLe32(word);
        std::uint32_t pos = dir + 4;
        if (count > (dirEnd - pos) / 4)
            return Fail("the directory claims " + std::to_string(count) + " names, more than it has room for");
        char name[maxNameLength];
        for (std::uint32_t i = 0; i < count; ++i) {
            if (dirEnd - pos < 4 || !ahead.ReadAt(pos, word, 4))
                return Fail("the directory ends before name " + std::to_string(i));
            pos += 4;
            const std::uint32_t size = GetLe32(word);
            if (size > maxNameLength)
                return Fail("name " + std::to_string(i) + " is " + std::to_string(size) + " bytes long (at most 255)");
            if (dirEnd - pos < size || !ahead.ReadAt(pos, name, size))
                return Fail("name " + std::to_string(i) + " runs past the end of the directory");
            pos += size;
            CArchiveMember member;
            member.strName.assign(name, size);
            m_members.push_back(member);
            std::string reason;
            if (!CheckName(member.strName, reason))
                return Fail(Describe(i) + ": " + reason);
        }
        std::vector<std::string> names;
        for (const CArchiveMember& member : m_members)
            names.push_back(member.strName);
        std::string reason;
        if (!CheckNameSet(names, reason))
            return Fail(reason);
        if (pos != dirEnd)
            return Fail(std::to_string(dirEnd - pos) + " stray bytes after the directory's last name");

        // The members, from just after the tag up to the directory.
        std::uint64_t at = 8;
        for (std::size_t i = 0; i < m_members.size(); ++i) {
            CArchiveMember& member = m_members[i];
            if (at + 8 > dir)
                return Fail(Describe(i) + ": no member header before the directory (fewer members than names)");
            if (!ahead.ReadAt(at, word, 8))
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

bool CArchiveDirectory::Decode(CPackedFile& packed, std::size_t index, std::uint8_t* buffer, std::uint32_t size,
                               const Sink& sink, const std::function<std::uint8_t*()>& next)
{
    const CArchiveMember& member = m_members[index];
    if (!packed.SelectMember(static_cast<std::uint32_t>(index), 0) || packed.GetUnpackedSize() != member.nUnpackedSize)
        return Fail(Describe(index) + ": the member cannot be found");
    std::uint32_t left = member.nUnpackedSize;
    while (left) {
        const std::uint32_t want = left < size ? left : size;
        if (next)
            buffer = next();
        const std::uint32_t got = packed.Read(buffer, want);
        if (sink && (got || next))
            sink(buffer, got);
        left -= got;
        if (got < want)
            return Fail(Describe(index) + ": its coded data gives only " + std::to_string(member.nUnpackedSize - left) +
                        " of " + std::to_string(member.nUnpackedSize) + " bytes (truncated or damaged)");
    }
    if (!packed.FinishMember())
        return Fail(Describe(index) + ": no end-of-stream code after its " + std::to_string(member.nUnpackedSize) +
                    " bytes (damaged)");
    return true;
}

std::unique_ptr<CPackedFile> CArchiveDirectory::OpenPacked()
{
    std::unique_ptr<CPackedFile> packed = CreatePackedFile(std::string(), m_nKind);
    CFileException error(CFileException::generic, -1, m_strPath);
    if (!packed->Open(m_strPath, CFile::modeRead | CFile::shareDenyNone, &error))
        throw error;
    return packed;
}

bool CArchiveDirectory::Verify(const std::function<void(std::uint64_t)>& progress)
{
    m_strError.clear();
    try {
        std::unique_ptr<CPackedFile> packed = OpenPacked();
        std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[chunkSize]);
        std::uint64_t done = 0;
        auto count = [&](const std::uint8_t*, std::uint32_t n) {
            done += n;
            if (progress)
                progress(done);
        };
        for (std::size_t i = 0; i < m_members.size(); ++i) {
            if (!Decode(*packed, i, buffer.get(), chunkSize, count))
                return false;
        }
    } catch (const CFileException& e) {
        std::string text;
        e.GetErrorMessage(text);
        return Fail(text);
    }
    return true;
}
