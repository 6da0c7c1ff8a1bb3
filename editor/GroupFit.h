#pragma once

// Fits a dialog template's radio groups to the rows they show. A template
// draws each group box around the radio slots it was laid out for; a group
// that shows more of its slots grows by the slots' spacing for each one, a
// group that shows fewer shrinks, and what lies wholly below the groups
// moves with the lowest box's edge, the dialog's bottom edge with it.

#include "Afx.h"
#include "DlgTemplate.h"

#include <cstddef>
#include <span>
#include <vector>

// The rows one radio group shows, from its first slot down. Rows beyond
// the group's slots cannot show.
struct GroupRows {
    int nFirstID;
    std::size_t nRows;
};

struct GroupFit {
    // Each control's rectangle in dialog units, in template order.
    std::vector<CRect> rects;
    // The client area's height in dialog units; its width stays.
    int cy = 0;
};

// A control's rectangle as the template places it, in dialog units.
CRect TemplateRect(const ControlTemplate& ctl);

// The template laid out for `groups`. A group is the run of radio slots
// from its first, and its box the group box around the first slot; a group
// that has neither is left as it is.
GroupFit FitGroupsToRows(const DialogTemplate& tpl, std::span<const GroupRows> groups);
