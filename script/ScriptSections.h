#pragma once
// The script's work after the file phase: the Copy, Del and Ini lists, the
// Program Manager group, and the program to start. Every entry passes
// through macro expansion first. An entry with fewer separators than its
// format has fields is passed over: it would otherwise take a field from
// the entry before it and write, copy or delete what it does not name.

#include <string>

class CScriptPlatform;
class CSetupScript;

// head = text before the first separator, rest = text after it, true;
// without a separator both are left as they are and the result is false.
bool SplitField(std::string& head, std::string& rest, char separator);

// A program path that survives spaces: quoted up to and including ".exe",
// unless the command starts with a quote; a document becomes its
// associated program and itself, each quoted; anything else is unchanged.
std::string QuoteCommand(const std::string& command, CScriptPlatform& platform);

// What the lists do, for the log and the removal record: each call comes
// right before its action, or with the action's result once it is known.
class CSectionObserver {
public:
    virtual ~CSectionObserver() = default;
    virtual void Copied(const std::string& source, const std::string& target, bool existed, bool copied) = 0;
    // A deletion that fails throws after this.
    virtual void Deleting(const std::string& path) = 0;
    virtual void WritingIni(const std::string& file, const std::string& section, const std::string& key,
                            const std::string& value) = 0;
    virtual void GroupMade(const std::string& group, bool made) = 0;
    virtual void ItemMade(const std::string& name, const std::string& command) = 0;
    virtual void Starting(const std::string& command) = 0;
};

class CScriptSections {
public:
    CScriptSections(CScriptPlatform& platform, const CSetupScript& script, CSectionObserver* observer = nullptr)
        : m_platform(platform), m_script(script), m_observer(observer)
    {
    }

    // Copies "source#target" entries 0, 1, ...; a copy that cannot be made
    // is passed over.
    void ProcessCopySection();
    // Deletes the files of entries 0, 1, ...; a deletion that fails throws.
    void ProcessDelSection();
    // Writes the Ini entries 1, 2, ..., then makes the group; true when the
    // Program Manager was reached and the group processed.
    bool ProcessIniAndGroupSections();
    // Starts General/Run, lower-cased; the program quoted like a group
    // item's when the text up to its ".exe" is an existing file.
    void RunProgram();

private:
    std::string Expand(const std::string& text);
    void Start(const std::string& command);

    CScriptPlatform& m_platform;
    const CSetupScript& m_script;
    CSectionObserver* m_observer;
};
