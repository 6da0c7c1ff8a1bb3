#pragma once

// The toolkit side of a dialog: the Qt window built from a dialog template.
// It turns Qt's events into messages for the dialog object and brings the
// screen up to date from the client surface after each one.

#include "Afx.h"
#include "ClientSurface.h"
#include "CmdTarget.h"
#include "DialogBuilder.h"
#include "FieldWarning.h"

#include <QDialog>

#include <vector>

class CDialog;
struct DialogTemplate;

namespace platform_detail {

class DialogKeys;

class DialogHost : public QDialog {
    Q_OBJECT
public:
    DialogHost(CDialog* pDlg, const DialogTemplate& tpl, QWidget* parent);
    ~DialogHost() override;

    // Shows the window and runs it until it ends; returns the code it ended
    // with.
    int Run();

    const ControlTable& Controls() const { return m_controls; }
    // The control with id nID, or null.
    QWidget* Control(int nID) const { return m_controls.Control(nID); }

    // Delivers a message to the dialog; after the outermost one, the screen
    // is brought up to date from the surface.
    LRESULT Deliver(const MSG& msg);
    // A control's notification, held back while a transfer runs.
    void Command(int nID, UINT nCode);
    // Brings the screen up to date with what was drawn on the surface, in
    // one image when the controls are not in the way.
    void Flush();
    // The images flushes have sent the screen so far: one per rectangle of
    // a region the toolkit repaints (so its X11 backing store sends them), one
    // for a direct flush. For benchmarks.
    int ScreenImages() const { return m_nScreenImages; }
    // Paints the whole client area now, through WM_PAINT.
    void RepaintAll();
    // Gives the window its icon. Until the window's first paint is on the
    // screen the icon waits, and follows right after it: building the
    // icon's pixels does not delay the first sight of the window.
    void SetIcon(HICON hIcon);

    // The client surface, sized to the client area at the current ratio.
    ClientSurface& Surface();
    // The invalid area of the paint being handled, in client pixels.
    QRect PaintRect() const { return m_paintRect; }

    // True while the dialog's members and controls are being transferred.
    bool& InTransfer() { return m_bInTransfer; }
    FieldWarning& Warning() { return m_warning; }
    FieldTip& Tip() { return m_tip; }

    // The dialog's keys reach it from `control` too, before the control's own.
    void RouteKeysOf(QWidget* control);
    // Makes `keys` send command nID wherever the focus is in the window,
    // unless the focused control takes the keys itself or the command's
    // update handler disables it.
    void AddAccelerator(const QString& keys, UINT nID);
    // Runs the accelerator of a key press that no control in the focus chain
    // asked to keep; false if the press is not one.
    bool TakeAccelerator(const QKeyEvent* event);
    // A new key press is being offered to the controls: whatever the last
    // one left pending is void.
    void ForgetAccelerator() { m_nPendingAccelerator = 0; }
    // Opens the window's own system menu at the client area's top-left.
    void ShowSystemMenu();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

public slots:
    void reject() override;

private:
    void DeliverMouse(UINT message, QMouseEvent* event);
    void DeliverMouseLeave();
    void PaintAllThroughDialog();
    // Copies the dirty areas from the surface to the backing store and sends
    // their bounding rectangle to the screen; false if that cannot be done.
    bool FlushDirect(const QRegion& dirty);
    void ShowWaitingIcon();

    // The command whose keys a key press is, or 0.
    UINT AcceleratorOf(const QKeyEvent* event) const;

    struct Accelerator {
        QKeyCombination keys;
        UINT nID;
    };

    CDialog* m_pDlg;
    DialogKeys* m_pKeys;
    std::vector<Accelerator> m_accelerators;
    // The command of the key press on its way to the focused control after
    // no control asked to keep its keys, or 0.
    UINT m_nPendingAccelerator = 0;
    ControlTable m_controls;
    ClientSurface m_surface;
    FieldWarning m_warning;
    FieldTip m_tip;
    QRect m_paintRect;
    bool m_bAppWindow;
    bool m_bNeedsFullPaint = true;
    bool m_bPainted = false;
    HICON m_hWaitingIcon = nullptr;
    bool m_bFlushing = false;
    bool m_bInTransfer = false;
    // The pointer is over the client area: the mouse messages go to the
    // dialog, and WM_MOUSELEAVE when it goes.
    bool m_bMouseInside = false;
    int m_nDeliverDepth = 0;
    int m_nScreenImages = 0;
};

} // namespace platform_detail
