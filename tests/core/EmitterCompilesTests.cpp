// The emitted line is only useful if a C compiler accepts it and the array it
// declares draws the sprite. This test is that compiler's user: it pastes a
// declaration for every style, width and height into one C file, with a small
// reader per style that draws an array the way a display library does (row
// constants leftmost bit highest, XBM bytes leftmost bit lowest, vertical
// pages top row lowest). It builds the file with the system compiler, runs
// it, and checks every pixel the readers draw against the raster.

#include "HeaderCorpus.h"
#include "SourceEmitter.h"
#include "SourceFile.h"
#include "SpriteRaster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#ifndef GLIMMET_SYSTEM_CC
#error "GLIMMET_SYSTEM_CC must name the C compiler that checks the emitted source"
#endif

#ifdef _WIN32
#define popen _popen
#define pclose _pclose
#endif

namespace {

namespace fs = std::filesystem;

struct Sprite {
    std::string name;
    std::int32_t widthIndex = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    int Width() const { return WidthFromIndex(widthIndex); }

    // The pixels as the readers print them: '1' set, '0' clear, row by row.
    std::string Drawn() const {
        std::string drawn;
        for (const std::uint32_t pixel : pixels)
            drawn += pixel != 0 ? '1' : '0';
        return drawn;
    }
};

constexpr CodeStyle kStyles[] = {CodeStyle::Rows, CodeStyle::Xbm, CodeStyle::Pages};

std::string ArrayName(CodeStyle style, const Sprite& sprite) {
    return std::string(CodeStyleKey(style)) + "_" + sprite.name;
}

// How many elements the style's array must have: no padding beyond the last
// row's bytes or the last page.
std::size_t ElementCount(CodeStyle style, const Sprite& sprite) {
    const auto width = static_cast<std::size_t>(sprite.Width());
    const auto height = static_cast<std::size_t>(sprite.height);
    switch (style) {
    case CodeStyle::Xbm:
        return height * width / 8;
    case CodeStyle::Pages:
        return (height + 7) / 8 * width;
    case CodeStyle::Rows:
        break;
    }
    return height;
}

// The statement in main() that draws the array with its style's reader.
std::string DrawCall(CodeStyle style, const Sprite& sprite) {
    const std::string size = std::to_string(sprite.Width()) + ", " + std::to_string(sprite.height);
    const std::string array = ArrayName(style, sprite);
    switch (style) {
    case CodeStyle::Xbm:
        return "DRAW_BYTES(DrawXbm, " + array + ", " + size + ");";
    case CodeStyle::Pages:
        return "DRAW_BYTES(DrawPages, " + array + ", " + size + ");";
    case CodeStyle::Rows:
        break;
    }
    return "DRAW_ROWS(" + array + ", " + size + ");";
}

Sprite MakeSprite(const std::string& prefix, std::int32_t widthIndex, int height) {
    Sprite sprite;
    sprite.widthIndex = widthIndex;
    sprite.height = height;
    sprite.name = prefix + "_w" + std::to_string(sprite.Width()) + "_h" + std::to_string(height);
    sprite.pixels.assign(static_cast<std::size_t>(sprite.Width() * height), 0);
    return sprite;
}

// A random sprite for every width and every height the editor allows, and
// all-set and all-clear sprites that reach the extreme constants. The seed is
// fixed so that a failure repeats.
std::vector<Sprite> MakeSprites() {
    std::mt19937 random(0x6C1D3u);
    std::vector<Sprite> sprites;
    for (std::int32_t widthIndex = 0; widthIndex <= 2; ++widthIndex) {
        for (int height = kMinSpriteHeight; height <= kMaxSpriteHeight; ++height) {
            Sprite sprite = MakeSprite("s", widthIndex, height);
            for (std::uint32_t& pixel : sprite.pixels)
                pixel = (random() >> 31) & 1u;
            sprites.push_back(std::move(sprite));
        }
        for (const int height : {kMinSpriteHeight, kMaxSpriteHeight}) {
            Sprite ones = MakeSprite("ones", widthIndex, height);
            std::fill(ones.pixels.begin(), ones.pixels.end(), 1u);
            sprites.push_back(std::move(ones));
            sprites.push_back(MakeSprite("zeros", widthIndex, height));
        }
    }
    return sprites;
}

// The readers of the C program. Each prints one array as "name elements
// pixels": its element count, then '1' or '0' for every pixel, row by row. A
// pixel whose element would lie past the array prints as '?' rather than
// being read. The rows reader is a macro because the element type follows the
// width.
constexpr std::string_view kReaders = R"c(#include <stdio.h>

static void Begin(const char *name, size_t elements) {
    printf("%s %lu ", name, (unsigned long)elements);
}

#define DRAW_ROWS(array, width, height)                                       \
    do {                                                                      \
        const size_t n_ = sizeof(array) / sizeof((array)[0]);                 \
        int x_, y_;                                                           \
        Begin(#array, n_);                                                    \
        for (y_ = 0; y_ < (height); ++y_)                                     \
            for (x_ = 0; x_ < (width); ++x_)                                  \
                putchar((size_t)y_ >= n_ ? '?'                                \
                        : ((unsigned long)(array)[y_] >> ((width)-1 - x_)) & 1u \
                            ? '1' : '0');                                     \
        putchar('\n');                                                        \
    } while (0)

static void DrawXbm(const char *name, const unsigned char *bits, size_t n, int width, int height) {
    const int stride = (width + 7) / 8;
    int x, y;
    Begin(name, n);
    for (y = 0; y < height; ++y)
        for (x = 0; x < width; ++x) {
            const size_t at = (size_t)(y * stride + x / 8);
            putchar(at >= n ? '?' : (bits[at] >> (x % 8)) & 1 ? '1' : '0');
        }
    putchar('\n');
}

static void DrawPages(const char *name, const unsigned char *pages, size_t n, int width,
                      int height) {
    int x, y;
    Begin(name, n);
    for (y = 0; y < height; ++y)
        for (x = 0; x < width; ++x) {
            const size_t at = (size_t)(y / 8 * width + x);
            putchar(at >= n ? '?' : (pages[at] >> (y % 8)) & 1 ? '1' : '0');
        }
    putchar('\n');
}

#define DRAW_BYTES(reader, array, width, height) \
    reader(#array, array, sizeof(array), width, height)

)c";

// The C program: the readers, every declaration in every style, then a main()
// that draws each array. Drawing every array also keeps each one used, as
// -Werror with -Wall demands.
std::string MakeProgram(const std::vector<Sprite>& sprites) {
    std::string program(kReaders);
    for (const CodeStyle style : kStyles) {
        for (const Sprite& sprite : sprites) {
            program += EmitDeclaration(style, sprite.widthIndex, ArrayName(style, sprite),
                                       sprite.height, sprite.pixels);
            program += '\n';
        }
    }
    program += "\nint main(void) {\n";
    for (const CodeStyle style : kStyles)
        for (const Sprite& sprite : sprites)
            program += "    " + DrawCall(style, sprite) + "\n";
    program += "    return 0;\n}\n";
    return program;
}

// A fresh directory under the system's temporary directory, removed with all
// its contents when the test ends, whether it passes or fails.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::random_device entropy;
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0; attempt < 100; ++attempt) {
            const fs::path candidate =
                fs::temp_directory_path() /
                ("glimmet-emitter-" + std::to_string(now) + "-" + std::to_string(entropy()));
            if (fs::create_directory(candidate)) {
                path_ = candidate;
                return;
            }
        }
        throw std::runtime_error("no unused name for a scratch directory");
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

struct CommandResult {
    int status = -1;
    std::string output;
};

// Runs a shell command and collects what it prints on standard output.
CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    std::array<char, 4096> chunk{};
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        result.output.append(chunk.data(), got);
    result.status = pclose(pipe);
    return result;
}

std::string Quoted(const fs::path& path) {
    return '"' + path.string() + '"';
}

TEST(EmittedSource, CompilesAsCAndDrawsTheRasterInEveryStyle) {
    const std::vector<Sprite> sprites = MakeSprites();
    ScratchDirectory scratch;
    const fs::path source = scratch.Path() / "sprites.c";
    const fs::path binary = scratch.Path() / "sprites";
    {
        std::ofstream file(source, std::ios::binary);
        file << MakeProgram(sprites);
        ASSERT_TRUE(file.good()) << "could not write " << source;
    }

    const std::string compile = std::string("\"") + GLIMMET_SYSTEM_CC + "\"" +
                                " -std=c99 -pedantic -Wall -Wextra -Werror -o " + Quoted(binary) +
                                " " + Quoted(source) + " 2>&1";
    const CommandResult compiled = RunCommand(compile);
    ASSERT_EQ(compiled.status, 0) << "the emitted source did not compile:\n"
                                  << compile << "\n"
                                  << compiled.output;

    const CommandResult ran = RunCommand(Quoted(binary));
    ASSERT_EQ(ran.status, 0) << "the compiled program failed:\n" << ran.output;

    // What the readers drew of each array.
    struct Drawing {
        std::size_t elements = 0;
        std::string pixels;
    };
    std::map<std::string, Drawing> drawn;
    std::istringstream lines(ran.output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name;
        Drawing drawing;
        ASSERT_TRUE(fields >> name >> drawing.elements >> drawing.pixels)
            << "unreadable line: " << line;
        ASSERT_TRUE(drawn.emplace(name, drawing).second) << name << " drawn twice";
    }

    for (const CodeStyle style : kStyles) {
        for (const Sprite& sprite : sprites) {
            const std::string name = ArrayName(style, sprite);
            SCOPED_TRACE(
                EmitDeclaration(style, sprite.widthIndex, name, sprite.height, sprite.pixels));
            const auto found = drawn.find(name);
            ASSERT_NE(found, drawn.end()) << name << " drew nothing";
            EXPECT_EQ(found->second.elements, ElementCount(style, sprite))
                << name << " has the wrong number of elements";
            EXPECT_EQ(found->second.pixels, sprite.Drawn())
                << name << " draws other pixels than the raster holds";
        }
    }
    EXPECT_EQ(drawn.size(), std::size(kStyles) * sprites.size())
        << "the program drew arrays nobody declared";
}

// ---------------------------------------------------------------------------
// Saved headers

// A header stays C after a save: each corpus file as it is, with one pixel
// changed and, where its array can take it, one row more, built in a single
// run of the compiler.
TEST(SavedHeaders, CompileAfterEachSave) {
    ScratchDirectory scratch;
    const auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream file(scratch.Path() / name, std::ios::binary);
        file << text;
        return file.good();
    };
    ASSERT_TRUE(write("prelude.h", HeaderCorpusPrelude()));
    std::string sources;
    int index = 0;
    for (const CorpusHeader& header : HeaderCorpus()) {
        SCOPED_TRACE(header.label);
        CSourceFile file;
        ASSERT_FALSE(file.Load(header.text));
        const std::size_t array = file.Find(header.array).value();
        std::vector<std::string> saved{header.text};
        SpriteReading sprite = file.Arrays()[array].readings.front();
        sprite.pixels[sprite.pixels.size() / 2] ^= 1u;
        ASSERT_EQ(file.Store(array, 0, sprite), std::nullopt);
        saved.push_back(file.Text());
        if (file.Arrays()[array].nFrame < 0 && sprite.height < kMaxSpriteHeight &&
            file.Arrays()[array].elementBits == 8) {
            ++sprite.height;
            sprite.pixels.resize(static_cast<std::size_t>(sprite.width * sprite.height), 1u);
            ASSERT_EQ(file.Store(array, 0, sprite), std::nullopt);
            saved.push_back(file.Text());
        }
        for (const std::string& text : saved) {
            const std::string name = "header" + std::to_string(index++) + ".c";
            ASSERT_TRUE(write(name, text));
            sources += " " + name;
        }
    }
    const std::string compile = "cd " + Quoted(scratch.Path()) + " && \"" + GLIMMET_SYSTEM_CC +
                                "\" -std=c11 -c -include prelude.h" + sources + " 2>&1";
    const CommandResult compiled = RunCommand(compile);
    EXPECT_EQ(compiled.status, 0) << compile << "\n" << compiled.output;
}

} // namespace
