#include "SpriteHistory.h"

#include <utility>

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

std::optional<SpriteState> SpriteHistory::TakeStep(Steps& from, Steps& to, SpriteState current) {
    if (from.empty())
        return std::nullopt;
    SpriteState restored = std::move(from.back());
    from.pop_back();
    to.push_back(std::move(current));
    return restored;
}
