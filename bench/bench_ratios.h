// A console reporter that, after the usual table, prints the CPU time of each
// named benchmark as a ratio to a reference benchmark of the same run, so a
// figure never has to be compared with one measured at another time.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct BenchRatio {
    std::string subject;
    std::string reference;
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<BenchRatio> ratios)
        : benchmark::ConsoleReporter(OO_None)
        , ratios_(std::move(ratios))
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        benchmark::ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            // With repetitions the median stands for the benchmark; CPU time,
            // because on a shared machine the wall clock also counts the time
            // another program held the core.
            const std::string& name = run.run_name.function_name;
            const double seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians_[name] = seconds;
            else if (run.run_type == Run::RT_Iteration)
                singles_[name] = seconds;
        }
    }

    void Finalize() override
    {
        benchmark::ConsoleReporter::Finalize();
        bool header = false;
        for (const BenchRatio& ratio : ratios_) {
            const double subject = timeOf(ratio.subject);
            const double reference = timeOf(ratio.reference);
            if (subject <= 0 || reference <= 0)
                continue;
            if (!header) {
                std::printf("\nCPU time ratios in this run (above 1: the first takes longer):\n");
                header = true;
            }
            std::printf("  %-28s / %-28s = %6.2f\n", ratio.subject.c_str(), ratio.reference.c_str(),
                subject / reference);
        }
        std::fflush(stdout);
    }

private:
    // Seconds per iteration.
    double timeOf(const std::string& name) const
    {
        if (const auto median = medians_.find(name); median != medians_.end())
            return median->second;
        if (const auto single = singles_.find(name); single != singles_.end())
            return single->second;
        return 0;
    }

    std::vector<BenchRatio> ratios_;
    std::map<std::string, double> medians_;
    std::map<std::string, double> singles_;
};

// The body of main() for a benchmark program that reports `ratios`.
inline int runBenchmarksWithRatios(int argc, char** argv, std::vector<BenchRatio> ratios)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(std::move(ratios));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
