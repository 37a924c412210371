// The "vorn" and "update" lines of zek.ini: their rewrite on an upgrade,
// and the scan that tells whether the installed runtime updates itself.
#pragma once

#include <cstddef>

#include "runtimecfg/fresh_import.h"
#include "script/byte_buffer.h"

// Copies `installed` to `out`, turning every line that begins with "update"
// into "update <updateValue>" and every other line that begins with "vorn"
// into "vorn <vornValue>"; a turned line keeps the line end it came with.
// With no such line, `out` is byte-identical to `installed`. False when
// memory runs out.
bool RewriteVornLines(FileText installed, const char* vornValue,
                      const char* updateValue, ByteBuffer& out);

// How much of zek.ini the update scan reads, and the shortest run of text
// bytes that ends it.
const size_t kUpdateScanBytes = 2047;
const size_t kUpdateScanLongestLine = 511;

// True when the first "update" line within the scanned start of `contents`
// says "no" or names a version at least `version` (text order, case
// ignored); false when it says "auto", names a lower version, or there is
// none. A line is a run of bytes 32..127; every other byte ends one.
bool UpdateLineAllows(const char* contents, size_t size, const char* version);
