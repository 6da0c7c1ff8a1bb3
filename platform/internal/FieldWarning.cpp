#include "FieldWarning.h"

#include <QLineEdit>

#include <algorithm>

namespace platform_detail {

QString FieldBalloon::Text() const {
    return m_pBalloon && m_pField ? m_pBalloon->text() : QString();
}

void FieldBalloon::ShowBelow(QWidget* field, const QString& text) {
    if (!m_pBalloon) {
        m_pBalloon = new QLabel(m_pDialog);
        m_pBalloon->setObjectName(QLatin1String(m_objectName));
        m_pBalloon->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_pBalloon->setFocusPolicy(Qt::NoFocus);
        m_pBalloon->setForegroundRole(QPalette::ToolTipText);
        m_pBalloon->setBackgroundRole(QPalette::ToolTipBase);
        m_pBalloon->setAutoFillBackground(true);
        m_pBalloon->setFrameStyle(QFrame::Box | QFrame::Plain);
        m_pBalloon->setMargin(4);
        m_pBalloon->setTextFormat(Qt::PlainText);
    }
    m_pField = field;
    if (m_pBalloon->text() != text) {
        m_pBalloon->setText(text);
        m_pBalloon->adjustSize();
    }
    // Below the field, starting at its middle, moved left as far as it takes
    // to stay inside the window.
    const QPoint below = field->mapTo(m_pDialog, QPoint(field->width() / 2, field->height() + 2));
    const int x = std::max(0, std::min(below.x(), m_pDialog->width() - m_pBalloon->width()));
    m_pBalloon->move(x, below.y());
    m_pBalloon->show();
    m_pBalloon->raise();
}

void FieldBalloon::Hide() {
    m_pField = nullptr;
    if (m_pBalloon)
        m_pBalloon->hide();
}

FieldWarning::~FieldWarning() {
    QObject::disconnect(m_watch);
}

void FieldWarning::Show(QLineEdit* field, const QString& text, Validator valid) {
    if (Field() && Field() != field)
        Clear(Field());
    if (Field() != field) {
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
    ShowBelow(field, text);
}

void FieldWarning::Clear(QWidget* field) {
    if (!IsShownAt(field))
        return;
    QObject::disconnect(m_watch);
    field->setPalette(QPalette());
    field->setAccessibleDescription(QString());
    Hide();
}

} // namespace platform_detail
