#include "SpriteHistory.h"

#include "SpriteRaster.h"

#include <algorithm>
#include <utility>

bool IsSpriteState(const SpriteState& state) {
    const bool bSize = (state.nWidth == 8 || state.nWidth == 16 || state.nWidth == 32) &&
                       state.nHeight >= kMinSpriteHeight && state.nHeight <= kMaxSpriteHeight;
    if (!bSize)
        return false;
    if (!state.bLaidOut)
        return state.pixels.empty();
    return state.pixels.size() ==
               static_cast<std::size_t>(state.nWidth) * static_cast<std::size_t>(state.nHeight) &&
           std::all_of(state.pixels.begin(), state.pixels.end(),
                       [](std::uint32_t pixel) { return pixel <= 1u; });
}

SpriteHistory::SpriteHistory(std::size_t nLimit) : m_nLimit(nLimit) {}

void SpriteHistory::Record(SpriteState before) {
    m_redo.clear();
    m_undo.push_back(std::move(before));
    // Undo and Redo only move steps between the two stacks, so bounding them
    // here bounds the whole history.
    while (m_undo.size() > m_nLimit)
        m_undo.pop_front();
}

bool SpriteHistory::CanUndo() const {
    return !m_undo.empty();
}

bool SpriteHistory::CanRedo() const {
    return !m_redo.empty();
}

std::optional<SpriteState> SpriteHistory::Undo(SpriteState current) {
    return TakeStep(m_undo, m_redo, std::move(current));
}

std::optional<SpriteState> SpriteHistory::Redo(SpriteState current) {
    return TakeStep(m_redo, m_undo, std::move(current));
}

void SpriteHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
}

std::vector<SpriteState> SpriteHistory::UndoSteps() const {
    return {m_undo.begin(), m_undo.end()};
}

void SpriteHistory::SetUndoSteps(std::vector<SpriteState> steps) {
    Clear();
    const std::size_t nSkip = steps.size() > m_nLimit ? steps.size() - m_nLimit : 0;
    for (auto it = steps.begin() + static_cast<std::ptrdiff_t>(nSkip); it != steps.end(); ++it)
        m_undo.push_back(std::move(*it));
}

std::optional<SpriteState> SpriteHistory::TakeStep(Steps& from, Steps& to, SpriteState current) {
    if (from.empty())
        return std::nullopt;
    SpriteState restored = std::move(from.back());
    from.pop_back();
    to.push_back(std::move(current));
    return restored;
}
