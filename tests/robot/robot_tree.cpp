// Tree views of another process: their items read through memory in the
// program's process, selected, expanded and clicked as a user would.
#include <cstring>

#include "robot_internal.h"

namespace robot {
namespace {

const size_t kTreeTextChars = 260;  // longer item texts are cut

// Memory in the process that owns a window, released with the object.
class RemoteMemory {
 public:
  RemoteMemory(HWND window, size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != 0) {
      process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    }
    if (process_ != nullptr) {
      address_ = static_cast<char*>(
          VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  ~RemoteMemory() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  char* address() const { return address_; }
  bool Write(const void* remote, const void* data, size_t size) const {
    SIZE_T done = 0;
    return WriteProcessMemory(process_, const_cast<void*>(remote), data, size,
                              &done) &&
           done == size;
  }
  // Reads up to `size` bytes; a copy cut short at the end of the readable
  // memory gives what was read.
  size_t Read(const void* remote, void* data, size_t size) const {
    SIZE_T done = 0;
    if (!ReadProcessMemory(process_, remote, data, size, &done) && done == 0) {
      return 0;
    }
    return done;
  }

 private:
  HANDLE process_ = nullptr;
  char* address_ = nullptr;
};

// A TVITEMA and its text buffer, side by side in the tree's process.
struct RemoteTreeItem {
  TVITEMA item;
  char text[kTreeTextChars];
};

HTREEITEM NextTreeItem(HWND tree, UINT relation, HTREEITEM from) {
  LRESULT next = 0;
  if (!Send(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from),
            &next)) {
    return nullptr;
  }
  return reinterpret_cast<HTREEITEM>(next);
}

bool ReadTreeItem(HWND tree, const RemoteMemory& memory, HTREEITEM handle,
                  TreeItem* out) {
  auto* remote = reinterpret_cast<RemoteTreeItem*>(memory.address());
  TVITEMA item = {};
  item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN;
  item.hItem = handle;
  item.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
  item.pszText = remote->text;
  item.cchTextMax = static_cast<int>(kTreeTextChars);
  const char nothing = '\0';
  LRESULT ok = 0;
  if (!memory.Write(&remote->item, &item, sizeof(item)) ||
      !memory.Write(remote->text, &nothing, 1) ||
      !Send(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&remote->item),
            &ok) ||
      !ok || memory.Read(&remote->item, &item, sizeof(item)) != sizeof(item)) {
    return false;
  }
  // A text supplied through TVN_GETDISPINFO may lie in the dialog's own
  // buffer; it is in the tree's process either way.
  char text[kTreeTextChars] = "";
  size_t got = memory.Read(item.pszText, text, sizeof(text) - 1);
  out->handle = handle;
  out->text.assign(text, strnlen(text, got));
  out->hasButton =
      item.cChildren != 0 || NextTreeItem(tree, TVGN_CHILD, handle) != nullptr;
  out->expanded = (item.state & TVIS_EXPANDED) != 0;
  out->selected = (item.state & TVIS_SELECTED) != 0;
  return true;
}

// Appends `first` and its siblings with their subtrees, depth first.
bool CollectTreeItems(HWND tree, const RemoteMemory& memory, HTREEITEM first,
                      const std::string& parentPath, int level,
                      std::vector<TreeItem>* out) {
  for (HTREEITEM h = first; h != nullptr;
       h = NextTreeItem(tree, TVGN_NEXT, h)) {
    TreeItem item;
    if (!ReadTreeItem(tree, memory, h, &item)) return false;
    item.level = level;
    item.path = level == 0 ? item.text : parentPath + "\\" + item.text;
    out->push_back(item);
    HTREEITEM child = NextTreeItem(tree, TVGN_CHILD, h);
    if (!CollectTreeItems(tree, memory, child, item.path, level + 1, out)) {
      return false;
    }
  }
  return true;
}

bool FindTreeItem(HWND dialog, int id, const std::string& path,
                  TreeItem* found) {
  for (const TreeItem& item : TreeItems(dialog, id)) {
    if (SameNoCase(item.path, path.c_str())) {
      *found = item;
      return true;
    }
  }
  return false;
}

}  // namespace

std::vector<TreeItem> TreeItems(HWND dialog, int id) {
  std::vector<TreeItem> items;
  HWND tree = GetDlgItem(dialog, id);
  if (tree == nullptr) return items;
  RemoteMemory memory(tree, sizeof(RemoteTreeItem));
  if (memory.address() == nullptr ||
      !CollectTreeItems(tree, memory, NextTreeItem(tree, TVGN_ROOT, nullptr),
                        "", 0, &items)) {
    items.clear();
  }
  return items;
}

bool SelectTreeItem(HWND dialog, int id, const std::string& path,
                    DWORD timeoutMs) {
  TreeItem item;
  HWND tree = GetDlgItem(dialog, id);
  if (!IsUsable(tree) || !FindTreeItem(dialog, id, path, &item)) return false;
  // Selected before the focus comes: a tree given the focus without a
  // selection would select its first item.
  LRESULT selected = 0;
  UINT ms = static_cast<UINT>(timeoutMs);
  return Send(tree, TVM_SELECTITEM, TVGN_CARET,
              reinterpret_cast<LPARAM>(item.handle), &selected, ms) &&
         selected && FocusControl(dialog, id);
}

bool ExpandTreeItem(HWND dialog, int id, const std::string& path,
                    DWORD timeoutMs) {
  TreeItem item;
  if (!FindTreeItem(dialog, id, path, &item)) return false;
  if (item.expanded) return true;
  if (!item.hasButton) return false;  // nothing a user could expand
  if (!SelectTreeItem(dialog, id, path, timeoutMs) ||
      !PressKey(dialog, VK_RIGHT, timeoutMs)) {
    return false;
  }
  return FindTreeItem(dialog, id, path, &item) && item.expanded;
}

bool ClickTreeItemButton(HWND dialog, int id, const std::string& path,
                         DWORD timeoutMs) {
  TreeItem item;
  HWND tree = GetDlgItem(dialog, id);
  if (!IsUsable(tree) || !FindTreeItem(dialog, id, path, &item) ||
      !item.hasButton) {
    return false;
  }
  // TVM_GETITEMRECT takes the item in the RECT it fills, in the tree's
  // process.
  RemoteMemory memory(tree, sizeof(RECT));
  RECT box = {};
  memcpy(&box, &item.handle, sizeof item.handle);
  LRESULT found = 0;
  if (memory.address() == nullptr || !memory.Write(memory.address(), &box, sizeof box) ||
      !Send(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(memory.address()),
            &found) ||
      !found || memory.Read(memory.address(), &box, sizeof box) != sizeof box) {
    return false;
  }
  LRESULT indent = 0;
  Send(tree, TVM_GETINDENT, 0, 0, &indent);
  // With lines at the root, the button of a level-n item is centred in the
  // (n+1)-th indent column.
  int x = static_cast<int>(indent) * item.level + static_cast<int>(indent) / 2;
  int y = (box.top + box.bottom) / 2;
  LPARAM at = MAKELPARAM(x, y);
  return PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
         PostMessageA(tree, WM_LBUTTONUP, 0, at) && Settle(dialog, timeoutMs);
}

}  // namespace robot
