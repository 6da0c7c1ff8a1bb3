#include "Dlgs.h"

#include "DialogHost.h"
#include "Handles.h"
#include "HelpWindow.h"
#include "Text.h"
#include "WinApp.h"
#include "Wnd.h"

#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

using platform_detail::FromUtf8;

namespace {

// The window a common dialog belongs to, for as long as the dialog runs:
// the one given, else the main window. What was drawn on it reaches the
// screen before the dialog takes over, and it is the active window again once
// the dialog has gone, wherever the window system would put the focus.
class ModalOwner {
public:
    explicit ModalOwner(CWnd* pParentWnd) {
        CWnd* owner = pParentWnd ? pParentWnd : AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr;
        if (platform_detail::DialogHost* host = platform_detail::HostOf(owner))
            host->Flush();
        m_pWidget = owner ? platform_detail::WidgetOf(owner->GetSafeHwnd()) : nullptr;
    }
    ~ModalOwner() {
        if (m_pWidget)
            m_pWidget->activateWindow();
    }
    ModalOwner(const ModalOwner&) = delete;
    ModalOwner& operator=(const ModalOwner&) = delete;

    QWidget* Widget() const { return m_pWidget; }

private:
    QPointer<QWidget> m_pWidget;
};

// "Images|*.png;*.bmp|All Files|*||" as the toolkit's name filters,
// "Images (*.png *.bmp)" and "All Files (*)".
QStringList NameFilters(const CString& filter) {
    const QStringList parts = FromUtf8(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        filters << parts[i] + QStringLiteral(" (") +
                       QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

} // namespace

CFileDialog::CFileDialog(bool bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName,
                         UINT dwFlags, const char* lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt), m_strFileName(lpszFileName),
      m_dwFlags(dwFlags), m_strFilter(lpszFilter), m_pParentWnd(pParentWnd) {}

int CFileDialog::DoModal() {
    const ModalOwner owner(m_pParentWnd);
    QFileDialog dialog(owner.Widget());
    dialog.setAcceptMode(m_bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(m_bOpenFileDialog && (m_dwFlags & OFN_FILEMUSTEXIST)
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    if (const QStringList filters = NameFilters(m_strFilter); !filters.isEmpty())
        dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(m_dwFlags & OFN_OVERWRITEPROMPT));
    if (!m_strDefExt.IsEmpty())
        dialog.setDefaultSuffix(FromUtf8(m_strDefExt));
    if (!m_strFileName.IsEmpty())
        dialog.selectFile(FromUtf8(m_strFileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return IDCANCEL;
    m_strPathName = platform_detail::ToCString(dialog.selectedFiles().constFirst());
    return IDOK;
}

void CPictureChooserDlg::AddPicture(int nWidth, int nHeight, std::span<const std::uint32_t> pixels,
                                    std::string_view label, bool bEnabled) {
    m_pictures.push_back({std::max(nWidth, 0),
                          std::max(nHeight, 0),
                          {pixels.begin(), pixels.end()},
                          CString(label),
                          bEnabled});
}

namespace {

// A picture enlarged `scale` times inside a one-pixel grey frame, so that
// its white edges show against a white list, centred on a transparent icon
// of `iconSize`. Every icon of a list is the same size and drawn at the
// screen's ratio, so that none is scaled on its way to the screen and every
// picture pixel stays sharp.
QIcon PictureIcon(int width, int height, std::span<const std::uint32_t> pixels, int scale,
                  QSize iconSize, qreal ratio) {
    QPixmap pixmap(iconSize * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QRect frame((iconSize.width() - width * scale - 2) / 2,
                      (iconSize.height() - height * scale - 2) / 2, width * scale + 2,
                      height * scale + 2);
    painter.fillRect(frame, Qt::gray);
    const QRect inside = frame.adjusted(1, 1, -1, -1);
    painter.fillRect(inside, Qt::white);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (const auto at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                static_cast<std::size_t>(x);
                at < pixels.size() && pixels[at] != 0)
                painter.fillRect(
                    QRect(inside.left() + x * scale, inside.top() + y * scale, scale, scale),
                    Qt::black);
    painter.end();
    // A selected picture keeps its colours: the selection shows in its label.
    QIcon icon;
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Selected);
    return icon;
}

} // namespace

int CPictureChooserDlg::DoModal() {
    m_nChosen = -1;
    if (m_pictures.empty())
        return IDCANCEL;
    const ModalOwner owner(m_pParentWnd);
    QDialog dialog(owner.Widget());
    dialog.setWindowTitle(m_strCaption.IsEmpty() && AfxGetApp()
                              ? FromUtf8(AfxGetApp()->m_pszAppName)
                              : FromUtf8(m_strCaption));
    auto* layout = new QVBoxLayout(&dialog);
    QLabel* prompt = nullptr;
    if (!m_strPrompt.IsEmpty()) {
        prompt = new QLabel(FromUtf8(m_strPrompt), &dialog);
        prompt->setTextFormat(Qt::PlainText);
        prompt->setWordWrap(true);
        layout->addWidget(prompt);
    }

    auto* list = new QListWidget(&dialog);
    list->setViewMode(QListView::IconMode);
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setWrapping(true);
    list->setWordWrap(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every icon is as wide as a label of some twenty-four characters, which
    // wraps to the icon's width, and as tall as the tallest picture; each
    // cell holds an icon and three lines of its label.
    const int scale = std::max(m_nScale, 1);
    const QFontMetrics metrics = list->fontMetrics();
    QSize iconSize(24 * metrics.averageCharWidth(), 0);
    for (const Picture& picture : m_pictures)
        iconSize =
            iconSize.expandedTo(QSize(picture.nWidth * scale + 2, picture.nHeight * scale + 2));
    for (const Picture& picture : m_pictures) {
        auto* item =
            new QListWidgetItem(PictureIcon(picture.nWidth, picture.nHeight, picture.pixels, scale,
                                            iconSize, dialog.devicePixelRatioF()),
                                FromUtf8(picture.label), list);
        item->setToolTip(FromUtf8(picture.label));
        if (!picture.bEnabled)
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
    }
    list->setIconSize(iconSize);
    const QSize cell(iconSize.width() + 16, iconSize.height() + 3 * metrics.height() + 16);
    list->setGridSize(cell);
    // The picture asked for, or the nearest enabled one after it, else
    // before it; with none enabled there is nothing to choose.
    const int count = static_cast<int>(m_pictures.size());
    int selected = std::clamp(m_nSelected, 0, count - 1);
    for (int step = 0; step < count; ++step) {
        const int at = (selected + step) % count;
        if (m_pictures[static_cast<std::size_t>(at)].bEnabled) {
            selected = at;
            break;
        }
    }
    if (!m_pictures[static_cast<std::size_t>(selected)].bEnabled)
        selected = -1;
    list->setCurrentRow(selected);
    // The list takes whatever room the window is given beyond the prompt,
    // wraps its cells to its width and scrolls what does not fit.
    list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(list, 1);

    // Rows of four cells at most, as even as they come, and no more columns
    // than the screen has room for; the window starts as tall as its rows
    // unless the screen is shorter. The list keeps room for its scroll bar
    // whether it shows or not.
    const int frame = 2 * list->frameWidth() + 4;
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QMargins margins = layout->contentsMargins();
    const QSize room = platform_detail::RoomOnScreen(owner.Widget());
    const int around = margins.left() + margins.right() + frame + scrollBar;
    const int evenRows = (count + 3) / 4;
    const int even = (count + evenRows - 1) / evenRows;
    const int columns = std::clamp((room.width() - around) / cell.width(), 1, even);
    const int rows = (count + columns - 1) / columns;
    list->setMinimumSize(cell.width() + frame + scrollBar, std::min(cell.height(), 80) + frame);
    const int width = std::min(columns * cell.width() + around, room.width());
    int height = margins.top() + margins.bottom() + rows * cell.height() + frame;
    if (prompt)
        height +=
            prompt->heightForWidth(width - margins.left() - margins.right()) + layout->spacing();
    dialog.resize(width, std::min(height, room.height()));
    platform_detail::PlaceOnScreen(&dialog, owner.Widget());

    const auto choose = [&](QListWidgetItem* item) {
        if (!item || !(item->flags() & Qt::ItemIsEnabled))
            return;
        m_nChosen = list->row(item);
        dialog.accept();
    };
    QObject::connect(list, &QListWidget::itemClicked, &dialog, choose);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, choose);
    if (dialog.exec() != QDialog::Accepted || m_nChosen < 0) {
        m_nChosen = -1;
        return IDCANCEL;
    }
    return IDOK;
}
