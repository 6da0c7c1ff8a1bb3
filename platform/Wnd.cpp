#include "Wnd.h"

#include "Controls.h"
#include "Gdi.h"
#include "Host.h"
#include "ResourceTypes.h"
#include "WinApp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QWindow>

#include <map>

using platform_detail::DialogHost;
using platform_detail::FromUtf8;

namespace {

CString ToCString(const QString& text) {
    return CString(text.toUtf8().toStdString());
}

const DialogTemplate* FindDialogTemplate(UINT nID) {
    for (const DialogTemplate& tpl : DialogTemplates())
        if (static_cast<UINT>(tpl.id) == nID)
            return &tpl;
    return nullptr;
}

DialogHost* HostOf(CDataExchange* pDX) {
    return pDX->m_pDlgWnd ? dynamic_cast<DialogHost*>(pDX->m_pDlgWnd->GetSafeHwnd()) : nullptr;
}

} // namespace

HICON LoadIcon(int nIDResource) {
    static std::map<int, IconHandle> loaded;
    if (auto it = loaded.find(nIDResource); it != loaded.end())
        return &it->second;
    for (const IconResource& resource : Icons()) {
        if (resource.id != nIDResource)
            continue;
        IconHandle& handle = loaded[nIDResource];
        for (const IconImage& image : resource.images) {
            QImage pixels(image.size, image.size, QImage::Format_ARGB32);
            for (int y = 0; y < image.size; ++y) {
                const std::string_view row = image.rows[static_cast<std::size_t>(y)];
                for (int x = 0; x < image.size; ++x) {
                    const char c =
                        x < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(x)] : '.';
                    const int index = c >= '0' && c <= '9'   ? c - '0'
                                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                             : -1;
                    pixels.setPixel(x, y, index < 0 ? 0u : 0xFF000000u | kIconPalette[index]);
                }
            }
            handle.icon.addPixmap(QPixmap::fromImage(pixels));
        }
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
    const MSG* outer = m_pCurrentMsg;
    m_pCurrentMsg = &msg;
    LRESULT result = 0;
    if (!OnWndMsg(msg, result))
        result = DefWindowProc(msg);
    m_pCurrentMsg = outer;
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
            m_hWnd->setWindowIcon(reinterpret_cast<HICON>(msg.lParam)->icon);
        return 0;
    case UDM_SETRANGE:
        if (auto* updown = dynamic_cast<platform_detail::UpDownControl*>(m_hWnd))
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
    *lpRect = m_hWnd ? CRect(0, 0, m_hWnd->width(), m_hWnd->height()) : CRect();
}

bool CWnd::IsIconic() const {
    return m_hWnd && m_hWnd->isMinimized();
}

void CWnd::RedrawWindow() {
    if (m_pHost)
        m_pHost->RepaintAll();
}

int CWnd::MessageBox(std::string_view text, const char* caption, UINT nType) {
    // What was drawn reaches the screen before the box takes over.
    if (m_pHost)
        m_pHost->Flush();
    CString title = caption       ? CString(caption)
                    : AfxGetApp() ? AfxGetApp()->m_pszAppName
                                  : CString();
    return platform_detail::RunMessageBox(m_hWnd, MessageBoxRequest{CString(text), title, nType});
}

int CSpinButtonCtrl::GetPos() const {
    auto* updown = dynamic_cast<platform_detail::UpDownControl*>(m_hWnd);
    return updown ? updown->Position() : 0;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd)
        return;
    if (DialogHost* host = HostOf(pDX))
        rControl.m_hWnd = host->Control(nIDC);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    DialogHost* host = HostOf(pDX);
    if (pDX->m_bFailed || !host)
        return;
    const auto [first, last] = host->RadioGroupOf(host->Control(nIDC));
    const auto& entries = host->Entries();
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (std::size_t i = first; i < last; ++i)
            if (static_cast<QAbstractButton*>(entries[i].widget)->isChecked())
                value = static_cast<int>(i - first);
        return;
    }
    for (std::size_t i = first; i < last; ++i) {
        auto* button = static_cast<QAbstractButton*>(entries[i].widget);
        const bool check = static_cast<int>(i - first) == value;
        // An exclusive button cannot be unchecked directly.
        button->setAutoExclusive(false);
        button->setChecked(check);
        button->setAutoExclusive(true);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    DialogHost* host = HostOf(pDX);
    if (pDX->m_bFailed || !host)
        return;
    QWidget* control = host->Control(nIDC);
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        if (pDX->m_bSaveAndValidate)
            value = ToCString(line->text());
        else
            line->setText(FromUtf8(value));
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(control)) {
        if (pDX->m_bSaveAndValidate)
            value = ToCString(text->toPlainText());
        else if (text->toPlainText() != FromUtf8(value))
            text->setPlainText(FromUtf8(value));
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value, int nMin, int nMax) {
    DialogHost* host = HostOf(pDX);
    if (pDX->m_bFailed || !host)
        return;
    auto* line = qobject_cast<QLineEdit*>(host->Control(nIDC));
    if (!line)
        return;
    if (!pDX->m_bSaveAndValidate) {
        line->setText(QString::number(value));
        if (value >= nMin && value <= nMax)
            host->ClearFieldWarning(line);
        return;
    }
    if (auto number = platform_detail::ParseWholeNumber(line->text(), nMin, nMax)) {
        value = *number;
        host->ClearFieldWarning(line);
        return;
    }
    host->ShowFieldWarning(
        line, QStringLiteral("Enter a whole number from %1 to %2.").arg(nMin).arg(nMax), nMin,
        nMax);
    pDX->Fail();
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    m_hWnd = nullptr;
    m_pHost = nullptr;
}

bool CDialog::CreateHost() {
    if (m_pOwnedHost)
        return true;
    const DialogTemplate* tpl = FindDialogTemplate(m_nIDTemplate);
    if (!tpl)
        return false;
    QWidget* parent = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    m_pOwnedHost = std::make_unique<DialogHost>(this, *tpl, parent);
    m_pHost = m_pOwnedHost.get();
    m_hWnd = m_pHost;

    if (OnInitDialog()) {
        // The focus goes to the first control with a tab stop.
        for (const DialogHost::Entry& entry : m_pHost->Entries()) {
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
    m_pHost->show();
    return true;
}

int CDialog::DoModal() {
    if (!CreateHost())
        return -1;
    return m_pHost->exec();
}

void CDialog::EndDialog(int nResult) {
    if (m_pHost)
        m_pHost->done(nResult);
}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    if (!m_pHost)
        return false;
    const bool outer = m_pHost->m_bInTransfer;
    m_pHost->m_bInTransfer = true;
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    m_pHost->m_bInTransfer = outer;
    return !dx.m_bFailed;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::SetIcon(HICON hIcon, bool bBigIcon) {
    SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
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
        const QRect area = m_pHost ? m_pHost->PaintRect() : QRect();
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
            platform_detail::StartWindowMove(m_pHost);
            return 0;
        case SC_MINIMIZE:
            if (m_pHost)
                m_pHost->showMinimized();
            return 0;
        case SC_RESTORE:
            if (m_pHost)
                m_pHost->showNormal();
            return 0;
        default:
            return 0;
        }
    default:
        return CWnd::DefWindowProc(msg);
    }
}

bool CMenu::AppendMenu(UINT nFlags, UINT nIDNewItem, const char* lpszNewItem) {
    m_items.push_back({nFlags, (nFlags & MF_SEPARATOR) ? 0u : nIDNewItem,
                       (nFlags & MF_SEPARATOR) ? CString() : CString(lpszNewItem)});
    return true;
}

UINT CMenu::GetMenuItemID(int nPos) const {
    if (nPos < 0 || nPos >= GetMenuItemCount())
        return static_cast<UINT>(-1);
    return m_items[static_cast<std::size_t>(nPos)].nID;
}

CString CMenu::GetMenuString(int nPos) const {
    if (nPos < 0 || nPos >= GetMenuItemCount())
        return {};
    return m_items[static_cast<std::size_t>(nPos)].text;
}

UINT CMenu::GetMenuState(int nPos) const {
    if (nPos < 0 || nPos >= GetMenuItemCount())
        return static_cast<UINT>(-1);
    return m_items[static_cast<std::size_t>(nPos)].nFlags;
}
