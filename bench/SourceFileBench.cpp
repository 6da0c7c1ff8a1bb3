// The source-file document on a large header: opening and listing it, and
// saving one sprite back into it.

#include "SourceFile.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kArrays = 500;
constexpr std::size_t kFileBytes = std::size_t{1} << 20;

// A header of about 1 MiB holding kArrays sprites in three common shapes
// (XBM with its defines, binary rows with drawings, 32 x 16 hex sixteen to a
// line), with comments and code between them.
std::string MakeHeader() {
    std::string text = "#ifndef SPRITES_H\n#define SPRITES_H\n\n#include <stdint.h>\n\n";
    const std::size_t fillerPerArray = kFileBytes / kArrays;
    for (int k = 0; k < kArrays; ++k) {
        const std::string name = "sprite" + std::to_string(k);
        switch (k % 3) {
        case 0:
            text += "#define " + name + "_width 16\n#define " + name + "_height 16\n";
            text += "static unsigned char " + name + "_bits[] = {\n";
            for (int b = 0; b < 32; ++b)
                text += std::string(b % 12 == 0 ? "   " : " ") + "0x" + "0123456789abcdef"[b % 16] +
                        "f" + (b % 12 == 11 ? ",\n" : ",");
            text += "};\n";
            break;
        case 1:
            text += "const uint8_t " + name + "[] PROGMEM = {\n";
            for (int row = 0; row < 8; ++row)
                text += "  0b0110011" + std::to_string(row % 2) + ", // .##..##" +
                        (row % 2 ? "#" : ".") + "\n";
            text += "};\n";
            break;
        default:
            text += "#define " + name + "_WIDTH 32\n#define " + name + "_HEIGHT 16\n";
            text += "const unsigned char " + name + "_bmp[] = {\n";
            for (int b = 0; b < 64; ++b)
                text +=
                    std::string(b % 16 == 0 ? "    " : " ") + "0x3c," + (b % 16 == 15 ? "\n" : "");
            text += "};\n";
            break;
        }
        // Code and comments that hold no sprite.
        const std::size_t target = static_cast<std::size_t>(k + 1) * fillerPerArray;
        while (text.size() < target)
            text += "/* Frame timing for the animation loop. */\nstatic int step_" +
                    std::to_string(text.size()) + "(int t) { return t * 3 + 1; }\n";
    }
    return text + "\n#endif\n";
}

const std::string& Header() {
    static const std::string header = MakeHeader();
    return header;
}

void BM_OpenSourceFile(benchmark::State& state) {
    const std::string& text = Header();
    std::size_t arrays = 0;
    for (auto _ : state) {
        const SourceFileReading reading = ReadSourceFile(text);
        arrays = reading.arrays.size();
        benchmark::DoNotOptimize(reading.arrays.data());
    }
    if (arrays != kArrays)
        state.SkipWithError("the header did not list every array");
    state.SetLabel(std::to_string(text.size() / 1024) + " KiB, " + std::to_string(arrays) +
                   " arrays");
}

// One pixel changed in the middle array: the edits and the new text.
void BM_SaveSourceArray(benchmark::State& state) {
    const std::string& text = Header();
    const SourceFileReading reading = ReadSourceFile(text);
    const SourceArray& array = reading.arrays[reading.arrays.size() / 2];
    SpriteReading sprite = array.readings.front();
    sprite.pixels[3] ^= 1u;
    for (auto _ : state) {
        const SourceRewrite rewrite = RewriteArray(text, array, 0, sprite);
        std::string written = ApplyEdits(text, rewrite.edits);
        benchmark::DoNotOptimize(written.data());
    }
}

// The same save through the document, which also keeps its listing in step
// with the new text: one pixel of the middle array set and cleared in turn.
void BM_StoreSourceArray(benchmark::State& state) {
    CSourceFile file;
    if (file.Load(Header())) {
        state.SkipWithError("the header did not open");
        return;
    }
    const std::size_t index = file.Arrays().size() / 2;
    SpriteReading sprite = file.Arrays()[index].readings.front();
    for (auto _ : state) {
        sprite.pixels[3] ^= 1u;
        if (file.Store(index, 0, sprite))
            state.SkipWithError("the sprite was not stored");
        benchmark::DoNotOptimize(file.Text().data());
    }
}

BENCHMARK(BM_OpenSourceFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveSourceArray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreSourceArray)->Unit(benchmark::kMillisecond);

} // namespace
