#pragma once

// Splitting C text into tokens, each with the place it was written: its byte
// offset and length in the text, and its 1-based line and column. Blanks,
// comments and preprocessor lines are dropped, so what comes out is the code
// a compiler would see, and the offsets let a caller find each token's span
// in the original text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

enum class TokenKind {
    End,     // no more tokens; empty text at the end of the input
    Word,    // letters, digits, '_' and '$', not starting with a digit
    Number,  // a digit and everything a number could run on into ("0x1G", "1.5")
    Literal, // a string or character literal, quotes included
    Punct,   // any other single character (which may take several bytes)
    Error,   // an unclosed block comment ("/*") or string ("\"") starts here
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view text;  // the token's bytes within the tokenized text
    std::size_t offset = 0; // where `text` starts, in bytes from the start of the text
    int line = 1;           // lines end at "\r\n", "\n" or a lone "\r"
    int column = 1;         // counted in characters, not bytes

    std::size_t Length() const { return text.size(); }
    bool Is(char c) const { return kind == TokenKind::Punct && text.size() == 1 && text[0] == c; }
};

// Reads tokens one at a time. Unicode blanks (see TextBlanks.h) separate
// tokens as spaces do. A backslash before a line break joins the lines, as
// in C; a '#' first on a line starts a directive that runs to the line's
// end. A copy of a tokenizer is a saved position, which is how a caller
// takes back a guess.
class CTokenizer {
public:
    explicit CTokenizer(std::string_view text) : m_strText(text) {}

    // The next token; End at the end of the text and after it. Nothing
    // after an Error token can be trusted, so callers stop at it.
    Token Next();

    // Whether preprocessor directives are read rather than dropped: the '#'
    // that starts one comes as a Punct token, then its tokens, all on the
    // '#' token's line unless a backslash joins lines. Off at the start.
    void KeepDirectives(bool bKeep) { m_bKeepDirectives = bKeep; }

private:
    bool AtEnd() const { return m_nOffset >= m_strText.size(); }
    char Peek(std::size_t ahead = 0) const {
        return m_nOffset + ahead < m_strText.size() ? m_strText[m_nOffset + ahead] : '\0';
    }
    bool IsLineBreak(std::size_t ahead = 0) const;
    bool AtLineSplice() const;
    void Advance();
    void AdvanceBy(std::size_t count);
    bool SkipBlanksAndComments();
    Token ReadToken();
    std::size_t ClosingQuote() const;

    std::string_view m_strText;
    std::size_t m_nOffset = 0;
    int m_nLine = 1;
    int m_nColumn = 1;
    Token m_commentStart; // where the last block comment opened
    bool m_bLineStart = true;
    bool m_bDirective = false;
    bool m_bKeepDirectives = false;
};

// The value of an integer constant as C writes it, for reading sizes and
// values out of declarations.
struct CInteger {
    std::uint64_t value = 0; // at most 2^32: anything larger is held as 2^32
    int digitBits = 0;       // the element size, 8, 16 or 32, that hex or binary digits
                             // suggest by their count; 0 for decimal and octal
};

// Reads a Number token's text: decimal, octal ("017"), hex ("0x1F") or
// binary ("0b101"), with digit separators ("1'000") and integer suffixes
// (u, l, ul, ull, ...). None for anything else, with `problem` then saying
// what is wrong, as words that follow "The number ...": "is not a valid hex
// number", "has no binary digits".
std::optional<CInteger> ReadCInteger(std::string_view text, std::string_view& problem);

// The value of a digit in bases up to 16 ('0' to '9', 'a' to 'f' in either
// case), or -1 for any other character.
int DigitValue(char c);

// Reads `digits` in `base` (up to 16), skipping digit separators, with a
// ceiling of 2^32 so that no run of digits can overflow. False on a
// character that is no digit of the base, or on no digits at all.
bool ReadCDigits(std::string_view digits, int base, std::uint64_t& value);
