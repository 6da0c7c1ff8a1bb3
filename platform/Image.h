#pragma once

// Images read from files: decoded by the toolkit into a plain buffer of
// pixels, which the program reads as it likes.

#include "Afx.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

// Why an image did not load.
enum class ImageLoadStatus {
    Loaded,
    CannotOpen,    // no such file, or it cannot be read
    UnknownFormat, // not an image in a format the toolkit reads
    TooLarge,      // wider or taller than the limits given, or too large to decode
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
    // refused before its pixels are decoded. No more than nMaxBytes of
    // decoded pixels are held at once: a picture that would need more is
    // read reduced, to at most 1024 pixels a side, where its format can be
    // read that way, and refused as too large where it cannot. On failure
    // the image is empty.
    ImageLoadStatus Load(std::string_view pathName, int nMaxSide, std::size_t nMaxBytes);

    bool IsNull() const;
    // The pixels held, which a reduced read makes fewer than the file's.
    int GetWidth() const;
    int GetHeight() const;
    // The size the file states, known once its header is read, even when
    // the image is refused as too large; 0 x 0 before that.
    int GetFileWidth() const;
    int GetFileHeight() const;
    // Row nRow of the pixels held, top row 0, into argb (GetWidth() of them
    // at most), each as 0xAARRGGBB with straight (not premultiplied) alpha.
    // One row at a time, so that a picture is never held twice over in a
    // wider form.
    void GetRow(int nRow, std::span<std::uint32_t> argb) const;

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
