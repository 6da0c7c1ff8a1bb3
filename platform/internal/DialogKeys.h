#pragma once

// The dialog's keyboard: the keys that act on the dialog as a whole wherever
// the focus is (Enter, Esc, F1, the window menu), and the arrows within a
// radio group.

#include <QObject>

class QKeyEvent;

namespace platform_detail {

class DialogHost;

class DialogKeys : public QObject {
public:
    explicit DialogKeys(DialogHost& host);

    // Handles a key pressed anywhere in the dialog; false if it is not one
    // of the dialog's keys.
    bool Handle(QKeyEvent* event);

protected:
    // Sees the keys of the controls it watches before they do.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool StepRadio(QWidget* radio, int key);

    DialogHost& m_host;
};

} // namespace platform_detail
