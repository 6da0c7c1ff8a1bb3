#pragma once

// The toolkit widgets that stand in for the template's control kinds where
// Qt's own do not fit. Internal to the windowing layer.

#include <QLabel>
#include <QPointer>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace platform_detail {

// A group box that draws only its etched frame and its title. It paints no
// background, so whatever the dialog drew below shows in its true colours,
// and it lets the mouse through to the dialog.
class GroupFrame : public QWidget {
public:
    GroupFrame(const QString& title, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
};

// The up-down control. It steps a position one at a time between two ends,
// the up arrow toward one and the down arrow toward the other, which may be
// the smaller or the larger number, and writes the position as decimal text
// into its buddy edit. The buddy's Up and Down keys step it too, and the
// arrows repeat while held.
class UpDownControl : public QWidget {
public:
    explicit UpDownControl(QWidget* parent);

    // Takes the edit as buddy, and sits at its right edge inside it.
    void SetBuddy(QLineEdit* buddy);
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
};

// The warning balloon beside a field: a small tooltip-like window that never
// takes the focus or the mouse.
class Balloon : public QLabel {
public:
    Balloon();
    // Shows the text pointing at `field`, or moves it there if shown.
    void ShowAt(QWidget* field, const QString& text);
};

} // namespace platform_detail
