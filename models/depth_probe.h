// The engine graph's depth probe, one rule for Dosavia and the browser: at the depth under the
// pointer, each drawn curve's value as the graph draws it (per cent of its result's fitted
// surface kerma) with its ± where the run's own history groups measure it, so that a class
// can read D(20) and D(10) off the graph with how sure each is.
#pragma once

#include <string>
#include <string_view>

#include "engine/result_file.h"
#include "engine/run_statistics.h"

namespace dosavia {

// The depth bin 1..kDepthBins under `depth_cm` (bin i holds (i - 1) mm to i mm); 0 off the
// depth axis (above the surface, beyond 30 cm, not a number).
int ProbedDepthBin(double depth_cm);

// The depth [cm] the probe names for bin `bin`: its centre, as the curves are drawn.
inline double ProbedDepthCm(int bin) { return (bin - 0.5) / 10.0; }

// One curve's value at the probed bin [% of the result's fitted surface kerma] and its
// standard uncertainty in the same unit; sigma -1 where none is measured.
struct ProbedValue {
  double percent = 0;
  double sigma_percent = -1;
};

// A drawn set's curves at the probed bin.
struct ProbedSet {
  ProbedValue total;
  ProbedValue primary;
  ProbedValue scatter;  // total minus primary: correlated with both, no ± of its own
  ProbedValue kerma;    // the result's primary kerma
};

// The values of field column `field` (1..10) of `tables` at depth bin `bin` (1..kDepthBins),
// on the graph's scale (DisplayScale). `statistics`: the run's matching statistics for the
// curves of the parallel beam; null for a point source's curves (the groups measured the
// parallel beam's) or a result without them, and then no value has a ±. A run of too few
// histories for its groups to measure a spread keeps none either.
ProbedSet ProbeCurveSet(const ResultTables& tables, int field, int bin,
                        const RunStatistics* statistics);

// The probe's heading: "深さ 2.35 cm" ("depth 2.35 cm") for bin `bin`.
std::string DepthProbeHeading(int bin, bool english = false);

// One set's line after its name: "全 78.1 ± 0.4  一次 70.2 ± 0.4  散乱 7.9 [%]" ("total ...
// primary ... scatter ... [%]"), each value to one decimal and its ± where known.
std::string DepthProbeValues(const ProbedSet& set, bool english = false);

}  // namespace dosavia
