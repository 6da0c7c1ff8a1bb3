// The application shell: the editor as the main window for the program's
// whole run, the About box from the window's own system menu, and help.

#include "AboutDlg.h"
#include "DialogHost.h"
#include "EditorApp.h"
#include "EditorDlg.h"
#include "Handles.h"
#include "WidgetTest.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTextBrowser>

#include <gtest/gtest.h>
#include <ostream>

using namespace glimmet_test;

namespace {

int VisibleTopLevels() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->isVisible();
    return n;
}

enum class Ending { Escape, EnterInCodeBox, CloseBox };

void PrintTo(Ending ending, std::ostream* os) {
    *os << (ending == Ending::Escape           ? "Escape"
            : ending == Ending::EnterInCodeBox ? "EnterInCodeBox"
                                               : "CloseBox");
}

class InitInstanceTest : public ::testing::TestWithParam<Ending> {};

// The editor is the one window while it runs; once it ends, InitInstance
// returns false so that the program ends instead of waiting for messages.
TEST_P(InitInstanceTest, RunsTheEditorAsMainWindowUntilItEnds) {
    CEditorApp app;
    bool sawEditor = false;
    WhenActive([&](QWidget* modal) {
        // The main window is an ordinary window, modal to nothing.
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_FALSE(modal->isModal());
        sawEditor = app.m_pMainWnd && dynamic_cast<CEditorDlg*>(app.m_pMainWnd) &&
                    platform_detail::WidgetOf(app.m_pMainWnd->GetSafeHwnd()) == modal;
        EXPECT_EQ(VisibleTopLevels(), 1);
        // The editor's template has no caption: title bars the toolkit draws
        // itself show the application's name.
        EXPECT_EQ(modal->windowTitle().toStdString(),
                  QApplication::applicationName().toStdString());
        switch (GetParam()) {
        case Ending::Escape:
            PressKey(modal->focusWidget(), Qt::Key_Escape);
            break;
        case Ending::EnterInCodeBox:
            ASSERT_EQ(modal->focusWidget(), Host(*app.m_pMainWnd).Control(IDC_CODE));
            PressKey(modal->focusWidget(), Qt::Key_Return);
            break;
        case Ending::CloseBox:
            modal->close();
            break;
        }
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(sawEditor);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(VisibleTopLevels(), 0);
}

INSTANTIATE_TEST_SUITE_P(Endings, InitInstanceTest,
                         ::testing::Values(Ending::Escape, Ending::EnterInCodeBox,
                                           Ending::CloseBox));

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create());
        ShowAndWait(dlg);
        ClickControl(dlg, IDC_NEW);
        Click(dlg, QPoint(47, 63));
        ASSERT_EQ(dlg.m_pixels.GetAt(34), 1u);
    }
    ::testing::AssertionResult DrawingIntact() {
        if (dlg.m_pixels.GetSize() != 64 || dlg.m_pixels.GetAt(34) != 1)
            return ::testing::AssertionFailure() << "the raster changed";
        if (ClientPixel(dlg, 45, 65) != kBlack)
            return ::testing::AssertionFailure() << "the drawn cell is no longer black";
        return ::testing::AssertionSuccess();
    }

    CEditorApp app;
    CEditorDlg dlg;
};

TEST_F(ShellTest, AboutBoxOpensModallyFromTheSystemMenuAndLeavesTheDrawing) {
    QString title;
    QString text;
    bool modal = false;
    WhenPopup([&](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> items = menu->actions();
        ASSERT_GE(items.size(), 2);
        EXPECT_TRUE(items[items.size() - 2]->isSeparator());
        EXPECT_EQ(items.last()->text(), "&About Glimmet...");
        WhenModal(
            [&](QWidget* about) {
                title = about->windowTitle();
                modal = about->isModal() && QApplication::activeModalWidget() == about;
                for (QLabel* label : about->findChildren<QLabel*>())
                    if (!label->text().isEmpty())
                        text = label->text();
                PressKey(about, Qt::Key_Escape);
            },
            [&](QWidget* w) { return w != platform_detail::WidgetOf(dlg.GetSafeHwnd()); });
        menu->setActiveAction(items.last());
        PressKey(menu, Qt::Key_Return);
    });
    PressKey(Control(dlg, IDC_CODE), Qt::Key_F10);

    EXPECT_EQ(title, "About Glimmet");
    EXPECT_TRUE(modal);
    EXPECT_TRUE(text.startsWith("Korvex Glimmet Version 1.0 \n")) << text.toStdString();
    EXPECT_EQ(VisibleTopLevels(), 1);
    EXPECT_TRUE(platform_detail::WidgetOf(dlg.GetSafeHwnd())->isVisible());
    EXPECT_TRUE(DrawingIntact());
}

TEST_F(ShellTest, F1OpensTheHelpWindowWithoutBlocking) {
    PressKey(Control(dlg, IDC_CODE), Qt::Key_F1);
    QWidget* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QLatin1String("helpWindow"))
            help = w;
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(help->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_NE(help->findChild<QTextBrowser*>(), nullptr);

    // The editor goes on taking input with the help open.
    Click(dlg, QPoint(25, 25));
    EXPECT_EQ(dlg.m_pixels.GetAt(0), 1u);
    help->close();
}

} // namespace
