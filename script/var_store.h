// The variable store: 400 named 8-bit strings shared by the script, the
// language file and the program. Names compare with ASCII case ignored; the
// store owns heap copies of names and values. It knows nothing of commands.
#pragma once

const int kVarSlots = 400;

struct VarSlot {
  char* name;   // null: the slot is free
  char* value;  // null or a leftover block reused when the slot is refilled
};

struct VarStore {
  VarSlot slots[kVarSlots];
  // All slots free; constant, so a process-wide store needs no start-up code.
  constexpr VarStore() : slots{} {}
  ~VarStore();
  VarStore(const VarStore&) = delete;
  VarStore& operator=(const VarStore&) = delete;
};

// Frees every name and value; all slots become free.
void VarClearAll(VarStore& store);
// Index of the in-use slot named `name` (case ignored), or -1.
int VarFind(const VarStore& store, const char* name);
// Stores a copy of `value` under `name`: updates the existing slot or takes
// the lowest free one. Returns the slot index, or -1 when the store is full
// or memory runs out (the variable then no longer exists).
int VarSet(VarStore& store, const char* name, const char* value);
// The stored value (the store's own string, valid until the variable is set
// again or removed), or null when no slot has that name. The string is
// writable: the error box and the item-text setter expand line breaks in it.
char* VarGet(const VarStore& store, const char* name);
// Removes the variable; nothing happens when it does not exist.
void VarRemove(VarStore& store, const char* name);
