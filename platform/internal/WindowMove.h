#pragma once

class QWidget;

namespace platform_detail {

// Starts the window manager's move of the window, from the keyboard where
// the window system allows it.
void StartWindowMove(QWidget* widget);

} // namespace platform_detail
