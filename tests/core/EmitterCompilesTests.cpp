// The emitted code is only useful if the tool it is pasted into accepts it
// and draws the sprite from it. This test is that tool's user: it writes
// every sprite in every form (layout x language x size companion) into one
// program per language, with small readers that draw an array the way each
// display library documents its reading: row constants leftmost bit highest,
// drawBitmap-style row bytes leftmost bit highest, drawXBM-style bytes
// leftmost bit lowest, page buffers top row lowest, and MicroPython's
// framebuf formats. The C and Arduino programs are built with the system
// compiler (Arduino with a stand-in for its header), the MicroPython one is
// run by python3 against a stand-in framebuf module, and every pixel the
// readers draw is checked against the raster.

#include "HeaderCorpus.h"
#include "OutputForm.h"
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
#include <functional>
#include <iterator>
#include <map>
#include <ostream>
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
#ifndef GLIMMET_PYTHON
#error "GLIMMET_PYTHON must name the Python that runs the emitted MicroPython, or be empty"
#endif

#ifdef _WIN32
#define popen _popen
#define pclose _pclose
#endif

// Failure messages name a language by its key. It lives in the language's
// own namespace so that GoogleTest finds it.
inline void PrintTo(CodeLanguage language, std::ostream* os) {
    *os << LanguageOf(language).key;
}

namespace {

namespace fs = std::filesystem;

struct Sprite {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    SpriteBits Bits() const { return {width, height, pixels}; }

    // The pixels as the readers print them: '1' set, '0' clear, row by row.
    std::string Drawn() const {
        std::string drawn;
        for (const std::uint32_t pixel : pixels)
            drawn += pixel != 0 ? '1' : '0';
        return drawn;
    }
};

Sprite MakeSprite(const std::string& prefix, int width, int height) {
    Sprite sprite;
    sprite.width = width;
    sprite.height = height;
    sprite.name = prefix + "_w" + std::to_string(width) + "_h" + std::to_string(height);
    sprite.pixels.assign(static_cast<std::size_t>(width * height), 0);
    return sprite;
}

// A random sprite for every width and every height the editor allows, and
// all-set and all-clear sprites that reach the extreme values. The seed is
// fixed so that a failure repeats.
std::vector<Sprite> MakeSprites() {
    std::mt19937 random(0x6C1D3u);
    std::vector<Sprite> sprites;
    for (const int width : {8, 16, 32}) {
        for (int height = kMinSpriteHeight; height <= kMaxSpriteHeight; ++height) {
            Sprite sprite = MakeSprite("s", width, height);
            for (std::uint32_t& pixel : sprite.pixels)
                pixel = (random() >> 31) & 1u;
            sprites.push_back(std::move(sprite));
        }
        for (const int height : {kMinSpriteHeight, kMaxSpriteHeight}) {
            Sprite ones = MakeSprite("ones", width, height);
            std::fill(ones.pixels.begin(), ones.pixels.end(), 1u);
            sprites.push_back(std::move(ones));
            sprites.push_back(MakeSprite("zeros", width, height));
        }
    }
    return sprites;
}

// Every form of one language: each layout with each size companion, offered
// or not (one that does not apply must still give working code).
std::vector<CodeForm> FormsOf(CodeLanguage language) {
    std::vector<CodeForm> forms;
    for (const LayoutForm& layout : Layouts())
        for (const SizeForm& size : Sizes())
            forms.push_back({layout.style, language, size.size});
    return forms;
}

std::string FormName(const CodeForm& form) {
    return std::string(CodeStyleKey(form.style)) + "_" +
           std::string(LanguageOf(form.language).key) + "_" + std::string(SizeOf(form.size).key);
}

// The name the sprite is written under, unique across forms and sprites.
std::string SpriteName(const CodeForm& form, const Sprite& sprite) {
    return FormName(form) + "_" + sprite.name;
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return text;
}

bool IsByteLayout(CodeStyle style) {
    return style != CodeStyle::Rows;
}

// How many values the layout's array must hold: no padding beyond the last
// row's bytes or the last page.
std::size_t ElementCount(CodeStyle style, const Sprite& sprite) {
    const auto width = static_cast<std::size_t>(sprite.width);
    const auto height = static_cast<std::size_t>(sprite.height);
    switch (style) {
    case CodeStyle::RowBytes:
    case CodeStyle::Xbm:
        return height * ((width + 7) / 8);
    case CodeStyle::Pages:
        return (height + 7) / 8 * width;
    case CodeStyle::Rows:
        break;
    }
    return height;
}

// The statement in main() that draws the C or Arduino array of `sprite` in
// `form` with its layout's reader, the way a program uses the size
// companion: the #define names as the size, the leading bytes checked and
// skipped, the array named with the layout's mark. Leading bytes are written
// for byte layouts only.
std::string DrawCall(const CodeForm& form, const Sprite& sprite) {
    const std::string name = SpriteName(form, sprite);
    std::string array = name;
    if (EffectiveSize(form) != CodeSize::None)
        array += LayoutOf(form.style).sizedNameSuffix;
    std::string size = std::to_string(sprite.width) + ", " + std::to_string(sprite.height);
    if (form.size == CodeSize::Defines) {
        if (form.style == CodeStyle::Xbm) {
            size = name + "_width, " + name + "_height";
        } else {
            size = Upper(name) + "_WIDTH, " + Upper(name) + "_HEIGHT";
        }
    }
    const char* reader = "";
    switch (form.style) {
    case CodeStyle::Rows:
        return "DRAW_ROWS(" + array + ", " + size + ");";
    case CodeStyle::RowBytes:
        reader = "DrawRowBytes";
        break;
    case CodeStyle::Xbm:
        reader = "DrawXbm";
        break;
    case CodeStyle::Pages:
        reader = "DrawPages";
        break;
    }
    const char* how = form.size == CodeSize::Leading ? "DRAW_LEADING(" : "DRAW_BYTES(";
    return how + std::string(reader) + ", " + array + ", " + size + ");";
}

// The readers of the C programs. Each prints one array as "name elements
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

/* drawBitmap's reading: (width + 7) / 8 bytes a row, bit 0x80 >> (x & 7). */
static void DrawRowBytes(const char *name, const unsigned char *bits, size_t n, int width,
                         int height) {
    const int stride = (width + 7) / 8;
    int x, y;
    Begin(name, n);
    for (y = 0; y < height; ++y)
        for (x = 0; x < width; ++x) {
            const size_t at = (size_t)(y * stride + x / 8);
            putchar(at >= n ? '?' : bits[at] & (0x80 >> (x & 7)) ? '1' : '0');
        }
    putchar('\n');
}

/* drawXBM's reading: the same bytes, bit 1 << (x & 7). */
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

/* A page buffer's reading: byte (y / 8) * width + x, bit y % 8. */
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

/* Leading size bytes: checked against the size, then skipped. */
#define DRAW_LEADING(reader, array, width, height)                            \
    do {                                                                      \
        if ((array)[0] != (width) || (array)[1] != (height))                  \
            printf("%s 0 wrong-size\n", #array);                              \
        else                                                                  \
            reader(#array, (array) + 2, sizeof(array) - 2, width, height);    \
    } while (0)

)c";

// What Arduino's own header gives the emitted code: fixed-width types and a
// PROGMEM that on a desktop puts the array in ordinary memory.
constexpr std::string_view kArduinoStandIn = "#include <stdint.h>\n#define PROGMEM\n";

// The C program of one language: the readers, every sprite in every form,
// then a main() that draws each array. Drawing every array also keeps each
// one used, as -Werror with -Wall demands.
std::string MakeCProgram(CodeLanguage language, const std::vector<Sprite>& sprites) {
    std::string program(language == CodeLanguage::Arduino ? kArduinoStandIn : "");
    program += kReaders;
    const std::vector<CodeForm> forms = FormsOf(language);
    for (const CodeForm& form : forms) {
        for (const Sprite& sprite : sprites) {
            program += EmitCode(form, SpriteName(form, sprite), sprite.Bits());
            program += '\n';
        }
    }
    program += "\nint main(void) {\n";
    for (const CodeForm& form : forms)
        for (const Sprite& sprite : sprites)
            program += "    " + DrawCall(form, sprite) + "\n";
    program += "    return 0;\n}\n";
    return program;
}

// A stand-in for MicroPython's framebuf module, written from its documented
// formats: MONO_HLSB and MONO_HMSB hold rows of bytes whose stride is the
// width rounded up to eight pixels, pixel x in bit 7 - x % 8 (HLSB) or
// x % 8 (HMSB); MONO_VLSB holds pages of eight rows, byte (y / 8) * width + x,
// pixel y in bit y % 8. A buffer too small for the size is refused, as the
// real constructor refuses it.
constexpr std::string_view kFramebuf = R"py(MONO_VLSB = 0
MONO_HLSB = 3
MONO_HMSB = 4

class FrameBuffer:
    def __init__(self, buffer, width, height, format):
        self.buffer, self.width, self.height, self.format = buffer, width, height, format
        if format in (MONO_HLSB, MONO_HMSB):
            self.stride = (width + 7) & ~7
            needed = self.stride * height // 8
        elif format == MONO_VLSB:
            self.stride = width
            needed = (height + 7) // 8 * width
        else:
            raise ValueError("invalid format")
        if len(buffer) < needed:
            raise ValueError("buffer too small")

    def pixel(self, x, y):
        if self.format == MONO_VLSB:
            return self.buffer[(y >> 3) * self.stride + x] >> (y & 7) & 1
        byte = self.buffer[(x + y * self.stride) >> 3]
        return byte >> (7 - (x & 7) if self.format == MONO_HLSB else x & 7) & 1
)py";

// The MicroPython program: every sprite in every form, each drawn from its
// FrameBuffer at the size the FrameBuffer line gives, printed as the C
// readers print.
std::string MakePythonProgram(const std::vector<Sprite>& sprites) {
    std::string program = "import framebuf\n\n";
    std::string draws = "\ndef draw(name, buffer, fb):\n"
                        "    print(name, len(buffer), ''.join(str(fb.pixel(x, y))\n"
                        "          for y in range(fb.height) for x in range(fb.width)))\n\n";
    for (const CodeForm& form : FormsOf(CodeLanguage::MicroPython)) {
        for (const Sprite& sprite : sprites) {
            const std::string name = SpriteName(form, sprite);
            program += EmitCode(form, name, sprite.Bits());
            program += '\n';
            draws += "draw('" + name + "', " + name + ", " + name + "_fb)\n";
        }
    }
    return program + draws;
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

// What the readers drew of each array, by its name.
struct Drawing {
    std::size_t elements = 0;
    std::string pixels;
};

std::map<std::string, Drawing> ParseDrawings(const std::string& output) {
    std::map<std::string, Drawing> drawn;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name;
        Drawing drawing;
        EXPECT_TRUE(fields >> name >> drawing.elements >> drawing.pixels)
            << "unreadable line: " << line;
        EXPECT_TRUE(drawn.emplace(name, drawing).second) << name << " drawn twice";
    }
    return drawn;
}

// Every sprite of every form of `language` was drawn exactly, from an array
// of exactly its layout's values, and nothing else was drawn. MicroPython
// writes rows as row bytes.
void ExpectDrawnExactly(CodeLanguage language, const std::vector<Sprite>& sprites,
                        const std::map<std::string, Drawing>& drawn) {
    const std::vector<CodeForm> forms = FormsOf(language);
    for (const CodeForm& form : forms) {
        for (const Sprite& sprite : sprites) {
            std::string name = SpriteName(form, sprite);
            SCOPED_TRACE(EmitCode(form, name, sprite.Bits()));
            if (EffectiveSize(form) != CodeSize::None)
                name += LayoutOf(form.style).sizedNameSuffix;
            const CodeStyle layout =
                language == CodeLanguage::MicroPython && !IsByteLayout(form.style)
                    ? CodeStyle::RowBytes
                    : form.style;
            const auto found = drawn.find(name);
            ASSERT_NE(found, drawn.end()) << name << " drew nothing";
            EXPECT_EQ(found->second.elements, ElementCount(layout, sprite))
                << name << " has the wrong number of values";
            EXPECT_EQ(found->second.pixels, sprite.Drawn())
                << name << " draws other pixels than the raster holds";
        }
    }
    EXPECT_EQ(drawn.size(), forms.size() * sprites.size())
        << "the program drew arrays nobody declared";
}

void WriteFile(const fs::path& path, std::string_view text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    ASSERT_TRUE(file.good()) << "could not write " << path;
}

class EmittedSource : public testing::TestWithParam<CodeLanguage> {};

// One compiler run per language keeps the test quick.
TEST_P(EmittedSource, CompilesAndDrawsTheRasterInEveryForm) {
    const CodeLanguage language = GetParam();
    const std::vector<Sprite> sprites = MakeSprites();
    ScratchDirectory scratch;
    const fs::path source = scratch.Path() / "sprites.c";
    const fs::path binary = scratch.Path() / "sprites";
    WriteFile(source, MakeCProgram(language, sprites));

    const std::string compile = std::string("\"") + GLIMMET_SYSTEM_CC + "\"" +
                                " -std=c99 -pedantic -Wall -Wextra -Werror -o " + Quoted(binary) +
                                " " + Quoted(source) + " 2>&1";
    const CommandResult compiled = RunCommand(compile);
    ASSERT_EQ(compiled.status, 0) << "the emitted source did not compile:\n"
                                  << compile << "\n"
                                  << compiled.output;

    const CommandResult ran = RunCommand(Quoted(binary));
    ASSERT_EQ(ran.status, 0) << "the compiled program failed:\n" << ran.output;
    ExpectDrawnExactly(language, sprites, ParseDrawings(ran.output));
}

INSTANTIATE_TEST_SUITE_P(CAndArduino, EmittedSource,
                         testing::Values(CodeLanguage::C, CodeLanguage::Arduino),
                         [](const testing::TestParamInfo<CodeLanguage>& info) {
                             return std::string(LanguageOf(info.param).key);
                         });

TEST(EmittedMicroPython, RunsAndDrawsTheRasterInEveryForm) {
    const std::string python = GLIMMET_PYTHON;
    if (python.empty())
        GTEST_SKIP() << "no python3 to run the emitted MicroPython";
    const std::vector<Sprite> sprites = MakeSprites();
    ScratchDirectory scratch;
    WriteFile(scratch.Path() / "framebuf.py", kFramebuf);
    const fs::path script = scratch.Path() / "sprites.py";
    WriteFile(script, MakePythonProgram(sprites));

    const CommandResult ran = RunCommand('"' + python + "\" " + Quoted(script) + " 2>&1");
    ASSERT_EQ(ran.status, 0) << "the emitted MicroPython failed:\n" << ran.output;
    ExpectDrawnExactly(CodeLanguage::MicroPython, sprites, ParseDrawings(ran.output));
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
