#include "Wnd.h"

#include "Controls.h"
#include "DialogHost.h"
#include "DlgTemplate.h"
#include "Gdi.h"
#include "Handles.h"
#include "Text.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

using platform_detail::DialogHost;
using platform_detail::HostOf;
using platform_detail::IconOf;
using platform_detail::WidgetOf;

HICON LoadIcon(int nIDResource) {
    static std::map<int, IconHandle> loaded;
    if (auto it = loaded.find(nIDResource); it != loaded.end())
        return &it->second;
    for (const IconResource& resource : AfxGetResourceTables().icons) {
        if (resource.id != nIDResource)
            continue;
        IconHandle& handle = loaded[nIDResource];
        handle.resource = &resource;
        return &handle;
    }
    return nullptr;
}

namespace platform_detail {

const QIcon& IconOf(HICON hIcon) {
    if (!hIcon->icon) {
        QIcon& icon = hIcon->icon.emplace();
        // The pixels are ready-made: the image wraps them without a copy.
        for (const IconImage& image : hIcon->resource->images)
            icon.addPixmap(
                QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(image.pixels.data()),
                                          image.size, image.size, QImage::Format_ARGB32)));
    }
    return *hIcon->icon;
}

} // namespace platform_detail

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
        if (DialogHost* host = HostOf(this); host && msg.lParam)
            host->SetIcon(reinterpret_cast<HICON>(msg.lParam));
        else if (m_hWnd && msg.lParam)
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

void CWnd::GetWindowRect(CRect* lpRect) const {
    const QWidget* widget = WidgetOf(m_hWnd);
    if (!widget) {
        *lpRect = CRect();
        return;
    }
    const QRect r = widget->isWindow() ? widget->frameGeometry()
                                       : QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    *lpRect = CRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}

void CWnd::ScreenToClient(CRect* lpRect) const {
    const QWidget* widget = WidgetOf(m_hWnd);
    if (!widget)
        return;
    const QPoint offset = widget->mapFromGlobal(QPoint(0, 0));
    *lpRect = CRect(lpRect->left + offset.x(), lpRect->top + offset.y(), lpRect->right + offset.x(),
                    lpRect->bottom + offset.y());
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, bool /*bRepaint*/) {
    QWidget* widget = WidgetOf(m_hWnd);
    if (!widget)
        return;
    if (!widget->isWindow()) {
        widget->setGeometry(x, y, nWidth, nHeight);
        return;
    }
    // A dialog's size is fixed: the user cannot change it, the program can.
    const QRect frame = widget->frameGeometry();
    const QRect client = widget->geometry();
    widget->setFixedSize(nWidth - (frame.width() - client.width()),
                         nHeight - (frame.height() - client.height()));
    // Moving a window that has not been shown yet would keep the toolkit
    // from centring a dialog over its owner.
    if (QPoint(x, y) != frame.topLeft())
        widget->move(x, y);
}

void CWnd::MoveWindow(const CRect* lpRect, bool bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->Width(), lpRect->Height(), bRepaint);
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

namespace platform_detail {

DialogHost* HostOf(const CWnd* pWnd) {
    return pWnd ? dynamic_cast<DialogHost*>(WidgetOf(pWnd->GetSafeHwnd())) : nullptr;
}

} // namespace platform_detail
