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

namespace platform_detail {

// What the warning and the tip share: the dialog's one balloon of its kind
// and the field it stands at.
class FieldBalloon {
public:
    FieldBalloon(QWidget* dialog, const char* objectName)
        : m_pDialog(dialog), m_objectName(objectName) {}
    FieldBalloon(const FieldBalloon&) = delete;
    FieldBalloon& operator=(const FieldBalloon&) = delete;

    bool IsShownAt(const QWidget* field) const {
        return field && static_cast<const QWidget*>(m_pField.data()) == field;
    }
    QString Text() const;

protected:
    ~FieldBalloon() = default;
    // Shows the balloon with `text` below the field, which it then belongs to.
    void ShowBelow(QWidget* field, const QString& text);
    void Hide();
    QWidget* Field() const { return m_pField; }

private:
    QWidget* m_pDialog;
    const char* m_objectName;
    QLabel* m_pBalloon = nullptr;
    QPointer<QWidget> m_pField;
};

class FieldWarning : public FieldBalloon {
public:
    // Whether a text is valid again, which takes the warning away.
    using Validator = std::function<bool(const QString&)>;

    explicit FieldWarning(QWidget* dialog) : FieldBalloon(dialog, "fieldWarning") {}
    ~FieldWarning();

    void Show(QLineEdit* field, const QString& text, Validator valid);
    void Clear(QWidget* field);

private:
    QMetaObject::Connection m_watch;
};

class FieldTip : public FieldBalloon {
public:
    explicit FieldTip(QWidget* dialog) : FieldBalloon(dialog, "fieldTip") {}

    void Show(QWidget* field, const QString& text) { ShowBelow(field, text); }
    // Hides the tip if it is shown at `field`.
    void Hide(const QWidget* field) {
        if (IsShownAt(field))
            FieldBalloon::Hide();
    }
};

} // namespace platform_detail
