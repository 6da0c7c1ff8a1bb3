#include "SpriteDocument.h"

#include "SpriteRaster.h"
#include "SpriteTransform.h"

#include <cstdlib>
#include <utility>

namespace {

bool IsSpriteSize(int width, int height) {
    return (width == 8 || width == 16 || width == 32) && height >= kMinSpriteHeight &&
           height <= kMaxSpriteHeight;
}

} // namespace

bool SpriteDocument::Contains(SpriteCell cell) const {
    return m_state.bLaidOut && cell.column >= 0 && cell.row >= 0 && cell.column < Width() &&
           cell.row < Height();
}

bool SpriteDocument::IsSet(SpriteCell cell) const {
    return Contains(cell) && m_state.pixels[IndexOf(cell)] != 0;
}

std::size_t SpriteDocument::IndexOf(SpriteCell cell) const {
    return static_cast<std::size_t>(cell.row) * static_cast<std::size_t>(Width()) +
           static_cast<std::size_t>(cell.column);
}

void SpriteDocument::SetBlankSize(int width, int height) {
    if (m_state.bLaidOut || !IsSpriteSize(width, height))
        return;
    m_state.nWidth = width;
    m_state.nHeight = height;
}

template <typename Change>
bool SpriteDocument::Apply(Change&& change) {
    EndStroke();
    SpriteState before = m_state;
    change();
    if (before == m_state)
        return false;
    m_history.Record(std::move(before));
    m_bTypedLayoutStep = false;
    return true;
}

bool SpriteDocument::Layout(int width, int height, LayoutSource source) {
    if (!IsSpriteSize(width, height))
        return false;
    SpriteState blank{width, height,
                      std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), 0u),
                      true};
    // Ending the stroke first: a stroke that changed the drawing is a step
    // of its own, which no layout joins.
    EndStroke();
    if (source == LayoutSource::HeightTyping && m_bTypedLayoutStep) {
        // The step recorded by the first of these layouts already holds the
        // drawing before them all.
        const bool bChanged = blank != m_state;
        m_state = std::move(blank);
        return bChanged;
    }
    const bool bRecorded = Apply([&] { m_state = std::move(blank); });
    m_bTypedLayoutStep = bRecorded && source == LayoutSource::HeightTyping;
    return bRecorded;
}

bool SpriteDocument::Replace(int width, int height, std::vector<std::uint32_t> pixels) {
    if (!IsSpriteSize(width, height) ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return false;
    // Any non-zero element counts as set, so the pixels stay 0 or 1.
    for (std::uint32_t& pixel : pixels)
        pixel = pixel != 0 ? 1u : 0u;
    return Apply([&] { m_state = {width, height, std::move(pixels), true}; });
}

bool SpriteDocument::SetPixel(SpriteCell cell, bool set) {
    if (!Contains(cell))
        return false;
    return Apply([&] { m_state.pixels[IndexOf(cell)] = set ? 1u : 0u; });
}

bool SpriteDocument::Shift(int dx, int dy) {
    return Apply([&] { ShiftPixels(m_state.pixels, Width(), Height(), dx, dy); });
}

bool SpriteDocument::FlipHorizontal() {
    return Apply([&] { ::FlipHorizontal(m_state.pixels, Width(), Height()); });
}

bool SpriteDocument::FlipVertical() {
    return Apply([&] { ::FlipVertical(m_state.pixels, Width(), Height()); });
}

bool SpriteDocument::Invert() {
    return Apply([&] { InvertPixels(m_state.pixels, Width(), Height()); });
}

bool SpriteDocument::Undo() {
    EndStroke();
    if (!m_history.CanUndo())
        return false;
    m_state = *m_history.Undo(std::move(m_state));
    m_bTypedLayoutStep = false;
    return true;
}

bool SpriteDocument::Redo() {
    EndStroke();
    if (!m_history.CanRedo())
        return false;
    m_state = *m_history.Redo(std::move(m_state));
    m_bTypedLayoutStep = false;
    return true;
}

std::vector<SpriteState> SpriteDocument::KeptSteps() const {
    std::vector<SpriteState> steps = m_history.UndoSteps();
    if (StrokeChanged())
        steps.push_back(*m_strokeBefore);
    if (m_state.bLaidOut)
        steps.push_back(m_state);
    if (steps.size() > kHistoryStepLimit)
        steps.erase(steps.begin(),
                    steps.begin() + static_cast<std::ptrdiff_t>(steps.size() - kHistoryStepLimit));
    return steps;
}

void SpriteDocument::RestoreSteps(std::vector<SpriteState> steps) {
    // A stroke in progress would otherwise be recorded on top of steps it
    // never followed.
    m_strokeBefore.reset();
    std::erase_if(steps, [](const SpriteState& step) { return !IsSpriteState(step); });
    m_history.SetUndoSteps(std::move(steps));
    m_bTypedLayoutStep = false;
}

bool SpriteDocument::Paint(SpriteCell cell, bool set) {
    if (!Contains(cell))
        return false;
    std::uint32_t& pixel = m_state.pixels[IndexOf(cell)];
    const std::uint32_t value = set ? 1u : 0u;
    if (pixel == value)
        return true;
    if (!m_strokeBefore)
        m_strokeBefore = m_state;
    pixel = value;
    return true;
}

std::vector<SpriteCell> SpriteDocument::PaintLine(SpriteCell from, SpriteCell to, bool set) {
    // Bresenham's line over columns and rows. The differences are taken in
    // 64 bits, so that no pair of ends can overflow them.
    std::vector<SpriteCell> painted;
    const long long dx = std::llabs(static_cast<long long>(to.column) - from.column);
    const long long dy = -std::llabs(static_cast<long long>(to.row) - from.row);
    const int stepColumn = from.column < to.column ? 1 : -1;
    const int stepRow = from.row < to.row ? 1 : -1;
    long long error = dx + dy;
    SpriteCell cell = from;
    for (;;) {
        if (Paint(cell, set))
            painted.push_back(cell);
        if (cell == to)
            return painted;
        const long long twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            cell.column += stepColumn;
        }
        if (twice <= dx) {
            error += dx;
            cell.row += stepRow;
        }
    }
}

bool SpriteDocument::EndStroke() {
    if (!m_strokeBefore)
        return false;
    SpriteState before = std::move(*m_strokeBefore);
    m_strokeBefore.reset();
    if (before == m_state)
        return false;
    m_history.Record(std::move(before));
    m_bTypedLayoutStep = false;
    return true;
}
