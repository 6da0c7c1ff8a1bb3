#include "Text.h"

namespace {

// Blanks that may stand around a number in a field; a single-line field
// holds no other control character.
bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

namespace platform_detail {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

CString ToCString(const QString& text) {
    return CString(text.toUtf8().toStdString());
}

std::optional<int> ParseWholeNumber(const QString& text, int nMin, int nMax) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    if (first == last)
        return std::nullopt;
    // The value is checked against the ceiling digit by digit, so that no run
    // of digits can overflow.
    long long value = 0;
    for (qsizetype i = first; i < last; ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > nMax)
            return std::nullopt;
    }
    if (value < nMin)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace platform_detail
