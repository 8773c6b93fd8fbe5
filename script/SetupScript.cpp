#include "script/SetupScript.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "codec/QjCompressor.h"
#include "codec/TempFile.h"
#include "framework/File.h"
#include "script/CutToken.h"

namespace {

CSetupScript g_setupScript;

// Hands out the lines of a text the way the C runtime's text mode does.
class TextModeLines {
public:
    TextModeLines(const char* data, std::size_t size) : m_data(data), m_size(size)
    {
        // Ctrl-Z ends the text.
        if (size == 0)
            return;
        if (const void* eof = std::memchr(data, 0x1A, size))
            m_size = static_cast<std::size_t>(static_cast<const char*>(eof) - data);
    }

    // The next line without its line end, cut at its first NUL.
    bool Next(std::string& line)
    {
        if (m_pos >= m_size)
            return false;
        const char* start = m_data + m_pos;
        const void* lf = std::memchr(start, '\n', m_size - m_pos);
        std::size_t length = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start) : m_size - m_pos;
        m_pos += length + (lf ? 1 : 0);
        // CR LF ends a line; a CR anywhere else stays.
        if (lf && length > 0 && start[length - 1] == '\r')
            --length;
        const void* nul = std::memchr(start, '\0', length);
        if (nul)
            length = static_cast<std::size_t>(static_cast<const char*>(nul) - start);
        line.assign(start, length);
        return true;
    }

private:
    const char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace

CSetupScript& GetSetupScript()
{
    return g_setupScript;
}

bool CSetupScript::Load(const std::string& path, bool compressed)
{
    m_strPath = path;
    if (!compressed)
        return LoadText(path);
    // A compressed script is expanded into a temporary file and read from
    // there. A file that cannot be expanded (missing, no QJ10 stream, a
    // short header) counts as one that cannot be opened.
    std::string temp;
    if (!CreateTempFile("~MS", temp))
        return false;
    bool loaded = false;
    {
        CQjCompressor expander;
        if (expander.ProcessFile(path, temp, 0) && expander.GetLastResult() == CQjCompressor::resultDone)
            loaded = LoadText(temp);
    }
    std::remove(temp.c_str());   // a temporary file left behind is harmless
    return loaded;
}

bool CSetupScript::LoadText(const std::string& path)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return false;
    std::vector<char> text(file.GetLength());
    std::uint32_t got = text.empty() ? 0 : file.Read(text.data(), static_cast<std::uint32_t>(text.size()));
    file.Close();
    Parse(text.data(), got);
    return true;
}

void CSetupScript::Report(LineEvent event)
{
    if (m_lineObserver)
        m_lineObserver(event);
}

void CSetupScript::Skip(int line, const std::string& text, const char* reason)
{
    if (m_lineObserver)
        Report({LineEvent::skipped, line, {}, {}, {}, text, reason});
}

void CSetupScript::Parse(const char* data, std::size_t size)
{
    TextModeLines lines(data, size);
    std::string line;
    std::string current;   // empty: no section to store into
    int number = 0;
    while (lines.Next(line)) {
        ++number;
        // The length counts before trimming.
        if (line.size() < 3) {
            if (!line.empty())
                Skip(number, line, "shorter than 3 characters");
            continue;
        }
        TrimBlanks(line);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            std::string::size_type close = line.find(']');
            std::string name = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            if (name.size() > kMaxName) {
                // Keys under a header we could not take must not land in
                // the section before it.
                current.clear();
                Skip(number, line, "section name longer than 255 characters");
            } else {
                current = name;
                if (m_lineObserver)
                    Report({LineEvent::header, number, name, {}, {}, line, {}});
            }
            continue;
        }
        if (current.empty()) {
            Skip(number, line, "outside any section");
            continue;
        }
        std::string key;
        const std::string text = line;
        if (!CutToken(line, key, '=')) {
            Skip(number, text, "no \"=\"");
            continue;
        }
        if (key.size() > kMaxName) {
            Skip(number, text, "key longer than 255 characters");
            continue;
        }
        SetString(current, key, line);
        if (m_lineObserver)
            Report({LineEvent::entry, number, current, key, line, text, {}});
    }
}

bool CSetupScript::GetString(const std::string& section, const std::string& key, std::string& out) const
{
    out.clear();
    auto s = m_sections.find(section);
    if (s == m_sections.end())
        return false;
    auto k = s->second.find(key);
    if (k == s->second.end())
        return false;
    out = k->second;
    return true;
}

bool CSetupScript::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    KeyMap& keys = m_sections[section];
    if (value.empty())
        keys.erase(key);
    else
        keys[key] = value;
    return true;
}

bool CSetupScript::GetEntry(const std::string& section, std::int16_t n, std::string& out) const
{
    return GetString(section, std::to_string(n), out);
}

bool CSetupScript::GetInt(const std::string& section, const std::string& key, std::int16_t& out) const
{
    std::string value;
    if (!GetString(section, key, value))
        return false;
    out = static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(ScriptAtoi(value)) & 0xFFFFu));
    return true;
}

std::int32_t ScriptAtoi(const std::string& value)
{
    std::size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || (value[i] >= '\t' && value[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-'))
        negative = value[i++] == '-';
    std::uint32_t n = 0;
    while (i < value.size() && value[i] >= '0' && value[i] <= '9')
        n = n * 10u + static_cast<std::uint32_t>(value[i++] - '0');
    if (negative)
        n = 0u - n;
    return static_cast<std::int32_t>(n);
}
