#pragma once

// The toolkit side of a dialog: the Qt window built from a dialog template,
// its retained client surface and the translation of Qt's events into
// messages. Internal to the windowing layer.

#include "Afx.h"

#include <QDialog>
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QRegion>

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

struct ControlTemplate;
struct MessageBoxRequest;
struct DialogTemplate;
class CDialog;
class QLabel;
class QLineEdit;

// What an icon handle points at: the icon group's images, kept for the
// program's life.
struct IconHandle {
    QIcon icon;
};

namespace platform_detail {

class Balloon;

// The program's 8-bit text is UTF-8.
QString FromUtf8(std::string_view text);
// A whole number from nMin to nMax typed in a field, or none.
std::optional<int> ParseWholeNumber(const QString& text, int nMin, int nMax);

// Converts dialog units to client pixels with the fixed base units 6 x 13.
int MapDialogX(int x);
int MapDialogY(int y);

// Dialog-unit rectangle -> client-pixel rectangle, each edge mapped on its
// own so that touching controls stay touching.
QRect MapDialogRect(int x, int y, int cx, int cy);

class DialogHost : public QDialog {
    Q_OBJECT
public:
    DialogHost(CDialog* pDlg, const DialogTemplate& tpl, QWidget* parent);
    ~DialogHost() override;

    // The control with id nID, or null.
    QWidget* Control(int nID) const;
    // The control templates in tab order, with their widgets.
    struct Entry {
        const ControlTemplate* tpl;
        QWidget* widget;
    };
    const std::vector<Entry>& Entries() const { return m_entries; }
    // The entries [first, last) of the radio group that holds `radio`.
    std::pair<std::size_t, std::size_t> RadioGroupOf(QWidget* radio) const;

    // Delivers a message to the dialog; after the outermost one, the screen
    // is brought up to date from the surface.
    LRESULT Deliver(const MSG& msg);
    // Brings the screen up to date with what was drawn on the surface.
    void Flush();

    // The client surface, sized to the client area at the current ratio.
    QImage& Surface();
    // Records client pixels drawn on the surface, for the next flush.
    void MarkDirty(const QRect& logical);
    // The invalid area of the paint being handled, in client pixels.
    QRect PaintRect() const { return m_paintRect; }
    // Paints the whole client area now, through WM_PAINT.
    void RepaintAll();

    // Notifications are held back while a transfer runs.
    bool m_bInTransfer = false;

    // Marks `field` invalid and shows the warning balloon at it, until its
    // text holds a whole number from nMin to nMax again. There is never more
    // than one balloon; showing it again only moves it.
    void ShowFieldWarning(QLineEdit* field, const QString& text, int nMin, int nMax);
    void ClearFieldWarning(QWidget* field);
    bool IsFieldWarningShown(QWidget* field) const;
    QString FieldWarningText() const;

    // Opens the window's own system menu at the client area's top-left.
    void ShowSystemMenu();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void reject() override;

private:
    void Build(const DialogTemplate& tpl);
    void FitTexts();
    QWidget* MakeControl(const ControlTemplate& ctl, const ControlTemplate* previous,
                         QWidget* previousWidget);
    void Command(int nID, UINT nCode);
    void DeliverMouse(UINT message, QMouseEvent* event);
    bool HandleDialogKey(QKeyEvent* event);

    CDialog* m_pDlg;
    std::vector<Entry> m_entries;
    QImage m_surface;
    // What was drawn since the last flush: the rectangle being grown by
    // touching ones, and the distant areas finished before it.
    QRect m_dirtyRun;
    QRegion m_dirty;
    QRect m_paintRect;
    bool m_bNeedsFullPaint = true;
    bool m_bFlushing = false;
    int m_nDeliverDepth = 0;
    Balloon* m_pBalloon = nullptr;
    QPointer<QWidget> m_pWarnedField;
    QMetaObject::Connection m_warnedFieldWatch;
};

// Starts the window manager's move of the window, from the keyboard where
// the window system allows it.
void StartWindowMove(QWidget* widget);

// Shows a message box, or hands it to the installed hook.
int RunMessageBox(QWidget* owner, const MessageBoxRequest& request);

} // namespace platform_detail
