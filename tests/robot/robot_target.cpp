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
//   chooser    modal dialog 201: tree 1012 with "c:" (children added when it
//              first expands: "Program Files", itself lazy with "Vorn", and
//              "Windows") and "d:" holding "Data"; edit 1013 limited to 8
//              characters; list 1019 of five rows; button 1008, enabled
//              while a folder (not a drive) is selected; static 1009 naming
//              the last thing the dialog heard of. Exits with the dialog's
//              result: IDOK, IDCANCEL, or 100 + row for a double-clicked row
//   intro      modal dialog 200 (group box 1047, static 1014, buttons 1015,
//              IDOK, IDCANCEL); 1015 runs the chooser over it and shows its
//              result in 1014. Exits with the page's result
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdlib>
#include <string>

namespace {

const char kCaption[] = "Robot Target";
const COLORREF kPaintBackground = RGB(0, 0, 80);
const COLORREF kPaintBlock = RGB(48, 96, 160);
const int kBlockWidth = 40;
const int kBlockHeight = 30;
const UINT_PTR kQuitTimer = 1;

void FillWith(HDC dc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      FillWith(dc, client, kPaintBackground);
      FillWith(dc, {8, 8, 8 + kBlockWidth, 8 + kBlockHeight}, kPaintBlock);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers everything
    case WM_TIMER:
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND CreateMainWindow() {
  WNDCLASSA wc = {};
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

// ---- Dialogs ----

const int kIntroDialog = 200;
const int kChooserDialog = 201;
const int kChosenLine = 1014;
const int kChangeButton = 1015;
const int kNewFolderButton = 1008;
const int kEventLine = 1009;
const int kTree = 1012;
const int kEdit = 1013;
const int kList = 1019;
const int kEditLimit = 8;
const LPARAM kLazy = 1;  // item lParam: children come when it expands

struct LazyChild {
  const char* parent;
  const char* text;
  bool lazy;
};
const LazyChild kLazyChildren[] = {
    {"c:", "Program Files", true},
    {"c:", "Windows", false},
    {"Program Files", "Vorn", false},
};
const char* const kRows[] = {"Typical", "Compact", "Custom", "Minimal", "Full"};

// Without TVIF_CHILDREN an item shows "+" only once it holds items.
HTREEITEM AddItem(HWND tree, HTREEITEM parent, const char* text, bool lazy) {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<char*>(text);
  if (lazy) {
    insert.item.mask |= TVIF_CHILDREN | TVIF_PARAM;
    insert.item.cChildren = 1;
    insert.item.lParam = kLazy;
  }
  return reinterpret_cast<HTREEITEM>(SendMessageA(
      tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

std::string ItemText(HWND tree, HTREEITEM handle) {
  char text[MAX_PATH] = "";
  TVITEMA item = {};
  item.mask = TVIF_TEXT;
  item.hItem = handle;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return text;
}

void FillLazyItem(HWND tree, HTREEITEM handle) {
  std::string text = ItemText(tree, handle);
  for (const LazyChild& child : kLazyChildren) {
    if (text == child.parent) AddItem(tree, handle, child.text, child.lazy);
  }
  TVITEMA item = {};
  item.mask = TVIF_PARAM;
  item.hItem = handle;
  item.lParam = 0;
  SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void OpenChooser(HWND dialog) {
  HWND tree = GetDlgItem(dialog, kTree);
  AddItem(tree, TVI_ROOT, "c:", true);
  AddItem(tree, AddItem(tree, TVI_ROOT, "d:", false), "Data", false);
  SendDlgItemMessageA(dialog, kEdit, EM_LIMITTEXT, kEditLimit, 0);
  for (const char* row : kRows) {
    SendDlgItemMessageA(dialog, kList, LB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(row));
  }
}

// The A and W forms of these notifications differ only in their texts,
// which are not used here.
void OnTreeNotification(HWND dialog, const NMTREEVIEWA& change) {
  HWND tree = change.hdr.hwndFrom;
  HTREEITEM item = change.itemNew.hItem;
  switch (change.hdr.code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW:
      if (!(change.action & TVE_EXPAND)) return;
      if (change.itemNew.lParam == kLazy) FillLazyItem(tree, item);
      SetDlgItemTextA(dialog, kEventLine,
                      ("expanding " + ItemText(tree, item)).c_str());
      return;
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
      EnableWindow(GetDlgItem(dialog, kNewFolderButton),
                   TreeView_GetParent(tree, item) != nullptr);
      SetDlgItemTextA(dialog, kEventLine,
                      ("selected " + ItemText(tree, item)).c_str());
      return;
  }
}

INT_PTR CALLBACK ChooserProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      OpenChooser(dialog);
      return TRUE;
    case WM_NOTIFY:
      if (wp == kTree) {
        OnTreeNotification(dialog, *reinterpret_cast<NMTREEVIEWA*>(lp));
      }
      return FALSE;  // expanding always goes on
    case WM_COMMAND: {
      const int row = static_cast<int>(
          SendDlgItemMessageA(dialog, kList, LB_GETCURSEL, 0, 0));
      if (LOWORD(wp) == kList && HIWORD(wp) == LBN_SELCHANGE) {
        SetDlgItemTextA(dialog, kEventLine,
                        ("row " + std::to_string(row)).c_str());
      } else if (LOWORD(wp) == kList && HIWORD(wp) == LBN_DBLCLK) {
        EndDialog(dialog, 100 + row);
      } else if (LOWORD(wp) == kNewFolderButton) {
        SetDlgItemTextA(dialog, kEventLine, "new folder");
      } else if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wp));
      }
      return TRUE;
    }
  }
  return FALSE;
}

int RunDialog(HWND owner, int id, DLGPROC proc) {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  return static_cast<int>(DialogBoxParamA(GetModuleHandleA(nullptr),
                                          MAKEINTRESOURCEA(id), owner, proc, 0));
}

INT_PTR CALLBACK IntroProc(HWND dialog, UINT msg, WPARAM wp, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg != WM_COMMAND) return FALSE;
  if (LOWORD(wp) == kChangeButton) {
    int chosen = RunDialog(dialog, kChooserDialog, ChooserProc);
    SetDlgItemTextA(dialog, kChosenLine,
                    ("chooser: " + std::to_string(chosen)).c_str());
  } else if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
    EndDialog(dialog, LOWORD(wp));
  }
  return TRUE;
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
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "exit") return argc > 2 ? std::atoi(argv[2]) : 0;
  if (mode == "hang") {
    Sleep(60000);
    return 0;
  }
  HWND main = CreateMainWindow();
  if (main == nullptr) return 100;
  if (mode == "boxes") return RunBoxes(main);
  if (mode == "paint") return RunPaint(main);
  if (mode == "progress") return RunProgress(main);
  if (mode == "args") return RunArgs(main, argc, argv);
  if (mode == "chooser") return RunDialog(main, kChooserDialog, ChooserProc);
  if (mode == "intro") return RunDialog(main, kIntroDialog, IntroProc);
  return 101;
}
