#include "ArrayReaderRanking.h"

#include <algorithm>
#include <cstddef>

std::optional<NoiseScore> Noise(const SpriteReading& reading) {
    const auto width = static_cast<std::size_t>(reading.width);
    const auto height = static_cast<std::size_t>(reading.height);
    if (width < 2 || height < 2 || reading.pixels.size() != width * height)
        return std::nullopt;
    // Pairs that touch a set pixel, and those of them that differ, side by
    // side and one above the other.
    std::uint64_t acrossPairs = 0;
    std::uint64_t across = 0;
    std::uint64_t downPairs = 0;
    std::uint64_t down = 0;
    auto count = [](std::uint32_t a, std::uint32_t b, std::uint64_t& pairs, std::uint64_t& differ) {
        pairs += (a | b) != 0 ? 1 : 0;
        differ += a != b ? 1 : 0;
    };
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t pixel = reading.pixels[y * width + x];
            if (x + 1 < width)
                count(pixel, reading.pixels[y * width + x + 1], acrossPairs, across);
            if (y + 1 < height)
                count(pixel, reading.pixels[(y + 1) * width + x], downPairs, down);
        }
    }
    acrossPairs = std::max<std::uint64_t>(acrossPairs, 1);
    downPairs = std::max<std::uint64_t>(downPairs, 1);
    return NoiseScore{across * downPairs + down * acrossPairs, acrossPairs * downPairs};
}

namespace {

// Looks are counted in steps of 5% more noise than the best-looking
// picture of the group: pictures within a step of each other look alike (a
// sprite read two rows to a line often looks nearly as good as itself), so
// they keep the order given, which puts the narrowest first.
constexpr double kLooksStep = 1.05;

// Far enough apart that no two pictures of one group could be told apart by
// more: 1.05 to this power is over 10^21.
constexpr int kMostSteps = 1000;

// The whole steps by which `noise` is noisier than `best`, which is no
// noisier. With no noise at all (every picture blank or full) all look
// alike. Counted by multiplying, which keeps the program clear of the maths
// library (one shared object fewer for every start to search).
int StepsAbove(const NoiseScore& noise, const NoiseScore& best) {
    if (best.numerator == 0)
        return 0;
    const double ratio = static_cast<double>(noise.numerator * best.denominator) /
                         static_cast<double>(best.numerator * noise.denominator);
    int steps = 0;
    for (double bound = kLooksStep; bound <= ratio && steps < kMostSteps; bound *= kLooksStep)
        ++steps;
    return steps;
}

bool LessNoise(const NoiseScore& a, const NoiseScore& b) {
    return a.numerator * b.denominator < b.numerator * a.denominator;
}

} // namespace

void RankReadings(std::vector<RankedReading>& readings) {
    std::stable_sort(
        readings.begin(), readings.end(),
        [](const RankedReading& a, const RankedReading& b) { return a.evidence > b.evidence; });
    for (std::size_t start = 0; start < readings.size();) {
        std::size_t end = start;
        while (end < readings.size() && readings[end].evidence == readings[start].evidence)
            ++end;
        // The places of the pictures whose looks can be told, and the
        // pictures themselves, reordered among those places.
        struct Scored {
            std::size_t place;
            NoiseScore noise;
        };
        std::vector<Scored> scored;
        for (std::size_t k = start; k < end; ++k)
            if (const std::optional<NoiseScore> noise = Noise(readings[k].reading.reading))
                scored.push_back({k, *noise});
        std::vector<Scored> order = scored;
        if (!scored.empty()) {
            const NoiseScore best = std::min_element(scored.begin(), scored.end(),
                                                     [](const Scored& a, const Scored& b) {
                                                         return LessNoise(a.noise, b.noise);
                                                     })
                                        ->noise;
            std::stable_sort(order.begin(), order.end(), [&best](const Scored& a, const Scored& b) {
                return StepsAbove(a.noise, best) < StepsAbove(b.noise, best);
            });
        }
        std::vector<RankedReading> moved;
        moved.reserve(order.size());
        for (const Scored& s : order)
            moved.push_back(std::move(readings[s.place]));
        for (std::size_t k = 0; k < scored.size(); ++k)
            readings[scored[k].place] = std::move(moved[k]);
        start = end;
    }
}
