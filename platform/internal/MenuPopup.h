#pragma once

// Menus shown on screen, and the state of the commands in them.

#include "Menu.h"

#include <QPoint>

class QWidget;

namespace platform_detail {

// The command's state as pTarget's update handlers set it; enabled and
// unchecked where no handler answers.
CCmdUI QueryCommand(CWnd* pTarget, UINT nID);

// Shows `menu` at the global point `at` over `parent`, each command as its
// flags and pTarget's update handlers say, and returns the command chosen,
// or 0.
UINT RunMenu(const CMenu& menu, CWnd* pTarget, QWidget* parent, QPoint at);

} // namespace platform_detail
