#include "DialogHost.h"

#include "Controls.h"
#include "DialogAccessible.h"
#include "DialogKeys.h"
#include "DlgTemplate.h"
#include "Handles.h"
#include "Menu.h"
#include "MenuPopup.h"
#include "Text.h"
#include "Wnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopedValueRollback>

#include <algorithm>
#include <utility>

namespace platform_detail {

namespace {

// What a drop carries for the dialog: the local files it names, or else its
// text.
DropHandle DropOf(const QMimeData* data) {
    DropHandle drop;
    if (!data)
        return drop;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            drop.files.push_back(ToCString(url.toLocalFile()));
    if (drop.files.empty() && data->hasText())
        drop.text = ToCString(data->text());
    return drop;
}

bool IsUsefulDrop(const QMimeData* data) {
    if (!data)
        return false;
    const QList<QUrl> urls = data->urls();
    return data->hasText() ||
           std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

} // namespace

DialogHost::DialogHost(CDialog* pDlg, const DialogTemplate& tpl, QWidget* parent)
    : QDialog(parent), m_pDlg(pDlg), m_pKeys(new DialogKeys(*this)), m_warning(this), m_tip(this),
      m_bAppWindow((tpl.exStyle & WS_EX_APPWINDOW) && !parent) {
    // An application window is an ordinary top-level window, listed in task
    // bars; other dialogs are dialogs of the window that owns them.
    Qt::WindowFlags flags = m_bAppWindow ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    if (tpl.style & WS_CAPTION)
        flags |= Qt::WindowTitleHint;
    if (tpl.style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    // A window without a caption is titled with the application's name:
    // title bars that the program draws itself (on Wayland) show only the
    // title set here.
    setWindowTitle(tpl.caption.empty() ? QGuiApplication::applicationName()
                                       : FromUtf8(tpl.caption));
    setContextMenuPolicy(Qt::PreventContextMenu);

    // The client area is painted whole from the surface.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFixedSize(MapDialogX(tpl.cx), MapDialogY(tpl.cy));
    InstallDialogAccessibility();
    m_controls = BuildControls(tpl, *this);
}

DialogHost::~DialogHost() = default;

int DialogHost::Run() {
    if (!m_bAppWindow)
        return exec();
    // The application window is modal to nothing, so window managers treat
    // it as the main window; its loop runs until it ends all the same.
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    loop.exec(QEventLoop::DialogExec);
    return result();
}

void DialogHost::RouteKeysOf(QWidget* control) {
    control->installEventFilter(m_pKeys);
}

LRESULT DialogHost::Deliver(const MSG& msg) {
    LRESULT result = 0;
    {
        QScopedValueRollback depth(m_nDeliverDepth, m_nDeliverDepth + 1);
        result = m_pDlg->SendMessage(msg.message, msg.wParam, msg.lParam);
    }
    if (m_nDeliverDepth == 0)
        Flush();
    return result;
}

void DialogHost::Command(int nID, UINT nCode) {
    if (m_bInTransfer)
        return;
    Deliver({WM_COMMAND, MAKEWPARAM(static_cast<UINT>(nID), nCode), 0});
}

void DialogHost::DeliverMouse(UINT message, QMouseEvent* event) {
    UINT flags = 0;
    if (event->buttons() & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (event->buttons() & Qt::RightButton)
        flags |= MK_RBUTTON;
    // A widget gets the position rounded to whole logical pixels; the scene
    // position, relative to the window, which is the dialog, is exact. The
    // dialog gets the client pixel drawn under the device pixel beneath it,
    // so that a click hits what the user sees at every ratio.
    const QPointF pos = event->scenePosition();
    const ClientSurface& surface = Surface();
    const QPoint client(surface.ClientPixelAt(pos.x()), surface.ClientPixelAt(pos.y()));
    // While a button is held the toolkit keeps sending the pointer's events
    // here wherever it goes. Without mouse capture a window hears of the
    // pointer only while it is over it: outside it has left.
    const bool release = message == WM_LBUTTONUP || message == WM_RBUTTONUP;
    if (!rect().contains(client)) {
        DeliverMouseLeave();
        // A release still ends what the press in this window began.
        if (!release)
            return;
    } else {
        m_bMouseInside = true;
    }
    Deliver({message, flags, MAKELPARAM(client.x(), client.y())});
}

void DialogHost::DeliverMouseLeave() {
    if (!m_bMouseInside)
        return;
    m_bMouseInside = false;
    Deliver({WM_MOUSELEAVE, 0, 0});
}

void DialogHost::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        DeliverMouse(WM_LBUTTONDOWN, event);
    else if (event->button() == Qt::RightButton)
        DeliverMouse(WM_RBUTTONDOWN, event);
}

void DialogHost::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        DeliverMouse(WM_LBUTTONUP, event);
    else if (event->button() == Qt::RightButton)
        DeliverMouse(WM_RBUTTONUP, event);
}

void DialogHost::mouseMoveEvent(QMouseEvent* event) {
    DeliverMouse(WM_MOUSEMOVE, event);
}

void DialogHost::keyPressEvent(QKeyEvent* event) {
    if (!TakeAccelerator(event) && !m_pKeys->Handle(event))
        QDialog::keyPressEvent(event);
}

void DialogHost::reject() {
    Command(IDCANCEL, BN_CLICKED);
}

void DialogHost::closeEvent(QCloseEvent* event) {
    // The close box is the system menu's Close.
    event->ignore();
    Deliver({WM_SYSCOMMAND, SC_CLOSE, 0});
    if (!isVisible())
        event->accept();
}

void DialogHost::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void DialogHost::dragMoveEvent(QDragMoveEvent* event) {
    if (IsUsefulDrop(event->mimeData()))
        event->acceptProposedAction();
}

void DialogHost::dropEvent(QDropEvent* event) {
    DropHandle drop = DropOf(event->mimeData());
    if (drop.files.empty() && drop.text.IsEmpty())
        return;
    event->acceptProposedAction();
    // The program the drop came from waits until this returns; the message
    // follows once it has, so that its handler may run a modal window.
    const UINT message = drop.files.empty() ? WM_DROPTEXT : WM_DROPFILES;
    QMetaObject::invokeMethod(
        this,
        [this, message, drop = std::move(drop)]() mutable {
            Deliver({message, reinterpret_cast<WPARAM>(&drop), 0});
        },
        Qt::QueuedConnection);
}

void DialogHost::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        // Minimised and restored windows paint differently: start afresh.
        m_bNeedsFullPaint = true;
        update();
    }
    QDialog::changeEvent(event);
}

bool DialogHost::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // The toolkit offers a key press to the focused control and then to
        // each of its parents before it delivers it; a text field keeps the
        // keys it edits with (undo, paste, word moves) there. When the offer
        // reaches the window, no control kept the keys: an accelerator's
        // press then runs its command on its way to the control, wherever
        // the focus is.
        m_nPendingAccelerator = AcceleratorOf(static_cast<QKeyEvent*>(event));
        if (m_nPendingAccelerator != 0) {
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show)
        Surface();
    else if (event->type() == QEvent::Leave)
        DeliverMouseLeave();
    return QDialog::event(event);
}

void DialogHost::AddAccelerator(const QString& keys, UINT nID) {
    const QKeySequence sequence = KeySequenceOf(keys);
    if (!sequence.isEmpty())
        m_accelerators.push_back({sequence[0], nID});
}

UINT DialogHost::AcceleratorOf(const QKeyEvent* event) const {
    // A key of the number pad is the key it stands for.
    const QKeyCombination keys(event->modifiers() & ~Qt::KeypadModifier,
                               static_cast<Qt::Key>(event->key()));
    for (const Accelerator& accelerator : m_accelerators)
        if (accelerator.keys == keys)
            return accelerator.nID;
    return 0;
}

bool DialogHost::TakeAccelerator(const QKeyEvent* event) {
    const UINT nID = std::exchange(m_nPendingAccelerator, 0);
    if (nID == 0 || AcceleratorOf(event) != nID)
        return false;
    // A disabled command's keys do nothing, and reach no control either.
    if (QueryCommand(m_pDlg, nID).m_bEnabled)
        Command(static_cast<int>(nID), 0);
    return true;
}

void DialogHost::ShowSystemMenu() {
    CMenu* menu = m_pDlg->GetSystemMenu(false);
    if (!menu)
        return;
    // The window menu's choices come back as system commands.
    if (const UINT chosen = RunMenu(*menu, m_pDlg, this, mapToGlobal(QPoint(0, 0))))
        Deliver({WM_SYSCOMMAND, chosen, 0});
}

} // namespace platform_detail
