#include "Gdi.h"

#include "DialogHost.h"
#include "Handles.h"

#include <QGuiApplication>
#include <QPalette>

using platform_detail::DialogHost;

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
    if (DialogHost* host = platform_detail::HostOf(pWnd))
        m_pSurface = &host->Surface();
}

CDC* CDCFromHandle(WPARAM hdc) {
    return reinterpret_cast<CDC*>(hdc);
}

void CDC::FillRect(const CRect* lpRect, CBrush* pBrush) {
    if (!m_pSurface || !lpRect || !pBrush)
        return;
    const COLORREF c = pBrush->GetColor();
    m_pSurface->Fill(*lpRect, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
}

void CDC::DrawIcon(int x, int y, HICON hIcon) {
    if (!m_pSurface || !hIcon)
        return;
    const int size = GetSystemMetrics(SM_CXICON);
    m_pSurface->DrawPixmap(QRect(x, y, size, size), platform_detail::IconOf(hIcon).pixmap(
                                                        QSize(size, size), m_pSurface->Ratio()));
}
