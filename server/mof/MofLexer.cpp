#include "MofLexer.h"

#include <cctype>
#include <charconv>
#include <limits>
#include <system_error>

#include <Pegasus/Common/Exception.h>

#include "MofError.h"

namespace cimhost
{

namespace
{

bool isIdentifierStart(unsigned char c)
{
    return std::isalpha(c) || c == '_' || c >= 0x80;
}

bool isIdentifierChar(unsigned char c)
{
    return isIdentifierStart(c) || std::isdigit(c);
}

int hexDigit(unsigned char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

MofLexer::MofLexer(const std::string& text, const std::string& fileName) : _text(text), _fileName(fileName) {}

const MofToken& MofLexer::peek(std::size_t ahead)
{
    while (_ahead.size() <= ahead)
        _ahead.push_back(scan());
    return _ahead[ahead];
}

MofToken MofLexer::next()
{
    peek();
    MofToken token = std::move(_ahead.front());
    _ahead.pop_front();
    return token;
}

void MofLexer::fail(const std::string& message) const
{
    throw MofError(_fileName, _line, message);
}

void MofLexer::skipSpaceAndComments()
{
    while (_pos < _text.size())
    {
        char c = _text[_pos];
        if (c == '\n')
        {
            ++_line;
            ++_pos;
        }
        else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v')
            ++_pos;
        else if (_text.compare(_pos, 2, "//") == 0)
        {
            while (_pos < _text.size() && _text[_pos] != '\n')
                ++_pos;
        }
        else if (_text.compare(_pos, 2, "/*") == 0)
        {
            const int startLine = _line;
            std::size_t end = _text.find("*/", _pos + 2);
            if (end == std::string::npos) throw MofError(_fileName, startLine, "unterminated comment");
            for (std::size_t i = _pos; i < end; ++i)
                if (_text[i] == '\n') ++_line;
            _pos = end + 2;
        }
        else
            return;
    }
}

MofToken MofLexer::scan()
{
    skipSpaceAndComments();
    MofToken token;
    token.line = _line;
    if (_pos >= _text.size()) return token;

    const unsigned char c = static_cast<unsigned char>(_text[_pos]);
    const unsigned char after = _pos + 1 < _text.size() ? static_cast<unsigned char>(_text[_pos + 1]) : 0;
    const unsigned char afterAfter =
        _pos + 2 < _text.size() ? static_cast<unsigned char>(_text[_pos + 2]) : 0;
    if (c == '"') return scanString();
    if (c == '\'') return scanChar16();
    if (std::isdigit(c) || (c == '.' && std::isdigit(after)) ||
        ((c == '+' || c == '-') && (std::isdigit(after) || (after == '.' && std::isdigit(afterAfter)))))
        return scanNumber();
    if (isIdentifierStart(c)) return scanIdentifier();
    if (c == '#')
    {
        std::size_t end = _pos + 1;
        while (end < _text.size() && isIdentifierChar(static_cast<unsigned char>(_text[end])))
            ++end;
        std::string word = _text.substr(_pos + 1, end - _pos - 1);
        for (char& ch : word)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (word != "pragma") fail("expected '#pragma'");
        _pos = end;
        token.kind = MofTokenKind::Pragma;
        token.text = "#pragma";
        return token;
    }
    static const std::string punctuation = "{}()[];,:=$";
    if (punctuation.find(static_cast<char>(c)) != std::string::npos)
    {
        ++_pos;
        token.kind = MofTokenKind::Punct;
        token.text = std::string(1, static_cast<char>(c));
        return token;
    }
    if (std::isprint(c)) fail(std::string("unexpected character '") + static_cast<char>(c) + "'");
    fail("unexpected character (code " + std::to_string(static_cast<unsigned>(c)) + ")");
}

void MofLexer::appendUtf8(Pegasus::String& out, std::size_t from, std::size_t to) const
{
    if (from >= to) return;
    try
    {
        out.append(Pegasus::String(_text.data() + from, static_cast<Pegasus::Uint32>(to - from)));
    }
    catch (const Pegasus::Exception&)
    {
        fail("invalid UTF-8 in literal");
    }
}

void MofLexer::scanEscape(Pegasus::String& out)
{
    if (_pos >= _text.size()) fail("unterminated escape sequence");
    const char c = _text[_pos++];
    switch (c)
    {
    case 'b':
        out.append(Pegasus::Char16('\b'));
        return;
    case 't':
        out.append(Pegasus::Char16('\t'));
        return;
    case 'n':
        out.append(Pegasus::Char16('\n'));
        return;
    case 'f':
        out.append(Pegasus::Char16('\f'));
        return;
    case 'r':
        out.append(Pegasus::Char16('\r'));
        return;
    case '"':
        out.append(Pegasus::Char16('"'));
        return;
    case '\'':
        out.append(Pegasus::Char16('\''));
        return;
    case '\\':
        out.append(Pegasus::Char16('\\'));
        return;
    case 'x':
    case 'X':
    {
        unsigned value = 0;
        int digits = 0;
        while (digits < 4 && _pos < _text.size() && hexDigit(static_cast<unsigned char>(_text[_pos])) >= 0)
        {
            value = value * 16 + static_cast<unsigned>(hexDigit(static_cast<unsigned char>(_text[_pos])));
            ++_pos;
            ++digits;
        }
        if (digits == 0) fail("expected hex digits after '\\x'");
        out.append(Pegasus::Char16(static_cast<Pegasus::Uint16>(value)));
        return;
    }
    default:
        fail(std::string("unknown escape sequence '\\") + c + "'");
    }
}

MofToken MofLexer::scanString()
{
    MofToken token;
    token.kind = MofTokenKind::String;
    token.line = _line;
    ++_pos; // opening quote
    std::size_t run = _pos;
    for (;;)
    {
        if (_pos >= _text.size() || _text[_pos] == '\n') fail("unterminated string literal");
        const char c = _text[_pos];
        if (c == '"')
        {
            appendUtf8(token.value, run, _pos);
            ++_pos;
            return token;
        }
        if (c == '\\')
        {
            appendUtf8(token.value, run, _pos);
            ++_pos;
            scanEscape(token.value);
            run = _pos;
        }
        else if (c == '\0')
            fail("NUL character in string literal");
        else
            ++_pos;
    }
}

MofToken MofLexer::scanChar16()
{
    MofToken token;
    token.kind = MofTokenKind::Char16;
    token.line = _line;
    ++_pos; // opening quote
    if (_pos >= _text.size() || _text[_pos] == '\n' || _text[_pos] == '\'')
        fail("empty or unterminated char16 literal");
    if (_text[_pos] == '\\')
    {
        ++_pos;
        scanEscape(token.value);
    }
    else
    {
        std::size_t end = _pos + 1;
        while (end < _text.size() && (static_cast<unsigned char>(_text[end]) & 0xC0) == 0x80)
            ++end;
        appendUtf8(token.value, _pos, end);
        _pos = end;
    }
    if (token.value.size() != 1) fail("a char16 literal holds one UTF-16 character");
    if (_pos >= _text.size() || _text[_pos] != '\'') fail("expected ' to close the char16 literal");
    ++_pos;
    return token;
}

MofToken MofLexer::scanNumber()
{
    MofToken token;
    token.line = _line;
    const std::size_t start = _pos;
    if (_text[_pos] == '+' || _text[_pos] == '-')
    {
        token.negative = _text[_pos] == '-';
        ++_pos;
    }
    auto digitsWhile = [this](auto accept)
    {
        std::size_t from = _pos;
        while (_pos < _text.size() && accept(static_cast<unsigned char>(_text[_pos])))
            ++_pos;
        return _text.substr(from, _pos - from);
    };
    auto isDecimal = [](unsigned char ch) { return std::isdigit(ch) != 0; };

    std::string digits;
    unsigned base = 10;
    bool real = false;
    if (_text.compare(_pos, 2, "0x") == 0 || _text.compare(_pos, 2, "0X") == 0)
    {
        _pos += 2;
        digits = digitsWhile([](unsigned char ch) { return hexDigit(ch) >= 0; });
        if (digits.empty()) fail("expected hex digits after '0x'");
        base = 16;
    }
    else
    {
        digits = digitsWhile(isDecimal);
        const char following = _pos < _text.size() ? _text[_pos] : '\0';
        const bool exponentFollows =
            (following == 'e' || following == 'E') &&
            (std::isdigit(static_cast<unsigned char>(_pos + 1 < _text.size() ? _text[_pos + 1] : 0)) ||
             ((_pos + 2 < _text.size()) && (_text[_pos + 1] == '+' || _text[_pos + 1] == '-') &&
              std::isdigit(static_cast<unsigned char>(_text[_pos + 2]))));
        if (following == '.')
        {
            ++_pos;
            if (digitsWhile(isDecimal).empty()) fail("expected digits after the decimal point");
            real = true;
        }
        if ((real || exponentFollows) && _pos < _text.size() && (_text[_pos] == 'e' || _text[_pos] == 'E'))
        {
            ++_pos;
            if (_pos < _text.size() && (_text[_pos] == '+' || _text[_pos] == '-')) ++_pos;
            if (digitsWhile(isDecimal).empty()) fail("expected digits in the exponent");
            real = true;
        }
        if (!real && following != '.' && (following == 'b' || following == 'B') &&
            digits.find_first_not_of("01") == std::string::npos)
        {
            ++_pos;
            base = 2;
        }
        else if (!real && digits.size() > 1 && digits[0] == '0')
        {
            if (digits.find_first_not_of("01234567") != std::string::npos)
                fail("invalid octal number '" + digits + "'");
            digits.erase(0, 1);
            base = 8;
        }
    }
    token.text = _text.substr(start, _pos - start);
    if (_pos < _text.size() &&
        (isIdentifierChar(static_cast<unsigned char>(_text[_pos])) || _text[_pos] == '.'))
        fail("malformed number '" + token.text + _text[_pos] + "'");

    if (real)
    {
        token.kind = MofTokenKind::Real;
        const std::size_t unsignedStart = start + ((_text[start] == '+' || _text[start] == '-') ? 1 : 0);
        double value = 0;
        auto result = std::from_chars(_text.data() + unsignedStart, _text.data() + _pos, value);
        if (result.ec != std::errc() || result.ptr != _text.data() + _pos)
            fail("real number out of range '" + token.text + "'");
        token.real = token.negative ? -value : value;
        return token;
    }
    token.kind = MofTokenKind::Integer;
    for (char ch : digits)
    {
        const std::uint64_t digit = static_cast<std::uint64_t>(hexDigit(static_cast<unsigned char>(ch)));
        if (token.magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / base)
            fail("integer out of range '" + token.text + "'");
        token.magnitude = token.magnitude * base + digit;
    }
    if (token.magnitude == 0) token.negative = false;
    return token;
}

MofToken MofLexer::scanIdentifier()
{
    MofToken token;
    token.kind = MofTokenKind::Identifier;
    token.line = _line;
    const std::size_t start = _pos;
    while (_pos < _text.size() && isIdentifierChar(static_cast<unsigned char>(_text[_pos])))
        ++_pos;
    token.text = _text.substr(start, _pos - start);
    return token;
}

} // namespace cimhost
