#include "WinApp.h"

#include "Host.h"
#include "ResourceTypes.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QVBoxLayout>

namespace {

CWinApp* g_pApp = nullptr;
MessageBoxHook g_messageBoxHook;

} // namespace

using platform_detail::FromUtf8;

namespace platform_detail {

int RunMessageBox(QWidget* owner, const MessageBoxRequest& request) {
    if (g_messageBoxHook)
        return g_messageBoxHook(request);
    QMessageBox box(QMessageBox::NoIcon, FromUtf8(request.caption), FromUtf8(request.text),
                    QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IDOK;
}

} // namespace platform_detail

void AfxSetMessageBoxHook(MessageBoxHook hook) {
    g_messageBoxHook = std::move(hook);
}

CWinApp::CWinApp(const char* pszAppName) : m_pszAppName(pszAppName) {
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

bool CWinApp::InitInstance() {
    return true;
}

bool CWinApp::OnCmdMsg(UINT nID) {
    const MSG msg{WM_COMMAND, MAKEWPARAM(nID, 0), 0};
    LRESULT result = 0;
    return OnWndMsg(msg, result);
}

void CWinApp::OnHelp() {
    // One help window at a time, beside whatever is active; it does not
    // block the editor.
    static QPointer<QDialog> window;
    if (!window) {
        window = new QDialog(QApplication::activeWindow());
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(QStringLiteral("%1 Help").arg(FromUtf8(Version().productName)));
        auto* text = new QLabel(FromUtf8(HelpText()), window);
        text->setTextFormat(Qt::PlainText);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        auto* layout = new QVBoxLayout(window);
        layout->addWidget(text);
        window->setObjectName(QStringLiteral("helpWindow"));
    }
    window->show();
    window->raise();
    window->activateWindow();
}

int AfxWinMain(int argc, char** argv) {
    // The toolkit gets the program's name and nothing else from the command
    // line, which the program does not read.
    static char fallbackName[] = "glimmet";
    static char* toolkitArgv[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr};
    static int toolkitArgc = 1;
    QApplication application(toolkitArgc, toolkitArgv);

    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    if (app->m_pszAppName.IsEmpty())
        app->m_pszAppName = CString(QFileInfo(QString::fromLocal8Bit(toolkitArgv[0]))
                                        .completeBaseName()
                                        .toUtf8()
                                        .toStdString());
    QApplication::setApplicationName(FromUtf8(app->m_pszAppName));
    QApplication::setApplicationVersion(FromUtf8(Version().productVersionText));
    QGuiApplication::setDesktopFileName(FromUtf8(Version().appId));

    if (!app->InitInstance())
        return 0;
    return QApplication::exec();
}
