#pragma once
// Where the file phase reports its progress: the progress dialog, which
// turns each notification into a WM_COMMAND to itself. Keeps the install
// code free of windows.

// The notifications, as the progress dialog's command ids.
constexpr unsigned kProgressFile = 1224;       // before an archive member is written
constexpr unsigned kProgressStep = 1225;       // after it, and at the end of the archive
constexpr unsigned kProgressCopyFile = 1425;   // before a file of the tree is copied

class CProgressSink {
public:
    virtual ~CProgressSink() = default;
    // id: ID_PROGRESS_FILE (1224), ID_PROGRESS_STEP (1225) or
    // ID_PROGRESS_COPYFILE (1425).
    virtual void Notify(unsigned id) = 0;
};
