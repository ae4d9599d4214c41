// Runs every benchmark, then prints the speed-up of each fast form over its
// slow reference measured in this same run: a benchmark named "X/literal" is
// paired with "X/fast". The ratio is of CPU time, which other work on the
// machine disturbs less than wall time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && !r.error_occurred)
        times_[r.benchmark_name()] = r.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const {
    const std::string slow = "/literal";
    for (const auto& [name, t] : times_) {
      if (name.size() <= slow.size() ||
          name.compare(name.size() - slow.size(), slow.size(), slow) != 0)
        continue;
      const std::string base = name.substr(0, name.size() - slow.size());
      const auto fast = times_.find(base + "/fast");
      if (fast == times_.end() || !(fast->second > 0)) continue;
      std::printf("speed-up %s: %.1fx (CPU time literal %.4g, fast %.4g, same unit)\n",
                  base.c_str(), t / fast->second, t, fast->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
