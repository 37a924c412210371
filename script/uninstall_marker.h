// The uninstall marker: with the runtime installed, a file "setup.txt"
// beside the program (or in the command-line directory) makes a run an
// uninstall, as /UNINSTALL does.
#pragma once

class Effects;
class Host;
struct RunModes;

// With the runtime installed (one of its file classes has an open command
// key), an uninstall marker "setup.txt" (in the command-line directory,
// which then becomes the current one, or else in the current directory,
// the program's) selects uninstall mode. The program's directory
// `programDir` becomes the command-line directory; one too long for it is
// refused (the marker is then ignored, and the host's failure log says
// so), since a cut path would name another directory.
void ApplyUninstallMarker(Effects& effects, Host& host, RunModes& modes, const char* programDir);
