#include "ClientSurface.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace platform_detail {

bool ClientSurface::Resize(QSize logical, qreal ratio, QColor face) {
    if (logical == m_size && ratio == m_ratio && face == m_face)
        return false;
    m_size = logical;
    m_ratio = ratio;
    m_face = face;
    m_image = QImage();
    return true;
}

void ClientSurface::Materialize() {
    if (!m_image.isNull())
        return;
    const QSize device(static_cast<int>(std::ceil(m_size.width() * m_ratio)),
                       static_cast<int>(std::ceil(m_size.height() * m_ratio)));
    m_image = QImage(device, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(m_ratio);
    m_image.fill(m_face);
}

QImage& ClientSurface::Image() {
    Materialize();
    return m_image;
}

int ClientSurface::DeviceEdge(int v) const {
    // Halves round away from zero, as the toolkit rounds scaled edges; done
    // here rather than by the maths library, which the program then need not
    // load.
    const qreal device = v * m_ratio;
    return static_cast<int>(device < 0 ? device - 0.5 : device + 0.5);
}

int ClientSurface::ClientPixelAt(qreal logical) const {
    // Client positions travel in 16 bits: anything beyond, or no number at
    // all, is taken as far outside the window.
    if (!(logical >= -32768 && logical <= 32767))
        logical = -32768;
    if (m_ratio <= 0)
        return static_cast<int>(std::floor(logical));
    // The toolkit divides native positions by its scale factor in double
    // precision but keeps the ratio in single precision, so a position on a
    // device pixel's edge may come back a hair short of it; the tolerance,
    // far below any real fraction of a pixel, puts it on the pixel it names.
    constexpr qreal kTolerance = 1.0 / 64;
    const int device = static_cast<int>(std::floor(logical * m_ratio + kTolerance));
    int client = static_cast<int>(std::floor(device / m_ratio));
    while (DeviceEdge(client) > device)
        --client;
    while (DeviceEdge(client + 1) <= device)
        ++client;
    return client;
}

void ClientSurface::Fill(const CRect& rect, QColor color) {
    if (rect.IsRectEmpty())
        return;
    MarkDirty(QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)));
    // Face on a surface that holds nothing else changes nothing.
    if (m_image.isNull() && color == m_face)
        return;
    Materialize();
    const int left = std::max(DeviceEdge(rect.left), 0);
    const int top = std::max(DeviceEdge(rect.top), 0);
    const int right = std::min(DeviceEdge(rect.right), m_image.width());
    const int bottom = std::min(DeviceEdge(rect.bottom), m_image.height());
    const QRgb pixel = color.rgb();
    for (int y = top; y < bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(y));
        std::fill(line + std::min(left, right), line + right, pixel);
    }
}

void ClientSurface::DrawPixmap(const QRect& logical, const QPixmap& pixmap) {
    Materialize();
    QPainter painter(&m_image);
    painter.drawPixmap(logical, pixmap);
    // Scaled to a fractional ratio, the pixmap's edge pixels may be smoothed
    // into the device pixels beside its rounded rectangle.
    const int m = m_ratio == std::floor(m_ratio) ? 0 : 1;
    MarkDirty(logical.adjusted(-m, -m, m, m));
}

void ClientSurface::PaintOn(QPainter& painter, const QRect& area) const {
    if (m_image.isNull()) {
        painter.fillRect(area, m_face);
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(0, 0), m_image);
}

void ClientSurface::MarkDirty(const QRect& logical) {
    // Touching rectangles (a row of cells, the preview's squares) grow one
    // area; a distant one starts another. So a click repaints its cell and
    // the preview, not everything between them: the controls there are slow
    // to paint.
    if (m_dirtyRun.isEmpty() || m_dirtyRun.adjusted(-1, -1, 1, 1).intersects(logical)) {
        m_dirtyRun |= logical;
        return;
    }
    m_dirty += m_dirtyRun;
    m_dirtyRun = logical;
}

QRegion ClientSurface::TakeDirty() {
    // No margin: a painter clipped to a client rectangle, and the toolkit
    // sending it to the screen, cover the device pixels from each scaled edge
    // rounded, exactly the pixels Fill wrote. A margin at a fractional ratio
    // would reach the client pixel beside an area, where a control may paint
    // (the preview's frame title lies just above it), and send the flush
    // through the toolkit's repaint, one image per area.
    QRegion dirty = m_dirty;
    dirty += m_dirtyRun;
    m_dirtyRun = QRect();
    m_dirty = QRegion();
    return dirty;
}

void ClientSurface::Shown(const QRegion& region) {
    m_dirty += m_dirtyRun;
    m_dirtyRun = QRect();
    m_dirty -= region;
}

} // namespace platform_detail
