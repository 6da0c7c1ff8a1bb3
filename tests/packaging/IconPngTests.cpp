// The icon theme's images are written at build time from the resource
// artwork. A standard PNG decoder must read them back as exactly the pixels
// that the window's icon shows, the larger sizes as its 32 x 32 image with
// every pixel a crisp square, and the writing tool must refuse what it
// cannot write with a clear message.

#include "Resource.h"
#include "ResourceTypes.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

namespace {

const IconResource* ApplicationIcon() {
    for (const IconResource& icon : Icons()) {
        if (icon.id == IDR_MAINFRAME)
            return &icon;
    }
    return nullptr;
}

constexpr int kInstalledSizes[] = {GLIMMET_ICON_SIZES};

// The artwork an icon of `size` pixels shows: the image of that size, else the
// largest image, scaled up.
const IconImage& ArtworkFor(const IconResource& icon, int size) {
    const IconImage* largest = &icon.images.front();
    for (const IconImage& image : icon.images) {
        if (image.size == size)
            return image;
        if (image.size > largest->size)
            largest = &image;
    }
    return *largest;
}

TEST(IconPng, EveryInstalledSizeDecodesToItsArtworkPixelForPixel) {
    const IconResource* icon = ApplicationIcon();
    ASSERT_NE(icon, nullptr);
    ASSERT_FALSE(icon->images.empty());
    for (const IconImage& image : icon->images)
        EXPECT_NE(std::ranges::find(kInstalledSizes, image.size), std::end(kInstalledSizes))
            << "the " << image.size << " x " << image.size << " artwork is not installed";

    for (const int size : kInstalledSizes) {
        const QString path =
            QStringLiteral(GLIMMET_ICON_DIR "/%1x%1/" GLIMMET_APP_ID ".png").arg(size);
        SCOPED_TRACE(path.toStdString());
        const IconImage& artwork = ArtworkFor(*icon, size);
        ASSERT_EQ(size % artwork.size, 0);
        const int factor = size / artwork.size;

        QImage png;
        ASSERT_TRUE(png.load(path, "PNG"));
        ASSERT_EQ(png.width(), size);
        ASSERT_EQ(png.height(), size);
        ASSERT_TRUE(png.hasAlphaChannel());
        png = png.convertToFormat(QImage::Format_ARGB32);

        int mismatches = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb expected =
                    artwork
                        .pixels[static_cast<std::size_t>(y / factor * artwork.size + x / factor)];
                const QRgb actual = png.pixel(x, y);
                // A transparent pixel's colour channels carry no meaning.
                const bool same = qAlpha(expected) == 0 ? qAlpha(actual) == 0 : actual == expected;
                if (!same && mismatches++ < 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << actual
                                  << ", the artwork says " << expected;
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

struct BadInvocation {
    const char* what;
    QStringList arguments;
    const char* message;
};

TEST(AssetTool, RefusesWhatItCannotWriteWithAMessageAndNoFile) {
    const QString scratch = QStringLiteral(GLIMMET_SCRATCH_DIR "/asset-tool-refusals");
    QDir(scratch).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(scratch));
    const QString out = scratch + QStringLiteral("/icon.png");
    const QString unwritable = scratch + QStringLiteral("/no-such-folder/icon.png");

    const BadInvocation cases[] = {
        {"no arguments", {}, "usage: glimmet_assets icon SIZE OUTPUT.png"},
        {"an unknown command",
         {QStringLiteral("png"), QStringLiteral("16"), out},
         "usage: glimmet_assets icon SIZE OUTPUT.png"},
        {"no output path", {QStringLiteral("icon"), QStringLiteral("16")}, "usage: "},
        {"a size no artwork scales to by a whole factor",
         {QStringLiteral("icon"), QStringLiteral("24"), out},
         "the application icon has no image that scales to 24 x 24 by a whole factor"},
        {"a negative size",
         {QStringLiteral("icon"), QStringLiteral("-16"), out},
         "the size must be a whole number from 1 to 1024, not \"-16\""},
        {"a size of nothing",
         {QStringLiteral("icon"), QStringLiteral("0"), out},
         "the size must be a whole number from 1 to 1024, not \"0\""},
        {"a size larger than icon themes hold",
         {QStringLiteral("icon"), QStringLiteral("2048"), out},
         "the size must be a whole number from 1 to 1024, not \"2048\""},
        {"a size with a unit",
         {QStringLiteral("icon"), QStringLiteral("16px"), out},
         "the size must be a whole number from 1 to 1024, not \"16px\""},
        {"an empty size",
         {QStringLiteral("icon"), QString(), out},
         "the size must be a whole number from 1 to 1024, not \"\""},
        {"an icon in a folder that does not exist",
         {QStringLiteral("icon"), QStringLiteral("16"), unwritable},
         "cannot write "},
        {"a manual page without a summary",
         {QStringLiteral("man"), out, QStringLiteral("2026-12-07"), QString()},
         "the manual page needs a date and a summary"},
        {"a manual page in a folder that does not exist",
         {QStringLiteral("man"), unwritable, QStringLiteral("2026-12-07"), QStringLiteral("s")},
         "cannot write "},
    };
    for (const BadInvocation& bad : cases) {
        SCOPED_TRACE(bad.what);
        QProcess tool;
        tool.start(QStringLiteral(GLIMMET_ASSET_TOOL), bad.arguments);
        ASSERT_TRUE(tool.waitForFinished(30000));
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), 1);
        const std::string error = QString::fromUtf8(tool.readAllStandardError()).toStdString();
        EXPECT_NE(error.find(std::string("glimmet_assets: ") + bad.message), std::string::npos)
            << error;
        EXPECT_FALSE(QFileInfo::exists(out));
        EXPECT_FALSE(QFileInfo::exists(unwritable));
    }
}

} // namespace
