// setupcheck's output: the findings as text lines ("setup.ini:14: error:
// message") or as a JSON array of flat objects; and the JSON strings of
// both tools' reports.
#include <cstdio>
#include <sstream>

#include "checker/json_string.h"
#include "checker/script_check.h"

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x80) {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string FindingsAsText(const std::vector<Finding>& findings) {
  std::ostringstream out;
  for (const Finding& f : findings) {
    out << f.file << ":" << f.line << ": " << (f.error ? "error" : "warning") << ": "
        << f.message << "\n";
  }
  return out.str();
}

std::string FindingsAsJson(const std::vector<Finding>& findings) {
  std::ostringstream out;
  out << "[";
  for (size_t i = 0; i < findings.size(); ++i) {
    const Finding& f = findings[i];
    out << (i ? ",\n " : "\n ") << "{\"file\": " << JsonString(f.file)
        << ", \"line\": " << f.line << ", \"severity\": \""
        << (f.error ? "error" : "warning") << "\", \"message\": " << JsonString(f.message)
        << "}";
  }
  out << (findings.empty() ? "]\n" : "\n]\n");
  return out.str();
}
