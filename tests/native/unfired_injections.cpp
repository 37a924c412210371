// Every native test fails when a failure it injected into the in-memory
// machine never fired: a misspelt or unreachable injection tests nothing.
#include <gtest/gtest.h>

#include <string>

#include "sim/memory_effects.h"

namespace {

void FailTheTest(const std::string& text) { ADD_FAILURE() << text; }

[[maybe_unused]] const bool kReportedAsFailures =
    (MemoryEffects::SetUnfiredReport(FailTheTest), true);

}  // namespace
