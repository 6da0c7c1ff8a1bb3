#include "Image.h"

#include "Text.h"

#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <limits>

struct CImage::Impl {
    // Always Format_ARGB32 when not null, so that its bits are GetBits().
    QImage image;
};

namespace {

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

} // namespace

CImage::CImage() : m_pImpl(std::make_unique<Impl>()) {}
CImage::~CImage() = default;

ImageLoadStatus CImage::Load(std::string_view pathName, int nMaxSide) {
    m_pImpl->image = QImage();
    QImageReader reader(platform_detail::FromUtf8(pathName));
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return StatusOf(reader.error());
    // Formats that cannot tell their size before decoding are held by the
    // allocation limit instead, and checked once decoded.
    if (const QSize claimed = reader.size(); claimed.isValid() && Exceeds(claimed, nMaxSide))
        return ImageLoadStatus::TooLarge;
    const qint64 side = std::max(nMaxSide, 1);
    constexpr qint64 kBytesPerPixel = 4;
    constexpr qint64 kMiB = 1024 * 1024;
    QImageReader::setAllocationLimit(static_cast<int>(std::min<qint64>(
        (side * side * kBytesPerPixel + kMiB - 1) / kMiB, std::numeric_limits<int>::max())));
    QImage image;
    if (!reader.read(&image))
        return StatusOf(reader.error());
    if (Exceeds(image.size(), nMaxSide))
        return ImageLoadStatus::TooLarge;
    image.convertTo(QImage::Format_ARGB32);
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

std::span<const std::uint32_t> CImage::GetBits() const {
    const QImage& image = m_pImpl->image;
    if (image.isNull())
        return {};
    // 32-bit scan lines are never padded: the rows follow each other.
    return {reinterpret_cast<const std::uint32_t*>(image.constBits()),
            static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height())};
}

void CImage::Resize(int nWidth, int nHeight) {
    QImage& image = m_pImpl->image;
    if (image.isNull() || nWidth < 1 || nHeight < 1 || image.size() == QSize(nWidth, nHeight))
        return;
    // Averaging premultiplied pixels weighs each by its alpha.
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    image = image.scaled(nWidth, nHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.convertTo(QImage::Format_ARGB32);
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
