#pragma once
// The setup script held in memory: sections of keys and values, read from
// an INI-like file by our own reader (not the profile API: names are
// case-sensitive, nothing is trimmed around "=", short lines are skipped).

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/Object.h"

class CSetupScript : public CObject {
public:
    using KeyMap = std::map<std::string, std::string>;

    // Section names and keys longer than this are not read: such a line is
    // skipped (a skipped header leaves no current section).
    static constexpr std::size_t kMaxName = 255;

    // Reads the file and merges it into what is held. False, with nothing
    // else changed, when the file cannot be opened. compressed marks a
    // script stored as a QJ10 stream: it is expanded into a temporary file,
    // read from there, and the temporary file is deleted; false also when
    // it cannot be expanded.
    bool Load(const std::string& path, bool compressed);

    // Merges script text, read the way the Windows C runtime's text mode
    // reads a file: CR LF and a lone LF end a line, a lone CR stays in the
    // line, Ctrl-Z ends the text, a NUL ends the text of its line.
    void Parse(const char* data, std::size_t size);

    // What the reader made of a line, for the vendor's checker: a section
    // header, a key stored (or removed, by an empty value), or a line
    // passed over and why.
    struct LineEvent {
        enum Kind { header, entry, skipped } kind;
        int line;              // 1-based
        std::string section;   // header: its name; entry: where it went
        std::string key;
        std::string value;
        std::string text;      // skipped: the line as read
        std::string reason;    // skipped: why
    };
    void SetLineObserver(std::function<void(const LineEvent&)> observer) { m_lineObserver = std::move(observer); }

    bool GetString(const std::string& section, const std::string& key, std::string& out) const;
    bool SetString(const std::string& section, const std::string& key, const std::string& value);
    bool GetEntry(const std::string& section, std::int16_t n, std::string& out) const;
    bool GetInt(const std::string& section, const std::string& key, std::int16_t& out) const;

    const std::string& GetPath() const { return m_strPath; }
    const std::map<std::string, KeyMap>& GetSections() const { return m_sections; }
    void Clear() { m_sections.clear(); }

private:
    bool LoadText(const std::string& path);
    void Report(LineEvent event);
    void Skip(int line, const std::string& text, const char* reason);

    std::string m_strPath;
    std::map<std::string, KeyMap> m_sections;
    std::function<void(const LineEvent&)> m_lineObserver;
};

// The program-wide script, made before the application starts.
CSetupScript& GetSetupScript();

// The C runtime's atoi over a value: leading white space, a sign, decimal
// digits; anything else ends the number. Wraps around instead of
// overflowing.
std::int32_t ScriptAtoi(const std::string& value);
