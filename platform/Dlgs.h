#pragma once

// Common dialogs: modal windows that the windowing layer builds itself
// rather than from a template. Their texts are the caller's.

#include "Afx.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class CWnd;

// Flags of CFileDialog.
inline constexpr UINT OFN_OVERWRITEPROMPT = 0x0002;
inline constexpr UINT OFN_HIDEREADONLY = 0x0004;
inline constexpr UINT OFN_FILEMUSTEXIST = 0x1000;

// The desktop's dialog for choosing a file to open or a name to save under.
// A file that exists is taken as it is, unless OFN_OVERWRITEPROMPT asks
// first whether to replace it.
class CFileDialog {
public:
    // The filter is pairs of a description and its patterns, each followed
    // by '|' ("Images|*.png;*.bmp|All Files|*|"); a second '|' may end it.
    CFileDialog(bool bOpenFileDialog, const char* lpszDefExt = nullptr,
                const char* lpszFileName = nullptr, UINT dwFlags = OFN_HIDEREADONLY,
                const char* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);

    // IDOK once a file was chosen, IDCANCEL otherwise.
    int DoModal();
    // The whole path of the file chosen.
    CString GetPathName() const { return m_strPathName; }

private:
    bool m_bOpenFileDialog;
    CString m_strDefExt;
    CString m_strFileName;
    UINT m_dwFlags;
    CString m_strFilter;
    CWnd* m_pParentWnd;
    CString m_strPathName;
};

// A choice of one among a few small monochrome pictures, shown side by side
// black on white, each enlarged by a whole number and labelled below. The
// first is selected (or the one the caller names), so Enter takes it; a click on a picture, or
// Enter once another is selected, takes that one; Esc takes none.
class CPictureChooserDlg {
public:
    explicit CPictureChooserDlg(CWnd* pParentWnd = nullptr) : m_pParentWnd(pParentWnd) {}

    // A picture of nWidth x nHeight pixels, row by row from the top: nonzero
    // black, zero white. Missing pixels are white. A disabled picture is
    // shown greyed and cannot be chosen.
    void AddPicture(int nWidth, int nHeight, std::span<const std::uint32_t> pixels,
                    std::string_view label, bool bEnabled = true);

    // IDOK once a picture was chosen, IDCANCEL otherwise.
    int DoModal();
    // The picture chosen, counted from 0 in the order added; -1 for none.
    int GetChosen() const { return m_nChosen; }

    // The window's title (the application's name when empty), the text
    // above the pictures, and how many screen pixels a picture's pixel
    // takes each way.
    CString m_strCaption;
    CString m_strPrompt;
    int m_nScale = 4;
    // The picture selected at first, so that Enter takes it; a disabled one
    // gives way to the first enabled picture after it, else before it.
    int m_nSelected = 0;

private:
    struct Picture {
        int nWidth;
        int nHeight;
        std::vector<std::uint32_t> pixels;
        CString label;
        bool bEnabled;
    };

    CWnd* m_pParentWnd;
    std::vector<Picture> m_pictures;
    int m_nChosen = -1;
};
