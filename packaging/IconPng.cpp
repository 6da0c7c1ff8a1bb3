// Writes one image of the application icon as a PNG file, so that the icon
// theme installs the same artwork that the program shows. The PNG is written by
// hand (RGBA, 8 bits per channel, uncompressed deflate blocks): the images are
// tiny, and the build step needs nothing beyond the resource data.
//
// Usage: glimmet_icon_png SIZE OUTPUT.png

#include "Resource.h"
#include "ResourceTypes.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void AppendBigEndian32(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 24));
    out.push_back(static_cast<std::uint8_t>(value >> 16));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit)
                c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(const Bytes& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

// A chunk is its length, its type, its data and the CRC of type and data.
void AppendChunk(Bytes& png, const char (&type)[5], const Bytes& data) {
    AppendBigEndian32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    AppendBigEndian32(png, Crc32(png.data() + typeStart, png.size() - typeStart));
}

// A zlib stream of stored (uncompressed) deflate blocks.
Bytes ZlibStored(const Bytes& raw) {
    constexpr std::size_t kMaxBlock = 0xFFFF;
    Bytes out = {0x78, 0x01};
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(kMaxBlock, raw.size() - offset);
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                   raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < raw.size());
    AppendBigEndian32(out, Adler32(raw));
    return out;
}

std::optional<std::uint32_t> PaletteIndex(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<std::uint32_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<std::uint32_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<std::uint32_t>(c - 'a' + 10);
    return std::nullopt;
}

// The image's scanlines, each led by filter type 0, as RGBA; or an error text.
bool Scanlines(const IconImage& image, Bytes& raw, std::string& error) {
    if (image.rows.size() != static_cast<std::size_t>(image.size)) {
        error = "the image has " + std::to_string(image.rows.size()) + " rows, not " +
                std::to_string(image.size);
        return false;
    }
    for (std::size_t y = 0; y < image.rows.size(); ++y) {
        const std::string_view row = image.rows[y];
        if (row.size() != static_cast<std::size_t>(image.size)) {
            error = "row " + std::to_string(y) + " has " + std::to_string(row.size()) +
                    " pixels, not " + std::to_string(image.size);
            return false;
        }
        raw.push_back(0);
        for (char c : row) {
            if (c == '.') {
                raw.insert(raw.end(), {0, 0, 0, 0});
                continue;
            }
            const std::optional<std::uint32_t> index = PaletteIndex(c);
            if (!index) {
                error = "row " + std::to_string(y) + " holds '" + std::string(1, c) +
                        "', which is neither a palette index nor '.'";
                return false;
            }
            const std::uint32_t rgb = kIconPalette[*index];
            raw.insert(raw.end(),
                       {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                        static_cast<std::uint8_t>(rgb), 0xFF});
        }
    }
    return true;
}

const IconImage* FindImage(int size) {
    for (const IconResource& icon : Icons()) {
        if (icon.id != IDR_MAINFRAME)
            continue;
        for (const IconImage& image : icon.images) {
            if (image.size == size)
                return &image;
        }
    }
    return nullptr;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "glimmet_icon_png: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return Fail("usage: glimmet_icon_png SIZE OUTPUT.png");

    const std::string_view sizeText = argv[1];
    int size = 0;
    const auto [end, status] =
        std::from_chars(sizeText.data(), sizeText.data() + sizeText.size(), size);
    if (status != std::errc() || end != sizeText.data() + sizeText.size() || size <= 0)
        return Fail("the size must be a positive whole number, not \"" + std::string(sizeText) +
                    "\"");

    const IconImage* image = FindImage(size);
    if (!image)
        return Fail("the application icon has no " + std::to_string(size) + " x " +
                    std::to_string(size) + " image");

    Bytes raw;
    std::string error;
    if (!Scanlines(*image, raw, error))
        return Fail("the " + std::to_string(size) + " x " + std::to_string(size) +
                    " icon image is malformed: " + error);

    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    AppendBigEndian32(header, static_cast<std::uint32_t>(size));
    AppendBigEndian32(header, static_cast<std::uint32_t>(size));
    // 8 bits per channel, colour type 6 (RGBA), deflate, adaptive filtering,
    // no interlace.
    header.insert(header.end(), {8, 6, 0, 0, 0});
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", ZlibStored(raw));
    AppendChunk(png, "IEND", {});

    const char* path = argv[2];
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    out.close();
    if (!out) {
        std::remove(path);
        return Fail(std::string("cannot write ") + path);
    }
    return 0;
}
