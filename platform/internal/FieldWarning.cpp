#include "FieldWarning.h"

#include <QLineEdit>

#include <algorithm>

namespace platform_detail {

namespace {

QLabel* MakeBalloon(QWidget* dialog) {
    auto* balloon = new QLabel(dialog);
    balloon->setObjectName(QStringLiteral("fieldWarning"));
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

} // namespace

FieldWarning::~FieldWarning() {
    QObject::disconnect(m_watch);
}

void FieldWarning::Show(QLineEdit* field, const QString& text, Validator valid) {
    if (m_pField && m_pField != field)
        Clear(m_pField);
    if (!m_pBalloon)
        m_pBalloon = MakeBalloon(m_pDialog);
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
    if (m_pBalloon->text() != text) {
        m_pBalloon->setText(text);
        m_pBalloon->adjustSize();
    }
    Place();
    m_pBalloon->show();
    m_pBalloon->raise();
}

void FieldWarning::Place() {
    // Below the field, starting at its middle, moved left as far as it takes
    // to stay inside the window.
    const QPoint below =
        m_pField->mapTo(m_pDialog, QPoint(m_pField->width() / 2, m_pField->height() + 2));
    const int x = std::max(0, std::min(below.x(), m_pDialog->width() - m_pBalloon->width()));
    m_pBalloon->move(x, below.y());
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

} // namespace platform_detail
