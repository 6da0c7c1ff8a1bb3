#pragma once

// Images read from files: decoded by the toolkit into a plain buffer of
// pixels, which the program reads as it likes.

#include "Afx.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

// Why an image did not load.
enum class ImageLoadStatus {
    Loaded,
    CannotOpen,    // no such file, or it cannot be read
    UnknownFormat, // not an image in a format the toolkit reads
    TooLarge,      // wider or taller than the limit given
    Damaged,       // the pixels cannot be decoded: a damaged or cut-short file
};

class CImage {
public:
    CImage();
    ~CImage();
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // Reads the image file at pathName, in any format the toolkit reads. A
    // file whose header claims more than nMaxSide pixels on either side is
    // refused before its pixels are decoded, and no decoding may allocate
    // more than an image of nMaxSide x nMaxSide takes, so memory stays
    // bounded whatever a file claims. On failure the image is empty.
    ImageLoadStatus Load(std::string_view pathName, int nMaxSide);

    bool IsNull() const;
    int GetWidth() const;
    int GetHeight() const;
    // The pixels row by row, top row first, GetWidth() per row, each as
    // 0xAARRGGBB with straight (not premultiplied) alpha.
    std::span<const std::uint32_t> GetBits() const;

    // Scales the image to nWidth x nHeight, each new pixel the average of
    // the ones it covers, weighted by their alpha so that transparent pixels
    // lend no colour.
    void Resize(int nWidth, int nHeight);

    // The image files Load reads, as one entry of a file-dialog filter named
    // `description`, a pattern for each format's file extension:
    // "Images|*.bmp;*.gif;...;*.xpm|".
    static CString GetImporterFilterString(std::string_view description);

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

// Writes a one-bit picture `width` x `height` to pathName in `format`
// ("png", "pbm" or "bmp", whatever the name's extension): pixels row
// by row, `width` per row, nonzero ones black and the rest white; missing
// ones are white. Needs no display. False, and the reason in `error`, when
// the file cannot be written; a file it cannot finish may be left behind,
// for the caller to remove.
bool SaveMonoImage(std::string_view pathName, std::string_view format, int width, int height,
                   std::span<const std::uint32_t> pixels, std::string& error);
