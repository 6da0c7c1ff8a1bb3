#pragma once

// Builds a dialog's controls from its template, and finds them again by id
// or by radio group.

#include "Controls.h"

#include <QRect>

#include <cstddef>
#include <span>
#include <vector>

struct ControlTemplate;
struct DialogTemplate;
class QFont;
class QWidget;

namespace platform_detail {

class DialogHost;

// Converts dialog units to client pixels with the fixed base units 6 x 13.
int MapDialogX(int x);
int MapDialogY(int y);
// Each edge is mapped on its own, so that touching controls stay touching.
QRect MapDialogRect(int x, int y, int cx, int cy);

// Makes the template's font, the system's sans-serif at the template's size,
// the application's font. Called before the dialog's first widget is made,
// so that it is the only font the toolkit loads and lays text out in.
void UseTemplateFont(const DialogTemplate& tpl);

class ControlTable {
public:
    struct Entry {
        const ControlTemplate* tpl;
        QWidget* widget; // none for a group box or a static text the dialog paints
    };

    // The controls in template (tab) order.
    const std::vector<Entry>& Entries() const { return m_entries; }
    // The group boxes, in template order, which the dialog paints itself.
    const std::vector<GroupFrame>& Frames() const { return m_frames; }
    // The static texts the program never names, in template order, which the
    // dialog paints itself over its group boxes.
    const std::vector<PaintedText>& Texts() const { return m_texts; }
    // The control with id nID, or null.
    QWidget* Control(int nID) const;
    // The radio group that holds `radio`, in order; empty if it is none.
    std::span<const Entry> RadioGroupOf(const QWidget* radio) const;

private:
    friend ControlTable BuildControls(const DialogTemplate& tpl, DialogHost& host);
    std::vector<Entry> m_entries;
    std::vector<GroupFrame> m_frames;
    std::vector<PaintedText> m_texts;
};

// Makes the template's controls on `host`, in tab order, wired to send their
// notifications through it.
ControlTable BuildControls(const DialogTemplate& tpl, DialogHost& host);

} // namespace platform_detail
