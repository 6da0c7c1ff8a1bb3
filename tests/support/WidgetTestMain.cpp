// The main of the offscreen widget suites. The toolkit runs headless unless
// the environment names a platform, message boxes are recorded instead of
// shown, and a watchdog ends any modal window that a test leaves open, so
// that no test waits for a person. What the program keeps between runs goes
// to a folder of the run's own, never to the user's.

#include "ResourceTypes.h"
#include "WidgetTest.h"
#include "WinApp.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <deque>

namespace glimmet_test::detail {
std::vector<RecordedBox>& RecordedBoxes();
std::deque<int>& BoxAnswers();
void CancelPendingWaits();
} // namespace glimmet_test::detail

namespace {

// Longer than any test takes; a modal window open past it is a hang.
constexpr qint64 kModalLimitMs = 8000;

QElapsedTimer g_testClock;
// The state folder of the run; each test starts with it empty.
QString g_stateHome;

class PerTestReset : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        glimmet_test::detail::RecordedBoxes().clear();
        glimmet_test::detail::BoxAnswers().clear();
        QDir(g_stateHome).removeRecursively();
        g_testClock.restart();
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        glimmet_test::detail::CancelPendingWaits();
    }
};

void EndLeftoverModal() {
    if (g_testClock.elapsed() < kModalLimitMs)
        return;
    QWidget* popup = QApplication::activePopupWidget();
    QWidget* modal = popup ? popup : QApplication::activeModalWidget();
    if (!modal)
        return;
    ADD_FAILURE() << "a modal window was still open after " << kModalLimitMs
                  << " ms: " << modal->metaObject()->className() << " \""
                  << modal->windowTitle().toStdString() << "\"";
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->done(QDialog::Rejected);
    else
        modal->close();
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir state;
    if (!state.isValid())
        return 1;
    g_stateHome = state.filePath(QStringLiteral("state"));
    qputenv("XDG_STATE_HOME", g_stateHome.toUtf8());
    QApplication application(argc, argv);
    // The program's own resources; a suite may hand over tables of its own.
    AfxSetResourceTables(ResourceTables());

    glimmet_test::RecordMessageBoxes();

    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, &EndLeftoverModal);
    watchdog.start(250);

    ::testing::UnitTest::GetInstance()->listeners().Append(new PerTestReset);
    const int result = RUN_ALL_TESTS();
    AfxSetMessageBoxHook({});
    return result;
}
