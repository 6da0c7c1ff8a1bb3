#pragma once

// The code style dialog: the three choices of how Make Code writes the
// sprite (layout, language, size companion), each a radio group labelled
// from its output form table, and a sample of what Make Code will write for
// the current sprite, kept up to date as the choices change. A size
// companion that does not go with the layout and language is greyed. Each
// group's frame fits the rows of its table, and the dialog its groups.

#include "Afx.h"
#include "OutputForm.h"
#include "Resource.h"
#include "Wnd.h"

#include <cstdint>
#include <string>
#include <vector>

class CCodeStyleDlg : public CDialog {
public:
    // The sample shows `sprite` under `name` (the name "sprite" while it has
    // none), starting from `form`.
    CCodeStyleDlg(const CodeForm& form, std::string name, const SpriteBits& sprite,
                  CWnd* pParent = nullptr);

    enum { IDD = IDD_CODE_STYLE };

    // The form chosen: the one given until the user picks another.
    const CodeForm& GetForm() const { return m_form; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    // Any radio of the three groups: the bound choices are read afresh.
    void OnChoice(UINT nID);

    DECLARE_MESSAGE_MAP()

private:
    // Fits the group boxes to their tables' rows, moving what lies below
    // them and the dialog's bottom edge as far as the lowest box's edge.
    void FitGroups();
    // Greys the size companions that do not apply, moving the choice to
    // none if it was one of them, and writes the sample.
    void ShowChoices();

    CodeForm m_form;
    std::string m_strName;
    int m_nWidth;
    int m_nHeight;
    std::vector<std::uint32_t> m_pixels;
    // The bound values: each group's checked row, and the sample.
    int m_nLayout = 0;
    int m_nLanguage = 0;
    int m_nSize = 0;
    CString m_strSample;
};
