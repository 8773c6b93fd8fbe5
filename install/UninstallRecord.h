#pragma once
// Uninstall.dat: what one installation made, so that removal takes away
// exactly that. Plain text, one item per line, fields split by tabs with
// the free text (a path, a title) last; the last line counts the lines
// before it, so a record cut short is known as damaged.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// Windows paths name one file whatever their case.
bool SamePath(const std::string& a, const std::string& b);

struct RecordedFile {
    std::string path;
    std::uint64_t size = 0;
    std::time_t time = 0;
    bool replaced = false;   // a file of that name was there before
};

struct RecordedIni {
    // What the value's write brought into being, and so what its removal
    // may take away when nothing else is left in it.
    enum Made { madeValue, madeSection, madeFile } made = madeValue;
    std::string file, section, key;
};

class CUninstallRecord {
public:
    std::string title;
    std::string destination;
    std::vector<RecordedFile> files;
    std::vector<std::string> folders;   // in the order made: parents first
    std::vector<RecordedIni> iniValues;
    std::string group;
    std::vector<std::string> groupItems;
    std::string registryKey;   // below HKEY_LOCAL_MACHINE

    // A file written; written twice, it keeps the first write's "replaced".
    void AddFile(const std::string& path, bool replaced);
    void AddFolder(const std::string& path);

    // Reads each file's size and time from the disk as it is now; returns
    // their total size.
    std::uint64_t StampFiles();

    std::string Format() const;
    // False, with the reason in error, for a text that is not a whole
    // record; the record is then left empty.
    bool Parse(const std::string& text, std::string& error);

    // Through a temporary file renamed into place: never half-written.
    // File errors are thrown.
    void Save(const std::string& path) const;
    bool Load(const std::string& path, std::string& error);
};
