// Shortcut files read through IShellLinkA and IPersistFile.
#include "tests/win/shortcut_reader.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

ShortcutContents ReadShortcut(const std::string& path) {
  ShortcutContents contents;
  HRESULT com = CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IShellLinkA, reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(file->Load(wide, STGM_READ))) {
      char text[MAX_PATH * 2];
      contents.loaded = true;
      if (SUCCEEDED(link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH))) contents.target = text;
      if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text))) contents.workingDirectory = text;
      if (SUCCEEDED(link->GetArguments(text, sizeof text))) contents.arguments = text;
      if (SUCCEEDED(link->GetDescription(text, sizeof text))) contents.description = text;
      int index = -1;
      if (SUCCEEDED(link->GetIconLocation(text, sizeof text, &index))) {
        contents.iconPath = text;
        contents.iconIndex = index;
      }
    }
  }
  if (file) file->Release();
  if (link) link->Release();
  if (SUCCEEDED(com)) CoUninitialize();
  return contents;
}

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH];
  return SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE) ? path : "";
}
