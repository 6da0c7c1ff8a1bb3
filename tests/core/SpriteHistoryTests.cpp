// Undo must give back exactly the drawing before each change, in order, and
// redo must walk forward again until a new change makes the redone future
// meaningless. The limit bounds memory by dropping the oldest steps only.

#include "HistoryText.h"
#include "SpriteDocument.h"
#include "SpriteHistory.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

// A state told apart from every other by its tag: the height and the pixels
// both carry it, so a step restored with the wrong pixels shows.
SpriteState Tagged(int tag) {
    return SpriteState{8 << ((tag % 3 + 3) % 3), tag,
                       std::vector<std::uint32_t>(8, static_cast<std::uint32_t>(tag)),
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

// ---------------------------------------------------------------------------
// The document's history

// A command that arrives while a button is held first ends the stroke as one
// step; what the button paints afterwards is a new stroke. Each case draws a
// stroke, gives the command, paints on and ends the stroke: undo then walks
// back through the second stroke, the command and the first stroke, and the
// second stroke dropped whatever could have been redone.
struct MidStrokeCase {
    const char* what;
    std::function<bool(SpriteDocument&)> command;
    friend void PrintTo(const MidStrokeCase& c, std::ostream* os) { *os << c.what; }
};

class MidStrokeCommandTest : public testing::TestWithParam<MidStrokeCase> {};

TEST_P(MidStrokeCommandTest, EndsTheStrokeFirstAndThePaintingAfterIsAStrokeOfItsOwn) {
    SpriteDocument doc;
    ASSERT_TRUE(doc.Layout(8, 8));
    ASSERT_TRUE(doc.SetPixel({0, 7}, true));
    const SpriteState beforeStroke = doc.State();
    doc.PaintLine({0, 2}, {5, 2}, true);
    const SpriteState afterStroke = doc.State();
    GetParam().command(doc);
    const SpriteState afterCommand = doc.State();
    doc.PaintLine({0, 5}, {7, 5}, !doc.IsSet({0, 5}));
    EXPECT_TRUE(doc.EndStroke());
    EXPECT_FALSE(doc.CanRedo());

    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.State(), afterCommand);
    // Back through the command and the first stroke to the drawing before it,
    // the first stroke being a step of its own unless the command undid it.
    std::vector<SpriteState> passed;
    while (doc.State() != beforeStroke && doc.Undo())
        passed.push_back(doc.State());
    EXPECT_EQ(doc.State(), beforeStroke);
    if (afterCommand != beforeStroke && afterCommand != afterStroke) {
        ASSERT_FALSE(passed.empty());
        EXPECT_EQ(passed.front(), afterStroke);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MidStrokeCommandTest,
    testing::Values(MidStrokeCase{"undo", [](SpriteDocument& d) { return d.Undo(); }},
                    MidStrokeCase{"redo", [](SpriteDocument& d) { return d.Redo(); }},
                    MidStrokeCase{"layout", [](SpriteDocument& d) { return d.Layout(16, 8); }},
                    MidStrokeCase{"replace",
                                  [](SpriteDocument& d) {
                                      return d.Replace(8, 8, std::vector<std::uint32_t>(64, 1));
                                  }},
                    MidStrokeCase{"set pixel",
                                  [](SpriteDocument& d) {
                                      return d.SetPixel({7, 0}, true);
                                  }},
                    MidStrokeCase{"shift", [](SpriteDocument& d) { return d.Shift(1, 0); }},
                    MidStrokeCase{"flip", [](SpriteDocument& d) { return d.FlipVertical(); }},
                    MidStrokeCase{"invert", [](SpriteDocument& d) { return d.Invert(); }}));

// Sizes the sprite cannot have change nothing and record nothing.
struct LimitCase {
    int width;
    int height;
    bool taken;
    friend void PrintTo(const LimitCase& c, std::ostream* os) {
        *os << c.width << "x" << c.height << (c.taken ? " is taken" : " is refused");
    }
};

class DocumentLimitTest : public testing::TestWithParam<LimitCase> {};

TEST_P(DocumentLimitTest, TakesOnlyTheSpritesSizes) {
    const LimitCase& c = GetParam();
    SpriteDocument doc;
    doc.SetBlankSize(c.width, c.height);
    EXPECT_EQ(doc.Width(), c.taken ? c.width : 8);
    EXPECT_EQ(doc.Height(), c.taken ? c.height : 8);
    const std::size_t count =
        c.width > 0 && c.height > 0 ? static_cast<std::size_t>(c.width) * c.height : 0;
    EXPECT_EQ(doc.Replace(c.width, c.height, std::vector<std::uint32_t>(count, 1)), c.taken);
    EXPECT_EQ(doc.IsLaidOut(), c.taken);
    EXPECT_FALSE(doc.Replace(c.width, c.height, std::vector<std::uint32_t>(count + 1, 1)));
    EXPECT_EQ(doc.Layout(c.width, c.height), c.taken);
    EXPECT_EQ(doc.Pixels().size(), c.taken ? count : 0);
    // Once laid out, the blank size no longer moves.
    doc.SetBlankSize(16, 2);
    EXPECT_EQ(doc.Width(), c.taken ? c.width : 16);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DocumentLimitTest,
                         testing::Values(LimitCase{8, 1, true}, LimitCase{16, 16, true},
                                         LimitCase{32, 16, true}, LimitCase{0, 8, false},
                                         LimitCase{24, 8, false}, LimitCase{64, 8, false},
                                         LimitCase{-8, 8, false}, LimitCase{8, 0, false},
                                         LimitCase{8, 17, false}, LimitCase{32, -1, false}));

// Undo past the first layout gives back the blank document at the size the
// fields stood at, and a new change forgets what could be redone.
TEST(DocumentHistory, UndoPastTheFirstLayoutGivesBackTheBlankSize) {
    SpriteDocument doc;
    doc.SetBlankSize(16, 4);
    ASSERT_TRUE(doc.Layout(8, 8));
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.State(), (SpriteState{16, 4, {}, false}));
    EXPECT_FALSE(doc.Undo());
    ASSERT_TRUE(doc.Redo());
    EXPECT_TRUE(doc.IsLaidOut());
    EXPECT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.Layout(32, 2));
    EXPECT_FALSE(doc.CanRedo());
}

// ---------------------------------------------------------------------------
// The history kept between runs

// An 16 x 2 sprite, an 8 x 8 one not laid out, and the largest one with every
// pixel of its last row and its leftmost column set.
std::vector<SpriteState> KeptExample() {
    std::vector<std::uint32_t> arrow(32, 0);
    for (int column : {0, 1, 14, 15})
        arrow[static_cast<std::size_t>(column)] = 1;
    for (int column : {18, 19, 20, 21, 24})
        arrow[static_cast<std::size_t>(column)] = 1;
    std::vector<std::uint32_t> large(32 * 16, 0);
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = (i >= 32 * 15 || i % 32 == 0) ? 1u : 0u;
    return {{16, 2, arrow, true}, {8, 8, {}, false}, {32, 16, large, true}};
}

TEST(HistoryText, WritesOneLinePerStepAndReadsThemBack) {
    const std::vector<SpriteState> steps = KeptExample();
    const std::string text = WriteHistoryText(steps);
    EXPECT_EQ(text.substr(0, text.find("\n32 16")),
              "glimmet-history 1\nsteps 3\n16 2 1 C003 3C80\n8 8 0");
    EXPECT_EQ(ReadHistoryText(text), steps);
    EXPECT_EQ(ReadHistoryText(WriteHistoryText({})), std::vector<SpriteState>{});
    // A state no sprite has is left out rather than written.
    std::vector<SpriteState> withBad = steps;
    withBad.insert(withBad.begin() + 1, SpriteState{24, 2, std::vector<std::uint32_t>(48), true});
    withBad.push_back(SpriteState{8, 1, {0, 1, 2, 0, 0, 0, 0, 0}, true});
    EXPECT_EQ(WriteHistoryText(withBad), text);
}

// A file that is not whole, not this format or claims more than a history
// holds is not read at all: the next run starts with no history.
struct UnreadCase {
    const char* what;
    std::string text;
    friend void PrintTo(const UnreadCase& c, std::ostream* os) { *os << c.what; }
};

class HistoryTextUnreadTest : public testing::TestWithParam<UnreadCase> {};

TEST_P(HistoryTextUnreadTest, IsNotRead) {
    EXPECT_EQ(ReadHistoryText(GetParam().text, 3), std::nullopt);
}

const std::string kHeader = "glimmet-history 1\n";

INSTANTIATE_TEST_SUITE_P(
    Files, HistoryTextUnreadTest,
    testing::Values(
        UnreadCase{"empty", ""},
        UnreadCase{"foreign: another program's text", "[General]\ncodeStyle=rows\n"},
        UnreadCase{"foreign: binary", std::string("\x89PNG\r\n\x1a\n\0\0", 10)},
        UnreadCase{"foreign: a later version", "glimmet-history 2\nsteps 0\n"},
        UnreadCase{"truncated: no count", kHeader},
        UnreadCase{"truncated: a step missing", kHeader + "steps 2\n8 1 1 FF\n"},
        UnreadCase{"truncated: in a row", kHeader + "steps 1\n8 2 1 FF 0"},
        UnreadCase{"truncated: no last line feed", kHeader + "steps 1\n8 1 1 FF"},
        UnreadCase{"damaged: more after the last step", kHeader + "steps 1\n8 1 1 FF\n8 1 0\n"},
        UnreadCase{"damaged: a width no sprite has", kHeader + "steps 1\n24 1 1 FFFFFF\n"},
        UnreadCase{"damaged: a row too short", kHeader + "steps 1\n16 1 1 FF\n"},
        UnreadCase{"damaged: a row too long", kHeader + "steps 1\n8 1 1 FFF\n"},
        UnreadCase{"damaged: a row too many", kHeader + "steps 1\n8 1 1 FF 00\n"},
        UnreadCase{"damaged: not a hexadecimal digit", kHeader + "steps 1\n8 1 1 FG\n"},
        UnreadCase{"damaged: lower-case digits", kHeader + "steps 1\n8 1 1 ff\n"},
        UnreadCase{"damaged: pixels of a blank grid", kHeader + "steps 1\n8 1 0 FF\n"},
        UnreadCase{"damaged: laid out neither 0 nor 1", kHeader + "steps 1\n8 1 2 FF\n"},
        UnreadCase{"damaged: two blanks", kHeader + "steps 1\n8  1 1 FF\n"},
        UnreadCase{"damaged: a blank at the end", kHeader + "steps 1 \n8 1 1 FF\n"},
        UnreadCase{"damaged: a sign", kHeader + "steps 1\n+8 1 1 FF\n"},
        UnreadCase{"damaged: a negative count", kHeader + "steps -0\n"},
        UnreadCase{"damaged: a leading zero", kHeader + "steps 1\n08 1 1 FF\n"},
        UnreadCase{"damaged: carriage returns", kHeader + "steps 1\r\n8 1 1 FF\r\n"},
        UnreadCase{"oversized: more steps than the limit",
                   kHeader + "steps 4\n8 1 0\n8 1 0\n8 1 0\n8 1 0\n"},
        UnreadCase{"oversized: a count past any limit", kHeader + "steps 99999999999\n"},
        UnreadCase{"oversized: a height past the grid", kHeader + "steps 1\n8 9999 1 FF\n"},
        UnreadCase{"oversized: longer than any history",
                   kHeader + "steps 1\n8 1 1 FF\n" + std::string(kMaxHistoryTextBytes, '\n')}));

// What the document keeps is what undo reaches and the drawing as it stands;
// restored behind a blank document, undo steps back into that drawing first.
TEST(DocumentHistory, KeptStepsComeBackBehindABlankDocument) {
    SpriteDocument first;
    ASSERT_TRUE(first.Layout(8, 2));
    ASSERT_TRUE(first.SetPixel({1, 1}, true));
    ASSERT_TRUE(first.SetPixel({3, 1}, true));
    ASSERT_TRUE(first.Undo());
    first.Paint({2, 1}, true);
    const std::vector<SpriteState> kept = first.KeptSteps();
    ASSERT_EQ(kept.size(), 4u) << "not laid out, laid out, one pixel, the stroke in progress";
    EXPECT_EQ(kept.back(), first.State());
    EXPECT_FALSE(kept.back().pixels[8 + 3]) << "the step to redo is not kept";

    SpriteDocument next;
    next.RestoreSteps(kept);
    EXPECT_FALSE(next.IsLaidOut());
    for (auto step = kept.rbegin(); step != kept.rend(); ++step) {
        ASSERT_TRUE(next.Undo());
        EXPECT_EQ(next.State(), *step);
    }
    EXPECT_FALSE(next.Undo());
    // A blank document adds nothing of its own, and steps no sprite has are
    // dropped.
    SpriteDocument untouched;
    untouched.RestoreSteps({kept[1], SpriteState{8, 2, {1}, true}});
    EXPECT_EQ(untouched.KeptSteps(), std::vector<SpriteState>{kept[1]});
}

} // namespace
