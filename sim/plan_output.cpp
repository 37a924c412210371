// Writing the dry run's report.
#include "sim/plan_output.h"

#include <sstream>

#include "checker/json_string.h"

namespace {

std::string JsonList(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? ",\n    " : "\n    ") + JsonString(items[i]);
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
  out << "{\n  \"program\": " << JsonString(setup.programPath)
      << ",\n  \"commandLine\": " << JsonString(setup.commandLine)
      << ",\n  \"notSimulated\": " << JsonList(NotSimulated()) << ",\n  \"steps\": [";
  for (size_t i = 0; i < result.steps.size(); ++i) {
    const PlanStep& step = result.steps[i];
    out << (i ? ",\n    " : "\n    ") << "{\"place\": " << JsonString(step.place)
        << ", \"kind\": " << JsonString(step.kind) << ", \"detail\": " << JsonString(step.detail)
        << "}";
  }
  out << (result.steps.empty() ? "]" : "\n  ]") << ",\n  \"exitCode\": " << result.exitCode
      << ",\n  \"failureFlag\": " << (result.failureFlag ? "true" : "false")
      << ",\n  \"rebootRequested\": " << (result.rebootRequested ? "true" : "false");
  if (changes) out << ",\n  \"changes\": " << JsonList(*changes);
  out << "\n}\n";
  return out.str();
}
