// Runs every benchmark, then prints one table: each fast form's median time
// and, where a benchmark named ".../literal" goes with a ".../fast" one, the
// speed-up of the fast form over its slow reference measured in this same
// run. The speed-up is of CPU time, which other work on the machine disturbs
// less than wall time. Run with --benchmark_repetitions=N for medians over N
// runs (scripts/bench.sh does).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#ifdef BRIMOSS_BENCH_GUI
#include "bench/wx/display.h"
#endif

namespace {

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

std::string human(double seconds) {
  char buf[32];
  if (seconds <= 0)
    std::snprintf(buf, sizeof buf, "-");
  else if (seconds < 1e-6)
    std::snprintf(buf, sizeof buf, "%.0f ns", seconds * 1e9);
  else if (seconds < 1e-3)
    std::snprintf(buf, sizeof buf, "%.3g us", seconds * 1e6);
  else if (seconds < 1)
    std::snprintf(buf, sizeof buf, "%.3g ms", seconds * 1e3);
  else
    std::snprintf(buf, sizeof buf, "%.3g s", seconds);
  return buf;
}

class TableReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.error_occurred) continue;
      const double unit = benchmark::GetTimeUnitMultiplier(r.time_unit);
      const std::string name = r.run_name.str();
      Times& t = r.run_type == Run::RT_Iteration ? runs_[name] : medians_[name];
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median") continue;
      t.real.push_back(r.GetAdjustedRealTime() / unit);
      t.cpu.push_back(r.GetAdjustedCPUTime() / unit);
      const auto worst = r.counters.find("worst_ms");
      if (worst != r.counters.end()) t.worst.push_back(worst->second.value);
      if (order_.empty() || order_.back() != name)
        if (std::find(order_.begin(), order_.end(), name) == order_.end()) order_.push_back(name);
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintTable() const {
    std::printf(
        "\n| Benchmark | median wall | median CPU | worst tick | literal CPU | speed-up |\n");
    std::printf("|---|---|---|---|---|---|\n");
    const std::string fast = "/fast", slow = "/literal";
    for (const std::string& name : order_) {
      if (name.size() <= fast.size() || name.compare(name.size() - fast.size(), fast.size(), fast))
        continue;
      const std::string base = name.substr(0, name.size() - fast.size());
      const Times f = pick(name);
      const Times l = pick(base + slow);
      const double fc = median(f.cpu), lc = median(l.cpu);
      char ratio[32] = "-";
      if (fc > 0 && lc > 0) std::snprintf(ratio, sizeof ratio, "%.3gx", lc / fc);
      const std::string worst = f.worst.empty() ? "-" : human(median(f.worst) / 1e3);
      std::printf("| %s | %s | %s | %s | %s | %s |\n", base.c_str(), human(median(f.real)).c_str(),
                  human(fc).c_str(), worst.c_str(), human(lc).c_str(), ratio);
    }
  }

 private:
  struct Times {
    std::vector<double> real, cpu, worst;
  };
  // The runs themselves when they were reported, else their reported median.
  Times pick(const std::string& name) const {
    const auto r = runs_.find(name);
    if (r != runs_.end() && !r->second.cpu.empty()) return r->second;
    const auto m = medians_.find(name);
    return m != medians_.end() ? m->second : Times{};
  }
  std::map<std::string, Times> runs_, medians_;
  std::vector<std::string> order_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
#ifdef BRIMOSS_BENCH_GUI
  if (!StartDisplay(argc, argv))
    std::fprintf(stderr, "No display: the drawing benchmarks are skipped (use xvfb-run).\n");
#endif
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintTable();
  benchmark::Shutdown();
#ifdef BRIMOSS_BENCH_GUI
  StopDisplay();
#endif
  return 0;
}
