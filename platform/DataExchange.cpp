// Data exchange between a dialog's members and its controls.

#include "DialogHost.h"
#include "Handles.h"
#include "ResourceTypes.h"
#include "Text.h"
#include "Wnd.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <QPlainTextEdit>

using platform_detail::DialogHost;
using platform_detail::FromUtf8;
using platform_detail::ToCString;

namespace {

DialogHost* HostOf(CDataExchange* pDX) {
    return platform_detail::HostOf(pDX->m_pDlgWnd);
}

} // namespace

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd)
        return;
    if (DialogHost* host = HostOf(pDX))
        rControl.m_hWnd = platform_detail::HandleOf(host->Control(nIDC));
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    DialogHost* host = HostOf(pDX);
    if (pDX->m_bFailed || !host)
        return;
    const auto group = host->Controls().RadioGroupOf(host->Control(nIDC));
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i)
            if (static_cast<QAbstractButton*>(group[i].widget)->isChecked())
                value = static_cast<int>(i);
        return;
    }
    // An exclusive button cannot be unchecked directly.
    QButtonGroup* buttons =
        group.empty() ? nullptr : static_cast<QAbstractButton*>(group[0].widget)->group();
    if (buttons)
        buttons->setExclusive(false);
    for (std::size_t i = 0; i < group.size(); ++i) {
        auto* button = static_cast<QAbstractButton*>(group[i].widget);
        button->setAutoExclusive(false);
        button->setChecked(static_cast<int>(i) == value);
        button->setAutoExclusive(true);
    }
    if (buttons)
        buttons->setExclusive(true);
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
            host->Warning().Clear(line);
        return;
    }
    if (auto number = platform_detail::ParseWholeNumber(line->text(), nMin, nMax)) {
        value = *number;
        host->Warning().Clear(line);
        return;
    }
    // The wording is the program's: string AFX_IDP_PARSE_INT_RANGE, with %1
    // and %2 standing for the ends of the range.
    CString prompt;
    prompt.LoadString(AFX_IDP_PARSE_INT_RANGE);
    host->Warning().Show(line, FromUtf8(prompt).arg(nMin).arg(nMax),
                         [nMin, nMax](const QString& text) {
                             return platform_detail::ParseWholeNumber(text, nMin, nMax).has_value();
                         });
    pDX->Fail();
}
