#pragma once

// The speed budgets of the editor's hot paths, and a console reporter that
// closes the run with a summary of each budgeted benchmark against its budget.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

struct Budget {
    const char* benchmark; // the registered name, without arguments
    const char* what;      // what the benchmark measures, for the summary
    double nanoseconds;    // the most one iteration may take
};

// Every budget, in the order the summary lists them.
const std::vector<Budget>& Budgets();

class BudgetReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // Prints the summary as a Markdown table; false if a benchmark that ran
    // missed its budget. One left out by a filter is listed as not run.
    bool PrintSummary(std::ostream& out) const;

private:
    struct Measured {
        std::string name;
        double nanoseconds;
        bool median; // a median of repetitions rather than one run
    };
    std::vector<Measured> m_measured;
};
