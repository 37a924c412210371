// The directory chooser (GETDIRDEST): a tree of the drives and their
// folders, filled one level ahead of what the user has opened, the path of
// the item last reported, and a prompt that creates a new folder. Only a
// selected folder whose path fits is ever confirmed, never a drive.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "dialogs/dialog_rules.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/resource.h"
#include "dialogs/setup_dialogs.h"
#include "script/effects.h"
#include "script/engine.h"

namespace {

const int kImageOpenFolder = 0;
const int kImageClosedFolder = 1;
const int kImageDrive = 2;
const size_t kTreeDepthMax = kPathMax / 2;  // "x\" per level at least

struct Chooser {
  Engine* engine;
  HWND tree;
  bool refreshing;  // children are being relisted: their removal may move
                    // the selection, and that is no user's choice
  char chosen[kPathMax];
};

}  // namespace

// ---- The tree ----

static bool InitTreeViewImageLists(HWND tree) {
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR8, 3, 0);
  if (!images) return false;
  // One strip: the list cuts it into its three 16-pixel-wide images.
  HBITMAP strip = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_TREE_IMAGES));
  ImageList_Add(images, strip, nullptr);
  if (strip) DeleteObject(strip);
  if (ImageList_GetImageCount(images) < 3) {
    ImageList_Destroy(images);
    return false;
  }
  TreeView_SetImageList(tree, images, TVSIL_NORMAL);
  return true;
}

static HTREEITEM AddTreeItem(HWND tree, const char* text, HTREEITEM parent) {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<char*>(text);
  insert.item.iImage = parent ? kImageClosedFolder : kImageDrive;
  insert.item.iSelectedImage = parent ? kImageOpenFolder : kImageDrive;
  return reinterpret_cast<HTREEITEM>(
      SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

static void ItemText(HWND tree, HTREEITEM item, char (&text)[kPathMax]) {
  TVITEMA query = {};
  query.mask = TVIF_TEXT;
  query.hItem = item;
  query.pszText = text;
  query.cchTextMax = sizeof text;
  text[0] = 0;
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
}

// The item's path: the texts of its chain joined with '\'. False when the
// path would not fit (or the tree is deeper than any path).
static bool ItemPath(HWND tree, HTREEITEM item, char (&path)[kPathMax]) {
  static char texts[kTreeDepthMax][kPathMax];
  const char* chain[kTreeDepthMax];
  size_t depth = 0;
  for (HTREEITEM at = item; at; at = TreeView_GetParent(tree, at)) {
    if (depth == kTreeDepthMax) return false;
    ++depth;
  }
  size_t index = depth;
  for (HTREEITEM at = item; at; at = TreeView_GetParent(tree, at)) {
    --index;
    ItemText(tree, at, texts[index]);
    chain[index] = texts[index];
  }
  return JoinItemPath(chain, depth, path);
}

static void ListSubfolders(Engine& engine, HWND tree, HTREEITEM parent,
                           const char* path) {
  char pattern[kPathMax];
  FindData entry;
  FindRef find = nullptr;
  if (JoinText(pattern, {path, "\\*.*"}) &&
      engine.effects->FindFirstFile(pattern, &entry, &find) == kOk) {
    do {
      if (entry.attributes & kAttrDirectory) AddTreeItem(tree, entry.name, parent);
    } while (engine.effects->FindNextFile(find, &entry) == kOk);
    engine.effects->FindClose(find);
  }
  SendMessageA(tree, TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(parent));
}

static void DeleteChildItems(HWND tree, HTREEITEM item) {
  while (HTREEITEM child = TreeView_GetChild(tree, item)) {
    TreeView_DeleteItem(tree, child);
  }
}

// Fixed and network drives (and those without a root directory), each with
// its first level of folders.
static void ListDrives(Engine& engine, HWND tree) {
  unsigned long drives = engine.effects->GetLogicalDrives();
  for (int letter = 0; drives >> letter; ++letter) {
    if (!((drives >> letter) & 1)) continue;
    char drive[] = "a:";
    char root[] = "a:\\";
    drive[0] = root[0] = static_cast<char>('a' + letter);
    int type = engine.effects->GetDriveType(root);
    if (type == kDriveUnknown || type == kDriveRemovable ||
        type == kDriveCdrom || type == kDriveRamdisk) {
      continue;
    }
    HTREEITEM item = AddTreeItem(tree, drive, nullptr);
    if (item) ListSubfolders(engine, tree, item, drive);
  }
}

// ---- What the user does ----

// The item the tree reports (selected, or being expanded or collapsed): its
// path in the path text, OK while it is a folder, and its children's own
// children fresh from the disk, so each shows an expand button exactly when
// it has folders.
static void ShowReportedItem(HWND chooser, Chooser& state, HTREEITEM item) {
  char path[kPathMax];
  bool fits = ItemPath(state.tree, item, path);
  char shown[kPathMax + 1];
  CopyText(shown, fits ? path : "");
  if (fits) AppendText(shown, "\\");
  SetDlgItemTextA(chooser, IDC_CHOSEN_PATH, shown);
  EnableWindow(GetDlgItem(chooser, IDOK), fits && IsConfirmablePath(path));
  if (!fits) return;
  state.refreshing = true;
  for (HTREEITEM child = TreeView_GetChild(state.tree, item); child;
       child = TreeView_GetNextSibling(state.tree, child)) {
    char childPath[kPathMax];
    DeleteChildItems(state.tree, child);
    if (ItemPath(state.tree, child, childPath)) {
      ListSubfolders(*state.engine, state.tree, child, childPath);
    }
  }
  state.refreshing = false;
}

// OK confirms the selected item, checked again here: the button's state
// follows the item reported last, which need not be the selected one.
static void ConfirmSelection(HWND chooser, Chooser& state) {
  HTREEITEM selected = TreeView_GetSelection(state.tree);
  char path[kPathMax];
  if (!selected || !ItemPath(state.tree, selected, path) ||
      !IsConfirmablePath(path)) {
    return;
  }
  CopyText(state.chosen, path);
  EndDialog(chooser, 1);
}

static HTREEITEM ChildNamed(HWND tree, HTREEITEM parent, const char* name) {
  for (HTREEITEM child = TreeView_GetChild(tree, parent); child;
       child = TreeView_GetNextSibling(tree, child)) {
    char text[kPathMax];
    ItemText(tree, child, text);
    if (EqualsNoCase(text, name)) return child;
  }
  return nullptr;
}

// A folder named in the prompt is created under the selected item, and
// only then shown and selected. Cancelling, a prompt that cannot be shown
// or a folder that cannot be created leave the tree and the selection.
static void NewDirectory(HWND chooser, Chooser& state) {
  HTREEITEM selected = TreeView_GetSelection(state.tree);
  char parentPath[kPathMax];
  if (!selected || !ItemPath(state.tree, selected, parentPath)) return;
  size_t limit = NewFolderNameLimit(parentPath);
  char name[kPathMax] = "";
  int answer = limit > 0 ? RunNewFolderPrompt(*state.engine, chooser, limit, name) : 0;
  if (answer < 0) {
    MessageBoxA(chooser, "Could not create NewDir Dialog box", "ERROR", MB_OK);
  }
  char folder[kPathMax];
  if (answer != 1 || !JoinPath(folder, parentPath, name)) return;
  Status status = state.engine->effects->CreateDirectory(folder);
  if (status != kOk && status != kErrAlreadyExists) return;
  HTREEITEM item = ChildNamed(state.tree, selected, name);
  if (!item) item = AddTreeItem(state.tree, name, selected);
  if (!item) return;
  SendMessageA(state.tree, TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(selected));
  TreeView_SelectItem(state.tree, item);
}

static void OpenChooser(HWND chooser, Chooser& state) {
  state.tree = GetDlgItem(chooser, IDC_FOLDER_TREE);
  if (!InitTreeViewImageLists(state.tree)) {
    MessageBoxA(nullptr, "Pas Bon", "InitTreeViewImageLists", MB_OK);
  }
  SetFormattedMessage(*state.engine, chooser, IDC_CHOSEN_PATH, "NEWDIR_TTL");
  SetCaptionFromMessage(*state.engine, chooser, "NEWDIR_TTL");
  SetFormattedMessage(*state.engine, chooser, IDC_NEW_FOLDER, "NEWDIR_BTN");
  ListDrives(*state.engine, state.tree);
}

static void OnTreeNotification(HWND chooser, Chooser& state, const NMHDR& header) {
  if (header.code != TVN_SELCHANGEDA && header.code != TVN_ITEMEXPANDINGA) return;
  const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
  if (change.itemNew.hItem && !state.refreshing) ShowReportedItem(chooser, state, change.itemNew.hItem);
}

static INT_PTR CALLBACK ChooserProc(HWND chooser, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
  auto* state = static_cast<Chooser*>(DialogState(chooser, message, lParam));
  switch (message) {
    case WM_INITDIALOG:
      OpenChooser(chooser, *state);
      return TRUE;
    case WM_NOTIFY:
      if (state && wParam == IDC_FOLDER_TREE) {
        OnTreeNotification(chooser, *state, *reinterpret_cast<NMHDR*>(lParam));
      }
      return FALSE;  // expanding and collapsing always go on
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          ConfirmSelection(chooser, *state);
          return TRUE;
        case IDCANCEL:
          EndDialog(chooser, 0);
          return TRUE;
        case IDC_NEW_FOLDER:
          NewDirectory(chooser, *state);
          return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

bool ChooseDirectory(Engine& engine, HWND parent, char (&chosen)[kPathMax]) {
  static Chooser state;
  state = Chooser{&engine, nullptr, false, ""};
  if (RunDialog(IDD_GETDIRDEST, parent, ChooserProc, &state) != 1) return false;
  CopyText(chosen, state.chosen);
  return true;
}
