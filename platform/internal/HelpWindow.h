#pragma once

// The help window, and the room a window may take on its screen.

#include <QSize>
#include <QString>

#include <string_view>

class QWidget;

namespace platform_detail {

// How much of the screen that `near` is on (the primary screen without it)
// a window may fill, its frame and title bar left room: the screen's
// available area, less what the window system is likely to add around it.
QSize RoomOnScreen(const QWidget* near);

// Moves a window that is not shown yet to the middle of `near` (of the
// screen without it), then as far as needed to lie wholly on the screen's
// available area, its frame included. Window systems that place windows
// themselves ignore this.
void PlaceOnScreen(QWidget* window, const QWidget* near);

// The help text as rich text. The plain text follows a few rules, which the
// man page reads too:
//   - a line that starts in the first column is a section heading;
//   - lines indented by two spaces make a paragraph, up to a blank line;
//   - a line indented by two spaces that holds a tab, or a run of two or more
//     spaces, is a row of the key table: the keys before the gap, what they
//     do after it; a following line indented to where that text starts goes
//     on with it;
//   - lines indented further are examples, shown as they are typed.
QString HelpHtml(std::string_view text);

// Shows the help window beside `owner`, one at a time, without blocking: it
// fits the screen (the text wraps and scrolls) and starts on it.
void ShowHelpWindow(QWidget* owner, const QString& title, std::string_view text);

} // namespace platform_detail
