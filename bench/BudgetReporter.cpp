#include "BudgetReporter.h"

#include <cstdio>
#include <ostream>

namespace {

std::string FormatTime(double nanoseconds) {
    char text[32];
    if (nanoseconds >= 1e6)
        std::snprintf(text, sizeof text, "%.3g ms", nanoseconds / 1e6);
    else if (nanoseconds >= 1e3)
        std::snprintf(text, sizeof text, "%.3g us", nanoseconds / 1e3);
    else
        std::snprintf(text, sizeof text, "%.3g ns", nanoseconds);
    return text;
}

double ToNanoseconds(double value, benchmark::TimeUnit unit) {
    switch (unit) {
    case benchmark::kSecond:
        return value * 1e9;
    case benchmark::kMillisecond:
        return value * 1e6;
    case benchmark::kMicrosecond:
        return value * 1e3;
    case benchmark::kNanosecond:
        break;
    }
    return value;
}

} // namespace

const std::vector<Budget>& Budgets() {
    static const std::vector<Budget> budgets = {
        {"BM_Layout", "full layout (ResetGrid + flush)", 1e6},
        {"BM_StrokeCell", "one stroke cell (OnLButtonDown + flush)", 100e3},
        {"BM_StrokeCellEvent", "one click stroke, recorded for undo (press + release)", 100e3},
        {"BM_UndoRedo", "undo or redo of a 32 x 16 sprite, repaint included", 1e6},
        {"BM_RedrawGrid", "full RedrawGrid + flush", 1.5e6},
        {"BM_EmitCode/32/16", "EmitCode 32 x 16", 10e3},
        {"BM_OpenSourceFile", "open and list a 1 MiB header with 500 arrays", 50e6},
        {"BM_SaveSourceArray", "save one sprite into a 1 MiB header (edits and new text)", 10e6},
        {"BM_StoreSourceArray", "the same save through the document, listing kept", 10e6},
    };
    return budgets;
}

void BudgetReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred)
            continue;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.run_type == Run::RT_Aggregate && !median)
            continue;
        const std::string name = run.run_name.str();
        const double ns = ToNanoseconds(run.GetAdjustedRealTime(), run.time_unit);
        bool replaced = false;
        for (Measured& m : m_measured) {
            // The median of repetitions stands for the whole family; a plain
            // run only counts while no median has come.
            if (m.name == name) {
                if (median || !m.median)
                    m = {name, ns, median};
                replaced = true;
            }
        }
        if (!replaced)
            m_measured.push_back({name, ns, median});
    }
}

bool BudgetReporter::PrintSummary(std::ostream& out) const {
    bool allMet = true;
    out << "\n| what | benchmark | measured | budget | |\n|---|---|---|---|---|\n";
    for (const Budget& budget : Budgets()) {
        const Measured* found = nullptr;
        for (const Measured& m : m_measured)
            if (m.name == budget.benchmark)
                found = &m;
        if (!found) {
            // Left out by a filter: say so, without failing the run.
            out << "| " << budget.what << " | " << budget.benchmark << " | not run | "
                << FormatTime(budget.nanoseconds) << " | |\n";
            continue;
        }
        const bool met = found->nanoseconds <= budget.nanoseconds;
        allMet = allMet && met;
        out << "| " << budget.what << " | " << budget.benchmark << " | "
            << FormatTime(found->nanoseconds) << " | " << FormatTime(budget.nanoseconds) << " | "
            << (met ? "met" : "MISSED") << " |\n";
    }
    return allMet;
}
