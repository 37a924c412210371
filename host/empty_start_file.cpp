// An empty object that stands in for each of the C runtime's start files
// (crt2.o, crtbegin.o, crtend.o) when setup.exe is linked: the program
// starts at its own entry point (host/main.cpp) and needs none of them.
namespace {
typedef int NothingHere;
}
