#include "Image.h"

#include "Text.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QRegularExpression>

#include <algorithm>
#include <cctype>
#include <limits>

struct CImage::Impl {
    // As decoded, in the decoder's own format: a picture is widened to
    // 32 bits a row at a time, never as a whole.
    QImage image;
    QSize fileSize;
};

namespace {

// A picture read reduced is read at no more than this a side: enough for any
// sprite, whose pixels then still gather 32 or more of the picture's each.
constexpr int kReducedSide = 1024;

ImageLoadStatus StatusOf(QImageReader::ImageReaderError error) {
    switch (error) {
    case QImageReader::FileNotFoundError:
    case QImageReader::DeviceError:
        return ImageLoadStatus::CannotOpen;
    case QImageReader::UnsupportedFormatError:
        return ImageLoadStatus::UnknownFormat;
    default:
        return ImageLoadStatus::Damaged;
    }
}

bool Exceeds(QSize size, int nMaxSide) {
    return size.width() > nMaxSide || size.height() > nMaxSide;
}

// The bytes a decoder takes for a picture of `size` in `format`; a format
// the decoder does not name before decoding is taken at the widest, 64 bits
// a pixel, so that the estimate never falls short.
qint64 DecodedBytes(QSize size, QImage::Format format) {
    const qint64 bits =
        format == QImage::Format_Invalid ? 64 : QImage::toPixelFormat(format).bitsPerPixel();
    return (qint64{size.width()} * bits + 7) / 8 * size.height();
}

// `size` brought within kReducedSide a side, keeping its aspect; never larger.
QSize ReducedSize(QSize size) {
    if (size.width() <= kReducedSide && size.height() <= kReducedSide)
        return size;
    return size.scaled(kReducedSide, kReducedSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// A decimal number at `at` in `text`, saturated at the largest int so that a
// claim of any length stays a claim of too much; -1 when there is none.
int ReadSide(const QByteArray& text, qsizetype& at) {
    if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at])))
        return -1;
    qint64 value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at)
        value = std::min<qint64>(value * 10 + (text[at] - '0'), std::numeric_limits<int>::max());
    return static_cast<int>(value);
}

// The size a PBM, PGM, PPM or XBM header claims. The toolkit's readers give
// up on a claim they think absurd without naming the size, and the user is
// owed the size that made the file too large rather than "not an image".
// An invalid size when the header is none of these.
QSize ClaimedSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(1024);
    if (head.size() > 2 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6') {
        // The magic number, then width and height, each after blanks and
        // comments running from # to the end of the line.
        qsizetype at = 2;
        int sides[2] = {-1, -1};
        for (int& side : sides) {
            while (at < head.size() &&
                   (std::isspace(static_cast<unsigned char>(head[at])) || head[at] == '#')) {
                if (head[at] == '#')
                    while (at < head.size() && head[at] != '\n')
                        ++at;
                else
                    ++at;
            }
            side = ReadSide(head, at);
        }
        return sides[1] >= 0 ? QSize(sides[0], sides[1]) : QSize();
    }
    static const QRegularExpression width(QStringLiteral("#define\\s+\\S*width\\s+(\\d+)"));
    static const QRegularExpression height(QStringLiteral("#define\\s+\\S*height\\s+(\\d+)"));
    const QString text = QString::fromLatin1(head);
    const QRegularExpressionMatch w = width.match(text);
    const QRegularExpressionMatch h = height.match(text);
    if (!w.hasMatch() || !h.hasMatch())
        return {};
    QByteArray digits[2] = {w.captured(1).toLatin1(), h.captured(1).toLatin1()};
    qsizetype at[2] = {0, 0};
    return QSize(ReadSide(digits[0], at[0]), ReadSide(digits[1], at[1]));
}

// The toolkit's decoders refuse to allocate more than a process-wide limit;
// this one holds for one read and the one before comes back after it.
class AllocationLimit {
public:
    explicit AllocationLimit(std::size_t nBytes) : m_nBefore(QImageReader::allocationLimit()) {
        constexpr std::size_t kMiB = 1024 * 1024;
        // Whole mebibytes, at least one: a limit of 0 would lift it.
        QImageReader::setAllocationLimit(static_cast<int>(std::clamp<std::size_t>(
            (nBytes + kMiB - 1) / kMiB, 1, std::numeric_limits<int>::max())));
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(m_nBefore); }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

private:
    int m_nBefore;
};

} // namespace

CImage::CImage() : m_pImpl(std::make_unique<Impl>()) {}
CImage::~CImage() = default;

ImageLoadStatus CImage::Load(std::string_view pathName, int nMaxSide, std::size_t nMaxBytes) {
    m_pImpl->image = QImage();
    m_pImpl->fileSize = QSize();
    // Some readers decode while they are asked for the size alone.
    const AllocationLimit limit(nMaxBytes);
    const QString path = platform_detail::FromUtf8(pathName);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const bool bReadable = reader.canRead();
    QSize claimed = bReadable ? reader.size() : QSize();
    if (!claimed.isValid())
        claimed = ClaimedSize(path);
    if (claimed.isValid()) {
        m_pImpl->fileSize = claimed;
        if (Exceeds(claimed, nMaxSide))
            return ImageLoadStatus::TooLarge;
    }
    const qint64 budget = static_cast<qint64>(std::min<std::size_t>(
        nMaxBytes, static_cast<std::size_t>(std::numeric_limits<qint64>::max())));
    // A reader that decodes to find out whether it can read a file gives up
    // on one over the limit as if it were no image at all.
    if (!bReadable)
        return claimed.isValid() && DecodedBytes(claimed, QImage::Format_Invalid) > budget
                   ? ImageLoadStatus::TooLarge
                   : StatusOf(reader.error());
    // A picture over the budget is read reduced where the format allows.
    // Formats that cannot tell their size before decoding are held by the
    // allocation limit instead, and checked once decoded.
    const bool bOverBudget =
        claimed.isValid() && DecodedBytes(claimed, reader.imageFormat()) > budget;
    if (bOverBudget) {
        if (!reader.supportsOption(QImageIOHandler::ScaledSize))
            return ImageLoadStatus::TooLarge;
        reader.setScaledSize(ReducedSize(claimed));
    }
    QImage image;
    if (!reader.read(&image)) {
        // Some decoders that offer a reduced read still decode the whole
        // picture first (a 16-bit or interlaced PNG), and some widen a
        // picture to 32 bits a pixel whatever format they name (GIF): the
        // limit refuses either as if the file were damaged, and the size
        // says which it is.
        const bool bTooLarge =
            claimed.isValid() &&
            (bOverBudget || DecodedBytes(claimed, QImage::Format_ARGB32) > budget);
        return bTooLarge ? ImageLoadStatus::TooLarge : StatusOf(reader.error());
    }
    if (!m_pImpl->fileSize.isValid())
        m_pImpl->fileSize = image.size();
    else if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        m_pImpl->fileSize.transpose(); // the header gives the size before the turn
    if (Exceeds(m_pImpl->fileSize, nMaxSide))
        return ImageLoadStatus::TooLarge;
    m_pImpl->image = std::move(image);
    return ImageLoadStatus::Loaded;
}

bool CImage::IsNull() const {
    return m_pImpl->image.isNull();
}

int CImage::GetWidth() const {
    return m_pImpl->image.width();
}

int CImage::GetHeight() const {
    return m_pImpl->image.height();
}

int CImage::GetFileWidth() const {
    return std::max(m_pImpl->fileSize.width(), 0);
}

int CImage::GetFileHeight() const {
    return std::max(m_pImpl->fileSize.height(), 0);
}

void CImage::GetRow(int nRow, std::span<std::uint32_t> argb) const {
    const QImage& image = m_pImpl->image;
    if (image.isNull() || nRow < 0 || nRow >= image.height())
        return;
    const QImage row = image.copy(0, nRow, image.width(), 1).convertToFormat(QImage::Format_ARGB32);
    const auto* bits = reinterpret_cast<const std::uint32_t*>(row.constScanLine(0));
    std::copy_n(bits, std::min(argb.size(), static_cast<std::size_t>(row.width())), argb.begin());
}

CString CImage::GetImporterFilterString(std::string_view description) {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format).toLower();
    return platform_detail::ToCString(platform_detail::FromUtf8(description) + QLatin1Char('|') +
                                      patterns.join(QLatin1Char(';')) + QLatin1Char('|'));
}

bool SaveMonoImage(std::string_view pathName, std::string_view format, int width, int height,
                   std::span<const std::uint32_t> pixels, std::string& error) {
    if (width < 1 || height < 1) {
        error = "the picture has no pixels";
        return false;
    }
    // Index 0 white and 1 black, so that a set pixel is the bit each format
    // calls ink.
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t index =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x);
            if (index < pixels.size() && pixels[index] != 0)
                image.setPixel(x, y, 1);
        }
    QImageWriter writer(platform_detail::FromUtf8(pathName),
                        QByteArray(format.data(), static_cast<qsizetype>(format.size())));
    if (!writer.write(image)) {
        error = writer.errorString().toStdString();
        return false;
    }
    return true;
}
