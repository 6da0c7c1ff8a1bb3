#include "FieldWarning.h"

#include <QLineEdit>

#include <algorithm>

namespace platform_detail {

namespace {

QLabel* MakeBalloon(QWidget* dialog, const char* objectName) {
    auto* balloon = new QLabel(dialog);
    balloon->setObjectName(QLatin1String(objectName));
    balloon->setAttribute(Qt::WA_TransparentForMouseEvents);
    balloon->setFocusPolicy(Qt::NoFocus);
    balloon->setForegroundRole(QPalette::ToolTipText);
    balloon->setBackgroundRole(QPalette::ToolTipBase);
    balloon->setAutoFillBackground(true);
    balloon->setFrameStyle(QFrame::Box | QFrame::Plain);
    balloon->setMargin(4);
    balloon->setTextFormat(Qt::PlainText);
    balloon->hide();
    return balloon;
}

// Shows the balloon with `text` below the field, starting at its middle,
// moved left as far as it takes to stay inside the window.
void ShowBelow(QLabel* balloon, const QWidget* field, QWidget* dialog, const QString& text) {
    if (balloon->text() != text) {
        balloon->setText(text);
        balloon->adjustSize();
    }
    const QPoint below = field->mapTo(dialog, QPoint(field->width() / 2, field->height() + 2));
    const int x = std::max(0, std::min(below.x(), dialog->width() - balloon->width()));
    balloon->move(x, below.y());
    balloon->show();
    balloon->raise();
}

} // namespace

FieldWarning::~FieldWarning() {
    QObject::disconnect(m_watch);
}

void FieldWarning::Show(QLineEdit* field, const QString& text, Validator valid) {
    if (m_pField && m_pField != field)
        Clear(m_pField);
    if (!m_pBalloon)
        m_pBalloon = MakeBalloon(m_pDialog, "fieldWarning");
    if (m_pField != field) {
        m_pField = field;
        QPalette marked = field->palette();
        marked.setColor(QPalette::Base, QColor(255, 224, 224));
        field->setPalette(marked);
        field->setAccessibleDescription(text);
        m_watch = QObject::connect(field, &QLineEdit::textChanged, field,
                                   [this, field, valid = std::move(valid)](const QString& now) {
                                       if (valid(now))
                                           Clear(field);
                                   });
    }
    ShowBelow(m_pBalloon, field, m_pDialog, text);
}

void FieldWarning::Clear(QWidget* field) {
    if (!IsShownAt(field))
        return;
    QObject::disconnect(m_watch);
    m_pField->setPalette(QPalette());
    m_pField->setAccessibleDescription(QString());
    m_pField = nullptr;
    if (m_pBalloon)
        m_pBalloon->hide();
}

QString FieldWarning::Text() const {
    return m_pBalloon && m_pField ? m_pBalloon->text() : QString();
}

void FieldTip::Show(QWidget* field, const QString& text) {
    if (!m_pBalloon)
        m_pBalloon = MakeBalloon(m_pDialog, "fieldTip");
    m_pField = field;
    ShowBelow(m_pBalloon, field, m_pDialog, text);
}

void FieldTip::Hide(const QWidget* field) {
    if (!IsShownAt(field))
        return;
    m_pField = nullptr;
    m_pBalloon->hide();
}

QString FieldTip::Text() const {
    return m_pBalloon && m_pField ? m_pBalloon->text() : QString();
}

} // namespace platform_detail
