#include "ArrayReaderPython.h"

#include "CTokenizer.h"
#include "TextBlanks.h"

#include <algorithm>
#include <cstddef>

namespace {

// As many values as the largest sprite, 32 x 16, takes in bytes.
constexpr std::size_t kMaxBytes = 64;
// Tokens longer than this are shown cut short in messages.
constexpr std::size_t kMaxShownToken = 40;
// The arguments of a FrameBuffer call looked at: buffer, width, height and
// the format written as framebuf.FORMAT.
constexpr int kFrameBufferTokens = 9;

enum class PyKind { End, Word, Number, Bytes, Text, Punct, Error };

struct PyToken {
    PyKind kind = PyKind::End;
    std::string_view text;
    int line = 1;
    int column = 1;
    std::size_t offset = 0;
    bool Is(char c) const { return kind == PyKind::Punct && text.size() == 1 && text[0] == c; }
    bool IsWord(std::string_view word) const { return kind == PyKind::Word && text == word; }
};

bool IsWordStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsStringPrefix(char c) {
    return std::string_view("bBrRuUfF").find(c) != std::string_view::npos;
}

// Python's tokens, as far as a bytes value and a FrameBuffer call need them:
// names, numbers, string literals with their prefixes (triple-quoted ones
// too), and single characters. Comments run from '#' to the line's end. A
// copy is a saved position.
class CPythonTokens {
public:
    explicit CPythonTokens(std::string_view text) : m_strText(text) {}

    PyToken Next() {
        SkipBlanks();
        PyToken token{PyKind::Punct, {}, m_nLine, m_nColumn, m_nOffset};
        const std::size_t start = m_nOffset;
        if (AtEnd())
            return {PyKind::End, {}, m_nLine, m_nColumn, m_nOffset};
        std::size_t prefix = 0;
        while (prefix < 2 && IsStringPrefix(Peek(prefix)))
            ++prefix;
        if (Peek(prefix) == '\'' || Peek(prefix) == '"') {
            const std::string_view letters = m_strText.substr(m_nOffset, prefix);
            token.kind = letters.find_first_of("bB") != std::string_view::npos ? PyKind::Bytes
                                                                               : PyKind::Text;
            AdvanceBy(prefix);
            if (!ReadString())
                return {PyKind::Error, m_strText.substr(start, prefix + 1), token.line,
                        token.column, start};
        } else if (IsWordStart(Peek())) {
            token.kind = PyKind::Word;
            while (!AtEnd() && (IsWordStart(Peek()) || IsDigit(Peek())))
                Advance();
        } else if (IsDigit(Peek())) {
            token.kind = PyKind::Number;
            while (!AtEnd() && (IsWordStart(Peek()) || IsDigit(Peek()) || Peek() == '.'))
                Advance();
        } else {
            Advance();
            while (!AtEnd() && IsUtf8Continuation(Peek()))
                Advance();
        }
        token.text = m_strText.substr(start, m_nOffset - start);
        return token;
    }

private:
    bool AtEnd() const { return m_nOffset >= m_strText.size(); }
    char Peek(std::size_t ahead = 0) const {
        return m_nOffset + ahead < m_strText.size() ? m_strText[m_nOffset + ahead] : '\0';
    }
    bool AtLineBreak() const { return !AtEnd() && (Peek() == '\n' || Peek() == '\r'); }

    void Advance() {
        const char c = Peek();
        ++m_nOffset;
        if (c == '\n' || (c == '\r' && Peek() != '\n')) {
            ++m_nLine;
            m_nColumn = 1;
        } else if (c != '\r' && !IsUtf8Continuation(Peek())) {
            ++m_nColumn;
        }
    }
    void AdvanceBy(std::size_t count) {
        for (std::size_t k = 0; k < count && !AtEnd(); ++k)
            Advance();
    }

    void SkipBlanks() {
        while (!AtEnd()) {
            if (IsCBlank(Peek())) {
                Advance();
            } else if (const std::size_t blank = UnicodeBlankBytes(m_strText.substr(m_nOffset))) {
                AdvanceBy(blank);
            } else if (Peek() == '\\' && (Peek(1) == '\n' || Peek(1) == '\r')) {
                Advance();
            } else if (Peek() == '#') {
                while (!AtEnd() && !AtLineBreak())
                    Advance();
            } else {
                return;
            }
        }
    }

    // Moves past a string literal from its opening quote; false if it is
    // never closed (a single-quoted one by the end of its line).
    bool ReadString() {
        const char quote = Peek();
        const bool bTriple = Peek(1) == quote && Peek(2) == quote;
        AdvanceBy(bTriple ? 3 : 1);
        while (!AtEnd()) {
            if (Peek() == '\\') {
                Advance();
                if (Peek() == '\r' && Peek(1) == '\n')
                    Advance();
                Advance();
            } else if (Peek() == quote && (!bTriple || (Peek(1) == quote && Peek(2) == quote))) {
                AdvanceBy(bTriple ? 3 : 1);
                return true;
            } else if (AtLineBreak() && !bTriple) {
                return false;
            } else {
                Advance();
            }
        }
        return false;
    }

    std::string_view m_strText;
    std::size_t m_nOffset = 0;
    int m_nLine = 1;
    int m_nColumn = 1;
};

ArrayReadError MakeError(std::string message, const PyToken& token) {
    std::string shown(token.text.substr(0, kMaxShownToken));
    if (token.text.size() > kMaxShownToken)
        shown += "...";
    return {std::move(message), shown, token.line, token.column};
}

std::string TooManyMessage() {
    return "The bytes hold more than 64 values; the largest sprite, 32 x 16, takes 64 bytes.";
}

// Appends the bytes a bytes literal stands for, as Python reads its
// escapes: \xNN, one to three octal digits, the letters of control
// characters, quotes and backslashes, a backslash joining lines, and any
// other backslash kept as it stands. Raw literals keep every backslash.
std::optional<ArrayReadError> AppendLiteral(const PyToken& token,
                                            std::vector<std::uint32_t>& bytes) {
    std::string_view body = token.text;
    bool bRaw = false;
    while (!body.empty() && IsStringPrefix(body.front())) {
        bRaw = bRaw || body.front() == 'r' || body.front() == 'R';
        body.remove_prefix(1);
    }
    const std::size_t quotes = body.size() >= 6 && body[1] == body[0] && body[2] == body[0] ? 3 : 1;
    body = body.substr(quotes, body.size() - 2 * quotes);
    auto push = [&bytes, &token](std::uint32_t byte) -> std::optional<ArrayReadError> {
        if (bytes.size() == kMaxBytes)
            return MakeError(TooManyMessage(), token);
        bytes.push_back(byte);
        return std::nullopt;
    };
    for (std::size_t at = 0; at < body.size();) {
        const auto c = static_cast<unsigned char>(body[at]);
        if (c >= 0x80)
            return MakeError("A bytes literal holds only ASCII characters.", token);
        if (c != '\\' || bRaw || at + 1 == body.size()) {
            if (auto error = push(c))
                return error;
            ++at;
            continue;
        }
        const char e = body[at + 1];
        static constexpr std::string_view kLetters = "abfnrtv";
        static constexpr unsigned char kControls[] = {7, 8, 12, 10, 13, 9, 11};
        std::optional<ArrayReadError> error;
        if (e == '\n' || e == '\r') {
            at += e == '\r' && at + 2 < body.size() && body[at + 2] == '\n' ? 3 : 2;
            continue;
        } else if (e == 'x') {
            const int high = at + 2 < body.size() ? DigitValue(body[at + 2]) : -1;
            const int low = at + 3 < body.size() ? DigitValue(body[at + 3]) : -1;
            if (high < 0 || low < 0)
                return MakeError("A bytes literal holds a \\x escape without two hex digits.",
                                 token);
            error = push(static_cast<std::uint32_t>(high * 16 + low));
            at += 4;
        } else if (e >= '0' && e <= '7') {
            std::uint32_t value = 0;
            std::size_t digits = 0;
            while (digits < 3 && at + 1 + digits < body.size() && body[at + 1 + digits] >= '0' &&
                   body[at + 1 + digits] <= '7')
                value = value * 8 + static_cast<std::uint32_t>(body[at + 1 + digits++] - '0');
            if (value > 0xFF)
                return MakeError("A bytes literal holds an octal escape above \\377.", token);
            error = push(value);
            at += 1 + digits;
        } else if (const std::size_t letter = kLetters.find(e); letter != std::string_view::npos) {
            error = push(kControls[letter]);
            at += 2;
        } else if (e == '\\' || e == '\'' || e == '"') {
            error = push(static_cast<unsigned char>(e));
            at += 2;
        } else {
            error = push('\\');
            ++at;
        }
        if (error)
            return error;
    }
    return std::nullopt;
}

// A Python integer: decimal, 0x, 0o or 0b, with '_' between digits.
std::optional<std::uint64_t> ReadPythonInteger(std::string_view text) {
    std::string digits;
    for (const char c : text)
        if (c != '_')
            digits += c;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0') {
        const char prefix = digits[1];
        base = prefix == 'x' || prefix == 'X'   ? 16
               : prefix == 'o' || prefix == 'O' ? 8
               : prefix == 'b' || prefix == 'B' ? 2
                                                : 0;
        digits.erase(0, 2);
    } else if (digits.size() > 1 && digits[0] == '0') {
        base = 0;
    }
    std::uint64_t value = 0;
    if (base == 0 || !ReadCDigits(digits, base, value))
        return std::nullopt;
    return value;
}

// Reads a list of integers from after its '[' to its ']'.
std::optional<ArrayReadError> ReadIntegerList(CPythonTokens& tokens,
                                              std::vector<std::uint32_t>& bytes) {
    bool bExpectValue = true;
    for (PyToken token = tokens.Next();; token = tokens.Next()) {
        if (token.Is(']'))
            return std::nullopt;
        if (token.kind == PyKind::End || token.kind == PyKind::Error)
            return MakeError("The list opened here is never closed.", token);
        if (token.Is(',') && !bExpectValue) {
            bExpectValue = true;
            continue;
        }
        if (!bExpectValue || token.kind != PyKind::Number)
            return MakeError("Expected a byte value, found \"" + std::string(token.text) + "\".",
                             token);
        const std::optional<std::uint64_t> value = ReadPythonInteger(token.text);
        if (!value)
            return MakeError("The number \"" + std::string(token.text) + "\" is not valid.", token);
        if (*value > 0xFF)
            return MakeError("The value " + std::string(token.text) + " is too big for a byte.",
                             token);
        if (bytes.size() == kMaxBytes)
            return MakeError(TooManyMessage(), token);
        bytes.push_back(static_cast<std::uint32_t>(*value));
        bExpectValue = false;
    }
}

// Reads the value after "name =" if it is bytes: a bytes literal (adjacent
// ones joined), or bytearray(...) or bytes(...) of literals or of a list.
// None when the value is something else; the bytes or an error otherwise.
std::optional<PythonBytes> ReadBytesValue(CPythonTokens tokens) {
    PythonBytes result;
    PyToken token = tokens.Next();
    bool bCall = false;
    if (token.IsWord("bytearray") || token.IsWord("bytes")) {
        if (!tokens.Next().Is('('))
            return std::nullopt;
        bCall = true;
        token = tokens.Next();
    }
    const PyToken first = token;
    result.at = MakeError({}, first);
    if (token.kind == PyKind::Error) {
        result.error = MakeError("The string opened here is never closed.", token);
        return result;
    }
    if (bCall && token.Is('[')) {
        result.error = ReadIntegerList(tokens, result.values);
    } else if (token.kind == PyKind::Bytes) {
        for (; token.kind == PyKind::Bytes; token = tokens.Next()) {
            if ((result.error = AppendLiteral(token, result.values)))
                return result;
        }
        if (token.kind == PyKind::Error) {
            result.error = MakeError("The string opened here is never closed.", token);
            return result;
        }
    } else {
        return std::nullopt;
    }
    if (!result.error && result.values.empty())
        result.error = MakeError("The bytes are empty.", first);
    return result;
}

// The FrameBuffer made over `name`, if the text makes one: its width,
// height and the layout of its format.
void ReadFrameBuffer(std::string_view text, PythonBytes& bytes) {
    CPythonTokens tokens(text);
    for (PyToken token = tokens.Next(); token.kind != PyKind::End && token.kind != PyKind::Error;
         token = tokens.Next()) {
        if (!token.IsWord("FrameBuffer"))
            continue;
        CPythonTokens ahead = tokens;
        PyToken args[kFrameBufferTokens];
        for (PyToken& arg : args)
            arg = ahead.Next();
        if (!args[0].Is('(') || !args[1].IsWord(bytes.name) || !args[2].Is(',') ||
            args[3].kind != PyKind::Number || !args[4].Is(',') || args[5].kind != PyKind::Number ||
            !args[6].Is(','))
            continue;
        PyToken format = args[7];
        if (format.IsWord("framebuf") && args[8].Is('.'))
            format = ahead.Next();
        if (format.kind != PyKind::Word)
            continue;
        const std::string_view name = format.text == "MVLSB" ? "MONO_VLSB" : format.text;
        const std::optional<std::uint64_t> width = ReadPythonInteger(args[3].text);
        const std::optional<std::uint64_t> height = ReadPythonInteger(args[5].text);
        for (const LayoutForm& layout : Layouts()) {
            if (!layout.frameBufferFormat.empty() && layout.frameBufferFormat == name && width &&
                height && *width <= 0xFFFF && *height <= 0xFFFF) {
                bytes.frameWidth = static_cast<int>(*width);
                bytes.frameHeight = static_cast<int>(*height);
                bytes.frameLayout = &layout;
                return;
            }
        }
    }
}

} // namespace

std::optional<PythonBytes> ReadPythonBytes(std::string_view text) {
    CPythonTokens tokens(text);
    std::optional<PythonBytes> found;
    PyToken before;
    PyToken previous;
    for (PyToken token = tokens.Next(); token.kind != PyKind::End && token.kind != PyKind::Error;
         token = tokens.Next()) {
        const bool bAssigned = token.Is('=') && previous.kind == PyKind::Word;
        before = previous;
        previous = token;
        if (!bAssigned)
            continue;
        std::optional<PythonBytes> value = ReadBytesValue(tokens);
        if (!value)
            continue;
        if (found) {
            ++found->arrays;
            continue;
        }
        found = std::move(value);
        found->name = before.text;
        found->offset = before.offset;
        if (found->error)
            return found;
    }
    if (found)
        ReadFrameBuffer(text, *found);
    return found;
}
