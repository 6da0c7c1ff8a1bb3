#pragma once

// The rules that turn a picture into a sprite: which pixels count as set,
// what size a picture is brought to, and how wide a sprite holds it. The
// decoding belongs to whoever reads the file; these are the decisions, kept
// in one place so that every way of opening a picture agrees.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A picture that claims more pixels than this on either side is refused
// before its pixels are read, so that a file cannot make the editor allocate
// whatever its header says.
inline constexpr int kMaxImageSide = 8192;

// The most decoded pixels a picture may hold while it is read. One that would
// need more is read reduced where its format allows (most PNG and JPEG
// files), and refused where it does not.
inline constexpr std::size_t kMaxImageBytes = std::size_t{32} << 20;

// The side up to which every picture opens, whatever its format: at the
// widest pixels a format decodes to, 16-bit RGBA, 2048 x 2048 fills
// kMaxImageBytes.
inline constexpr int kAlwaysOpenedImageSide = 2048;

struct ImageSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const ImageSize&, const ImageSize&) = default;
};

// The size a picture is brought to before its pixels are read. One that fits
// the largest sprite keeps its size; a larger one is scaled down to fit it,
// keeping its aspect ratio as closely as whole pixels allow and never falling
// below one pixel a side. A size with a side below 1 gives 0 x 0.
ImageSize FitImageSize(ImageSize image);

// The narrowest sprite width, 8, 16 or 32, that holds `imageWidth` columns;
// 0 for a width outside 1..32.
int SpriteWidthForImage(int imageWidth);

// Whether a pixel, 0xAARRGGBB with straight (not premultiplied) alpha, is
// drawn in a picture with no transparency: dark, its luminance below half,
// and opaque.
bool IsDarkPixel(std::uint32_t argb);

// Whether a pixel is drawn in a picture with transparency: its alpha at least
// half, whatever its colour, so that a white icon on a clear ground comes in
// as drawn.
bool IsOpaquePixel(std::uint32_t argb);

// A picture brought to a sprite.
struct ImageSprite {
    ImageSize image;  // the picture's own size
    ImageSize fitted; // the size it was brought to
    int spriteWidth = 0;
    // Row by row, spriteWidth per row, 1 where set; the columns right of the
    // picture are clear.
    std::vector<std::uint32_t> pixels;
    // The picture had a pixel not fully opaque, so its opaque pixels, not its
    // dark ones, are set.
    bool bTransparent = false;
    int nSet = 0; // how many pixels are set
};

// Gathers a picture, handed over row by row as it is decoded, into the sprite
// of its fitted size, holding no more than that sprite's counts.
//
// Each picture pixel goes to the sprite pixel its centre falls in, and a
// sprite pixel is set when at least a quarter of the picture pixels it
// gathers are drawn. A picture scaled down by less than half folds at most
// two rows and two columns into one, so a sprite pixel gathers at most four:
// a one-pixel dot is a quarter of them and a one-pixel line half, and both
// survive, where averaging colours first would smear a line to grey across
// two rows and lose it. Which pixels are drawn depends on the whole picture
// (any transparency at all), so the decision waits for Finish.
class ImageSampler {
public:
    explicit ImageSampler(ImageSize image);

    // Row y of the picture, its pixels from the left as 0xAARRGGBB with
    // straight alpha. Rows outside the picture and pixels past its width are
    // ignored; rows never given count as clear.
    void AddRow(int y, std::span<const std::uint32_t> argb);

    ImageSprite Finish() const;

private:
    ImageSize m_image;
    ImageSize m_fitted;
    std::vector<int> m_columnOf; // the sprite column of each picture column
    std::vector<int> m_gathered; // picture pixels per sprite pixel
    std::vector<int> m_dark;     // of those, dark and opaque
    std::vector<int> m_opaque;   // of those, opaque
    bool m_bTransparent = false;
};

// One line for the user about a picture brought in, when there is something
// to know: that it was scaled down, or that it left no pixel, or only set
// pixels. Empty otherwise.
std::string DescribeImageSprite(const ImageSprite& sprite);
