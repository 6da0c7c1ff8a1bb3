// The icon theme's images are written at build time from the resource
// artwork. A standard PNG decoder must read them back as exactly that artwork,
// and the writing tool must refuse what it cannot write with a clear message.

#include "Resource.h"
#include "ResourceTypes.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
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

// The colour an artwork character stands for, as non-premultiplied ARGB.
QRgb ExpectedPixel(char c) {
    if (c == '.')
        return qRgba(0, 0, 0, 0);
    const int index = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    const std::uint32_t rgb = kIconPalette[index];
    return qRgba(static_cast<int>(rgb >> 16) & 0xFF, static_cast<int>(rgb >> 8) & 0xFF,
                 static_cast<int>(rgb) & 0xFF, 0xFF);
}

TEST(IconPng, EveryImageOfTheApplicationIconDecodesToItsArtwork) {
    const IconResource* icon = ApplicationIcon();
    ASSERT_NE(icon, nullptr);
    ASSERT_FALSE(icon->images.empty());

    for (const IconImage& image : icon->images) {
        const QString size = QString::number(image.size);
        const QString path =
            QStringLiteral(GLIMMET_ICON_DIR "/%1x%1/" GLIMMET_APP_ID ".png").arg(size);
        SCOPED_TRACE(path.toStdString());

        QImage png;
        ASSERT_TRUE(png.load(path, "PNG"));
        ASSERT_EQ(png.width(), image.size);
        ASSERT_EQ(png.height(), image.size);
        ASSERT_TRUE(png.hasAlphaChannel());
        png = png.convertToFormat(QImage::Format_ARGB32);

        int mismatches = 0;
        for (int y = 0; y < image.size; ++y) {
            const std::string_view row = image.rows[static_cast<std::size_t>(y)];
            for (int x = 0; x < image.size; ++x) {
                const QRgb expected = ExpectedPixel(row[static_cast<std::size_t>(x)]);
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

TEST(IconPngTool, RefusesWhatItCannotWriteWithAMessageAndNoFile) {
    const QString scratch = QStringLiteral(GLIMMET_SCRATCH_DIR "/icon-tool-refusals");
    QDir(scratch).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(scratch));
    const QString out = scratch + QStringLiteral("/icon.png");
    const QString unwritable = scratch + QStringLiteral("/no-such-folder/icon.png");

    const BadInvocation cases[] = {
        {"no arguments", {}, "usage: glimmet_icon_png SIZE OUTPUT.png"},
        {"no output path", {QStringLiteral("16")}, "usage: glimmet_icon_png SIZE OUTPUT.png"},
        {"a size the icon lacks",
         {QStringLiteral("24"), out},
         "the application icon has no 24 x 24 image"},
        {"a negative size",
         {QStringLiteral("-16"), out},
         "the size must be a positive whole number, not \"-16\""},
        {"a size with a unit",
         {QStringLiteral("16px"), out},
         "the size must be a positive whole number, not \"16px\""},
        {"an empty size", {QString(), out}, "the size must be a positive whole number, not \"\""},
        {"an output folder that does not exist",
         {QStringLiteral("16"), unwritable},
         "cannot write "},
    };
    for (const BadInvocation& bad : cases) {
        SCOPED_TRACE(bad.what);
        QProcess tool;
        tool.start(QStringLiteral(GLIMMET_ICON_TOOL), bad.arguments);
        ASSERT_TRUE(tool.waitForFinished(30000));
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), 1);
        const std::string error = QString::fromUtf8(tool.readAllStandardError()).toStdString();
        EXPECT_NE(error.find(std::string("glimmet_icon_png: ") + bad.message), std::string::npos)
            << error;
        EXPECT_FALSE(QFileInfo::exists(out));
        EXPECT_FALSE(QFileInfo::exists(unwritable));
    }
}

} // namespace
