// KeepUninstaller: the uninstaller a product keeps in its own folder, so
// that its uninstall entry still works once the install media are gone.
#pragma once

struct Engine;
struct Statement;

// KeepUninstaller FOLDER: FOLDER and the folders above it are made; the
// running program's file (its name kept), setup.ini and every language
// file setup.<Language>.txt of the program's directory (the starter's,
// for an uninstall moved out of the product folder) are copied into it as
// the copy family copies; then UNINSTALL_CMD is
// "FOLDER\<program>" /UNINSTALL /DIR="<DSTDIR>" (full paths),
// UNINSTALL_QUIET the same with " /SILENT", and UNINSTALL_ICON
// FOLDER\<program>,0. Until it succeeds the three variables are not
// defined. No folder, no program file, DSTDIR undefined or empty, or a
// path with a double quote: an error line and the failure flag; a path
// that does not fit, a copy or a folder that fails: the copy family's
// failure path.
void CmdKeepUninstaller(Engine& engine, const Statement& st);
