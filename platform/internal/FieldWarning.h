#pragma once

// The warning at a field whose text a read refused: the field is marked
// invalid and a balloon below it says why, until its text is valid again.
// There is never more than one balloon; showing it again only moves it. The
// balloon is part of the dialog's window, so it never takes the focus or the
// mouse and never stands above another application's window.
//
// The tip is a balloon of the same kind that the program shows and hides
// itself, as a quiet hint: the field is not marked. There is never more than
// one either; showing it at another field moves it there.

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
    QWidget* m_pDialog;
    QLabel* m_pBalloon = nullptr;
    QPointer<QLineEdit> m_pField;
    QMetaObject::Connection m_watch;
};

class FieldTip {
public:
    explicit FieldTip(QWidget* dialog) : m_pDialog(dialog) {}
    FieldTip(const FieldTip&) = delete;
    FieldTip& operator=(const FieldTip&) = delete;

    void Show(QWidget* field, const QString& text);
    // Hides the tip if it is shown at `field`.
    void Hide(const QWidget* field);
    bool IsShownAt(const QWidget* field) const {
        return field && static_cast<const QWidget*>(m_pField.data()) == field;
    }
    QString Text() const;

private:
    QWidget* m_pDialog;
    QLabel* m_pBalloon = nullptr;
    QPointer<QWidget> m_pField;
};

} // namespace platform_detail
