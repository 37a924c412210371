// File size probe through the C library.
#include "actions/file_probe.h"

#include <cstdio>

long FileSize(const char* path) {
  if (!path) return -1;
  FILE* file = fopen(path, "rb");
  if (!file) return -1;
  long size = -1;
  if (fseek(file, 0, SEEK_END) == 0) size = ftell(file);
  fclose(file);
  return size;
}
