#pragma once
#include <benchmark/benchmark.h>
#include <map>
#include <string>

// Collects the median of every case and of its baseline (functions "Case_program" and "Case_baseline")
// and prints one line per case with their ratio after the run.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override;
    void printSummary() const;

private:
    std::map<std::string, std::map<std::string, double>> medians_; // case -> side -> ms
    std::vector<std::string> order_;
    std::vector<std::pair<std::string, double>> peaks_; // run -> peak resident MB
    std::vector<std::string> failures_;
};
