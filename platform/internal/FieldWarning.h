#pragma once

// The warning at a field whose text a read refused: the field is marked
// invalid and a balloon below it says why, until its text is valid again.
// There is never more than one balloon; showing it again only moves it. The
// balloon is part of the dialog's window, so it never takes the focus or the
// mouse and never stands above another application's window.

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include <functional>

class QLineEdit;

namespace platform_detail {

class FieldWarning {
public:
    // Whether a text is valid again, which takes the warning away.
    using Validator = std::function<bool(const QString&)>;

    explicit FieldWarning(QWidget* dialog) : m_pDialog(dialog) {}
    ~FieldWarning();
    FieldWarning(const FieldWarning&) = delete;
    FieldWarning& operator=(const FieldWarning&) = delete;

    void Show(QLineEdit* field, const QString& text, Validator valid);
    void Clear(QWidget* field);
    bool IsShownAt(const QWidget* field) const {
        return field && static_cast<const QWidget*>(m_pField.data()) == field;
    }
    QString Text() const;

private:
    void Place();

    QWidget* m_pDialog;
    QLabel* m_pBalloon = nullptr;
    QPointer<QLineEdit> m_pField;
    QMetaObject::Connection m_watch;
};

} // namespace platform_detail
