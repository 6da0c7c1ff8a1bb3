#include "Text.h"

#include "NumberText.h"

namespace platform_detail {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

CString ToCString(const QString& text) {
    return CString(text.toUtf8().toStdString());
}

std::optional<int> ParseWholeNumber(const QString& text, int nMin, int nMax) {
    const QByteArray utf8 = text.toUtf8();
    return ::ParseWholeNumber(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), nMin, nMax);
}

} // namespace platform_detail
