#pragma once

// Conversions between the program's 8-bit text and the toolkit's. The
// program's text is UTF-8.

#include "Afx.h"

#include <QKeySequence>
#include <QString>

#include <optional>
#include <string_view>

namespace platform_detail {

QString FromUtf8(std::string_view text);
CString ToCString(const QString& text);

// A whole number from nMin to nMax typed in a field, or none.
std::optional<int> ParseWholeNumber(const QString& text, int nMin, int nMax);

// The keys a resource names, in the toolkit's portable form ("Ctrl+Z",
// "Ctrl+Shift+Left"), as the toolkit reads them.
QKeySequence KeySequenceOf(const QString& keys);

} // namespace platform_detail
