// robot_target.exe: a small GUI program with known behaviour for the
// robot's own tests. Like the setup program it has a hidden main window of
// class "Install" titled "Setup" that owns the message boxes.
//
//   boxes      OK box, OK/Cancel box, Yes/No box;
//              exits with 10 * (OK/Cancel answer) + (Yes/No answer)
//   exit N     exits with code N at once, without any window
//   paint      shows the main window: client area kPaintBackground with a
//              kBlockWidth x kBlockHeight block of kPaintBlock at (8, 8);
//              stays until killed (or 60 s)
//   progress   progress dialogs (controls 1001/1003), using boxes as steps:
//              "Step 1": "Outer step" visible
//              "Step 2": also "Inner step" visible (created later, but the
//                        outer one is raised above it) and a hidden
//                        dialog "Silent step"
//              "Step 3": inner hidden, outer reads "Outer done"; exits 0
//   args A...  box "Robot Target args" with the arguments joined by "|";
//              exits with their count
//   hang       sleeps 60 s
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kCaption[] = "Robot Target";
const COLORREF kPaintBackground = RGB(0, 0, 80);
const COLORREF kPaintBlock = RGB(48, 96, 160);
const int kBlockWidth = 40;
const int kBlockHeight = 30;
const UINT_PTR kQuitTimer = 1;

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      HBRUSH background = CreateSolidBrush(kPaintBackground);
      FillRect(dc, &client, background);
      DeleteObject(background);
      RECT block = {8, 8, 8 + kBlockWidth, 8 + kBlockHeight};
      HBRUSH blockBrush = CreateSolidBrush(kPaintBlock);
      FillRect(dc, &block, blockBrush);
      DeleteObject(blockBrush);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers everything
    case WM_TIMER:
      PostQuitMessage(0);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND CreateMainWindow() {
  WNDCLASSA wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.lpfnWndProc = MainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "Install";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "Install", "Setup", WS_OVERLAPPEDWINDOW, 20, 20,
                         240, 160, nullptr, nullptr, wc.hInstance, nullptr);
}

// A caption-less dialog window with a status static and a progress bar.
HWND CreateProgressDialog(HWND owner, const char* status, int y, bool visible) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  HWND dlg = CreateWindowExA(0, "#32770", "", WS_POPUP | WS_BORDER, 300, y, 320,
                             70, owner, nullptr, inst, nullptr);
  CreateWindowExA(0, "STATIC", status, WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 8,
                  300, 20, dlg, reinterpret_cast<HMENU>(INT_PTR{1001}), inst,
                  nullptr);
  CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 34, 300,
                  16, dlg, reinterpret_cast<HMENU>(INT_PTR{1003}), inst,
                  nullptr);
  if (visible) ShowWindow(dlg, SW_SHOW);
  return dlg;
}

int RunBoxes(HWND main) {
  MessageBoxA(main, "First line\r\nSecond line", kCaption,
              MB_OK | MB_ICONINFORMATION);
  int okCancel = MessageBoxA(main, "Proceed?", kCaption, MB_OKCANCEL);
  int yesNo =
      MessageBoxA(main, "Continue?", kCaption, MB_YESNO | MB_ICONQUESTION);
  return 10 * okCancel + yesNo;
}

int RunPaint(HWND main) {
  ShowWindow(main, SW_SHOW);
  UpdateWindow(main);
  SetTimer(main, kQuitTimer, 60000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

int RunProgress(HWND main) {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  HWND outer = CreateProgressDialog(main, "Outer step", 20, true);
  MessageBoxA(main, "Step 1", kCaption, MB_OK);

  HWND inner = CreateProgressDialog(main, "Inner step", 110, true);
  CreateProgressDialog(main, "Silent step", 200, false);
  SetWindowPos(outer, HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  MessageBoxA(main, "Step 2", kCaption, MB_OK);

  SetDlgItemTextA(outer, 1001, "Outer done");
  ShowWindow(inner, SW_HIDE);
  MessageBoxA(main, "Step 3", kCaption, MB_OK);
  return 0;
}

int RunArgs(HWND main, int argc, char** argv) {
  std::string joined;
  for (int i = 2; i < argc; ++i) {
    if (i > 2) joined += "|";
    joined += argv[i];
  }
  MessageBoxA(main, joined.c_str(), "Robot Target args", MB_OK);
  return argc - 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  if (std::strcmp(mode, "exit") == 0) {
    return argc > 2 ? std::atoi(argv[2]) : 0;
  }
  if (std::strcmp(mode, "hang") == 0) {
    Sleep(60000);
    return 0;
  }
  HWND main = CreateMainWindow();
  if (main == nullptr) return 100;
  if (std::strcmp(mode, "boxes") == 0) return RunBoxes(main);
  if (std::strcmp(mode, "paint") == 0) return RunPaint(main);
  if (std::strcmp(mode, "progress") == 0) return RunProgress(main);
  if (std::strcmp(mode, "args") == 0) return RunArgs(main, argc, argv);
  return 101;
}
