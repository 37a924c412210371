// The dry run's report: what the simulation does not know, the plan (each
// journal line of the run, in order), the run's end, and the changes since
// a saved state when asked for; as text lines or as one JSON object.
#pragma once

#include <string>
#include <vector>

#include "sim/dry_run.h"

// `changes` null: no changes were asked for.
std::string PlanAsText(const DryRunSetup& setup, const DryRunResult& result,
                       const std::vector<std::string>* changes);
std::string PlanAsJson(const DryRunSetup& setup, const DryRunResult& result,
                       const std::vector<std::string>* changes);
