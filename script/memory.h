// The program's one allocation seam: every heap block of the program's own
// code comes from here. Nothing throws: a failed allocation returns null and
// each caller takes its out-of-memory path. Tests replace the reallocation
// function to make allocations fail.
#pragma once

#include <cstddef>

typedef void* (*ReallocFunction)(void* block, size_t size);

// A new block of `size` bytes (at least one), or null when memory runs out.
void* MemAlloc(size_t size);
// Resizes `block` (null: a new block); null when memory runs out, the old
// block then left as it was.
void* MemRealloc(void* block, size_t size);
void MemFree(void* block);
// A heap copy of `text`, or null when memory runs out.
char* MemDupText(const char* text);

// Replaces the reallocation function (null restores the C library's) and
// returns the previous one.
ReallocFunction SetReallocFunction(ReallocFunction function);
