// The source emitter on the smallest and the largest sprite.

#include "SourceEmitter.h"
#include "SpriteRaster.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

// Arguments: width in pixels (8, 16 or 32), height in rows.
void BM_EmitCode(benchmark::State& state) {
    const auto width = static_cast<int>(state.range(0));
    const auto height = static_cast<int>(state.range(1));
    // A pattern with set and clear pixels in every hexadecimal digit.
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (i * 7 + i / 3) % 5 < 2 ? 1u : 0u;

    for (auto _ : state) {
        std::string text = EmitCode(CodeForm{}, "sprite", {width, height, pixels});
        benchmark::DoNotOptimize(text.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(width) + " x " + std::to_string(height));
}

BENCHMARK(BM_EmitCode)->Args({8, 1})->Args({32, 16})->Unit(benchmark::kNanosecond);

} // namespace
