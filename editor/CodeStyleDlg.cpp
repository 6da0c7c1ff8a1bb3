#include "CodeStyleDlg.h"

#include "GroupFit.h"
#include "SourceEmitter.h"

#include <span>
#include <utility>

namespace {

// A choice's position in its table, which is its radio button's position in
// the group.
template <class Row, class Choice>
int IndexOf(std::span<const Row> rows, Choice choice, Choice Row::*field) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].*field == choice)
            return static_cast<int>(i);
    return 0;
}

// The table row at a radio position; the first (the default) for none.
template <class Row>
const Row& RowAt(std::span<const Row> rows, int nIndex) {
    return nIndex >= 0 && static_cast<std::size_t>(nIndex) < rows.size()
               ? rows[static_cast<std::size_t>(nIndex)]
               : rows.front();
}

} // namespace

BEGIN_MESSAGE_MAP(CCodeStyleDlg, CDialog)
ON_CONTROL_RANGE(BN_CLICKED, IDC_LAYOUT_FIRST, IDC_LAYOUT_LAST, OnChoice)
ON_CONTROL_RANGE(BN_CLICKED, IDC_LANGUAGE_FIRST, IDC_LANGUAGE_LAST, OnChoice)
ON_CONTROL_RANGE(BN_CLICKED, IDC_SIZE_FIRST, IDC_SIZE_LAST, OnChoice)
END_MESSAGE_MAP()

CCodeStyleDlg::CCodeStyleDlg(const CodeForm& form, std::string name, const SpriteBits& sprite,
                             CWnd* pParent)
    : CDialog(IDD, pParent), m_form(form), m_strName(name.empty() ? "sprite" : std::move(name)),
      m_nWidth(sprite.width), m_nHeight(sprite.height),
      m_pixels(sprite.pixels.begin(), sprite.pixels.end()) {}

void CCodeStyleDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_LAYOUT_FIRST, m_nLayout);
    DDX_Radio(pDX, IDC_LANGUAGE_FIRST, m_nLanguage);
    DDX_Radio(pDX, IDC_SIZE_FIRST, m_nSize);
    DDX_Text(pDX, IDC_SAMPLE, m_strSample);
}

bool CCodeStyleDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Each group's slots stand for the rows of its table, in order, their
    // tips saying what each row writes; the slots past the last row hide.
    const auto label = [this](int nFirstID, int nLastID, auto rows) {
        for (int nID = nFirstID; nID <= nLastID; ++nID) {
            CWnd* pButton = GetDlgItem(nID);
            const auto i = static_cast<std::size_t>(nID - nFirstID);
            if (pButton == nullptr)
                continue;
            if (i >= rows.size()) {
                pButton->ShowWindow(SW_HIDE);
                continue;
            }
            pButton->SetWindowText(rows[i].menuText);
            pButton->SetToolTipText(rows[i].description);
        }
    };
    label(IDC_LAYOUT_FIRST, IDC_LAYOUT_LAST, Layouts());
    label(IDC_LANGUAGE_FIRST, IDC_LANGUAGE_LAST, Languages());
    label(IDC_SIZE_FIRST, IDC_SIZE_LAST, Sizes());
    FitGroups();

    m_nLayout = IndexOf(Layouts(), m_form.style, &LayoutForm::style);
    m_nLanguage = IndexOf(Languages(), m_form.language, &LanguageForm::language);
    m_nSize = IndexOf(Sizes(), m_form.size, &SizeForm::size);
    ShowChoices();
    // The keyboard starts at the layout chosen rather than in the sample.
    if (CWnd* pLayout = GetDlgItem(IDC_LAYOUT_FIRST + m_nLayout)) {
        pLayout->SetFocus();
        return false;
    }
    return true;
}

void CCodeStyleDlg::FitGroups() {
    const DialogTemplate* tpl = GetTemplate();
    if (tpl == nullptr)
        return;
    const GroupRows rows[] = {{IDC_LAYOUT_FIRST, Layouts().size()},
                              {IDC_LANGUAGE_FIRST, Languages().size()},
                              {IDC_SIZE_FIRST, Sizes().size()}};
    const GroupFit fit = FitGroupsToRows(*tpl, rows);
    for (std::size_t i = 0; i < tpl->controls.size(); ++i) {
        const ControlTemplate& ctl = tpl->controls[i];
        CRect placed = fit.rects[i];
        CWnd* pControl = ctl.id != IDC_STATIC ? GetDlgItem(ctl.id) : nullptr;
        if (placed == TemplateRect(ctl) || pControl == nullptr)
            continue;
        // The fit moves and sizes only up and down; a control keeps the
        // width it may have grown to for its text.
        MapDialogRect(&placed);
        CRect rect;
        pControl->GetWindowRect(&rect);
        ScreenToClient(&rect);
        rect.top = placed.top;
        rect.bottom = placed.bottom;
        pControl->MoveWindow(&rect);
    }
    if (fit.cy != tpl->cy) {
        CRect client(0, 0, tpl->cx, fit.cy);
        MapDialogRect(&client);
        CRect current;
        GetClientRect(&current);
        CRect window;
        GetWindowRect(&window);
        window.bottom += client.Height() - current.Height();
        MoveWindow(&window);
    }
}

void CCodeStyleDlg::OnChoice(UINT /*nID*/) {
    UpdateData(true);
    ShowChoices();
}

void CCodeStyleDlg::ShowChoices() {
    const CodeStyle style = RowAt(Layouts(), m_nLayout).style;
    const CodeLanguage language = RowAt(Languages(), m_nLanguage).language;
    for (std::size_t i = 0; i < Sizes().size(); ++i) {
        const bool offered = IsSizeOffered(Sizes()[i].size, style, language);
        if (CWnd* pButton = GetDlgItem(IDC_SIZE_FIRST + static_cast<int>(i)))
            pButton->EnableWindow(offered);
        if (!offered && m_nSize == static_cast<int>(i))
            m_nSize = 0;
    }
    m_form = {style, language, RowAt(Sizes(), m_nSize).size};
    m_strSample = EmitCode(m_form, m_strName, {m_nWidth, m_nHeight, m_pixels});
    UpdateData(false);
}
