#pragma once

// The undo history as a small text file, so that the next run can take it
// back. The first line names the format and its version, the second the
// number of steps; then one line per step, oldest first:
//
//   glimmet-history 1
//   steps 2
//   8 8 0
//   16 2 1 C003 3C80
//
// Each step is its width, its height, 1 if laid out (0 if not) and, when
// laid out, one hexadecimal number per row, top row first, width / 4 digits,
// the leftmost pixel in the highest bit. Nothing in a file is trusted: a
// size no sprite has, a count above the limit, a row of the wrong length or
// anything after the last step makes the whole file unreadable.

#include "SpriteHistory.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The largest file ReadHistoryText looks at: a thousand steps of the largest
// sprite take about 150 KiB.
inline constexpr std::size_t kMaxHistoryTextBytes = 1024 * 1024;

// The text of `steps`, each a state IsSpriteState accepts; others are left
// out.
std::string WriteHistoryText(std::span<const SpriteState> steps);

// The steps of a text WriteHistoryText wrote, oldest first; none when the
// text is longer than kMaxHistoryTextBytes, holds more than `maxSteps`
// steps, or is not such a text whole and unchanged. A text it reads is
// exactly the text WriteHistoryText writes for the steps read.
std::optional<std::vector<SpriteState>> ReadHistoryText(std::string_view text,
                                                        std::size_t maxSteps = kHistoryStepLimit);
