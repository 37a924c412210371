// An uninstall that moves out of the product folder before it runs, its
// platform-free part: whether a run must move out, the temporary copy it
// moves to, the deletes it leaves until the program that started it (the
// starter, still running from inside the product) has ended, and what it
// leaves for the next start of Windows. host/uninstall_relaunch.cpp owns
// the processes, handles and waits.
#pragma once

#include "script/text.h"

class Effects;
struct Engine;
struct RunModes;

// True for an uninstall (/UNINSTALL) whose product folder /DIR= names and
// whose program file lies inside it (full paths, case ignored), unless it
// is itself a moved uninstall (/ORIGIN=): such a run must hand itself to a
// copy outside the folder, or its own file would stay behind.
bool MustMoveOutOfProduct(Effects& effects, const RunModes& modes);

// A new folder "VornUninstall.<n>" in the temporary directory (the first
// free n from `seed` on) with a copy of the program's file, through the
// effects; its path in `copy`. False, with a journal line and nothing left
// behind, when that fails.
bool MakeUninstallCopy(Engine& engine, unsigned long seed, char (&copy)[kPathMax]);
// Deletes a copy that never ran, and its folder.
void RemoveUninstallCopy(Engine& engine, const char* copy);

// For a moved uninstall: the starter's program file (the origin directory
// and this program's file name), which it cannot delete while the starter
// runs. Nothing for any other run.
void HoldStarterFile(Engine& engine);
// True when a failed delete of `path` waits for the starter's end: `path`
// is the starter's file, or a folder that holds it. It is then on the
// deferred list, journaled, and counts as no error (a path that fails twice
// is there twice; the second time it is gone already). False for any
// other path, and when the list is full (journaled).
bool DeferIfHeld(Engine& engine, const char* path);
// Once the starter has ended: each deferred path, in the order its delete
// failed (the file, then the folders that hold it, deepest first), is
// deleted, or else left for the next start of Windows; this program's own copy and its folder, when they are a
// temporary copy made by MakeUninstallCopy, are left for the next start
// too. Each step is journaled, and one line at the end says which path
// went which way.
void FinishDeferredDeletes(Engine& engine);
