#pragma once

// The sprite being drawn, in sprite coordinates: its size, its pixels by
// column and row, its name and the history of its changes. It knows nothing
// of how or where it is shown.
//
// Every change is one undo step. A stroke, the cells painted from the press
// of a button to its release, is one step however many cells it paints; any
// other change first ends the stroke in progress, so that a command arriving
// while a button is held neither loses the cells painted before it nor those
// painted after it.

#include "SpriteHistory.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

// A pixel of the sprite by column (from the left) and row (from the top).
// Cells beyond the sprite's edges, negative ones included, name positions a
// line may pass through on its way in.
struct SpriteCell {
    int column = 0;
    int row = 0;
    friend bool operator==(const SpriteCell&, const SpriteCell&) = default;
};

// What asked for a layout: a command (New, a width, a height stepped), or
// the text typed into the height field.
enum class LayoutSource { Command, HeightTyping };

class SpriteDocument {
public:
    // A document 8 x 8 pixels in size, not laid out: no pixels, nothing to
    // undo.
    SpriteDocument() = default;

    int Width() const { return m_state.nWidth; }
    int Height() const { return m_state.nHeight; }
    // Until the first layout there are no pixels and nothing can be painted.
    bool IsLaidOut() const { return m_state.bLaidOut; }
    // Width x height elements, row by row, 0 or 1; none until laid out.
    std::span<const std::uint32_t> Pixels() const { return m_state.pixels; }
    // Whether the cell is one of the laid-out sprite's.
    bool Contains(SpriteCell cell) const;
    // Whether the cell is set; a cell outside the sprite reads as clear.
    bool IsSet(SpriteCell cell) const;
    // The drawing as one history step would keep it.
    const SpriteState& State() const { return m_state; }

    // The name belongs to the sprite but not to the drawing: it has no step.
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }

    // The size of a document not yet laid out, which undoing the first
    // layout gives back. A laid-out document keeps its size, and a size the
    // sprite cannot have is ignored.
    void SetBlankSize(int width, int height);

    // The changes. Each first ends the stroke in progress, then is one step,
    // or none when it changes nothing; each tells whether it recorded one.
    //
    // A blank sprite of the size, laid out. A width other than 8, 16 or 32,
    // or a height outside 1 to 16, changes nothing. Layouts typed into the
    // height field one after another, with nothing else changing the drawing
    // in between, are one step: typing "12" lays out at 1 and then at 12,
    // and one undo gives back the drawing before both. A layout that joins
    // the step before tells whether it changed the drawing.
    bool Layout(int width, int height, LayoutSource source = LayoutSource::Command);
    // The pixels given, laid out at the size; refused, changing nothing, when
    // the size is not one the sprite can have or the pixels do not number
    // width x height.
    bool Replace(int width, int height, std::vector<std::uint32_t> pixels);
    // One cell set or cleared as a step of its own; a cell outside the
    // sprite changes nothing.
    bool SetPixel(SpriteCell cell, bool set);
    // Moves every pixel, wrapping around the edges.
    bool Shift(int dx, int dy);
    bool FlipHorizontal();
    bool FlipVertical();
    bool Invert();

    bool CanUndo() const { return m_history.CanUndo() || StrokeChanged(); }
    // Whether steps wait to be redone. Redo first ends the stroke in
    // progress, and a stroke that changed the drawing forgets them.
    bool CanRedo() const { return m_history.CanRedo(); }
    // Puts back the drawing before the last step (after the last undone
    // one); false when there is none.
    bool Undo();
    bool Redo();

    // Paints one cell as part of the stroke in progress, opening one if the
    // cell changes. A cell outside the sprite is refused (false) and nothing
    // is written.
    bool Paint(SpriteCell cell, bool set);
    // Paints every cell of the sprite on the straight line between two
    // cells, as part of the stroke in progress. Either end may lie outside
    // the sprite: the line runs through the cells beyond its edges too, so a
    // line coming in from outside enters where it would, and only the
    // sprite's cells are painted. Gives those cells, from `from` on. The work
    // is the line's length in cells.
    std::vector<SpriteCell> PaintLine(SpriteCell from, SpriteCell to, bool set);
    // Makes the stroke in progress one step; false when it changed nothing.
    bool EndStroke();

    // The history as a later run takes it back: the steps undo reaches,
    // oldest first, then the drawing as it stands if it is laid out (a
    // stroke in progress counted as a step), at most the history's limit of
    // them, the oldest dropped. Steps waiting to be redone are not kept.
    std::vector<SpriteState> KeptSteps() const;
    // Puts steps kept by an earlier run behind the drawing as it stands, as
    // the whole history: undo goes back into the last of them, then further
    // back. Steps no sprite can have are dropped.
    void RestoreSteps(std::vector<SpriteState> steps);

private:
    // Ends the stroke, then records the drawing as it stood as one step if
    // `change` alters it.
    template <typename Change>
    bool Apply(Change&& change);
    bool StrokeChanged() const { return m_strokeBefore && *m_strokeBefore != m_state; }
    std::size_t IndexOf(SpriteCell cell) const;

    SpriteState m_state{8, 8, {}, false};
    SpriteHistory m_history;
    // The drawing before the stroke in progress, if one is.
    std::optional<SpriteState> m_strokeBefore;
    // Whether the last step recorded is a layout typed into the height field
    // with nothing changed since: the next typed layout joins it.
    bool m_bTypedLayoutStep = false;
    std::string m_name;
};
