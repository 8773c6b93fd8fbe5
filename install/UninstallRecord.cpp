#include "install/UninstallRecord.h"

#include <cctype>
#include <cstdlib>

#include "framework/File.h"
#include "install/DirectoryUtil.h"

namespace {

constexpr const char* kMagic = "QJ Setup removal record\t1";
constexpr const char* kMadeNames[] = {"value", "section", "file"};
// A record larger than this is not one of ours.
constexpr std::uint32_t kMaxRecord = 64u << 20;

// Splits a line into count fields at tabs, the last one the whole rest.
bool Fields(const std::string& line, std::size_t count, std::vector<std::string>& out)
{
    out.clear();
    std::size_t at = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const std::size_t tab = line.find('\t', at);
        if (tab == std::string::npos)
            return false;
        out.push_back(line.substr(at, tab - at));
        at = tab + 1;
    }
    out.push_back(line.substr(at));
    return true;
}

bool Number(const std::string& text, std::uint64_t& value)
{
    if (text.empty() || text.size() > 20)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    value = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

} // namespace

bool SamePath(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

void CUninstallRecord::AddFile(const std::string& path, bool replaced)
{
    for (const RecordedFile& file : files)
        if (SamePath(file.path, path))
            return;
    RecordedFile file;
    file.path = path;
    file.replaced = replaced;
    files.push_back(file);
}

void CUninstallRecord::AddFolder(const std::string& path)
{
    for (const std::string& folder : folders)
        if (SamePath(folder, path))
            return;
    folders.push_back(path);
}

std::uint64_t CUninstallRecord::StampFiles()
{
    std::uint64_t total = 0;
    for (RecordedFile& file : files) {
        CFileStatus status;
        if (CFile::GetStatus(NativePath(file.path), status)) {
            file.size = status.m_size;
            file.time = status.m_mtime;
            total += status.m_size;
        }
    }
    return total;
}

std::string CUninstallRecord::Format() const
{
    std::vector<std::string> lines = {kMagic, "Title\t" + title, "Destination\t" + destination};
    for (const RecordedFile& file : files)
        lines.push_back("File\t" + std::to_string(file.size) + "\t" +
                        std::to_string(static_cast<unsigned long long>(file.time)) + "\t" +
                        (file.replaced ? "replaced" : "new") + "\t" + file.path);
    for (const std::string& folder : folders)
        lines.push_back("Folder\t" + folder);
    for (const RecordedIni& ini : iniValues)
        lines.push_back(std::string("Ini\t") + kMadeNames[ini.made] + "\t" + ini.section + "\t" + ini.key + "\t" +
                        ini.file);
    if (!group.empty())
        lines.push_back("Group\t" + group);
    for (const std::string& item : groupItems)
        lines.push_back("Item\t" + item);
    if (!registryKey.empty())
        lines.push_back("Key\t" + registryKey);
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text + "End\t" + std::to_string(lines.size()) + "\r\n";
}

bool CUninstallRecord::Parse(const std::string& text, std::string& error)
{
    *this = CUninstallRecord();
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            error = "the last line is cut short";
            return false;
        }
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    std::uint64_t count = 0;
    std::vector<std::string> f;
    if (lines.empty() || lines[0] != kMagic) {
        error = "it is not a removal record";
        return false;
    }
    if (!Fields(lines.back(), 2, f) || f[0] != "End" || !Number(f[1], count) || count != lines.size() - 1) {
        error = "it is cut short";
        return false;
    }
    for (std::size_t n = 1; n + 1 < lines.size(); ++n) {
        const std::string& line = lines[n];
        const std::string kind = line.substr(0, line.find('\t'));
        bool ok = true;
        if (kind == "Title" || kind == "Destination" || kind == "Folder" || kind == "Group" || kind == "Item" ||
            kind == "Key") {
            ok = Fields(line, 2, f) && !(f[1].empty() && kind != "Title" && kind != "Destination");
            if (ok) {
                if (kind == "Title")
                    title = f[1];
                else if (kind == "Destination")
                    destination = f[1];
                else if (kind == "Folder")
                    folders.push_back(f[1]);
                else if (kind == "Group")
                    group = f[1];
                else if (kind == "Item")
                    groupItems.push_back(f[1]);
                else
                    registryKey = f[1];
            }
        } else if (kind == "File") {
            RecordedFile file;
            std::uint64_t time = 0;
            ok = Fields(line, 5, f) && Number(f[1], file.size) && Number(f[2], time) &&
                 (f[3] == "new" || f[3] == "replaced") && !f[4].empty();
            file.time = static_cast<std::time_t>(time);
            file.replaced = ok && f[3] == "replaced";
            file.path = ok ? f[4] : std::string();
            if (ok)
                files.push_back(file);
        } else if (kind == "Ini") {
            RecordedIni ini;
            ok = Fields(line, 5, f) && !f[4].empty();
            int made = -1;
            for (int i = 0; ok && i < 3; ++i)
                if (f[1] == kMadeNames[i])
                    made = i;
            ok = ok && made >= 0;
            if (ok) {
                ini.made = static_cast<RecordedIni::Made>(made);
                ini.section = f[2];
                ini.key = f[3];
                ini.file = f[4];
                iniValues.push_back(ini);
            }
        } else {
            ok = false;
        }
        if (!ok) {
            *this = CUninstallRecord();
            error = "line " + std::to_string(n + 1) + " cannot be read";
            return false;
        }
    }
    return true;
}

void CUninstallRecord::Save(const std::string& path) const
{
    const std::string text = Format();
    const std::string target = NativePath(path);
    const std::string temporary = target + ".new";
    try {
        CFile out(temporary, CFile::modeCreate | CFile::modeWrite);
        out.Write(text.data(), static_cast<std::uint32_t>(text.size()));
        out.Close();
        CFileStatus status;
        if (CFile::GetStatus(target, status))
            CFile::Remove(target);
        CFile::Rename(temporary, target);
    } catch (const CFileException&) {
        try {
            CFile::Remove(temporary);
        } catch (const CFileException&) {
        }
        throw;
    }
}

bool CUninstallRecord::Load(const std::string& path, std::string& error)
{
    *this = CUninstallRecord();
    CFile in;
    if (!in.Open(NativePath(path), CFile::modeRead | CFile::shareDenyWrite)) {
        error = "it cannot be opened";
        return false;
    }
    std::string text;
    try {
        const std::uint32_t length = in.GetLength();
        if (length > kMaxRecord) {
            error = "it is too large";
            return false;
        }
        text.resize(length);
        if (length && in.Read(&text[0], length) != length) {
            error = "it cannot be read";
            return false;
        }
    } catch (const CFileException&) {
        error = "it cannot be read";
        return false;
    }
    return Parse(text, error);
}
