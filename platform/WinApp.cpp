#include "WinApp.h"

#include "DialogHost.h"
#include "Handles.h"
#include "HelpWindow.h"
#include "Text.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QSettings>

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#define GLIMMET_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define GLIMMET_LEAK_CHECK 1
#endif
#endif
#ifdef GLIMMET_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

using platform_detail::DialogHost;
using platform_detail::FromUtf8;
using platform_detail::WidgetOf;

namespace {

CWinApp* g_pApp = nullptr;
MessageBoxHook g_messageBoxHook;

// Shows a message box, or hands it to the installed hook.
int RunMessageBox(QWidget* owner, const MessageBoxRequest& request) {
    if (g_messageBoxHook)
        return g_messageBoxHook(request);
    // A question's buttons are Yes, No and, where it has one, Cancel; Esc
    // answers Cancel, or No without one.
    const UINT buttons = request.nType & 0x000F;
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    if (buttons == MB_YESNOCANCEL)
        standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    else if (buttons == MB_YESNO)
        standard = QMessageBox::Yes | QMessageBox::No;
    QMessageBox box(QMessageBox::NoIcon, FromUtf8(request.caption), FromUtf8(request.text),
                    standard, owner);
    box.setTextFormat(Qt::PlainText);
    if (buttons == MB_YESNO)
        box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

// Ends the program on Wayland without taking down the toolkit's connection to
// the compositor. Qt 6.4's Wayland client can deadlock there: when the main
// thread has prepared a read for its event thread just before that thread is
// told to stop, the thread leaves without cancelling it, and the frame-event
// thread then waits in wl_display_read_events for that read for ever, while
// the display's destructor waits for the thread. Every window has gone and
// every setting was written when this runs; the compositor frees the rest
// when the connection closes.
[[noreturn]] void LeaveWaylandAtOnce(int code) {
    QApplication::closeAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::fflush(nullptr);
#ifdef GLIMMET_LEAK_CHECK
    // What the process holds is still checked, as a normal exit would.
    __lsan_do_leak_check();
#endif
    std::_Exit(code);
}

} // namespace

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

CString AfxGetClipboardText(std::size_t nMaxBytes) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return {};
    // The text as bytes, which the toolkit's own text() would widen to
    // UTF-16, twice their size, before anyone could tell it is too long.
    QByteArray bytes = data->data(QStringLiteral("text/plain;charset=utf-8"));
    if (bytes.isEmpty())
        bytes = data->data(QStringLiteral("text/plain"));
    // Cut where a UTF-8 sequence may be left incomplete, the text still
    // comes out longer than the limit: the incomplete tail becomes a
    // replacement character of three bytes.
    if (static_cast<std::size_t>(bytes.size()) > nMaxBytes)
        bytes.truncate(static_cast<qsizetype>(nMaxBytes) + 1);
    return platform_detail::ToCString(QString::fromUtf8(bytes));
}

void AfxSetClipboardText(std::string_view text) {
    QGuiApplication::clipboard()->setText(FromUtf8(text));
}

bool CWinApp::InitInstance() {
    return true;
}

bool CWinApp::OnCmdMsg(UINT nID) {
    const MSG msg{WM_COMMAND, MAKEWPARAM(nID, 0), 0};
    LRESULT result = 0;
    return OnWndMsg(msg, result);
}

void CWinApp::ShowHelp(std::string_view title, std::string_view text) {
    platform_detail::ShowHelpWindow(m_pMainWnd ? WidgetOf(m_pMainWnd->GetSafeHwnd()) : nullptr,
                                    FromUtf8(title), text);
}

int CWnd::MessageBox(std::string_view text, const char* caption, UINT nType) {
    // What was drawn reaches the screen before the box takes over.
    if (DialogHost* host = platform_detail::HostOf(this))
        host->Flush();
    CString title = caption       ? CString(caption)
                    : AfxGetApp() ? AfxGetApp()->m_pszAppName
                                  : CString();
    return RunMessageBox(WidgetOf(m_hWnd), MessageBoxRequest{CString(text), title, nType});
}

namespace {

// The key of `entry` in `section`; the general section has no group.
QString SettingKey(std::string_view section, std::string_view entry) {
    return section.empty() ? FromUtf8(entry) : FromUtf8(section) + u'/' + FromUtf8(entry);
}

} // namespace

CString CWinApp::GetProfileString(std::string_view section, std::string_view entry,
                                  std::string_view defaultValue) const {
    if (m_strRegistryKey.IsEmpty())
        return CString(defaultValue);
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                             FromUtf8(m_strRegistryKey), FromUtf8(m_pszAppName));
    const QVariant value = settings.value(SettingKey(section, entry));
    if (settings.status() != QSettings::NoError || !value.canConvert<QString>())
        return CString(defaultValue);
    return platform_detail::ToCString(value.toString());
}

std::vector<CString>
CWinApp::GetProfileStrings(std::string_view section,
                           std::initializer_list<std::string_view> entries) const {
    std::vector<CString> values(entries.size());
    if (m_strRegistryKey.IsEmpty())
        return values;
    // Each reading of the store finds and parses its file again.
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                             FromUtf8(m_strRegistryKey), FromUtf8(m_pszAppName));
    if (settings.status() != QSettings::NoError)
        return values;
    auto value = values.begin();
    for (const std::string_view entry : entries) {
        if (const QVariant stored = settings.value(SettingKey(section, entry));
            stored.canConvert<QString>())
            *value = platform_detail::ToCString(stored.toString());
        ++value;
    }
    return values;
}

bool CWinApp::WriteProfileString(std::string_view section, std::string_view entry,
                                 std::string_view value) {
    if (m_strRegistryKey.IsEmpty())
        return false;
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, FromUtf8(m_strRegistryKey),
                       FromUtf8(m_pszAppName));
    settings.setValue(SettingKey(section, entry), FromUtf8(value));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

namespace {

// What the toolkit says while it connects to the display, held back until
// the connection is made: the one message that fails it ends the program.
QtMessageHandler g_previousHandler = nullptr;
std::vector<std::pair<QtMsgType, QString>> g_startMessages;
QString g_programName;

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// The toolkit aborts, leaving a core dump, when it cannot reach a display;
// the program says so in one line and ends with status 1 instead.
void OnStartMessage(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
    if (type != QtFatalMsg) {
        g_startMessages.emplace_back(type, message);
        return;
    }
    const QString display =
        qEnvironmentVariable("WAYLAND_DISPLAY", qEnvironmentVariable("DISPLAY"));
    std::fprintf(stderr, "%s: cannot open a window: the display \"%s\" cannot be reached\n",
                 qPrintable(g_programName), qPrintable(display));
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

int AfxWinMain(int argc, char** argv) {
    // The toolkit gets the program's name and nothing else from the command
    // line, which the program does not read.
    static char noName[] = "";
    static char* toolkitArgv[] = {argc > 0 && argv[0] ? argv[0] : noName, nullptr};
    static int toolkitArgc = 1;
    g_programName = QFileInfo(QString::fromLocal8Bit(toolkitArgv[0])).fileName();
    // With no display in the environment and no platform named, the toolkit
    // would abort; a window needs somewhere to be shown.
    if (!IsSet("QT_QPA_PLATFORM") && !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "%s: cannot open a window: neither DISPLAY nor WAYLAND_DISPLAY is set "
                     "(convert and export need no display)\n",
                     qPrintable(g_programName));
        return 1;
    }
    g_previousHandler = qInstallMessageHandler(OnStartMessage);
    QApplication application(toolkitArgc, toolkitArgv);
    qInstallMessageHandler(g_previousHandler);
    for (const auto& [type, message] : std::exchange(g_startMessages, {}))
        g_previousHandler(type, QMessageLogContext(), message);

    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    if (app->m_pszAppName.IsEmpty())
        // The executable's own file, which the system knows even when the
        // command line does not name it.
        app->m_pszAppName = platform_detail::ToCString(
            QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    QApplication::setApplicationName(FromUtf8(app->m_pszAppName));
    if (!app->m_strAppID.IsEmpty())
        QGuiApplication::setDesktopFileName(FromUtf8(app->m_strAppID));

    const int code = app->InitInstance() ? QApplication::exec() : 0;
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        LeaveWaylandAtOnce(code);
    return code;
}
