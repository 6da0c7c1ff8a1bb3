#include "CommandLine.h"
#include "EditorApp.h"

// The one application object, made before main() runs.
CEditorApp theApp;

int main(int argc, char** argv) {
    // The commands run before anything of the window's, so that they need
    // no display.
    if (const std::optional<int> status = RunCommandLine(argc, argv))
        return *status;
    // What is left is the window, with the one file it opens if any.
    if (argc == 2)
        theApp.m_strFileName = CString(argv[1]);
    return AfxWinMain(argc, argv);
}
