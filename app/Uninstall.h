#pragma once
// Uninstall.exe /U: removes what the record beside it lists. Its own file
// and the record go last, through a copy of the program in the temporary
// folder that waits for this process to end (a running program's file
// cannot be deleted).

// The removal; returns the process's status.
int RunRemoval();
// /CLEANUP=<id> /D=<folder>: the copy's part.
int RunCleanup();
