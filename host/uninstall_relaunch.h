// The uninstall that moves out of the product folder, its Win32 side: the
// starter hands the run to a copy of itself in a temporary folder and waits
// for its exit code; the copy reports it back and, once the starter has
// ended, deletes what the starter's file kept in place. The decisions are
// platform-free (actions/moved_uninstall.h).
#pragma once

struct Engine;
struct RunModes;

// The starter's side: a copy of the program in a new temporary folder,
// started with the internal switches and the same arguments, inheriting a
// handle of this process and the write end of a pipe; then the wait for
// the copy's exit code, read from the pipe or, if the copy ends without
// writing it, its process exit code. True with `exitCode` set; false,
// journaled, when the copy cannot be made or started: the run is then this
// program's own.
bool RunUninstallFromCopy(Engine& engine, int* exitCode);

// The copy's side, at its start: the handles it was passed are no longer
// inherited by the programs its script starts, which would otherwise keep
// the pipe open or the starter waited for.
void KeepMovedUninstallHandles(const RunModes& modes);

// The copy's side, at its end (its end-of-run steps taken): the exit code
// goes to the starter and the pipe is closed; then a wait for the starter's
// end (30 s at most), and the deferred deletes.
void FinishMovedUninstall(Engine& engine, int exitCode);
