#include "Controls.h"

#include "Text.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace platform_detail {

namespace {

// Where a frame's title starts.
constexpr int kTitleLeft = 8;

} // namespace

int FrameLineSpill(qreal ratio) {
    return ratio > 1 ? 1 : 0;
}

QRegion GroupFrame::Painted(const QFontMetrics& metrics, qreal ratio) const {
    const QRect box = Rect();
    // The etched lines lie within two pixels of each edge and of the top
    // line's height, the title's glyphs within their ink; each spills a pixel
    // further when smoothed or scaled.
    const int spill = 1 + FrameLineSpill(ratio);
    const int margin = 2 + spill;
    const int frameTop = metrics.height() / 2;
    QRegion painted(box);
    painted -= QRect(QPoint(margin, frameTop + margin),
                     QPoint(box.width() - 1 - margin, box.height() - 1 - margin))
                   .translated(box.topLeft());
    if (!m_title.isEmpty())
        painted += metrics.boundingRect(m_title)
                       .translated(box.left() + kTitleLeft, box.top() + metrics.ascent())
                       .adjusted(-spill, -spill, spill, spill);
    return painted;
}

void GroupFrame::Paint(QPainter& painter, const QPalette& palette, qreal ratio) const {
    const QRect box = Rect();
    // Painted as a control of its own would be: cut off at its edges,
    // whatever the painter did before.
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setClipRect(box, Qt::IntersectClip);

    const QFontMetrics metrics(painter.font());
    const int frameTop = metrics.height() / 2;
    const QRect frame(box.left(), box.top() + frameTop, box.width() - 2,
                      box.height() - frameTop - 2);

    // An etched line: a shadow line with a highlight one pixel below and to
    // the right of it, leaving a gap in the top edge for the title.
    // The title stands at titleLeft, with a gap of two pixels on either side,
    // and one more where the lines spill at this ratio.
    const int titleLeft = box.left() + kTitleLeft;
    const int titleWidth = m_title.isEmpty() ? 0 : metrics.horizontalAdvance(m_title);
    const int gap = 2 + FrameLineSpill(ratio);
    // Each line is filled as the rectangle that a one-pixel pen with square
    // ends covers (half a pixel beyond its ends and to either side), which
    // the toolkit fills directly instead of stroking a line.
    auto etch = [&](const QColor& color, int offset) {
        const QRect r = frame.translated(offset, offset);
        const auto line = [&](int x1, int y1, int x2, int y2) {
            painter.fillRect(QRectF(QPointF(std::min(x1, x2) - 0.5, std::min(y1, y2) - 0.5),
                                    QPointF(std::max(x1, x2) + 0.5, std::max(y1, y2) + 0.5)),
                             color);
        };
        if (titleWidth == 0) {
            line(r.left(), r.top(), r.right(), r.top());
        } else {
            line(r.left(), r.top(), titleLeft - gap - 1 + offset, r.top());
            line(titleLeft + titleWidth + gap + offset, r.top(), r.right(), r.top());
        }
        line(r.left(), r.top(), r.left(), r.bottom());
        line(r.left(), r.bottom(), r.right(), r.bottom());
        line(r.right(), r.top(), r.right(), r.bottom());
    };
    etch(palette.color(QPalette::Mid), 0);
    etch(palette.color(QPalette::Light), 1);

    if (!m_title.isEmpty()) {
        painter.setPen(palette.color(QPalette::WindowText));
        painter.drawText(QRect(titleLeft, box.top(), titleWidth, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, m_title);
    }
    painter.restore();
}

// A text laid out once in the font the dialog paints it in: its lines
// placed as the painter places the lines of a text it draws in a rectangle,
// with the height and widest line that placement gives.
struct PaintedText::Layout {
    QFont font;
    QTextLayout lines;
    qreal width = 0;
    qreal height = 0;
    // The height without its last line: the painter stops laying lines out
    // once they fill its rectangle.
    qreal heightBeforeLast = 0;
};

PaintedText::PaintedText(const QRect& rect, const QString& text, Qt::Alignment alignment)
    : m_rect(rect), m_text(text), m_alignment(alignment) {}
PaintedText::PaintedText(PaintedText&&) noexcept = default;
PaintedText& PaintedText::operator=(PaintedText&&) noexcept = default;
PaintedText::~PaintedText() = default;

Qt::Alignment PaintedText::VisualAlignment() const {
    return QStyle::visualAlignment(m_text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight,
                                   m_alignment);
}

int PaintedText::LayOut(const QFont& font) {
    m_layout.reset();
    // Kept layouts are for left-to-right text in a plain font, with no
    // character that the painter would first replace (a tab, a carriage
    // return) or read as a mark between variants of the text.
    const bool plain = !font.underline() && !font.overline() && !font.strikeOut() &&
                       std::none_of(m_text.begin(), m_text.end(), [](QChar c) {
                           return c == u'\t' || c == u'\r' || c == QChar(0x9C);
                       });
    if (m_text.isEmpty() || m_text.isRightToLeft() || !plain) {
        const int flags =
            static_cast<int>(VisualAlignment() & ~(Qt::AlignVCenter | Qt::AlignHCenter));
        return QFontMetrics(font).boundingRect(0, 0, 2000, 2000, flags, m_text).width();
    }
    auto layout = std::make_unique<Layout>();
    layout->font = font;
    QString shown = m_text;
    shown.replace(u'\n', QChar::LineSeparator);
    layout->lines.setText(shown);
    layout->lines.setFont(font);
    layout->lines.setCacheEnabled(true);
    QTextOption option;
    option.setAlignment(Qt::AlignLeft);
    option.setTextDirection(Qt::LeftToRight);
    layout->lines.setTextOption(option);
    // Each line on a whole pixel below the one before, a leading apart.
    const qreal leading = QFontMetricsF(font).leading();
    qreal height = -leading;
    layout->lines.beginLayout();
    for (QTextLine line = layout->lines.createLine(); line.isValid();
         line = layout->lines.createLine()) {
        line.setLineWidth(0x01000000);
        layout->heightBeforeLast = std::max<qreal>(height, 0);
        height = std::ceil(height + leading);
        line.setPosition(QPointF(0, height));
        height += line.ascent() + line.descent();
        layout->width = std::max(layout->width, line.naturalTextWidth());
    }
    layout->lines.endLayout();
    layout->height = height;
    m_layout = std::move(layout);
    return static_cast<int>(std::ceil(m_layout->width));
}

bool PaintedText::PaintLayout(QPainter& painter, const QPalette& palette) const {
    const QRectF r(m_rect);
    if (!m_layout || painter.font() != m_layout->font || m_layout->heightBeforeLast >= r.height())
        return false;
    const Qt::Alignment align = VisualAlignment();
    const qreal top = (align & Qt::AlignVCenter) ? (r.height() - m_layout->height) / 2 : 0;
    const qreal left = (align & Qt::AlignHCenter) ? (r.width() - m_layout->width) / 2 : 0;
    const bool clip =
        !r.contains(QRectF(r.x() + left, r.y() + top, m_layout->width, m_layout->height));
    painter.save();
    if (clip)
        painter.setClipRect(r, Qt::IntersectClip);
    // The pen the style gives an enabled item's text.
    painter.setPen(QPen(palette.brush(QPalette::WindowText), painter.pen().widthF()));
    for (int i = 0; i < m_layout->lines.lineCount(); ++i) {
        const QTextLine line = m_layout->lines.lineAt(i);
        const qreal x = (align & Qt::AlignHCenter) ? (r.width() - line.horizontalAdvance()) / 2 : 0;
        line.draw(&painter, QPointF(r.x() + x, r.y() + top));
    }
    painter.restore();
    return true;
}

void PaintedText::Paint(QPainter& painter, const QStyle& style, const QPalette& palette,
                        bool enabled) const {
    if (enabled && PaintLayout(painter, palette))
        return;
    const int flags =
        static_cast<int>(VisualAlignment()) |
        (m_text.isRightToLeft() ? Qt::TextForceRightToLeft : Qt::TextForceLeftToRight);
    style.drawItemText(&painter, m_rect, flags, palette, enabled, m_text, QPalette::WindowText);
}

QValidator::State SingleLineText::validate(QString& input, int& pos) const {
    const auto breaksTheLine = [](QChar c) {
        const QChar::Category category = c.category();
        return category == QChar::Other_Control || category == QChar::Separator_Line ||
               category == QChar::Separator_Paragraph;
    };
    qsizetype kept = 0;
    int cursor = pos;
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (!breaksTheLine(input[i]))
            input[kept++] = input[i];
        else if (i < pos)
            --cursor;
    }
    input.truncate(kept);
    pos = cursor;
    return Acceptable;
}

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), m_pUp(new QToolButton(this)), m_pDown(new QToolButton(this)) {
    for (QToolButton* button : {m_pUp, m_pDown}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setAutoRaise(false);
    }
    m_pUp->setArrowType(Qt::UpArrow);
    m_pDown->setArrowType(Qt::DownArrow);
    m_pUp->setAccessibleName(QStringLiteral("Up"));
    m_pDown->setAccessibleName(QStringLiteral("Down"));
    connect(m_pUp, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { Step(-1); });
    setFocusPolicy(Qt::NoFocus);
}

void UpDownControl::SetBuddy(QLineEdit* buddy, bool bSetText, bool bArrowKeys) {
    m_pBuddy = buddy;
    m_bSetText = bSetText;
    m_bArrowKeys = bArrowKeys;
    if (!buddy)
        return;
    buddy->installEventFilter(this);
    connect(buddy, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (auto typed = ParseWholeNumber(text, std::min(m_nUpEnd, m_nDownEnd),
                                          std::max(m_nUpEnd, m_nDownEnd)))
            m_nPos = *typed;
    });
    // The control keeps its own width and takes the buddy's height, and the
    // buddy gives up the width the control now covers.
    const QRect b = buddy->geometry();
    const int w = width();
    setGeometry(b.right() + 1 - w, b.top(), w, b.height());
    buddy->setGeometry(b.left(), b.top(), b.width() - w, b.height());
    const int half = height() / 2;
    m_pUp->setGeometry(0, 0, w, half);
    m_pDown->setGeometry(0, half, w, height() - half);
}

void UpDownControl::SetRange(int upEnd, int downEnd) {
    m_nUpEnd = upEnd;
    m_nDownEnd = downEnd;
    m_nPos = std::clamp(m_nPos, std::min(upEnd, downEnd), std::max(upEnd, downEnd));
}

void UpDownControl::Step(int direction) {
    // The position is the buddy's last valid number: text it refuses does
    // not move it.
    const int pos = m_nPos;
    const int target = direction > 0 ? m_nUpEnd : m_nDownEnd;
    const int next = pos == target ? pos : pos + (target > pos ? 1 : -1);
    if (next == pos && m_pBuddy && m_pBuddy->text() == QString::number(pos))
        return; // at the end: nothing moves and nothing is written
    m_nPos = next;
    if (m_pBuddy && m_bSetText)
        m_pBuddy->setText(QString::number(next));
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
    // The event type comes first: while the buddy is being destroyed it still
    // sends events here, and comparing it with the guarded pointer would cast
    // a half-destroyed widget to QLineEdit.
    if (event->type() == QEvent::KeyPress && m_bArrowKeys && watched == m_pBuddy) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Up) {
                Step(+1);
                return true;
            }
            if (key->key() == Qt::Key_Down) {
                Step(-1);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace platform_detail
