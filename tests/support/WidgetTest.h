#pragma once

// Helpers of the offscreen widget suites: they read what a dialog drew on
// its retained client surface and drive its window with real Qt input
// events, so that the tests see the program the way a person does.

#include "Afx.h"
#include "Gdi.h"
#include "Wnd.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <Qt>

#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

class QMimeData;
class QWidget;
namespace platform_detail {
class DialogHost;
}

namespace glimmet_test {

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
// The button-face colour that everything outside the sprite is painted in.
COLORREF Face();

// A message box the program asked for. The test main installs a hook that
// records each box here, answers OK and shows nothing.
struct RecordedBox {
    std::string text;
    std::string caption;
    UINT nType = MB_OK;
};
// The boxes asked for since the current test started, oldest first.
const std::vector<RecordedBox>& MessageBoxes();
// Installs the hook that records every box and answers it, as the test
// main does before the first test; a test that shows a real box puts it
// back with this.
void RecordMessageBoxes();
// The buttons the next boxes answer, in order (IDYES, IDNO, IDCANCEL); once
// they run out a box answers OK, and a question Cancel.
void AnswerBoxes(std::initializer_list<int> answers);

platform_detail::DialogHost& Host(CWnd& dlg);
// The widget of control nID; the test fails at once if there is none.
QWidget* Control(CWnd& dlg, int nID);

// The client surface's device pixel ratio.
qreal Ratio(CWnd& dlg);
// The device pixels that the client rectangle covers: each edge scaled and
// rounded on its own.
QRect DeviceRect(CWnd& dlg, const CRect& client);
// The surface's colour at client pixel (x, y), that is the device pixel at
// (x, y) times the ratio.
COLORREF ClientPixel(CWnd& dlg, int x, int y);
// Succeeds if every device pixel of `device` holds `color`; otherwise names
// the first pixel that does not and its colour.
::testing::AssertionResult DeviceRectIs(CWnd& dlg, const QRect& device, COLORREF color);
// Succeeds if every device pixel of the surface outside `hole` holds `color`.
::testing::AssertionResult DeviceOutsideIs(CWnd& dlg, const QRect& hole, COLORREF color);
// The same as DeviceRectIs for the device pixels of a client rectangle.
::testing::AssertionResult ClientRectIs(CWnd& dlg, const CRect& client, COLORREF color);

// Mouse input to the dialog's window at a client point, which may fall
// between logical pixels, with the buttons held after the event. Sent as
// QMouseEvents to the window, so that moves carry the held buttons and the
// toolkit routes them to the widget as it routes the system's: a widget gets
// the position rounded to whole logical pixels, and the exact one as its
// scene position.
void MousePress(CWnd& dlg, QPointF at, Qt::MouseButton button, Qt::MouseButtons held);
void MouseMove(CWnd& dlg, QPointF at, Qt::MouseButtons held);
void MouseRelease(CWnd& dlg, QPointF at, Qt::MouseButton button, Qt::MouseButtons held);
// The pointer leaving the dialog's window, as the toolkit reports it.
void MouseLeave(CWnd& dlg);
// Press and release of one button at one point.
void Click(CWnd& dlg, QPointF at, Qt::MouseButton button = Qt::LeftButton);
// A left click on control nID at `at`, or at its centre.
void ClickControl(CWnd& dlg, int nID, QPoint at = QPoint());

// Drags `data` over the dialog's own window to client point `at` and, if the
// window takes drops and accepts this one, drops it there and handles the
// events that follow, as the end of a drag from another program does. False
// if the window refused it.
bool Drop(CWnd& dlg, QPoint at, const QMimeData& data);

// Replaces the text of edit nID as typed: the old text is selected and each
// character of `text` is a key press (an empty text just deletes).
void TypeText(CWnd& dlg, int nID, const QString& text);
// Replaces the text of edit nID with `text` through the clipboard, as a
// paste with Ctrl+V over the selected old text.
void PasteText(CWnd& dlg, int nID, const QString& text);
// The text of edit nID.
QString ControlText(CWnd& dlg, int nID);
// A key press and release sent to `widget`.
void PressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);

// Shows the dialog, waits until it is exposed and active, and paints it.
void ShowAndWait(CWnd& dlg);

// Runs `script` once the modal loop of DoModal is running, and returns the
// code the dialog ended with. The test main ends any modal window still open
// after a few seconds and fails the test, so that no test waits for a person.
int RunModal(CDialog& dlg, std::function<void()> script);
// Runs `action` on the active modal window, once there is one that `match`
// accepts (any, without a match), while the event loop runs: for instance in
// a DoModal that the caller starts next. Fails the test if none turns up
// within a few seconds.
void WhenModal(std::function<void(QWidget* modal)> action,
               std::function<bool(QWidget* modal)> match = {});
// The same for the active window, modal or not, such as the main window.
void WhenActive(std::function<void(QWidget* window)> action,
                std::function<bool(QWidget* window)> match = {});
// The same for the active popup, such as an open menu.
void WhenPopup(std::function<void(QWidget* popup)> action);

} // namespace glimmet_test
