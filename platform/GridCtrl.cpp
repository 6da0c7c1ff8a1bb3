#include "GridCtrl.h"

#include "DialogHost.h"
#include "GridWidget.h"
#include "Handles.h"
#include "Text.h"

#include <QAccessible>

#include <algorithm>

using platform_detail::DialogHost;
using platform_detail::GridWidget;

namespace {

GridWidget* WidgetOfGrid(const CGridCtrl& grid) {
    return static_cast<GridWidget*>(platform_detail::WidgetOf(grid.GetSafeHwnd()));
}

// Places a control the dialog made over client rectangle `rect`, named for
// assistive technology.
void Place(QWidget* widget, const CRect& rect, std::string_view name) {
    widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    widget->setAccessibleName(platform_detail::FromUtf8(name));
    widget->show();
}

} // namespace

CGridCtrl::CGridCtrl() = default;
CGridCtrl::~CGridCtrl() {
    // The window reads the control to paint and to answer assistive
    // technology: it goes with it.
    delete WidgetOfGrid(*this);
}

bool CGridCtrl::Create(const CRect& rect, int nCellSize, CDialog* pParent, UINT /*nID*/,
                       std::string_view name) {
    DialogHost* host = platform_detail::HostOf(pParent);
    if (!host || m_hWnd)
        return false;
    auto* widget = new GridWidget(*this, nCellSize, *host);
    Place(widget, rect, name);
    host->RouteKeysOf(widget);
    m_hWnd = platform_detail::HandleOf(widget);
    return true;
}

void CGridCtrl::SetDimensions(int nColumns, int nRows) {
    m_nColumns = std::max(nColumns, 0);
    m_nRows = std::max(nRows, 0);
    SetCurCell(m_cur.x, m_cur.y);
}

void CGridCtrl::SetCurCell(int nColumn, int nRow) {
    m_cur = CPoint(std::clamp(nColumn, 0, std::max(m_nColumns - 1, 0)),
                   std::clamp(nRow, 0, std::max(m_nRows - 1, 0)));
    if (GridWidget* widget = WidgetOfGrid(*this))
        widget->CurrentCellChanged();
}

void CGridCtrl::CellChanged(int nColumn, int nRow) {
    GridWidget* widget = WidgetOfGrid(*this);
    if (!widget || !QAccessible::isActive())
        return;
    QAccessibleEvent event(widget, QAccessible::NameChanged);
    event.setChild(nRow * m_nColumns + nColumn);
    QAccessible::updateAccessibility(&event);
}

void CGridCtrl::AllCellsChanged() {
    GridWidget* widget = WidgetOfGrid(*this);
    if (!widget || !QAccessible::isActive() || m_nColumns == 0 || m_nRows == 0)
        return;
    QAccessibleTableModelChangeEvent event(widget, QAccessibleTableModelChangeEvent::DataChanged);
    event.setFirstRow(0);
    event.setLastRow(m_nRows - 1);
    event.setFirstColumn(0);
    event.setLastColumn(m_nColumns - 1);
    QAccessible::updateAccessibility(&event);
}

CString CGridCtrl::GetCellText(int nColumn, int nRow) const {
    return CString("row " + std::to_string(nRow + 1) + ", column " + std::to_string(nColumn + 1));
}

bool CImageCtrl::Create(const CRect& rect, CDialog* pParent, UINT /*nID*/, std::string_view name) {
    DialogHost* host = platform_detail::HostOf(pParent);
    if (!host || m_hWnd)
        return false;
    auto* widget = new platform_detail::ImageWidget(host);
    Place(widget, rect, name);
    m_hWnd = platform_detail::HandleOf(widget);
    return true;
}
