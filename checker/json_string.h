// JSON string literals of the tools' reports (setupcheck, setupsim). The
// scripts and the machine's names are ANSI text: a byte above 127 is taken
// as Latin-1 and written as \u00XX, so that the report is valid JSON
// whatever the code page.
#pragma once

#include <string>

// `text` as a JSON string, quotes included.
std::string JsonString(const std::string& text);
