#include "CTokenizer.h"

#include "TextBlanks.h"

#include <algorithm>

namespace {

// The longest character literal looked for, in bytes, quotes included.
constexpr std::size_t kMaxCharLiteral = 12;

constexpr std::uint64_t kMaxHeldValue = std::uint64_t{0xFFFFFFFFu} + 1;

bool IsWordStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWordChar(char c) {
    return IsWordStart(c) || IsDigit(c);
}

// The element size a hex or binary constant's digit count suggests.
int BitsForDigits(std::string_view digits, int bitsPerDigit) {
    const auto bits = static_cast<std::size_t>(bitsPerDigit) *
                      static_cast<std::size_t>(std::count_if(digits.begin(), digits.end(),
                                                             [](char c) { return c != '\''; }));
    return bits <= 8 ? 8 : bits <= 16 ? 16 : 32;
}

} // namespace

int DigitValue(char c) {
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

Token CTokenizer::Next() {
    for (;;) {
        if (!SkipBlanksAndComments())
            return m_commentStart;
        if (AtEnd())
            return {TokenKind::End, m_strText.substr(m_nOffset), m_nOffset, m_nLine, m_nColumn};
        const bool bLineStart = m_bLineStart;
        m_bLineStart = false;
        if (Peek() == '#' && bLineStart) {
            m_bDirective = true;
            if (!m_bKeepDirectives) {
                Advance();
                continue;
            }
        }
        const Token token = ReadToken();
        if (token.kind == TokenKind::Error || !m_bDirective || m_bKeepDirectives)
            return token;
    }
}

bool CTokenizer::IsLineBreak(std::size_t ahead) const {
    return m_nOffset + ahead < m_strText.size() && (Peek(ahead) == '\n' || Peek(ahead) == '\r');
}

bool CTokenizer::AtLineSplice() const {
    return Peek() == '\\' && IsLineBreak(1);
}

// Moves past one byte. "\r\n", "\n" and a lone "\r" each end one line; the
// column counts characters, so the bytes after a UTF-8 lead byte add none.
void CTokenizer::Advance() {
    const char c = Peek();
    ++m_nOffset;
    if (c == '\n' || (c == '\r' && Peek() != '\n')) {
        ++m_nLine;
        m_nColumn = 1;
        m_bLineStart = true;
    } else if (c != '\r' && !IsUtf8Continuation(Peek())) {
        ++m_nColumn;
    }
}

void CTokenizer::AdvanceBy(std::size_t count) {
    for (std::size_t k = 0; k < count && !AtEnd(); ++k)
        Advance();
}

// False on a block comment that is never closed.
bool CTokenizer::SkipBlanksAndComments() {
    while (!AtEnd()) {
        if (AtLineSplice()) {
            AdvanceBy(Peek(1) == '\r' && Peek(2) == '\n' ? 3 : 2);
        } else if (IsCBlank(Peek())) {
            if (IsLineBreak())
                m_bDirective = false;
            Advance();
        } else if (const std::size_t blank = UnicodeBlankBytes(m_strText.substr(m_nOffset))) {
            AdvanceBy(blank);
        } else if (Peek() == '/' && Peek(1) == '/') {
            while (!AtEnd() && !IsLineBreak())
                Advance();
        } else if (Peek() == '/' && Peek(1) == '*') {
            m_commentStart = {TokenKind::Error, m_strText.substr(m_nOffset, 2), m_nOffset, m_nLine,
                              m_nColumn};
            const std::size_t close = m_strText.find("*/", m_nOffset + 2);
            if (close == std::string_view::npos)
                return false;
            AdvanceBy(close + 2 - m_nOffset);
        } else {
            return true;
        }
    }
    return true;
}

Token CTokenizer::ReadToken() {
    Token token{TokenKind::Punct, {}, m_nOffset, m_nLine, m_nColumn};
    const std::size_t start = m_nOffset;
    const char c = Peek();
    if (IsWordStart(c)) {
        token.kind = TokenKind::Word;
        while (!AtEnd() && IsWordChar(Peek()))
            Advance();
    } else if (IsDigit(c)) {
        // Everything a number could be followed by is kept in it, so that
        // "0x1G" or "1.5" is refused whole rather than read in part. A
        // quote between digits separates digit groups.
        token.kind = TokenKind::Number;
        while (!AtEnd() &&
               (IsWordChar(Peek()) || Peek() == '.' || (Peek() == '\'' && IsWordChar(Peek(1)))))
            Advance();
    } else if (c == '"') {
        Advance();
        while (!AtEnd() && Peek() != '"' && !IsLineBreak())
            AdvanceBy(Peek() == '\\' ? 2 : 1);
        if (AtEnd() || Peek() != '"')
            return {TokenKind::Error, m_strText.substr(start, 1), start, token.line, token.column};
        token.kind = TokenKind::Literal;
        Advance();
    } else if (c == '\'' && ClosingQuote() != 0) {
        token.kind = TokenKind::Literal;
        AdvanceBy(ClosingQuote() + 1);
    } else {
        // One character, which may take several bytes.
        Advance();
        while (!AtEnd() && IsUtf8Continuation(Peek()))
            Advance();
    }
    token.text = m_strText.substr(start, m_nOffset - start);
    return token;
}

// How far ahead the quote closing a character literal lies, or 0. An
// apostrophe in prose around the code closes nothing and is read as
// punctuation. Character literals are short, and looking no further keeps a
// line of apostrophes from being searched once for each of them.
std::size_t CTokenizer::ClosingQuote() const {
    for (std::size_t ahead = 1; ahead <= kMaxCharLiteral && !IsLineBreak(ahead); ++ahead) {
        if (Peek(ahead) == '\'')
            return ahead;
        if (Peek(ahead) == '\\')
            ++ahead;
    }
    return 0;
}

bool ReadCDigits(std::string_view digits, int base, std::uint64_t& value) {
    value = 0;
    int count = 0;
    for (const char c : digits) {
        if (c == '\'')
            continue;
        const int digit = DigitValue(c);
        if (digit < 0 || digit >= base)
            return false;
        value = std::min(value * static_cast<std::uint64_t>(base) + static_cast<unsigned>(digit),
                         kMaxHeldValue);
        ++count;
    }
    return count > 0;
}

std::optional<CInteger> ReadCInteger(std::string_view text, std::string_view& problem) {
    // Integer suffixes (u, l, ul, ull, ...) change nothing here.
    while (!text.empty() &&
           (text.back() == 'u' || text.back() == 'U' || text.back() == 'l' || text.back() == 'L'))
        text.remove_suffix(1);
    const char prefix = text.size() > 1 && text[0] == '0' ? text[1] : '\0';
    int base = 10;
    int bitsPerDigit = 0;
    problem = "is not a valid number";
    if (prefix == 'x' || prefix == 'X') {
        base = 16;
        bitsPerDigit = 4;
        text.remove_prefix(2);
        problem = text.empty() ? "has no hex digits" : "is not a valid hex number";
    } else if (prefix == 'b' || prefix == 'B') {
        base = 2;
        bitsPerDigit = 1;
        text.remove_prefix(2);
        problem = text.empty() ? "has no binary digits" : "is not a valid binary number";
    } else if (text.size() > 1 && text[0] == '0') {
        base = 8;
        problem = "is not a valid octal number";
    }
    CInteger number;
    if (!ReadCDigits(text, base, number.value))
        return std::nullopt;
    problem = {};
    number.digitBits = bitsPerDigit > 0 ? BitsForDigits(text, bitsPerDigit) : 0;
    return number;
}
