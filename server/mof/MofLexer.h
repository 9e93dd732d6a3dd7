// Splits MOF text into tokens: identifiers (keywords are identifiers, compared by the parser
// ignoring case), string and char16 literals with their escapes resolved, integers in every
// base, reals, punctuation and "#pragma". Comments and white space are skipped.
#ifndef CIMHOST_MofLexer_h
#define CIMHOST_MofLexer_h

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include <Pegasus/Common/String.h>

namespace cimhost
{

enum class MofTokenKind
{
    End,
    Identifier,
    String,
    Char16,
    Integer,
    Real,
    Punct,
    Pragma
};

struct MofToken
{
    MofTokenKind kind = MofTokenKind::End;
    int line = 0;
    std::string text;      // as written (identifiers, punctuation, numbers)
    Pegasus::String value; // string and char16 literals, escapes resolved
    bool negative = false; // integers: sign and magnitude, so every uint64 and sint64 fits
    std::uint64_t magnitude = 0;
    double real = 0;
};

class MofLexer
{
public:
    MofLexer(const std::string& text, const std::string& fileName);

    // Looks ahead without consuming; past the end every token is End.
    const MofToken& peek(std::size_t ahead = 0);
    MofToken next();
    const std::string& fileName() const { return _fileName; }

private:
    MofToken scan();
    void skipSpaceAndComments();
    MofToken scanString();
    MofToken scanChar16();
    MofToken scanNumber();
    MofToken scanIdentifier();
    // Appends one escape sequence (the backslash already consumed) as a UTF-16 unit.
    void scanEscape(Pegasus::String& out);
    // Appends the UTF-8 bytes [from, to) of the text.
    void appendUtf8(Pegasus::String& out, std::size_t from, std::size_t to) const;
    [[noreturn]] void fail(const std::string& message) const;

    std::string _text;
    std::string _fileName;
    std::size_t _pos = 0;
    int _line = 1;
    std::deque<MofToken> _ahead;
};

} // namespace cimhost

#endif
