#pragma once
// Where the file phase reports its progress: the progress dialog, which
// turns each notification into a WM_COMMAND to itself. Keeps the install
// code free of windows.

class CProgressSink {
public:
    virtual ~CProgressSink() = default;
    // id: ID_PROGRESS_FILE (1224), ID_PROGRESS_STEP (1225) or
    // ID_PROGRESS_COPYFILE (1425).
    virtual void Notify(unsigned id) = 0;
};
