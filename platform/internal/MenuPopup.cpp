#include "MenuPopup.h"

#include "Text.h"
#include "Wnd.h"

#include <QActionGroup>
#include <QMenu>

namespace platform_detail {

namespace {

void Fill(QMenu& qmenu, const CMenu& menu, CWnd* pTarget) {
    QActionGroup* radios = nullptr;
    for (const CMenu::Item& item : menu.Items()) {
        if (item.nFlags & MF_SEPARATOR) {
            qmenu.addSeparator();
            radios = nullptr;
            continue;
        }
        if ((item.nFlags & MF_POPUP) && item.pPopup) {
            Fill(*qmenu.addMenu(FromUtf8(item.text)), *item.pPopup, pTarget);
            continue;
        }
        QAction* action = qmenu.addAction(FromUtf8(item.text));
        action->setData(item.nID);
        const CCmdUI state = QueryCommand(pTarget, item.nID);
        action->setEnabled(!(item.nFlags & MF_GRAYED) && state.m_bEnabled);
        const bool radio = state.m_bRadio || (item.nFlags & MFT_RADIOCHECK);
        if (state.m_nCheck >= 0 || (item.nFlags & MF_CHECKED)) {
            action->setCheckable(true);
            action->setChecked(state.m_nCheck > 0 ||
                               (state.m_nCheck < 0 && (item.nFlags & MF_CHECKED)));
        }
        if (radio) {
            // Radio items show as one choice among their neighbours.
            if (!radios)
                radios = new QActionGroup(&qmenu);
            action->setCheckable(true);
            radios->addAction(action);
        } else {
            radios = nullptr;
        }
    }
}

} // namespace

CCmdUI QueryCommand(CWnd* pTarget, UINT nID) {
    CCmdUI state(nID);
    if (pTarget)
        pTarget->SendMessage(WM_IDLEUPDATECMDUI, nID, reinterpret_cast<LPARAM>(&state));
    return state;
}

UINT RunMenu(const CMenu& menu, CWnd* pTarget, QWidget* parent, QPoint at) {
    QMenu popup(parent);
    Fill(popup, menu, pTarget);
    QAction* chosen = popup.exec(at);
    return chosen ? chosen->data().toUInt() : 0u;
}

} // namespace platform_detail
