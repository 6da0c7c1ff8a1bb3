#include "GroupFit.h"

#include <algorithm>

namespace {

bool IsRadio(const ControlTemplate& ctl) {
    return ctl.kind == ControlKind::AutoRadioButton;
}

bool Contains(const CRect& outer, int x, int y) {
    return x >= outer.left && x < outer.right && y >= outer.top && y < outer.bottom;
}

} // namespace

CRect TemplateRect(const ControlTemplate& ctl) {
    return CRect(ctl.x, ctl.y, ctl.x + ctl.cx, ctl.y + ctl.cy);
}

GroupFit FitGroupsToRows(const DialogTemplate& tpl, std::span<const GroupRows> groups) {
    const std::span<const ControlTemplate> controls = tpl.controls;
    GroupFit fit;
    for (const ControlTemplate& ctl : controls)
        fit.rects.push_back(TemplateRect(ctl));
    // The controls of the fitted groups stay where they are: their boxes
    // change height, their slots keep their places.
    std::vector<bool> inGroup(controls.size(), false);
    int oldBottom = 0;
    int newBottom = 0;
    for (const GroupRows& group : groups) {
        const auto first =
            std::find_if(controls.begin(), controls.end(),
                         [&](const ControlTemplate& c) { return c.id == group.nFirstID; });
        if (first == controls.end() || !IsRadio(*first))
            continue;
        const auto end = std::find_if(first + 1, controls.end(), [](const ControlTemplate& c) {
            return !IsRadio(c) || (c.style & WS_GROUP);
        });
        const auto box = std::find_if(controls.begin(), controls.end(), [&](const auto& c) {
            return c.kind == ControlKind::GroupBox && Contains(TemplateRect(c), first->x, first->y);
        });
        if (box == controls.end())
            continue;
        CRect& frame = fit.rects[static_cast<std::size_t>(box - controls.begin())];
        const int slots = static_cast<int>(end - first);
        const int pitch = slots > 1 ? first[1].y - first->y : first->cy;
        // The rows the box was drawn for: the slots that lie inside it.
        const int framed = static_cast<int>(std::count_if(
            first, end, [&](const ControlTemplate& c) { return c.y + c.cy <= frame.bottom; }));
        const int shown = static_cast<int>(std::min(group.nRows, static_cast<std::size_t>(slots)));
        oldBottom = std::max(oldBottom, frame.bottom);
        frame.bottom += (shown - framed) * pitch;
        newBottom = std::max(newBottom, frame.bottom);
        inGroup[static_cast<std::size_t>(box - controls.begin())] = true;
        for (auto slot = first; slot != end; ++slot)
            inGroup[static_cast<std::size_t>(slot - controls.begin())] = true;
    }
    const int shift = newBottom - oldBottom;
    fit.cy = tpl.cy + shift;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        CRect& rect = fit.rects[i];
        if (inGroup[i] || rect.top < oldBottom)
            continue;
        rect.top += shift;
        rect.bottom += shift;
    }
    return fit;
}
