#include "DialogKeys.h"

#include "DialogHost.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace platform_detail {

DialogKeys::DialogKeys(DialogHost& host) : QObject(&host), m_host(host) {}

bool DialogKeys::Handle(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool plain = mods == Qt::NoModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!plain)
            return false;
        // Enter presses the push button that has the focus; elsewhere it is
        // the OK command.
        if (auto* button = qobject_cast<QPushButton*>(m_host.focusWidget()))
            button->click();
        else
            m_host.Command(IDOK, BN_CLICKED);
        return true;
    case Qt::Key_Escape:
        if (plain)
            m_host.Command(IDCANCEL, BN_CLICKED);
        return plain;
    case Qt::Key_F1:
        if (plain)
            m_host.Command(ID_HELP, 0);
        return plain;
    case Qt::Key_F10:
        if (plain)
            m_host.ShowSystemMenu();
        return plain;
    case Qt::Key_Space:
        if (mods == Qt::AltModifier)
            m_host.ShowSystemMenu();
        return mods == Qt::AltModifier;
    default:
        return false;
    }
}

bool DialogKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        m_host.ForgetAccelerator();
        // A read-only text box copies its selection itself, as the editable
        // fields do: its copy keys come before a window shortcut's.
        auto* key = static_cast<QKeyEvent*>(event);
        auto* box = qobject_cast<QPlainTextEdit*>(watched);
        if (box && box->isReadOnly() && key->matches(QKeySequence::Copy))
            key->accept();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (m_host.TakeAccelerator(key) || Handle(key))
        return true;
    if (auto* radio = qobject_cast<QRadioButton*>(watched))
        return StepRadio(radio, key->key());
    return false;
}

bool DialogKeys::StepRadio(QWidget* radio, int key) {
    // The arrow keys move the check within a radio group, as a click would.
    int step = 0;
    if (key == Qt::Key_Down || key == Qt::Key_Right)
        step = 1;
    else if (key == Qt::Key_Up || key == Qt::Key_Left)
        step = -1;
    const auto group = m_host.Controls().RadioGroupOf(radio);
    if (step == 0 || group.empty())
        return false;
    const int n = static_cast<int>(group.size());
    int at = 0;
    while (group[static_cast<std::size_t>(at)].widget != radio)
        ++at;
    auto* next =
        static_cast<QRadioButton*>(group[static_cast<std::size_t>((at + step + n) % n)].widget);
    next->setFocus(Qt::OtherFocusReason);
    next->click();
    return true;
}

} // namespace platform_detail
