// Variable store: a fixed table of 400 slots scanned in order; removal leaves
// a hole that the next new name fills.
#include "script/var_store.h"

#include <cstring>

#include "script/memory.h"
#include "script/text.h"

VarStore::~VarStore() { VarClearAll(*this); }

void VarClearAll(VarStore& store) {
  for (VarSlot& slot : store.slots) {
    MemFree(slot.name);
    MemFree(slot.value);
    slot = VarSlot{nullptr, nullptr};
  }
}

int VarFind(const VarStore& store, const char* name) {
  for (int i = 0; i < kVarSlots; ++i) {
    const char* slotName = store.slots[i].name;
    if (slotName && EqualsNoCase(slotName, name)) return i;
  }
  return -1;
}

static int LowestFreeSlot(const VarStore& store) {
  for (int i = 0; i < kVarSlots; ++i) {
    if (!store.slots[i].name) return i;
  }
  return -1;
}

// Resizes `*block` to hold `text` and copies it in; false when out of memory
// (the old block is then left as it was).
static bool StoreCopy(char** block, const char* text) {
  size_t size = strlen(text) + 1;
  char* grown = static_cast<char*>(MemRealloc(*block, size));
  if (!grown) return false;
  memcpy(grown, text, size);
  *block = grown;
  return true;
}

int VarSet(VarStore& store, const char* name, const char* value) {
  int index = VarFind(store, name);
  if (index < 0) index = LowestFreeSlot(store);
  if (index < 0) return -1;
  VarSlot& slot = store.slots[index];
  // The name may be the slot's own string (a caller re-setting by the stored
  // name); copy it before the block moves.
  char* nameCopy = MemDupText(name);
  char* valueCopy = MemDupText(value);
  bool ok = nameCopy && valueCopy && StoreCopy(&slot.name, nameCopy) &&
            StoreCopy(&slot.value, valueCopy);
  MemFree(nameCopy);
  MemFree(valueCopy);
  if (!ok) {
    MemFree(slot.name);
    MemFree(slot.value);
    slot = VarSlot{nullptr, nullptr};
    return -1;
  }
  return index;
}

char* VarGet(const VarStore& store, const char* name) {
  int index = VarFind(store, name);
  return index < 0 ? nullptr : store.slots[index].value;
}

void VarRemove(VarStore& store, const char* name) {
  int index = VarFind(store, name);
  if (index < 0) return;
  VarSlot& slot = store.slots[index];
  MemFree(slot.value);
  MemFree(slot.name);
  slot = VarSlot{nullptr, nullptr};
}
