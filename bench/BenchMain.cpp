// The benchmark runner: the editor benchmarks need the toolkit's application
// object, on the offscreen platform so that no display is needed and no
// window appears, and a summary of the budgets closes the report.
//
// Besides Google Benchmark's own flags, --check_budgets makes a missed
// budget end the run with exit code 1.

#include "Bench.h"
#include "BudgetReporter.h"
#include "ResourceTypes.h"

#include <QApplication>

#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    bool checkBudgets = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check_budgets") == 0)
            checkBudgets = true;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;

    // The platform must be chosen before the application object is made.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static char name[] = "glimmet_bench";
    static char* toolkitArgv[] = {name, nullptr};
    int toolkitArgc = 1;
    QApplication application(toolkitArgc, toolkitArgv);
    AfxSetResourceTables(ResourceTables());

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    BudgetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    CloseBenchEditor();

    const bool met = reporter.PrintSummary(std::cout);
    return checkBudgets && !met ? 1 : 0;
}
