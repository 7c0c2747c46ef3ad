// A benchmark that times a peer library on the same input as one of ours carries
// the label "peer of <our benchmark's name>". The main below runs the benchmarks
// as usual and then prints, for every such pair, how many times faster ours is
// (by items per second where both count items, else by CPU time per iteration).
// scripts/bench.sh reads the same labels from the JSON output.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace peer_ratio {

inline constexpr const char label_prefix[] = "peer of ";

struct timed_run {
    std::string name;
    std::string label;
    double cpu_time;          // per iteration
    double items_per_second;  // 0 when the benchmark counts no items
};

class reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const auto items = run.counters.find("items_per_second");
            runs_.push_back({run.benchmark_name(), run.report_label, run.GetAdjustedCPUTime(),
                             items == run.counters.end() ? 0.0 : static_cast<double>(items->second)});
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const timed_run &peer : runs_) {
            if (peer.label.rfind(label_prefix, 0) != 0) continue;
            const std::string ours_name = peer.label.substr(sizeof label_prefix - 1);
            for (const timed_run &ours : runs_) {
                if (ours.name != ours_name) continue;
                const double ratio = ours.items_per_second > 0 && peer.items_per_second > 0
                                         ? ours.items_per_second / peer.items_per_second
                                         : peer.cpu_time / ours.cpu_time;
                std::printf("%s is %.1fx %s (CPU time)\n", ours.name.c_str(), ratio, peer.name.c_str());
            }
        }
        std::fflush(stdout);
    }

private:
    std::vector<timed_run> runs_;
};

inline int run(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    reporter display;
    benchmark::RunSpecifiedBenchmarks(&display);
    benchmark::Shutdown();
    return 0;
}

}  // namespace peer_ratio
