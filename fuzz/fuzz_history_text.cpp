// Feeds the reader of the kept history any bytes. Whatever it accepts must be
// steps a sprite can have, no more of them than the limit, and exactly what
// the writer writes for those steps, so that nothing in a file it trusts can
// differ from what the program itself would keep.

#include "HistoryText.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A small limit, so that inputs a fuzzer reaches can meet it.
    constexpr std::size_t kLimit = 4;
    const auto steps = ReadHistoryText(text, kLimit);
    if (!steps)
        return 0;
    if (steps->size() > kLimit) {
        std::fprintf(stderr, "%zu steps read past a limit of %zu\n", steps->size(), kLimit);
        std::abort();
    }
    for (const SpriteState& step : *steps) {
        if (!IsSpriteState(step)) {
            std::fprintf(stderr, "a step of %d x %d no sprite can have was read\n", step.nWidth,
                         step.nHeight);
            std::abort();
        }
    }
    if (WriteHistoryText(*steps) != text) {
        std::fprintf(stderr, "the text read is not the text written for its steps\n");
        std::abort();
    }
    return 0;
}
