#include "Wnd.h"

#include "Controls.h"
#include "DialogHost.h"
#include "DlgTemplate.h"
#include "Gdi.h"
#include "Handles.h"
#include "Text.h"
#include "WinApp.h"
#include "WindowMove.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

#include <map>

using platform_detail::DialogHost;
using platform_detail::HostOf;
using platform_detail::IconOf;
using platform_detail::WidgetOf;

namespace {

const DialogTemplate* FindDialogTemplate(UINT nID) {
    for (const DialogTemplate& tpl : AfxGetResourceTables().dialogs)
        if (static_cast<UINT>(tpl.id) == nID)
            return &tpl;
    return nullptr;
}

} // namespace

HICON LoadIcon(int nIDResource) {
    static std::map<int, IconHandle> loaded;
    if (auto it = loaded.find(nIDResource); it != loaded.end())
        return &it->second;
    for (const IconResource& resource : AfxGetResourceTables().icons) {
        if (resource.id != nIDResource)
            continue;
        IconHandle& handle = loaded[nIDResource];
        // The pixels are ready-made: the image wraps them without a copy.
        for (const IconImage& image : resource.images)
            handle.icon.addPixmap(
                QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(image.pixels.data()),
                                          image.size, image.size, QImage::Format_ARGB32)));
        return &handle;
    }
    return nullptr;
}

bool CCmdTarget::OnWndMsg(const MSG&, LRESULT&) {
    return false;
}

CWnd::CWnd() = default;
CWnd::~CWnd() = default;

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const MSG msg{message, wParam, lParam};
    // Default() answers the innermost message being handled.
    QScopedValueRollback current(m_pCurrentMsg, &msg);
    LRESULT result = 0;
    if (!OnWndMsg(msg, result))
        result = DefWindowProc(msg);
    return result;
}

LRESULT CWnd::Default() {
    return m_pCurrentMsg ? DefWindowProc(*m_pCurrentMsg) : 0;
}

LRESULT CWnd::DefWindowProc(const MSG& msg) {
    switch (msg.message) {
    case WM_SETICON:
        // One icon group serves both sizes: the window takes all its images.
        if (m_hWnd && msg.lParam)
            WidgetOf(m_hWnd)->setWindowIcon(IconOf(reinterpret_cast<HICON>(msg.lParam)));
        return 0;
    case UDM_SETRANGE:
        if (auto* updown = dynamic_cast<platform_detail::UpDownControl*>(WidgetOf(m_hWnd)))
            updown->SetRange(static_cast<std::int16_t>(LOWORD(static_cast<WPARAM>(msg.lParam))),
                             static_cast<std::int16_t>(HIWORD(static_cast<WPARAM>(msg.lParam))));
        return 0;
    case WM_ICONERASEBKGND:
        if (CDC* dc = CDCFromHandle(msg.wParam)) {
            CRect client;
            GetClientRect(&client);
            CBrush face(GetSysColor(COLOR_BTNFACE));
            dc->FillRect(&client, &face);
        }
        return 1;
    default:
        return 0;
    }
}

CMenu* CWnd::GetSystemMenu(bool bRevert) {
    if (bRevert || !m_pSystemMenu) {
        // The standard items of a fixed-size dialog's window menu. Restore,
        // Size and Maximize cannot apply to it and stay disabled.
        m_pSystemMenu = std::make_unique<CMenu>();
        m_pSystemMenu->AppendMenu(MF_STRING | MF_GRAYED, SC_RESTORE, "&Restore");
        m_pSystemMenu->AppendMenu(MF_STRING, SC_MOVE, "&Move");
        m_pSystemMenu->AppendMenu(MF_STRING | MF_GRAYED, SC_SIZE, "&Size");
        m_pSystemMenu->AppendMenu(MF_STRING, SC_MINIMIZE, "Mi&nimize");
        m_pSystemMenu->AppendMenu(MF_STRING | MF_GRAYED, SC_MAXIMIZE, "Ma&ximize");
        m_pSystemMenu->AppendMenu(MF_SEPARATOR);
        m_pSystemMenu->AppendMenu(MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    }
    return bRevert ? nullptr : m_pSystemMenu.get();
}

void CWnd::GetClientRect(CRect* lpRect) const {
    const QWidget* widget = WidgetOf(m_hWnd);
    *lpRect = widget ? CRect(0, 0, widget->width(), widget->height()) : CRect();
}

bool CWnd::IsIconic() const {
    return m_hWnd && WidgetOf(m_hWnd)->isMinimized();
}

bool CWnd::Attach(HWND hWnd) {
    if (m_hWnd)
        return false;
    m_hWnd = hWnd;
    return true;
}

void CWnd::SetFocus() {
    if (QWidget* widget = WidgetOf(m_hWnd))
        widget->setFocus(Qt::OtherFocusReason);
}

void CWnd::EnableWindow(bool bEnable) {
    if (QWidget* widget = WidgetOf(m_hWnd))
        widget->setEnabled(bEnable);
}

void CWnd::ShowWindow(int nCmdShow) {
    if (QWidget* widget = WidgetOf(m_hWnd))
        widget->setVisible(nCmdShow != SW_HIDE);
}

void CWnd::SetWindowText(std::string_view text) {
    QWidget* widget = WidgetOf(m_hWnd);
    const QString value = platform_detail::FromUtf8(text);
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(value);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(value);
    else if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->setText(value);
    else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
        edit->setPlainText(value);
    else if (widget)
        widget->setWindowTitle(value);
}

void CWnd::SetAccessibleDescription(std::string_view text) {
    if (QWidget* widget = WidgetOf(m_hWnd))
        widget->setAccessibleDescription(platform_detail::FromUtf8(text));
}

void CWnd::SetToolTipText(std::string_view text) {
    if (QWidget* widget = WidgetOf(m_hWnd))
        widget->setToolTip(platform_detail::FromUtf8(text));
}

void CWnd::RedrawWindow() {
    if (DialogHost* host = HostOf(this))
        host->RepaintAll();
}

void CWnd::DragAcceptFiles(bool bAccept) {
    if (QWidget* widget = WidgetOf(m_hWnd))
        widget->setAcceptDrops(bAccept);
}

UINT DragQueryFile(HDROP hDrop, UINT iFile, CString* pszFile) {
    if (!hDrop)
        return 0;
    if (iFile == 0xFFFFFFFFu)
        return static_cast<UINT>(hDrop->files.size());
    if (iFile >= hDrop->files.size() || !pszFile)
        return 0;
    *pszFile = hDrop->files[iFile];
    return static_cast<UINT>(pszFile->str().size());
}

CString DragQueryText(HDROP hDrop) {
    return hDrop ? hDrop->text : CString();
}

int CSpinButtonCtrl::GetPos() const {
    auto* updown = dynamic_cast<platform_detail::UpDownControl*>(WidgetOf(m_hWnd));
    return updown ? updown->Position() : 0;
}

namespace {

// The dialog that control hWnd belongs to, or null.
DialogHost* HostOfControl(HWND hWnd) {
    QWidget* control = WidgetOf(hWnd);
    return control ? dynamic_cast<DialogHost*>(control->parentWidget()) : nullptr;
}

} // namespace

bool CEdit::ShowBalloonTip(const char* lpszText) {
    DialogHost* host = HostOfControl(m_hWnd);
    if (!host)
        return false;
    host->Tip().Show(WidgetOf(m_hWnd), platform_detail::FromUtf8(lpszText ? lpszText : ""));
    return true;
}

bool CEdit::HideBalloonTip() {
    DialogHost* host = HostOfControl(m_hWnd);
    if (!host)
        return false;
    host->Tip().Hide(WidgetOf(m_hWnd));
    return true;
}

bool CEdit::GetModify() const {
    auto* edit = qobject_cast<QLineEdit*>(WidgetOf(m_hWnd));
    return edit && edit->isModified();
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    m_hWnd = nullptr;
}

bool CDialog::CreateHost() {
    if (m_pOwnedHost)
        return true;
    const DialogTemplate* tpl = FindDialogTemplate(m_nIDTemplate);
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

namespace platform_detail {

DialogHost* HostOf(const CWnd* pWnd) {
    return pWnd ? dynamic_cast<DialogHost*>(WidgetOf(pWnd->GetSafeHwnd())) : nullptr;
}

} // namespace platform_detail
