// The dialog: made from its template, run modally or not, with the
// transfer of its bound values and its default answers to messages.

#include "Wnd.h"

#include "DialogHost.h"
#include "DlgTemplate.h"
#include "Gdi.h"
#include "Handles.h"
#include "Text.h"
#include "WinApp.h"
#include "WindowMove.h"

#include <QScopedValueRollback>

using platform_detail::DialogHost;
using platform_detail::WidgetOf;

namespace {

const DialogTemplate* FindDialogTemplate(UINT nID) {
    for (const DialogTemplate& tpl : AfxGetResourceTables().dialogs)
        if (static_cast<UINT>(tpl.id) == nID)
            return &tpl;
    return nullptr;
}

} // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    m_hWnd = nullptr;
}

const DialogTemplate* CDialog::GetTemplate() const {
    return FindDialogTemplate(m_nIDTemplate);
}

bool CDialog::CreateHost() {
    if (m_pOwnedHost)
        return true;
    const DialogTemplate* tpl = GetTemplate();
    if (!tpl)
        return false;
    // A dialog without a parent belongs to the main window, if there is one
    // besides itself.
    CWnd* owner = m_pParentWnd;
    if (!owner && AfxGetApp() && AfxGetApp()->m_pMainWnd != this)
        owner = AfxGetApp()->m_pMainWnd;
    QWidget* parent = owner ? WidgetOf(owner->GetSafeHwnd()) : nullptr;
    platform_detail::UseTemplateFont(*tpl);
    m_pOwnedHost = std::make_unique<DialogHost>(this, *tpl, parent);
    m_hWnd = platform_detail::HandleOf(m_pOwnedHost.get());

    if (OnInitDialog()) {
        // The focus goes to the first control with a tab stop.
        for (const auto& entry : m_pOwnedHost->Controls().Entries()) {
            if (entry.tpl->style & WS_TABSTOP) {
                entry.widget->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
    return true;
}

bool CDialog::Create() {
    if (!CreateHost())
        return false;
    m_pOwnedHost->show();
    return true;
}

int CDialog::DoModal() {
    if (!CreateHost())
        return -1;
    return m_pOwnedHost->Run();
}

void CDialog::EndDialog(int nResult) {
    if (m_pOwnedHost)
        m_pOwnedHost->done(nResult);
}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    if (!m_pOwnedHost)
        return false;
    QScopedValueRollback transfer(m_pOwnedHost->InTransfer(), true);
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::MapDialogRect(CRect* lpRect) const {
    *lpRect = CRect(
        platform_detail::MapDialogX(lpRect->left), platform_detail::MapDialogY(lpRect->top),
        platform_detail::MapDialogX(lpRect->right), platform_detail::MapDialogY(lpRect->bottom));
}

void CDialog::SetIcon(HICON hIcon, bool bBigIcon) {
    SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
}

CWnd* CDialog::GetDlgItem(int nID) {
    QWidget* control = m_pOwnedHost ? m_pOwnedHost->Control(nID) : nullptr;
    if (!control)
        return nullptr;
    const HWND handle = platform_detail::HandleOf(control);
    for (const auto& item : m_items)
        if (item->GetSafeHwnd() == handle)
            return item.get();
    auto item = std::make_unique<CWnd>();
    item->Attach(handle);
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

bool CDialog::LoadAccelTable(UINT nIDResource) {
    if (!m_pOwnedHost)
        return false;
    for (const AcceleratorTable& table : AfxGetResourceTables().accelerators) {
        if (static_cast<UINT>(table.id) != nIDResource)
            continue;
        for (const AcceleratorResource& entry : table.entries)
            m_pOwnedHost->AddAccelerator(platform_detail::FromUtf8(entry.keys),
                                         static_cast<UINT>(entry.command));
        return true;
    }
    return false;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (!UpdateData(true))
        return; // the field that failed says why; the dialog stays
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnSysCommand(UINT, LPARAM) {
    Default();
}

void CDialog::OnPaint() {
    Default();
}

LRESULT CDialog::DefWindowProc(const MSG& msg) {
    switch (msg.message) {
    case WM_PAINT: {
        // Erase what has to be painted to the face colour; the controls
        // paint themselves above the client surface.
        CPaintDC dc(this);
        const QRect area = m_pOwnedHost ? m_pOwnedHost->PaintRect() : QRect();
        const CRect invalid(area.left(), area.top(), area.right() + 1, area.bottom() + 1);
        CBrush face(GetSysColor(COLOR_BTNFACE));
        dc.FillRect(&invalid, &face);
        return 0;
    }
    case WM_COMMAND:
        switch (LOWORD(msg.wParam)) {
        case IDOK:
            OnOK();
            return 0;
        case IDCANCEL:
            OnCancel();
            return 0;
        default:
            // Commands no window handles go to the application.
            if (HIWORD(msg.wParam) == 0 && AfxGetApp())
                AfxGetApp()->OnCmdMsg(LOWORD(msg.wParam));
            return 0;
        }
    case WM_SYSCOMMAND:
        switch (msg.wParam & 0xFFF0) {
        case SC_CLOSE:
            OnCancel();
            return 0;
        case SC_MOVE:
            platform_detail::StartWindowMove(m_pOwnedHost.get());
            return 0;
        case SC_MINIMIZE:
            if (m_pOwnedHost)
                m_pOwnedHost->showMinimized();
            return 0;
        case SC_RESTORE:
            if (m_pOwnedHost)
                m_pOwnedHost->showNormal();
            return 0;
        default:
            return 0;
        }
    default:
        return CWnd::DefWindowProc(msg);
    }
}
