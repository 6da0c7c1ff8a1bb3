// Undo must give back exactly the drawing before each change, in order, and
// redo must walk forward again until a new change makes the redone future
// meaningless. The limit bounds memory by dropping the oldest steps only.

#include "SpriteHistory.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

namespace {

// A state told apart from every other by its tag: the height and the pixels
// both carry it, so a step restored with the wrong pixels shows.
SpriteState Tagged(int tag) {
    return SpriteState{tag % 3, tag, std::vector<std::uint32_t>(8, static_cast<std::uint32_t>(tag)),
                       tag % 2 == 0};
}

// One call on the history: Record the tagged state, or Undo / Redo with the
// tagged state as the current one, expecting the tag `restores` (none: -1).
struct Step {
    enum { Record, Undo, Redo, Clear } op;
    int tag = 0;
    int restores = -1;
};

struct ScriptCase {
    const char* what;
    std::size_t limit;
    std::vector<Step> steps;
    bool canUndo;
    bool canRedo;
    friend void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.what; }
};

class SpriteHistoryTest : public testing::TestWithParam<ScriptCase> {};

TEST_P(SpriteHistoryTest, RestoresTheStatesInOrder) {
    const ScriptCase& c = GetParam();
    SpriteHistory history(c.limit);
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        const Step& step = c.steps[i];
        SCOPED_TRACE(testing::Message() << "step " << i);
        std::optional<SpriteState> restored;
        switch (step.op) {
        case Step::Record:
            history.Record(Tagged(step.tag));
            continue;
        case Step::Clear:
            history.Clear();
            continue;
        case Step::Undo:
            restored = history.Undo(Tagged(step.tag));
            break;
        case Step::Redo:
            restored = history.Redo(Tagged(step.tag));
            break;
        }
        if (step.restores < 0)
            EXPECT_EQ(restored, std::nullopt);
        else
            EXPECT_EQ(restored, Tagged(step.restores));
    }
    EXPECT_EQ(history.CanUndo(), c.canUndo);
    EXPECT_EQ(history.CanRedo(), c.canRedo);
}

constexpr auto R = Step::Record;
constexpr auto U = Step::Undo;
constexpr auto D = Step::Redo;
constexpr auto C = Step::Clear;

INSTANTIATE_TEST_SUITE_P(
    Scripts, SpriteHistoryTest,
    testing::Values(
        ScriptCase{"nothing recorded", 1000, {{U, 1, -1}, {D, 1, -1}}, false, false},
        ScriptCase{"undo all, redo all",
                   1000,
                   {{R, 1}, {R, 2}, {U, 3, 2}, {U, 2, 1}, {U, 1, -1}, {D, 1, 2}, {D, 2, 3}},
                   true,
                   false},
        ScriptCase{"a new change forgets the redo steps",
                   1000,
                   {{R, 1}, {R, 2}, {U, 3, 2}, {R, 4}, {D, 5, -1}, {U, 5, 4}, {U, 4, 1}},
                   false,
                   true},
        ScriptCase{"the oldest steps go beyond the limit",
                   2,
                   {{R, 1}, {R, 2}, {R, 3}, {U, 4, 3}, {U, 3, 2}, {U, 2, -1}},
                   false,
                   true},
        ScriptCase{"undo and redo stay within the limit",
                   2,
                   {{R, 1}, {R, 2}, {U, 3, 2}, {U, 2, 1}, {D, 1, 2}, {D, 2, 3}, {U, 3, 2}},
                   true,
                   true},
        ScriptCase{"a limit of zero keeps nothing", 0, {{R, 1}, {U, 2, -1}}, false, false},
        ScriptCase{"clear forgets both ways",
                   1000,
                   {{R, 1}, {R, 2}, {U, 3, 2}, {C}, {U, 3, -1}, {D, 3, -1}},
                   false,
                   false}));

TEST(SpriteHistoryLimit, KeepsAThousandStepsByDefault) {
    SpriteHistory history;
    for (int tag = 0; tag <= 1000; ++tag)
        history.Record(Tagged(tag));
    int undone = 0;
    std::optional<SpriteState> restored;
    while ((restored = history.Undo(Tagged(-1))))
        ++undone;
    EXPECT_EQ(undone, 1000);
}

} // namespace
