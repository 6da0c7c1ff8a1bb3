#include "Text.h"

#include <algorithm>
#include <iterator>
#include <utility>

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

QKeySequence KeySequenceOf(const QString& keys) {
    // The toolkit reads a name by trying every key name it knows, which
    // costs a visible share of the start-up for a table of shortcuts. The
    // names the tables use, modifiers spelled as it spells them, a capital
    // letter, a digit or an arrow, are read here; it reads anything else.
    static constexpr std::pair<QStringView, Qt::KeyboardModifier> kModifiers[] = {
        {u"Ctrl", Qt::ControlModifier},
        {u"Shift", Qt::ShiftModifier},
        {u"Alt", Qt::AltModifier},
        {u"Meta", Qt::MetaModifier}};
    static constexpr std::pair<QStringView, Qt::Key> kArrows[] = {{u"Left", Qt::Key_Left},
                                                                  {u"Right", Qt::Key_Right},
                                                                  {u"Up", Qt::Key_Up},
                                                                  {u"Down", Qt::Key_Down}};
    const auto byToolkit = [&] {
        return QKeySequence::fromString(keys, QKeySequence::PortableText);
    };

    QStringView rest(keys);
    Qt::KeyboardModifiers modifiers;
    for (qsizetype plus = rest.indexOf(u'+'); plus >= 0; plus = rest.indexOf(u'+')) {
        const QStringView name = rest.first(plus);
        const auto* modifier = std::find_if(std::begin(kModifiers), std::end(kModifiers),
                                            [&](const auto& m) { return m.first == name; });
        if (modifier == std::end(kModifiers))
            return byToolkit();
        modifiers |= modifier->second;
        rest = rest.sliced(plus + 1);
    }
    if (rest.size() == 1 &&
        ((rest[0] >= u'A' && rest[0] <= u'Z') || (rest[0] >= u'0' && rest[0] <= u'9')))
        return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(rest[0].unicode())));
    const auto* arrow = std::find_if(std::begin(kArrows), std::end(kArrows),
                                     [&](const auto& a) { return a.first == rest; });
    if (arrow == std::end(kArrows))
        return byToolkit();
    return QKeySequence(QKeyCombination(modifiers, arrow->second));
}

} // namespace platform_detail
