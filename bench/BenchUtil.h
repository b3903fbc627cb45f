#pragma once
// Timing helpers for the benchmarks: medians of repeated runs, and the
// floors they are compared with (a `wc -l` over the same files).

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "storage/Status.h"

namespace tellurio::bench {

// Runs fn `runs` times and returns the median wall time in milliseconds.
double MedianMs(int runs, const std::function<void()>& fn);

// Median time of `wc -l` over the files, run as a separate process.
double WcFloorMs(const std::vector<std::filesystem::path>& files, int runs = 7);

// Prints one result line: name, time, floor, ratio and the target.
void Report(const std::string& name, double ms, const std::string& floorName, double floorMs, double target);

// True when every reported ratio met its target so far.
bool AllTargetsMet();

// Ends the benchmark (throws) when a file operation of its set-up failed.
void Require(const Status& status);

// The data directory of a benchmark: the one given as "--dir DIR", else
// tellurio-bench-<name> in the temporary directory.  Says that it is being
// generated.
std::filesystem::path BenchDirectory(int argc, char** argv, const std::string& name);

}  // namespace tellurio::bench
