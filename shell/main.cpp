#include "EditorApp.h"

// The one application object, made before main() runs.
CEditorApp theApp;

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
