#pragma once

// The toolkit side of CGridCtrl and CImageCtrl.

#include <QWidget>

class CGridCtrl;

namespace platform_detail {

class DialogHost;

class GridWidget : public QWidget {
    Q_OBJECT
public:
    GridWidget(CGridCtrl& grid, int nCellSize, DialogHost& host);

    CGridCtrl& Grid() const { return m_grid; }
    // The cell's rectangle in the widget.
    QRect CellRect(int column, int row) const;
    // Whether the current cell's frame shows: the keyboard is in use here.
    bool ShowsFrame() const;
    // The current cell moved or changed: repaint the frame and tell
    // assistive technology.
    void CurrentCellChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateFrame();

    CGridCtrl& m_grid;
    DialogHost& m_host;
    int m_nCellSize;
    bool m_bKeyboard = false;
    QRect m_frame; // where the frame was last painted
};

// An image the dialog draws: nothing of its own but its accessible name.
class ImageWidget : public QWidget {
    Q_OBJECT
public:
    explicit ImageWidget(QWidget* parent);
};

// Installs the accessibility of both, once.
void InstallGridAccessibility();

} // namespace platform_detail
