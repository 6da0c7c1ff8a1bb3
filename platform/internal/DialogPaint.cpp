#include "DialogHost.h"

// How the dialog's client area reaches the screen: the surface the dialog
// draws on, its paints through WM_PAINT, the group boxes and static texts
// painted over it, and the flushes that bring what was drawn to the screen
// in as few images as the controls allow.

#include "Controls.h"
#include "Gdi.h"
#include "GridWidget.h"
#include "Handles.h"

#include <QBackingStore>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QWindow>

#include <utility>

namespace platform_detail {

namespace {

QColor FaceColor() {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return QColor(GetRValue(face), GetGValue(face), GetBValue(face));
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

} // namespace platform_detail
