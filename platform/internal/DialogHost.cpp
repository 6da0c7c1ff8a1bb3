#include "DialogHost.h"

#include "Controls.h"
#include "DialogAccessible.h"
#include "DialogKeys.h"
#include "DlgTemplate.h"
#include "Gdi.h"
#include "GridWidget.h"
#include "Handles.h"
#include "Menu.h"
#include "MenuPopup.h"
#include "Text.h"
#include "Wnd.h"

#include <QApplication>
#include <QBackingStore>
#include <QCloseEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform_detail {

namespace {

QColor FaceColor() {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return QColor(GetRValue(face), GetGValue(face), GetBValue(face));
}

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

// Whether a control paints anything in `area` (dialog coordinates). The
// grid's and the picture's widgets lie over what the dialog draws and paint
// nothing but the grid's keyboard frame.
bool PaintsIn(const QWidget& widget, const QRegion& area) {
    if (widget.isWindow() || !widget.isVisible() || !area.intersects(widget.geometry()))
        return false;
    if (const auto* grid = qobject_cast<const GridWidget*>(&widget))
        return grid->ShowsFrame();
    if (qobject_cast<const ImageWidget*>(&widget))
        return false;
    return true;
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

void DialogHost::Flush() {
    if (m_bFlushing)
        return;
    const QRegion dirty = m_surface.TakeDirty() & rect();
    if (dirty.isEmpty())
        return;
    QScopedValueRollback flushing(m_bFlushing, true);
    if (FlushDirect(dirty))
        return;
    m_nScreenImages += dirty.rectCount();
    repaint(dirty);
}

bool DialogHost::FlushDirect(const QRegion& dirty) {
    // The toolkit's repaint of a region sends the screen one image per
    // rectangle of it: a click's cell and the preview would be two. The
    // backing store already holds the rest of the window as the screen shows
    // it, so when no control paints over the dirty areas the surface is
    // copied into them there and their bounding rectangle goes to the screen
    // as one image. Otherwise, until the first full paint, or while a paint
    // is under way, the toolkit's repaint does it.
    QWindow* window = windowHandle();
    QBackingStore* store = backingStore();
    if (m_bNeedsFullPaint || !isVisible() || !window || !window->isExposed() || !store ||
        store->size() != size())
        return false;
    for (const QObject* child : children()) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (widget && PaintsIn(*widget, dirty))
            return false;
    }
    // A group box paints only its lines and title.
    for (const GroupFrame& frame : m_controls.Frames())
        if (dirty.intersects(frame.Rect()) &&
            dirty.intersects(frame.Painted(fontMetrics(), devicePixelRatioF())))
            return false;
    for (const PaintedText& text : m_controls.Texts())
        if (dirty.intersects(text.Rect()))
            return false;
    if (QPaintDevice* device = store->paintDevice(); device && device->paintingActive())
        return false;
    store->beginPaint(dirty);
    if (QPaintDevice* device = store->paintDevice()) {
        QPainter painter(device);
        painter.setClipRegion(dirty);
        m_surface.PaintOn(painter, dirty.boundingRect());
    }
    store->endPaint();
    m_surface.Shown(dirty);
    store->flush(dirty.boundingRect(), window);
    ++m_nScreenImages;
    return true;
}

ClientSurface& DialogHost::Surface() {
    if (m_surface.Resize(size(), devicePixelRatioF(), FaceColor())) {
        // What was drawn is gone with the old surface: paint it all again.
        m_bNeedsFullPaint = true;
        update();
    }
    return m_surface;
}

void DialogHost::RepaintAll() {
    Surface();
    m_bNeedsFullPaint = false;
    QScopedValueRollback area(m_paintRect, rect());
    Deliver({WM_PAINT, 0, 0});
}

void DialogHost::PaintAllThroughDialog() {
    m_bNeedsFullPaint = false;
    QScopedValueRollback area(m_paintRect, rect());
    // Already painting: what the handler draws is shown by this paint.
    QScopedValueRollback flushing(m_bFlushing, true);
    m_pDlg->SendMessage(WM_PAINT, 0, 0);
}

void DialogHost::paintEvent(QPaintEvent* event) {
    Surface();
    if (m_bNeedsFullPaint) {
        PaintAllThroughDialog();
        if (event->rect() != rect())
            update();
    }
    // What this paint shows needs no flush; what lies outside it still does.
    m_surface.Shown(event->region());
    QPainter painter(this);
    m_surface.PaintOn(painter, event->rect());
    // The group boxes lie over what the dialog drew, below the controls.
    for (const GroupFrame& frame : m_controls.Frames())
        if (event->region().intersects(frame.Rect()))
            frame.Paint(painter, palette(), devicePixelRatioF());
    // The static texts lie over the boxes, as labels would.
    for (const PaintedText& text : m_controls.Texts())
        if (event->region().intersects(text.Rect()))
            text.Paint(painter, *style(), palette(), isEnabled());
    if (!m_bPainted) {
        m_bPainted = true;
        // Queued, so that it comes after this paint has gone to the screen.
        if (m_hWaitingIcon)
            QMetaObject::invokeMethod(this, &DialogHost::ShowWaitingIcon, Qt::QueuedConnection);
    }
}

void DialogHost::SetIcon(HICON hIcon) {
    m_hWaitingIcon = hIcon;
    if (m_bPainted)
        ShowWaitingIcon();
}

void DialogHost::ShowWaitingIcon() {
    if (HICON icon = std::exchange(m_hWaitingIcon, nullptr))
        setWindowIcon(IconOf(icon));
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
