#include "WidgetTest.h"

#include <deque>

#include "DialogHost.h"
#include "Handles.h"
#include "WinApp.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace glimmet_test {

namespace {
// The name of the timers that wait for a window on behalf of a test.
constexpr char kWaitName[] = "glimmetTestWait";
} // namespace

namespace detail {
std::vector<RecordedBox>& RecordedBoxes() {
    static std::vector<RecordedBox> boxes;
    return boxes;
}

// Drops the waits a test left behind, so that none acts in a later test.
void CancelPendingWaits() {
    for (QTimer* poll :
         qApp->findChildren<QTimer*>(QLatin1String(kWaitName), Qt::FindDirectChildrenOnly))
        delete poll;
}
std::deque<int>& BoxAnswers() {
    static std::deque<int> answers;
    return answers;
}
} // namespace detail

void RecordMessageBoxes() {
    AfxSetMessageBoxHook([](const MessageBoxRequest& request) {
        detail::RecordedBoxes().push_back(
            {request.text.str(), request.caption.str(), request.nType});
        // A question nobody answered is cancelled, so that nothing happens
        // that the test did not ask for.
        std::deque<int>& answers = detail::BoxAnswers();
        if (answers.empty())
            return static_cast<int>((request.nType & 0x0F) == MB_OK ? IDOK : IDCANCEL);
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    });
}

void AnswerBoxes(std::initializer_list<int> answers) {
    detail::BoxAnswers().insert(detail::BoxAnswers().end(), answers);
}

const std::vector<RecordedBox>& MessageBoxes() {
    return detail::RecordedBoxes();
}

COLORREF Face() {
    return GetSysColor(COLOR_BTNFACE);
}

platform_detail::DialogHost& Host(CWnd& dlg) {
    auto* host = platform_detail::HostOf(&dlg);
    if (!host)
        throw std::logic_error("the dialog has no window");
    return *host;
}

QWidget* Control(CWnd& dlg, int nID) {
    QWidget* widget = Host(dlg).Control(nID);
    if (!widget)
        throw std::logic_error("no control with id " + std::to_string(nID));
    return widget;
}

qreal Ratio(CWnd& dlg) {
    return Host(dlg).Surface().Ratio();
}

QRect DeviceRect(CWnd& dlg, const CRect& client) {
    const qreal ratio = Ratio(dlg);
    auto device = [ratio](int v) { return static_cast<int>(std::lround(v * ratio)); };
    return QRect(QPoint(device(client.left), device(client.top)),
                 QPoint(device(client.right) - 1, device(client.bottom) - 1));
}

namespace {

COLORREF ToColorRef(QRgb rgb) {
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

std::string Describe(COLORREF c) {
    char text[32];
    std::snprintf(text, sizeof text, "RGB(%d,%d,%d)", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

} // namespace

COLORREF ClientPixel(CWnd& dlg, int x, int y) {
    const QImage& surface = Host(dlg).Surface().Image();
    const qreal ratio = surface.devicePixelRatio();
    const QPoint device(static_cast<int>(std::lround(x * ratio)),
                        static_cast<int>(std::lround(y * ratio)));
    if (!surface.rect().contains(device))
        throw std::out_of_range("client pixel outside the surface");
    return ToColorRef(surface.pixel(device));
}

namespace {

// Succeeds if every device pixel of `area` that `counts` picks holds `color`.
template <class Picks>
::testing::AssertionResult PixelsAre(const QImage& surface, const QRect& area, Picks counts,
                                     COLORREF color) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const COLORREF found = ToColorRef(surface.pixel(x, y));
            if (counts(x, y) && found != color)
                return ::testing::AssertionFailure()
                       << "device pixel (" << x << "," << y << ") is " << Describe(found)
                       << ", expected " << Describe(color);
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace

::testing::AssertionResult DeviceRectIs(CWnd& dlg, const QRect& device, COLORREF color) {
    const QImage& surface = Host(dlg).Surface().Image();
    if (device.isEmpty() || !surface.rect().contains(device))
        return ::testing::AssertionFailure() << "device rectangle outside the surface";
    return PixelsAre(
        surface, device, [](int, int) { return true; }, color);
}

::testing::AssertionResult DeviceOutsideIs(CWnd& dlg, const QRect& hole, COLORREF color) {
    const QImage& surface = Host(dlg).Surface().Image();
    return PixelsAre(
        surface, surface.rect(), [&](int x, int y) { return !hole.contains(x, y); }, color);
}

::testing::AssertionResult ClientRectIs(CWnd& dlg, const CRect& client, COLORREF color) {
    auto result = DeviceRectIs(dlg, DeviceRect(dlg, client), color);
    if (!result)
        result << " in client rectangle (" << client.left << "," << client.top << ")-("
               << client.right << "," << client.bottom << ")";
    return result;
}

namespace {

void SendMouse(CWnd& dlg, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QWidget* window = platform_detail::WidgetOf(dlg.GetSafeHwnd());
    QMouseEvent event(type, at, window->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(window->windowHandle(), &event);
}

} // namespace

void MousePress(CWnd& dlg, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
    SendMouse(dlg, QEvent::MouseButtonPress, at, button, held | button);
}

void MouseMove(CWnd& dlg, QPointF at, Qt::MouseButtons held) {
    SendMouse(dlg, QEvent::MouseMove, at, Qt::NoButton, held);
}

void MouseRelease(CWnd& dlg, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
    SendMouse(dlg, QEvent::MouseButtonRelease, at, button, held & ~Qt::MouseButtons(button));
}

void MouseLeave(CWnd& dlg) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(platform_detail::WidgetOf(dlg.GetSafeHwnd()), &leave);
}

void Click(CWnd& dlg, QPointF at, Qt::MouseButton button) {
    MousePress(dlg, at, button, Qt::NoButton);
    MouseRelease(dlg, at, button, button);
}

void ClickControl(CWnd& dlg, int nID, QPoint at) {
    QWidget* widget = Control(dlg, nID);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier,
                      at.isNull() ? widget->rect().center() : at);
}

bool Drop(CWnd& dlg, QPoint at, const QMimeData& data) {
    QWidget* window = platform_detail::WidgetOf(dlg.GetSafeHwnd());
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    if (window->acceptDrops())
        QApplication::sendEvent(window, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    QApplication::processEvents();
    return drop.isAccepted();
}

namespace {

QLineEdit* LineEdit(CWnd& dlg, int nID) {
    auto* edit = qobject_cast<QLineEdit*>(Control(dlg, nID));
    if (!edit)
        throw std::logic_error("control " + std::to_string(nID) + " is not a line edit");
    return edit;
}

} // namespace

void TypeText(CWnd& dlg, int nID, const QString& text) {
    QLineEdit* edit = LineEdit(dlg, nID);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

void PasteText(CWnd& dlg, int nID, const QString& text) {
    QLineEdit* edit = LineEdit(dlg, nID);
    edit->selectAll();
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

QString ControlText(CWnd& dlg, int nID) {
    QWidget* widget = Control(dlg, nID);
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        return line->text();
    if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
        return text->toPlainText();
    throw std::logic_error("control " + std::to_string(nID) + " holds no text");
}

void PressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers mods) {
    QTest::keyClick(widget, key, mods);
}

void ShowAndWait(CWnd& dlg) {
    QWidget* window = platform_detail::WidgetOf(dlg.GetSafeHwnd());
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window) || !QTest::qWaitForWindowActive(window))
        ADD_FAILURE() << "the dialog was not shown";
    QApplication::processEvents();
}

namespace {

// Polls while the event loop runs until `find` gives a window, then runs
// `action` on it once.
void WhenFound(std::function<QWidget*()> find, std::function<void(QWidget*)> action,
               const char* what) {
    auto* poll = new QTimer(qApp);
    poll->setObjectName(QLatin1String(kWaitName));
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        QWidget* found = find();
        if (!found && waited->elapsed() < 3000)
            return;
        poll->stop();
        poll->deleteLater();
        if (found)
            action(found);
        else
            ADD_FAILURE() << "no " << what << " turned up";
    });
    poll->start(5);
}

} // namespace

void WhenModal(std::function<void(QWidget*)> action, std::function<bool(QWidget*)> match) {
    WhenFound(
        [match = std::move(match)]() -> QWidget* {
            QWidget* modal = QApplication::activeModalWidget();
            return modal && (!match || match(modal)) ? modal : nullptr;
        },
        std::move(action), "matching modal window");
}

void WhenActive(std::function<void(QWidget*)> action, std::function<bool(QWidget*)> match) {
    WhenFound(
        [match = std::move(match)]() -> QWidget* {
            QWidget* active = QApplication::activeWindow();
            return active && active->isVisible() && (!match || match(active)) ? active : nullptr;
        },
        std::move(action), "matching active window");
}

void WhenPopup(std::function<void(QWidget*)> action) {
    WhenFound([] { return QApplication::activePopupWidget(); }, std::move(action), "popup");
}

int RunModal(CDialog& dlg, std::function<void()> script) {
    QTimer::singleShot(0, qApp, std::move(script));
    return dlg.DoModal();
}

} // namespace glimmet_test
