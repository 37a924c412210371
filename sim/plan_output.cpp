// Writing the dry run's report.
#include "sim/plan_output.h"

#include <cstdio>
#include <sstream>

namespace {

// A JSON string of ANSI text: the bytes above 127 are taken as Latin-1.
std::string JsonText(const std::string& text) {
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

std::string JsonList(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? ",\n    " : "\n    ") + JsonText(items[i]);
  return out + (items.empty() ? "]" : "\n  ]");
}

std::vector<std::string> NotSimulated() {
  return std::vector<std::string>(kNotSimulated, kNotSimulated + kNotSimulatedCount);
}

}  // namespace

std::string PlanAsText(const DryRunSetup& setup, const DryRunResult& result,
                       const std::vector<std::string>* changes) {
  std::ostringstream out;
  out << "dry run: " << setup.programPath << (setup.commandLine.empty() ? "" : " ")
      << setup.commandLine << "\n";
  for (const std::string& limit : NotSimulated()) out << "not simulated: " << limit << "\n";
  for (const PlanStep& step : result.steps) {
    if (!step.place.empty()) out << step.place << ": ";
    out << step.kind << ": " << step.detail << "\n";
  }
  if (changes) {
    out << "changes (" << changes->size() << "):\n";
    for (const std::string& change : *changes) out << "  " << change << "\n";
  }
  return out.str();
}

std::string PlanAsJson(const DryRunSetup& setup, const DryRunResult& result,
                       const std::vector<std::string>* changes) {
  std::ostringstream out;
  out << "{\n  \"program\": " << JsonText(setup.programPath)
      << ",\n  \"commandLine\": " << JsonText(setup.commandLine)
      << ",\n  \"notSimulated\": " << JsonList(NotSimulated()) << ",\n  \"steps\": [";
  for (size_t i = 0; i < result.steps.size(); ++i) {
    const PlanStep& step = result.steps[i];
    out << (i ? ",\n    " : "\n    ") << "{\"place\": " << JsonText(step.place)
        << ", \"kind\": " << JsonText(step.kind) << ", \"detail\": " << JsonText(step.detail)
        << "}";
  }
  out << (result.steps.empty() ? "]" : "\n  ]") << ",\n  \"exitCode\": " << result.exitCode
      << ",\n  \"failureFlag\": " << (result.failureFlag ? "true" : "false")
      << ",\n  \"rebootRequested\": " << (result.rebootRequested ? "true" : "false");
  if (changes) out << ",\n  \"changesSince\": " << JsonList(*changes);
  out << "\n}\n";
  return out.str();
}
