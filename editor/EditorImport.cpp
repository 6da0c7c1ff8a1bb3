// Bringing a sprite back: C text pasted or dropped on the editor, and image
// files opened or dropped.

#include "EditorDlg.h"

#include "ArrayReader.h"
#include "Dlgs.h"
#include "Image.h"
#include "ImageImport.h"
#include "WinApp.h"

#include <filesystem>
#include <string>
#include <utility>

namespace {

// The pictures of the readings to choose from are this many screen pixels
// per sprite pixel: large enough to tell them apart, small enough that eight
// of the widest fit on the screen.
constexpr int kChooserScale = 4;

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

std::string ImageErrorText(ImageLoadStatus status, const std::string& fileName) {
    const std::string quoted = "\"" + fileName + "\"";
    switch (status) {
    case ImageLoadStatus::CannotOpen:
        return "The file " + quoted + " cannot be opened.";
    case ImageLoadStatus::UnknownFormat:
        return "The file " + quoted + " is not an image in a format that can be read.";
    case ImageLoadStatus::TooLarge:
        return "The image " + quoted + " is too large: images of at most " +
               std::to_string(kMaxImageSide) + " pixels a side can be opened.";
    case ImageLoadStatus::Damaged:
    case ImageLoadStatus::Loaded:
        break;
    }
    return "The image " + quoted + " is damaged or cut short: its pixels cannot be read.";
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

void CEditorDlg::OpenImage(const CString& path) {
    const std::filesystem::path file(path.str());
    CImage image;
    if (const ImageLoadStatus status = image.Load(path, kMaxImageSide);
        status != ImageLoadStatus::Loaded) {
        MessageBox(ImageErrorText(status, file.filename().string()));
        return;
    }
    const ImageSize fitted = FitImageSize({image.GetWidth(), image.GetHeight()});
    image.Resize(fitted.width, fitted.height);
    const int width = SpriteWidthForImage(fitted.width);
    ApplySprite(width, fitted.height, SpritePixelsFromImage(image.GetBits(), fitted, width),
                MakeIdentifier(file.stem().string()));
}

void CEditorDlg::OnPasteSprite() {
    PasteText(AfxGetClipboardText());
}

void CEditorDlg::OnOpenImage() {
    const CString filter = CImage::GetImporterFilterString("Images").str() + "All Files|*||";
    CFileDialog dlg(true, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                    filter.GetString(), this);
    if (dlg.DoModal() == IDOK)
        OpenImage(dlg.GetPathName());
}

void CEditorDlg::OnDropFiles(HDROP hDropInfo) {
    // One sprite at a time: of several files, the first is opened.
    CString path;
    if (DragQueryFile(hDropInfo, 0, &path) > 0)
        OpenImage(path);
}

void CEditorDlg::OnDropText(HDROP hDropInfo) {
    PasteText(DragQueryText(hDropInfo));
}
