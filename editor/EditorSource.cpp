// The C file as the document: opening a file by what it holds, choosing one
// of its arrays, saving the sprite back into it or into another file, and
// the caption and the question on close that keep unsaved changes from
// being lost.

#include "EditorDlg.h"

#include "Dlgs.h"
#include "Image.h"
#include "ImageSprite.h"
#include "SourceSaveAs.h"
#include "SpriteRaster.h"
#include "SpriteReadings.h"
#include "WinApp.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>

namespace {

// The pictures of the arrays and readings to choose from are this many
// screen pixels per sprite pixel, as for a paste.
constexpr int kChooserScale = 4;

// The name the user knows the file by, in captions and messages.
std::string FileNameOf(const CString& path) {
    return std::filesystem::path(path.str()).filename().string();
}

FileError FileErrorOf(SourceFileError error) {
    switch (error) {
    case SourceFileError::TooLarge:
        return FileError::TooLarge;
    case SourceFileError::NotText:
        return FileError::NotText;
    case SourceFileError::NoArray:
        break;
    }
    return FileError::NoArray;
}

// The reading of `array` that gives `sprite`, so that a sprite written and
// read again keeps its layout; `fallback` when none does.
std::size_t ReadingOf(const SourceArray& array, const SpriteReading& sprite, std::size_t fallback) {
    for (std::size_t n = 0; n < array.readings.size(); ++n)
        if (array.readings[n].width == sprite.width && array.readings[n].height == sprite.height &&
            array.readings[n].pixels == sprite.pixels)
            return n;
    return array.readings.empty() ? 0 : std::min(fallback, array.readings.size() - 1);
}

// An array's name and size for a message: "big_bits is 40 x 2".
std::string SizeText(const SourceArray& array) {
    if (array.width <= 0 || array.height <= 0)
        return array.name;
    return array.name + " is " + std::to_string(array.width) + " x " + std::to_string(array.height);
}

// Why `array` of the file cannot be drawn: too large for the grid, or what
// the reader found.
std::string ArrayProblemText(const std::string& fileName, const SourceArray& array) {
    if (array.width > kMaxSpriteColumns || array.height > kMaxSpriteRows || array.problem.empty())
        return FileErrorMessage(FileError::ArrayTooLarge, fileName, SizeText(array)).str();
    return array.name + " in " + fileName + " cannot be drawn: " + array.problem;
}

// What a chooser says of an array: its name and size, and why it cannot be
// opened where it cannot.
std::string ArrayLabel(const SourceArray& array) {
    std::string label = array.name;
    // Appended piece by piece: a temporary string built up from a literal
    // makes GCC 12 warn, falsely, of an overlapping copy at -O3.
    if (array.width > 0 && array.height > 0)
        label.append("\n")
            .append(std::to_string(array.width))
            .append(" x ")
            .append(std::to_string(array.height));
    if (!array.IsOpenable())
        label.append("\n").append(array.problem.empty() ? "too large" : array.problem);
    return label;
}

} // namespace

bool CEditorDlg::OpenPath(const CString& argument) {
    // "FILE:NAME" names an array, unless a file has that whole name.
    const std::string text = argument.str();
    std::error_code error;
    if (const std::size_t colon = text.rfind(':'); colon != std::string::npos && colon > 0 &&
                                                   colon + 1 < text.size() &&
                                                   !std::filesystem::exists(text, error))
        return OpenFile(CString(text.substr(0, colon)), text.substr(colon + 1));
    return OpenFile(argument, {});
}

bool CEditorDlg::OpenFile(const CString& path, std::string_view name) {
    const std::string fileName = FileNameOf(path);
    std::string text;
    CFileStamp stamp;
    CString detail;
    const FileError readError =
        CTextFile::Read(path.str(), kMaxSourceFileBytes, text, stamp, &detail);
    if (readError == FileError::NotFound || readError == FileError::Unreadable) {
        MessageBox(FileErrorMessage(readError, fileName, detail.str()).str());
        return false;
    }
    // C text with an array the grid can take is the document; anything
    // else may be an image. An XBM file is C text, and so can be saved back.
    CSourceFile file;
    const std::optional<SourceFileError> sourceError =
        readError == FileError::None ? file.Load(std::move(text)) : SourceFileError::TooLarge;
    const auto& arrays = file.Arrays();
    const bool bOpenable = std::any_of(arrays.begin(), arrays.end(),
                                       [](const SourceArray& array) { return array.IsOpenable(); });
    if (!sourceError && bOpenable)
        return OpenSource(path, std::move(file), stamp, name, true);

    CImage image;
    ImageSprite sprite;
    const ImageLoadStatus status = LoadImageSprite(path, image, sprite);
    if (status == ImageLoadStatus::Loaded) {
        if (!KeepChanges())
            return false;
        CloseSource();
        ShowImage(path, std::move(sprite));
        return true;
    }
    // Neither: an image that failed, text that holds nothing to draw, or
    // bytes that are no text at all.
    if (status != ImageLoadStatus::UnknownFormat || sourceError == SourceFileError::NotText)
        MessageBox(ImageErrorText(status, fileName, image));
    else if (sourceError)
        MessageBox(FileErrorMessage(FileErrorOf(*sourceError), fileName).str());
    else
        MessageBox(ArrayProblemText(fileName, arrays.front()));
    return false;
}

std::optional<std::size_t> CEditorDlg::ChooseArray(const CString& path, const CSourceFile& file,
                                                   std::string_view name) {
    const std::vector<SourceArray>& arrays = file.Arrays();
    const std::string fileName = FileNameOf(path);
    const std::optional<std::size_t> named = name.empty() ? std::nullopt : file.Find(name);
    std::optional<std::size_t> only;
    if (named)
        only = named;
    else if (arrays.size() == 1)
        only = 0;
    if (only) {
        if (arrays[*only].IsOpenable())
            return only;
        MessageBox(ArrayProblemText(fileName, arrays[*only]));
        return std::nullopt;
    }
    CPictureChooserDlg dlg(this);
    dlg.m_strCaption = "Open";
    std::string prompt =
        fileName + " holds " + std::to_string(arrays.size()) + " sprites. Choose one to draw:";
    if (!name.empty())
        prompt = "There is no array named " + std::string(name) + " in " + fileName + ". " + prompt;
    dlg.m_strPrompt = prompt;
    dlg.m_nScale = kChooserScale;
    for (const SourceArray& array : arrays) {
        if (array.IsOpenable()) {
            const SpriteReading& reading = array.readings.front();
            dlg.AddPicture(reading.width, reading.height, reading.pixels, ArrayLabel(array));
        } else {
            dlg.AddPicture(0, 0, {}, ArrayLabel(array), false);
        }
    }
    if (dlg.DoModal() != IDOK)
        return std::nullopt;
    return static_cast<std::size_t>(dlg.GetChosen());
}

bool CEditorDlg::OpenSource(const CString& path, CSourceFile file, const CFileStamp& stamp,
                            std::string_view name, bool bAsk) {
    const std::optional<std::size_t> chosen = ChooseArray(path, file, name);
    if (!chosen)
        return false;
    const SourceArray& array = file.Arrays()[*chosen];
    std::size_t nReading = 0;
    // Where the file leaves the reading open, the user picks one as for a
    // paste.
    if (array.readings.size() > 1) {
        CPictureChooserDlg dlg(this);
        dlg.m_strCaption = "Open";
        dlg.m_strPrompt = "The file does not say how " + array.name +
                          " is read: it can be read as more than one sprite. Choose one:";
        dlg.m_nScale = kChooserScale;
        for (const SpriteReading& reading : array.readings)
            dlg.AddPicture(reading.width, reading.height, reading.pixels, DescribeReading(reading));
        if (dlg.DoModal() != IDOK)
            return false;
        nReading = static_cast<std::size_t>(dlg.GetChosen());
    }
    if (bAsk && !KeepChanges())
        return false;
    const SpriteReading reading = array.readings[nReading];
    const std::string declaredName = array.declaredName;
    m_source = SourceDocument{path, std::move(file), stamp, *chosen, nReading};
    ApplySprite(reading.width, reading.height, reading.pixels, declaredName);
    UpdateTitle();
    return true;
}

bool CEditorDlg::Reopen() {
    const CString path = m_source->path;
    const std::string arrayName = m_source->file.Arrays()[m_source->nArray].name;
    std::string text;
    CFileStamp stamp;
    CString detail;
    if (const FileError error =
            CTextFile::Read(path.str(), kMaxSourceFileBytes, text, stamp, &detail);
        error != FileError::None) {
        MessageBox(FileErrorMessage(error, FileNameOf(path), detail.str()).str());
        return false;
    }
    CSourceFile file;
    if (const std::optional<SourceFileError> error = file.Load(std::move(text))) {
        MessageBox(FileErrorMessage(FileErrorOf(*error), FileNameOf(path)).str());
        return false;
    }
    return OpenSource(path, std::move(file), stamp, arrayName, false);
}

SpriteReading CEditorDlg::CurrentSprite() const {
    SpriteReading sprite;
    if (m_source) {
        const SourceArray& array = m_source->file.Arrays()[m_source->nArray];
        if (m_source->nReading < array.readings.size())
            sprite.layout = array.readings[m_source->nReading].layout;
    }
    sprite.width = m_doc.Width();
    sprite.height = m_doc.Height();
    sprite.pixels.assign(m_doc.Pixels().begin(), m_doc.Pixels().end());
    return sprite;
}

bool CEditorDlg::IsModified() const {
    if (!m_source || !m_doc.IsLaidOut())
        return false;
    // Changed is what a save would write: a stroke undone is no change.
    const SourceRewrite rewrite =
        RewriteArray(m_source->file.Text(), m_source->file.Arrays()[m_source->nArray],
                     m_source->nReading, CurrentSprite());
    return !rewrite.edits.empty() || !rewrite.error.empty();
}

bool CEditorDlg::Save() {
    EndStroke();
    if (m_source)
        return SaveSource();
    OnSaveAs();
    return m_source.has_value() && !IsModified();
}

bool CEditorDlg::SaveSource() {
    SourceDocument& source = *m_source;
    const std::string fileName = FileNameOf(source.path);
    const std::string arrayName = source.file.Arrays()[source.nArray].name;
    if (!CTextFile::IsUnchanged(source.path.str(), source.stamp)) {
        // What the disk holds now decides what can be offered.
        std::string text;
        CFileStamp stamp;
        CSourceFile disk;
        const bool bThere = CTextFile::Read(source.path.str(), kMaxSourceFileBytes, text, stamp) ==
                                FileError::None &&
                            !disk.Load(std::move(text)) && disk.Find(arrayName).has_value();
        const std::string changed = FileErrorMessage(FileError::Changed, fileName).str();
        if (!bThere) {
            if (MessageBox(changed + " " + arrayName +
                               " is no longer where it was, so the sprite cannot be saved "
                               "into it.\n\nReopen the file? Your drawing stays in the undo "
                               "history.",
                           nullptr, MB_YESNO) == IDYES)
                Reopen();
            return false;
        }
        switch (MessageBox(changed +
                               "\n\nOverwrite it with your sprite? Yes overwrites the file; No "
                               "keeps the file on disk and reopens it, your drawing staying in "
                               "the undo history.",
                           nullptr, MB_YESNOCANCEL)) {
        case IDYES:
            break;
        case IDNO:
            Reopen();
            return false;
        default:
            return false;
        }
    }
    const SpriteReading sprite = CurrentSprite();
    CSourceFile next = source.file;
    if (const std::optional<std::string> error =
            next.Store(source.nArray, source.nReading, sprite)) {
        MessageBox(fileName + " was not saved: " + *error);
        return false;
    }
    CFileStamp stamp;
    CString detail;
    if (const FileError error = CTextFile::Write(source.path.str(), next.Text(), stamp, &detail);
        error != FileError::None) {
        MessageBox(FileErrorMessage(error, fileName, detail.str()).str());
        return false;
    }
    // The arrays were read afresh from the new text: the same array, read
    // the way that gives the sprite just written.
    const std::size_t nArray =
        next.Find(arrayName).value_or(std::min(source.nArray, next.Arrays().size() - 1));
    source.nReading = ReadingOf(next.Arrays()[nArray], sprite, source.nReading);
    source.nArray = nArray;
    source.file = std::move(next);
    source.stamp = stamp;
    UpdateTitle();
    return true;
}

bool CEditorDlg::SaveAs(const CString& path) {
    EndStroke();
    if (!ReadSpriteToWrite())
        return false;
    const std::string fileName = FileNameOf(path);
    const std::string name = m_strName.str();
    // A C file takes C: the size defines, where the form has them, are the
    // new header's own.
    CodeForm form = m_codeForm;
    if (form.language == CodeLanguage::MicroPython)
        form.language = CodeLanguage::C;
    const bool bSizeDefines = form.size == CodeSize::Defines;
    if (bSizeDefines)
        form.size = CodeSize::None;
    const std::string declaration =
        EmitCode(form, name, {m_doc.Width(), m_doc.Height(), m_doc.Pixels()});

    std::string text;
    std::error_code exists;
    if (std::filesystem::exists(path.str(), exists)) {
        CFileStamp stamp;
        CString detail;
        if (const FileError error =
                CTextFile::Read(path.str(), kMaxSourceFileBytes, text, stamp, &detail);
            error != FileError::None) {
            MessageBox(FileErrorMessage(error, fileName, detail.str()).str());
            return false;
        }
        if (!IsSourceText(text)) {
            MessageBox(FileErrorMessage(FileError::NotText, fileName).str());
            return false;
        }
        text = AppendDeclaration(text, declaration);
    } else {
        text =
            NewHeaderText(fileName, name, m_doc.Width(), m_doc.Height(), declaration, bSizeDefines);
    }
    CFileStamp stamp;
    CString detail;
    if (const FileError error = CTextFile::Write(path.str(), text, stamp, &detail);
        error != FileError::None) {
        MessageBox(FileErrorMessage(error, fileName, detail.str()).str());
        return false;
    }
    // That file is the document now, where its new array can be read back.
    CSourceFile file;
    std::optional<std::size_t> nArray;
    if (!file.Load(text))
        nArray = file.Find(name);
    if (!nArray || !file.Arrays()[*nArray].IsOpenable()) {
        CloseSource();
        return true;
    }
    const std::size_t nReading = ReadingOf(file.Arrays()[*nArray], CurrentSprite(), 0);
    m_source = SourceDocument{path, std::move(file), stamp, *nArray, nReading};
    UpdateTitle();
    return true;
}

bool CEditorDlg::KeepChanges() {
    EndStroke();
    if (!IsModified())
        return true;
    const std::string question = "Save the changes to " +
                                 m_source->file.Arrays()[m_source->nArray].name + " in " +
                                 FileNameOf(m_source->path) + "?";
    switch (MessageBox(question, nullptr, MB_YESNOCANCEL)) {
    case IDYES:
        return SaveSource();
    case IDNO:
        return true;
    default:
        return false;
    }
}

void CEditorDlg::UpdateTitle() {
    if (!m_source)
        return;
    std::string title = (IsModified() ? "*" : "") + m_source->file.Arrays()[m_source->nArray].name +
                        " - " + FileNameOf(m_source->path);
    if (CWinApp* pApp = AfxGetApp(); pApp && !pApp->m_pszAppName.IsEmpty())
        title += " - " + pApp->m_pszAppName.str();
    SetWindowText(title);
}

void CEditorDlg::CloseSource() {
    if (!m_source)
        return;
    m_source.reset();
    CWinApp* pApp = AfxGetApp();
    SetWindowText(pApp ? pApp->m_pszAppName.str() : std::string());
}

void CEditorDlg::OnSave() {
    Save();
}

void CEditorDlg::OnSaveAs() {
    UpdateData(true);
    if (!m_doc.IsLaidOut())
        return;
    // A header named after the sprite, beside the C file open if any.
    std::filesystem::path suggested =
        (m_strName.IsEmpty() ? std::string("sprite") : m_strName.str()) + ".h";
    if (m_source)
        suggested = std::filesystem::path(m_source->path.str()).parent_path() / suggested;
    // A C file chosen that exists is appended to, never replaced: the
    // dialog asks nothing.
    CFileDialog dlg(false, "h", suggested.string().c_str(), OFN_HIDEREADONLY,
                    "C Headers|*.h;*.hpp|C Source|*.c;*.cpp;*.ino|All Files|*||", this);
    if (dlg.DoModal() == IDOK)
        SaveAs(dlg.GetPathName());
}
