#pragma once

// The retained client surface of a dialog: an image of its client area at
// the device pixel ratio. Drawing contexts fill it at once; the dialog copies
// what changed to the screen after each message.
//
// Until something other than the face colour is drawn, no image exists: the
// whole client area is the face colour and a paint fills it directly. So a
// dialog that draws nothing of its own allocates and touches nothing.

#include "Afx.h"

#include <QColor>
#include <QImage>
#include <QRegion>

class QPainter;
class QPixmap;

namespace platform_detail {

class ClientSurface {
public:
    // Sizes the surface to the client area at `ratio`. True if the size or
    // ratio changed: whatever was drawn is then gone and must be painted
    // again.
    bool Resize(QSize logical, qreal ratio, QColor face);

    // Fills the device pixels from each client edge scaled and rounded, so
    // that rectangles that touch in client pixels touch in device pixels.
    void Fill(const CRect& rect, QColor color);
    // The client coordinate whose device span holds the device pixel at the
    // exact logical coordinate `logical`, in either direction: a click there
    // hits what Fill drew under the pointer.
    int ClientPixelAt(qreal logical) const;
    void DrawPixmap(const QRect& logical, const QPixmap& pixmap);

    // Copies the surface's part of `region` (device-independent pixels) to
    // the painter.
    void PaintOn(QPainter& painter, const QRect& area) const;

    // What was drawn since the last flush, in client pixels, with no margin:
    // at any ratio the device pixels a fill wrote are those between its
    // rectangle's scaled edges, rounded. The areas a paint has shown are no
    // longer due.
    QRegion TakeDirty();
    void Shown(const QRegion& region);

    qreal Ratio() const { return m_ratio; }
    // The image, made if nothing had been drawn yet. For reading pixels.
    QImage& Image();

private:
    void Materialize();
    // A client edge in device pixels: scaled and rounded.
    int DeviceEdge(int v) const;
    void MarkDirty(const QRect& logical);

    QImage m_image;
    QSize m_size;
    qreal m_ratio = 0;
    QColor m_face;
    // The rectangle being grown by touching ones, and the distant areas
    // finished before it.
    QRect m_dirtyRun;
    QRegion m_dirty;
};

} // namespace platform_detail
