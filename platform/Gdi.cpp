#include "Gdi.h"

#include "Host.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>

COLORREF GetSysColor(int nIndex) {
    if (nIndex != COLOR_BTNFACE)
        return RGB(0, 0, 0);
    const QColor face = QGuiApplication::palette().color(QPalette::Button);
    return RGB(face.red(), face.green(), face.blue());
}

int GetSystemMetrics(int nIndex) {
    switch (nIndex) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    default:
        return 0;
    }
}

CDC::CDC(CWnd* pWnd) {
    if (pWnd && pWnd->m_pHost) {
        m_pHost = pWnd->m_pHost;
        m_pSurface = &m_pHost->Surface();
    }
}

CDC* CDCFromHandle(WPARAM hdc) {
    return reinterpret_cast<CDC*>(hdc);
}

void CDC::FillRect(const CRect* lpRect, CBrush* pBrush) {
    if (!m_pSurface || !lpRect || !pBrush || lpRect->IsRectEmpty())
        return;
    // Each edge is scaled on its own and rounded, so rectangles that touch
    // in client pixels touch in device pixels too.
    const qreal ratio = m_pSurface->devicePixelRatio();
    auto device = [ratio](int v) { return static_cast<int>(std::lround(v * ratio)); };
    const int left = std::max(device(lpRect->left), 0);
    const int top = std::max(device(lpRect->top), 0);
    const int right = std::min(device(lpRect->right), m_pSurface->width());
    const int bottom = std::min(device(lpRect->bottom), m_pSurface->height());
    if (left >= right || top >= bottom)
        return;
    const COLORREF c = pBrush->GetColor();
    const QRgb pixel = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
    for (int y = top; y < bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_pSurface->scanLine(y));
        std::fill(line + left, line + right, pixel);
    }
    m_pHost->MarkDirty(
        QRect(QPoint(lpRect->left, lpRect->top), QPoint(lpRect->right - 1, lpRect->bottom - 1)));
}

void CDC::DrawIcon(int x, int y, HICON hIcon) {
    if (!m_pSurface || !hIcon)
        return;
    const int size = GetSystemMetrics(SM_CXICON);
    QPainter painter(m_pSurface);
    painter.drawPixmap(QRect(x, y, size, size),
                       hIcon->icon.pixmap(QSize(size, size), m_pSurface->devicePixelRatio()));
    m_pHost->MarkDirty(QRect(x, y, size, size));
}
