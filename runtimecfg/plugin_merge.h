// The plug-in merge of an upgrade: the installed zek.ini keeps its lines,
// and each of its plug-in lines gives way to the shipped entry of the same
// stem unless its own version tag is greater; shipped entries that paired
// with no installed line follow at the end, in the shipped order.
#pragma once

#include <cstddef>

#include "runtimecfg/fresh_import.h"
#include "script/byte_buffer.h"

// Writes the merged file to `out`. `shipped` may be missing (data null):
// every installed plug-in line is then kept, normalised to "plugin " and its
// entry. A plug-in line written in place of an installed one keeps that
// line's end; the shipped entries added at the end get CR LF. False when
// memory runs out.
bool MergePluginLines(FileText installed, FileText shipped, ByteBuffer& out);

// The stem of a plug-in entry ("netlib" of "netlib-12.dll"): the text
// before its first '-' or '.', or all of it.
size_t PluginStemLength(const char* entry);
// The version tag that follows the stem when the stem ends at a '-': from
// that '-' up to the next '.' or the end ("-12" of "netlib-12.dll");
// otherwise empty. Its length; `*tag` points at it.
size_t PluginTagLength(const char* entry, const char** tag);
