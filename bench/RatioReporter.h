// A console reporter that, after the usual table, prints each benchmark's time as a ratio
// of its baseline: the benchmark named NAME/... against NAME_Baseline/..., both measured in
// the same run on the same machine.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ostream>
#include <map>
#include <string>

namespace quenlow::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Plain text: the output goes to logs, not a terminal.
  RatioReporter() : ConsoleReporter(OO_None) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [name, time] : m_times) {
      const std::size_t slash = name.find('/');
      const std::string base =
          name.substr(0, slash) + "_Baseline" + (slash == std::string::npos ? "" : name.substr(slash));
      auto baseline = m_times.find(base);
      if (baseline == m_times.end() || baseline->second <= 0) continue;
      char line[256];
      std::snprintf(line, sizeof line, "ratio %s: %.2f x baseline (%.0f ns vs %.0f ns)\n", name.c_str(),
                    time / baseline->second, time, baseline->second);
      GetOutputStream() << line << std::flush;
    }
  }

 private:
  std::map<std::string, double> m_times;
};

}  // namespace quenlow::bench

#define QUENLOW_BENCHMARK_MAIN()                  \
  int main(int argc, char** argv) {               \
    benchmark::Initialize(&argc, argv);           \
    quenlow::bench::RatioReporter reporter;       \
    benchmark::RunSpecifiedBenchmarks(&reporter); \
    benchmark::Shutdown();                        \
    return 0;                                     \
  }
