// Special folders, shell links and ShellExecute, through shell32 and the
// shell's link object.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shellapi.h>

#include "win32/win32_effects.h"

Status Win32Effects::SHGetSpecialFolderPath(int csidl,
                                            char (&path)[kPathMax]) {
  path[0] = 0;
  LPITEMIDLIST list = nullptr;
  HRESULT result = SHGetSpecialFolderLocation(nullptr, csidl, &list);
  if (FAILED(result)) {
    return Logged("SHGetSpecialFolderLocation", "", kErrPathNotFound);
  }
  char found[MAX_PATH];
  BOOL ok = SHGetPathFromIDListA(list, found);
  CoTaskMemFree(list);
  if (!ok) return Logged("SHGetPathFromIDList", "", kErrPathNotFound);
  if (!FitsIn(found, kPathMax)) {
    return Logged("SHGetPathFromIDList", "", kErrFilenameTooLong);
  }
  CopyText(path, found);
  return kOk;
}

// The low word of an HRESULT that wraps a Win32 error, else the HRESULT.
static Status FromHresult(HRESULT result) {
  if (SUCCEEDED(result)) return kOk;
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) return HRESULT_CODE(result);
  return static_cast<Status>(result);
}

// Fills the link object from `link`; the first failing setter's result.
static HRESULT DescribeLink(IShellLinkA* shellLink, const ShellLinkFields& link) {
  HRESULT result = shellLink->SetPath(link.target);
  if (SUCCEEDED(result) && link.arguments) {
    result = shellLink->SetArguments(link.arguments);
  }
  if (SUCCEEDED(result) && link.workingDirectory) {
    result = shellLink->SetWorkingDirectory(link.workingDirectory);
  }
  if (SUCCEEDED(result) && link.iconPath) {
    result = shellLink->SetIconLocation(link.iconPath, link.iconIndex);
  }
  if (SUCCEEDED(result) && link.description) {
    result = shellLink->SetDescription(link.description);
  }
  return result;
}

static HRESULT SaveLink(IShellLinkA* shellLink, const char* linkPath) {
  IPersistFile* file = nullptr;
  HRESULT result = shellLink->QueryInterface(
      IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (FAILED(result)) return result;
  WCHAR widePath[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH)) {
    result = HRESULT_FROM_WIN32(GetLastError());
  } else {
    result = file->Save(widePath, TRUE);
  }
  file->Release();
  return result;
}

Status Win32Effects::CreateShellLink(const ShellLinkFields& link,
                                     const char* linkPath) {
  IShellLinkA* shellLink = nullptr;
  HRESULT result =
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                       IID_IShellLinkA, reinterpret_cast<void**>(&shellLink));
  if (SUCCEEDED(result)) {
    result = DescribeLink(shellLink, link);
    if (SUCCEEDED(result)) result = SaveLink(shellLink, linkPath);
    shellLink->Release();
  }
  return Logged("CreateShellLink", linkPath, FromHresult(result));
}

Status Win32Effects::ShellExecute(const char* file, const char* parameters,
                                  const char* directory) {
  HINSTANCE result = ShellExecuteA(nullptr, "open", file, parameters,
                                   directory, SW_SHOWDEFAULT);
  INT_PTR code = reinterpret_cast<INT_PTR>(result);
  // Values up to 32 are errors; several are Win32 codes themselves.
  return Logged("ShellExecute", file,
                code > 32 ? kOk : static_cast<Status>(code ? code : 8));
}
