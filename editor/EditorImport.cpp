// Bringing a sprite back: C text pasted or dropped on the editor, and image
// files opened or dropped.

#include "EditorDlg.h"

#include "ArrayReader.h"
#include "Dlgs.h"
#include "Image.h"
#include "ImageImport.h"
#include "ImageSprite.h"
#include "WinApp.h"

#include <filesystem>
#include <string>
#include <utility>

namespace {

// The pictures of the readings to choose from are this many screen pixels
// per sprite pixel: large enough to tell them apart, small enough that eight
// of the widest fit on the screen.
constexpr int kChooserScale = 4;

// The names C and C++ source files go by, for the file dialog; what a file
// holds decides how it opens.
constexpr std::string_view kSourcePatterns = "*.h;*.hpp;*.hh;*.c;*.cpp;*.cc;*.cxx;*.ino";

// What stopped the read of pasted text, and where, for the user:
// `Line 2, column 7: The value 0x1FF is too big for an 8-bit element.
// ("0x1FF")`. An error with no token (text too long, nothing at all) has no
// place to name.
std::string ReadErrorText(const ArrayReadError& error) {
    if (error.token.empty())
        return error.message;
    return "Line " + std::to_string(error.line) + ", column " + std::to_string(error.column) +
           ": " + error.message + " (\"" + error.token + "\")";
}

} // namespace

void CEditorDlg::ApplySprite(int width, int height, std::vector<std::uint32_t> pixels,
                             const std::optional<std::string>& name) {
    EndStroke();
    KeepBlankSize();
    Changed(m_doc.Replace(width, height, std::move(pixels)));
    ShowDocument();
    if (name) {
        m_strName = *name;
        m_doc.SetName(*name);
        UpdateData(false);
    }
}

void CEditorDlg::PasteText(const CString& text) {
    // The reader refuses text over its limit before reading any of it.
    const ArrayReadResult result = ReadSpriteArray(text);
    if (result.error) {
        MessageBox(ReadErrorText(*result.error));
        return;
    }
    std::size_t nChosen = 0;
    if (!result.bExact && result.readings.size() > 1) {
        CPictureChooserDlg dlg(this);
        std::string prompt = "The values can be read as more than one sprite. Choose one:";
        // A notice (several arrays, the first read) goes with the choice
        // rather than in a box of its own.
        if (!result.notice.empty())
            prompt = result.notice + "\n" + prompt;
        dlg.m_strCaption = "Paste Sprite";
        dlg.m_strPrompt = prompt;
        dlg.m_nScale = kChooserScale;
        for (const SpriteReading& reading : result.readings)
            dlg.AddPicture(reading.width, reading.height, reading.pixels, DescribeReading(reading));
        if (dlg.DoModal() != IDOK)
            return;
        nChosen = static_cast<std::size_t>(dlg.GetChosen());
    }
    const SpriteReading& reading = result.readings[nChosen];
    // A bare list has no name of its own and keeps the one in the field.
    ApplySprite(reading.width, reading.height, reading.pixels,
                result.name.empty() ? std::nullopt : std::optional<std::string>(result.name));
    if (result.readings.size() == 1 && !result.notice.empty())
        MessageBox(result.notice);
}

void CEditorDlg::ShowImage(const CString& path, ImageSprite sprite) {
    const std::filesystem::path file(path.str());
    ApplySprite(sprite.spriteWidth, sprite.fitted.height, std::move(sprite.pixels),
                MakeIdentifier(file.stem().string()));
    // A scaled, empty or full result is said quietly, so that nothing
    // happens unseen; the name just set is an identifier and needs no hint.
    if (const std::string notice = DescribeImageSprite(sprite); notice.empty())
        m_editName.HideBalloonTip();
    else
        m_editName.ShowBalloonTip(notice.c_str());
}

void CEditorDlg::OnPasteSprite() {
    // A text over the reader's limit comes just over it, and is refused as
    // too long without the whole clipboard being converted first.
    PasteText(AfxGetClipboardText(kMaxArrayTextBytes));
}

void CEditorDlg::OnOpen() {
    // Images and C text are both offered; what the file holds decides.
    const std::string images = CImage::GetImporterFilterString("Images").str();
    const std::size_t bar = images.find('|');
    const std::size_t end = images.find('|', bar + 1);
    std::string filter;
    if (bar != std::string::npos && end != std::string::npos)
        filter = "Images and C Source|" + images.substr(bar + 1, end - bar - 1) + ";" +
                 std::string(kSourcePatterns) + "|";
    filter += images + "C Source|" + std::string(kSourcePatterns) + "|All Files|*||";
    CFileDialog dlg(true, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, filter.c_str(),
                    this);
    if (dlg.DoModal() == IDOK)
        OpenFile(dlg.GetPathName(), {});
}

void CEditorDlg::OnDropFiles(HDROP hDropInfo) {
    // One sprite at a time: of several files, the first is opened.
    CString path;
    if (DragQueryFile(hDropInfo, 0, &path) > 0)
        OpenFile(path, {});
}

void CEditorDlg::OnDropText(HDROP hDropInfo) {
    PasteText(DragQueryText(hDropInfo));
}
