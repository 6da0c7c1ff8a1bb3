// The emitted line is only useful if a C compiler accepts it and the array it
// declares holds the drawn rows. This test is that compiler's user: it pastes
// a declaration for every width and height into one C file, builds it with the
// system compiler, runs it, and checks every row value the program prints
// against the value the raster stands for.

#include "SourceEmitter.h"
#include "SpriteRaster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
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

    // The row constant the drawn pixels stand for: the leftmost pixel is the
    // most significant bit.
    std::uint64_t RowValue(int row) const {
        std::uint64_t value = 0;
        for (int column = 0; column < Width(); ++column) {
            const std::size_t element = static_cast<std::size_t>(row * Width() + column);
            value = (value << 1) | (pixels[element] != 0 ? 1u : 0u);
        }
        return value;
    }
};

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

// The C program: every declaration, then a main() that prints each element of
// each array as "name index value", the value in unsigned decimal. Printing
// every array also keeps each one used, as -Werror with -Wall demands.
std::string MakeProgram(const std::vector<Sprite>& sprites) {
    std::string program = "#include <stdio.h>\n\n";
    for (const Sprite& sprite : sprites) {
        program += EmitDeclaration(sprite.widthIndex, sprite.name, sprite.height, sprite.pixels);
        program += '\n';
    }
    program += "\n#define PRINT_ROWS(array)                                                   \\\n"
               "    do {                                                                    \\\n"
               "        size_t i;                                                           \\\n"
               "        for (i = 0; i < sizeof(array) / sizeof((array)[0]); ++i)            \\\n"
               "            printf(\"%s %lu %lu\\n\", #array, (unsigned long)i,              \\\n"
               "                   (unsigned long)(array)[i]);                              \\\n"
               "    } while (0)\n\n"
               "int main(void) {\n";
    for (const Sprite& sprite : sprites)
        program += "    PRINT_ROWS(" + sprite.name + ");\n";
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

TEST(EmittedSource, CompilesAsCAndHoldsTheDrawnRows) {
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

    // The printed rows of each array, in the order the program printed them.
    std::map<std::string, std::vector<std::uint64_t>> printed;
    std::istringstream lines(ran.output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name;
        std::size_t index = 0;
        std::uint64_t value = 0;
        ASSERT_TRUE(fields >> name >> index >> value) << "unreadable line: " << line;
        std::vector<std::uint64_t>& rows = printed[name];
        ASSERT_EQ(index, rows.size()) << "rows of " << name << " out of order";
        rows.push_back(value);
    }

    for (const Sprite& sprite : sprites) {
        SCOPED_TRACE(EmitDeclaration(sprite.widthIndex, sprite.name, sprite.height, sprite.pixels));
        const auto found = printed.find(sprite.name);
        ASSERT_NE(found, printed.end()) << sprite.name << " printed nothing";
        const std::vector<std::uint64_t>& rows = found->second;
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(sprite.height))
            << sprite.name << " has the wrong number of rows";
        for (int row = 0; row < sprite.height; ++row)
            EXPECT_EQ(rows[static_cast<std::size_t>(row)], sprite.RowValue(row))
                << sprite.name << " row " << row;
    }
    EXPECT_EQ(printed.size(), sprites.size()) << "the program printed arrays nobody declared";
}

} // namespace
