#pragma once

// Undo and redo of changes to the drawing. Each step is the whole sprite as it
// stood before one change: at most 32 x 16 pixels, so a plain copy per step is
// cheaper to reason about than a diff and small enough to keep a thousand.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

// Everything a change to the drawing can alter: the width and height in
// pixels, the pixels (row-major, 0 or 1) and whether the sprite has been laid
// out yet.
struct SpriteState {
    std::int32_t nWidth = 0;
    std::int32_t nHeight = 0;
    std::vector<std::uint32_t> pixels;
    bool bLaidOut = false;
    friend bool operator==(const SpriteState&, const SpriteState&) = default;
};

// Whether a sprite can be in the state: 8, 16 or 32 pixels wide and 1 to 16
// high, with width x height pixels of 0 or 1 once laid out and none before.
bool IsSpriteState(const SpriteState& state);

// How many steps a history keeps unless told otherwise.
inline constexpr std::size_t kHistoryStepLimit = 1000;

class SpriteHistory {
public:
    // Keeps at most `nLimit` steps, undo and redo together.
    explicit SpriteHistory(std::size_t nLimit = kHistoryStepLimit);

    // Records `before`, the state just before a change, as one step, and
    // forgets the steps that could be redone. Beyond the limit the oldest
    // step is dropped.
    void Record(SpriteState before);

    bool CanUndo() const;
    bool CanRedo() const;

    // The state to restore, keeping `current` as the step that takes it back.
    // With nothing to undo (or redo) the result is none and `current` is not
    // kept, so a caller that moves its only copy in checks CanUndo first.
    std::optional<SpriteState> Undo(SpriteState current);
    std::optional<SpriteState> Redo(SpriteState current);

    void Clear();

    // The steps undo reaches, oldest first.
    std::vector<SpriteState> UndoSteps() const;
    // Makes `steps` (oldest first) the steps to undo, replacing the whole
    // history; beyond the limit the oldest are dropped.
    void SetUndoSteps(std::vector<SpriteState> steps);

private:
    using Steps = std::deque<SpriteState>;

    static std::optional<SpriteState> TakeStep(Steps& from, Steps& to, SpriteState current);

    std::size_t m_nLimit;
    Steps m_undo;
    Steps m_redo;
};
