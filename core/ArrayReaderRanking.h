#pragma once

// The order in which the array reader offers the readings of a list whose
// layout the text does not settle. Used by ArrayReader.cpp, and by the tests
// that measure the order.

#include "SpriteReadings.h"

#include <cstdint>
#include <optional>
#include <vector>

// A reading offered for a list and the points the text gives it: a stated
// size it has, a layout a drawing call or a name suggests, the shape of a
// two-dimensional array.
struct RankedReading {
    LayoutReading reading;
    int evidence = 0;
};

// How much a picture looks like noise rather than a drawing: of the pairs
// of neighbouring pixels that touch a set pixel, the share that differ side
// by side plus the share that differ one above the other, as the fraction
// numerator / denominator. A drawing's strokes run on into their neighbours
// both ways; a list read at the wrong width splits its rows and joins the
// pieces, so pixels stacked on each other come from unrelated places and
// disagree as often as chance makes them. Pairs of two clear pixels are left
// out, as the blank background that every reading shares would drown the
// difference. The sum is the same for a picture, its mirror images and its
// transpositions, so looks never reorder those. None for a picture of one
// row or one column, whose looks say nothing.
struct NoiseScore {
    std::uint64_t numerator = 0;
    std::uint64_t denominator = 1;
};
std::optional<NoiseScore> Noise(const SpriteReading& reading);

// Orders the readings: most evidence first; among readings of equal
// evidence, those whose pictures look clearly less like noise (by 5% or
// more) move ahead, taking the places such readings hold (a
// picture whose looks say nothing keeps its place); everything else keeps
// the order given. The right reading is
// never dropped: the order changes, the set does not.
void RankReadings(std::vector<RankedReading>& readings);
