// FileSize: the size of a file opened for binary reading.
#pragma once

// Size in bytes, or -1 when the file cannot be opened. Callers treat 0 or
// less as a missing or empty file.
long FileSize(const char* path);
