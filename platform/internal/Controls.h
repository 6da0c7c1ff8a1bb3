#pragma once

// The toolkit widgets that stand in for the template's control kinds where
// Qt's own do not fit. Internal to the windowing layer.

#include <QPointer>
#include <QRect>
#include <QString>
#include <QValidator>
#include <QWidget>

#include <memory>

class QFontMetrics;
class QLineEdit;
class QPainter;
class QPalette;
class QRegion;
class QStyle;
class QToolButton;

namespace platform_detail {

// How many client pixels beyond the usual a text keeps from a frame line at
// device pixel ratio `ratio`. A line is one client pixel wide; above ratio 1
// its device pixels may reach into the client pixel beside it, so a text
// keeps one pixel more away to stay a whole pixel clear.
int FrameLineSpill(qreal ratio);

// A group box: an etched frame with its title in the top edge. The dialog
// paints it over what it drew below, before its controls, and the mouse
// reaches the dialog through it. A box the program names by an id has a
// place-holder: an empty widget that the program finds, moves and sizes as
// it does any control, whose place the box takes; a box without one costs
// no widget at all.
class GroupFrame {
public:
    GroupFrame(const QRect& rect, const QString& title, QWidget* placeholder = nullptr)
        : m_rect(rect), m_title(title), m_pPlaceholder(placeholder) {}

    // Where it stands in the client area: its place-holder's place, if any.
    QRect Rect() const { return m_pPlaceholder ? m_pPlaceholder->geometry() : m_rect; }
    const QString& Title() const { return m_title; }

    // What it may paint, in client coordinates, in the font of `metrics` at
    // device pixel ratio `ratio`: its lines and its title, with the pixels
    // beside them that they spill into at any ratio.
    QRegion Painted(const QFontMetrics& metrics, qreal ratio) const;
    // Paints it in the painter's font, within its rectangle, in the colours
    // of `palette`; `ratio` is the device pixel ratio painted at.
    void Paint(QPainter& painter, const QPalette& palette, qreal ratio) const;

private:
    QRect m_rect;
    QString m_title;
    QPointer<QWidget> m_pPlaceholder;
};

// A static text the program never names. Like a group box it costs no
// widget: the dialog paints it over its group boxes, exactly as a plain-text
// label in its place would paint, and tells assistive technology of it as a
// static text. What the program names by an id stays a label it can change.
class PaintedText {
public:
    PaintedText(const QRect& rect, const QString& text, Qt::Alignment alignment);
    PaintedText(PaintedText&&) noexcept;
    PaintedText& operator=(PaintedText&&) noexcept;
    ~PaintedText();

    QRect Rect() const { return m_rect; }
    const QString& Text() const { return m_text; }

    // Lays the text out in `font`, the font the dialog paints in, and returns
    // the width it takes, as a label measures it for its size hint. The
    // layout is kept, so that painting does not shape the text again.
    int LayOut(const QFont& font);
    // Widens it to `width`, keeping its left edge.
    void SetWidth(int width) { m_rect.setWidth(width); }
    // Paints it with `style` in the painter's font, in the colours of
    // `palette`, greyed when not `enabled`.
    void Paint(QPainter& painter, const QStyle& style, const QPalette& palette, bool enabled) const;

private:
    struct Layout;

    // Its alignment with left and right taken in the text's own direction.
    Qt::Alignment VisualAlignment() const;
    // Paints the kept layout as the painter lays such a text out and draws
    // it in a rectangle; false if it has none that fits the painter's font
    // and the rectangle.
    bool PaintLayout(QPainter& painter, const QPalette& palette) const;

    QRect m_rect;
    QString m_text;
    Qt::Alignment m_alignment;
    std::unique_ptr<Layout> m_layout;
};

// Keeps control characters (C0 and C1 controls, DEL, line and paragraph
// separators) out of a single-line edit: whatever is typed, pasted or set
// loses them and keeps the rest, so the text is always one line.
class SingleLineText : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// The up-down control. It steps a position one at a time between two ends,
// the up arrow toward one and the down arrow toward the other, which may be
// the smaller or the larger number, and writes the position as decimal text
// into its buddy edit. The buddy's Up and Down keys step it too, and the
// arrows repeat while held. The position follows every valid whole number
// the buddy holds, so that from text the buddy refuses the arrows step from
// the last valid number.
class UpDownControl : public QWidget {
public:
    explicit UpDownControl(QWidget* parent);

    // Takes the edit as buddy, and sits at its right edge inside it. With
    // bSetText the position is written into it; with bArrowKeys its Up and
    // Down keys step the control.
    void SetBuddy(QLineEdit* buddy, bool bSetText, bool bArrowKeys);
    void SetRange(int upEnd, int downEnd);
    int Position() const { return m_nPos; }
    // One step toward the up arrow's end (+1) or the down arrow's end (-1).
    void Step(int direction);

    QToolButton* UpButton() const { return m_pUp; }
    QToolButton* DownButton() const { return m_pDown; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QLineEdit> m_pBuddy;
    QToolButton* m_pUp;
    QToolButton* m_pDown;
    int m_nUpEnd = 0;
    int m_nDownEnd = 100;
    int m_nPos = 0;
    bool m_bSetText = true;
    bool m_bArrowKeys = true;
};

} // namespace platform_detail
