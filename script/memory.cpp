// Allocation through one replaceable reallocation function.
#include "script/memory.h"

#include <cstdlib>
#include <cstring>

static void* LibraryRealloc(void* block, size_t size) {
  return realloc(block, size);
}

// Null until a test replaces it: the library's then (no initialised data).
static ReallocFunction g_realloc = nullptr;

static void* Realloc(void* block, size_t size) {
  return (g_realloc ? g_realloc : LibraryRealloc)(block, size ? size : 1);
}

void* MemAlloc(size_t size) { return Realloc(nullptr, size); }

void* MemRealloc(void* block, size_t size) { return Realloc(block, size); }

void MemFree(void* block) { free(block); }

char* MemDupText(const char* text) {
  size_t size = strlen(text) + 1;
  char* copy = static_cast<char*>(MemAlloc(size));
  if (copy) memcpy(copy, text, size);
  return copy;
}

ReallocFunction SetReallocFunction(ReallocFunction function) {
  ReallocFunction previous = g_realloc ? g_realloc : LibraryRealloc;
  g_realloc = function;
  return previous;
}
