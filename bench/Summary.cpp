#include "Summary.h"
#include <cstdio>

void SummaryReporter::ReportRuns(const std::vector<Run> &runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
        if (run.error_occurred)
            failures_.push_back(run.benchmark_name() + ": " + run.error_message);
        const auto peak = run.counters.find("peak_MB");
        if (peak != run.counters.end())
            peaks_.emplace_back(run.benchmark_name(), double(peak->second));
        if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
            continue;
        const std::string &function = run.run_name.function_name;
        const auto underscore = function.rfind('_');
        if (underscore == std::string::npos)
            continue;
        std::string caseName = function.substr(0, underscore);
        if (!run.run_name.args.empty())
            caseName += "/" + run.run_name.args;
        // The provider argument reads as the provider's name.
        for (const auto &[arg, provider] : {std::pair<std::string, std::string>{"server:0", "file"}, {"server:1", "server"}})
            if (const auto at = caseName.find(arg); at != std::string::npos)
                caseName.replace(at, arg.size(), provider);
        if (!medians_.count(caseName))
            order_.push_back(caseName);
        // Every case reports in milliseconds.
        medians_[caseName][function.substr(underscore + 1)] = run.GetAdjustedRealTime();
    }
}

void SummaryReporter::printSummary() const
{
    std::printf("\n%-34s %12s %12s %8s\n", "case", "median ms", "baseline ms", "ratio");
    for (const std::string &name : order_) {
        const auto &sides = medians_.at(name);
        const double program = sides.count("program") ? sides.at("program") : 0;
        const double baseline = sides.count("baseline") ? sides.at("baseline") : 0;
        std::printf("%-34s %12.3f %12.3f %8.2f\n", name.c_str(), program, baseline,
                    baseline > 0 ? program / baseline : 0.0);
    }
    for (const std::string &failure : failures_)
        std::printf("FAILED %s\n", failure.c_str());
    for (const auto &peak : peaks_)
        std::printf("%-34s %12.1f MB peak resident\n", peak.first.c_str(), peak.second);
}
