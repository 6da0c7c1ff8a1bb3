#include "GridWidget.h"

#include "DialogHost.h"
#include "GridCtrl.h"
#include "Text.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>

#include <vector>

namespace platform_detail {

namespace {

// The modifier keys of the key being delivered, for GetKeyState.
Qt::KeyboardModifiers g_keyModifiers;

UINT VirtualKey(int key) {
    switch (key) {
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Delete:
        return VK_DELETE;
    default:
        return 0;
    }
}

} // namespace

GridWidget::GridWidget(CGridCtrl& grid, int nCellSize, DialogHost& host)
    : QWidget(&host), m_grid(grid), m_host(host), m_nCellSize(nCellSize) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::TabFocus);
    // A click anywhere in the dialog is mouse use: the frame hides.
    host.installEventFilter(this);
    InstallGridAccessibility();
}

QRect GridWidget::CellRect(int column, int row) const {
    return QRect(column * m_nCellSize, row * m_nCellSize, m_nCellSize, m_nCellSize);
}

bool GridWidget::ShowsFrame() const {
    return m_bKeyboard && hasFocus() && m_grid.GetColumnCount() > 0 && m_grid.GetRowCount() > 0;
}

void GridWidget::CurrentCellChanged() {
    UpdateFrame();
    if (!hasFocus() || !QAccessible::isActive())
        return;
    const CPoint cur = m_grid.GetCurCell();
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(cur.y * m_grid.GetColumnCount() + cur.x);
    QAccessible::updateAccessibility(&event);
}

void GridWidget::UpdateFrame() {
    // Only the cells the frame leaves and enters are repainted: a click
    // draws one cell, and repainting the whole grid below would cost more.
    const CPoint cur = m_grid.GetCurCell();
    const QRect now = ShowsFrame() ? CellRect(cur.x, cur.y) : QRect();
    if (now == m_frame)
        return;
    update(m_frame);
    update(now);
    m_frame = now;
}

void GridWidget::paintEvent(QPaintEvent*) {
    if (!ShowsFrame())
        return;
    // A frame inside the cell's edge, in the highlight colour: the middle of
    // the cell keeps showing its own colour.
    const CPoint cur = m_grid.GetCurCell();
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight));
    pen.setWidth(2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(QRectF(CellRect(cur.x, cur.y)).adjusted(1, 1, -1, -1));
}

void GridWidget::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool menuKey =
        event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
    const UINT vk = VirtualKey(event->key());
    if (!menuKey && vk == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    m_bKeyboard = true;
    UpdateFrame();
    if (menuKey) {
        // From the keyboard the menu opens at the current cell.
        const CPoint cur = m_grid.GetCurCell();
        const QPoint at = mapTo(&m_host, CellRect(cur.x, cur.y).center());
        m_host.Deliver(
            {WM_CONTEXTMENU, reinterpret_cast<WPARAM>(&m_grid), MAKELPARAM(at.x(), at.y())});
        return;
    }
    g_keyModifiers = mods;
    m_host.Deliver({WM_KEYDOWN, vk, MAKELPARAM(1, 0)});
    g_keyModifiers = Qt::NoModifier;
}

void GridWidget::focusInEvent(QFocusEvent* event) {
    // Reached with Tab, the keyboard is in use; reached with a click, not.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        m_bKeyboard = true;
    CurrentCellChanged();
    QWidget::focusInEvent(event);
}

void GridWidget::focusOutEvent(QFocusEvent* event) {
    UpdateFrame();
    QWidget::focusOutEvent(event);
}

bool GridWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_host && event->type() == QEvent::MouseButtonPress && m_bKeyboard) {
        m_bKeyboard = false;
        UpdateFrame();
    }
    return false;
}

ImageWidget::ImageWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    InstallGridAccessibility();
}

namespace {

class CellAccessible;

// The grid as a table of cells. Cells have no object of their own: their
// interfaces are made on demand and kept until the grid's size changes.
class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(GridWidget* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~GridAccessible() override { DropCells(); }

    GridWidget* Widget() const { return static_cast<GridWidget*>(widget()); }
    const CGridCtrl& Grid() const { return Widget()->Grid(); }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return Grid().GetColumnCount() * Grid().GetRowCount(); }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override {
        if (!Widget()->hasFocus() || childCount() == 0)
            return nullptr;
        const CPoint cur = Grid().GetCurCell();
        return child(cur.y * Grid().GetColumnCount() + cur.x);
    }

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        return child(row * columnCount() + column);
    }
    int columnCount() const override { return Grid().GetColumnCount(); }
    int rowCount() const override { return Grid().GetRowCount(); }
    int selectedCellCount() const override { return 0; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QString columnDescription(int column) const override {
        return QStringLiteral("column %1").arg(column + 1);
    }
    QString rowDescription(int row) const override { return QStringLiteral("row %1").arg(row + 1); }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    void DropCells() const {
        for (QAccessible::Id id : m_cells)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        m_cells.clear();
    }

    mutable std::vector<QAccessible::Id> m_cells;
    mutable int m_nCellsFor = -1;
};

class CellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CellAccessible(GridWidget* grid, int column, int row)
        : m_pGrid(grid), m_nColumn(column), m_nRow(row) {}

    bool isValid() const override { return m_pGrid != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_pGrid->window()->windowHandle(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_pGrid);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? FromUtf8(m_pGrid->Grid().GetCellText(m_nColumn, m_nRow))
                                      : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect cell = m_pGrid->CellRect(m_nColumn, m_nRow);
        return QRect(m_pGrid->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.focusable = true;
        const CPoint cur = m_pGrid->Grid().GetCurCell();
        s.focused = m_pGrid->hasFocus() && cur.x == m_nColumn && cur.y == m_nRow;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    // QAccessibleTableCellInterface
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_nColumn; }
    int rowIndex() const override { return m_nRow; }
    bool isSelected() const override { return false; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    GridWidget* m_pGrid;
    int m_nColumn;
    int m_nRow;
};

QAccessibleInterface* GridAccessible::child(int index) const {
    const int n = childCount();
    if (index < 0 || index >= n)
        return nullptr;
    if (m_nCellsFor != Grid().GetColumnCount()) {
        // The grid was laid out again: the cells of the old size are gone.
        DropCells();
        m_nCellsFor = Grid().GetColumnCount();
    }
    if (m_cells.size() < static_cast<std::size_t>(n))
        m_cells.resize(static_cast<std::size_t>(n), 0);
    QAccessible::Id& id = m_cells[static_cast<std::size_t>(index)];
    if (!id) {
        const int columns = Grid().GetColumnCount();
        id = QAccessible::registerAccessibleInterface(
            new CellAccessible(Widget(), index % columns, index / columns));
    }
    return QAccessible::accessibleInterface(id);
}

int GridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cell = dynamic_cast<const CellAccessible*>(child);
    if (!cell)
        return -1;
    const QAccessibleTableCellInterface* t = const_cast<CellAccessible*>(cell);
    return t->rowIndex() * Grid().GetColumnCount() + t->columnIndex();
}

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("platform_detail::GridWidget"))
        return new GridAccessible(static_cast<GridWidget*>(object));
    if (className == QLatin1String("platform_detail::ImageWidget"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    return nullptr;
}

} // namespace

void InstallGridAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

} // namespace platform_detail

short GetKeyState(int nVirtKey) {
    using platform_detail::g_keyModifiers;
    bool down = false;
    if (nVirtKey == static_cast<int>(VK_SHIFT))
        down = g_keyModifiers & Qt::ShiftModifier;
    else if (nVirtKey == static_cast<int>(VK_CONTROL))
        down = g_keyModifiers & Qt::ControlModifier;
    else if (nVirtKey == static_cast<int>(VK_MENU))
        down = g_keyModifiers & Qt::AltModifier;
    return down ? static_cast<short>(0x8000) : 0;
}
