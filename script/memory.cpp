// Allocation through one replaceable reallocation function.
#include "script/memory.h"

#include <cstdlib>
#include <cstring>

static void* LibraryRealloc(void* block, size_t size) {
  return realloc(block, size);
}

static ReallocFunction g_realloc = LibraryRealloc;

void* MemAlloc(size_t size) { return g_realloc(nullptr, size ? size : 1); }

void* MemRealloc(void* block, size_t size) {
  return g_realloc(block, size ? size : 1);
}

void MemFree(void* block) { free(block); }

char* MemDupText(const char* text) {
  size_t size = strlen(text) + 1;
  char* copy = static_cast<char*>(MemAlloc(size));
  if (copy) memcpy(copy, text, size);
  return copy;
}

ReallocFunction SetReallocFunction(ReallocFunction function) {
  ReallocFunction previous = g_realloc;
  g_realloc = function ? function : LibraryRealloc;
  return previous;
}
