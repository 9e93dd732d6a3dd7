#include <Pegasus/Common/String.h>
#include <Pegasus/Common/StringRep.h>
#include <Pegasus/Common/Exception.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <vector>

PEGASUS_NAMESPACE_BEGIN

const String String::EMPTY;

namespace
{

// Every empty String made by the default constructor or clear() shares this rep instead of
// allocating one. It is never counted: its count stays at EMPTY_REP_REFS, which never reads 1 (so
// writers always copy it first) and never falls to 0 (so it is never deleted). Counting it would
// make every thread that makes a String write to one cache line.
const Uint32 EMPTY_REP_REFS = 1u << 31;

StringRep* sharedEmptyRep()
{
    static StringRep* const empty = []
    {
        StringRep* rep = StringRep::allocate(0);
        rep->refs.store(EMPTY_REP_REFS, std::memory_order_relaxed);
        return rep;
    }();
    return empty;
}

// A number of the calling thread's own, never reused.
// Asked at every copy of a String: constant-initialised and in the static TLS block (this library
// is loaded with the program, never opened later), it is one load rather than a call.
std::atomic<Uint32> nextThreadTag{1};
__attribute__((tls_model("initial-exec"))) thread_local Uint32 currentThreadTag = 0;

inline Uint32 threadTag()
{
    if (currentThreadTag == 0) currentThreadTag = nextThreadTag.fetch_add(1, std::memory_order_relaxed);
    return currentThreadTag;
}

StringRep* newRep(Uint32 capacity)
{
    StringRep* rep = StringRep::allocate(capacity);
    rep->owner = threadTag();
    return rep;
}

// Strings share their units by counting. But a count written by several threads at once turns
// each copy and destruction into a transfer of its cache line between cores: the names that an
// enumeration puts on every instance, made once and copied by every worker, then cost more than
// the rest of the instance. A short string that another thread made is therefore copied, from the
// thread's own allocation cache; long ones are still shared.
const Uint32 LONGEST_COPIED_ACROSS_THREADS = 64;

StringRep* shareOrCopy(StringRep* rep)
{
    if (rep->refs.load(std::memory_order_relaxed) == EMPTY_REP_REFS) return rep;
    if (rep->size <= LONGEST_COPIED_ACROSS_THREADS && rep->owner != threadTag())
    {
        StringRep* copy = newRep(rep->size);
        std::copy(rep->units(), rep->units() + rep->size, copy->units());
        copy->resize(rep->size);
        return copy;
    }
    rep->refs.fetch_add(1, std::memory_order_relaxed);
    return rep;
}

void release(StringRep* rep)
{
    if (rep->refs.load(std::memory_order_relaxed) == EMPTY_REP_REFS) return;
    if (rep->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) StringRep::destroy(rep);
}

// A rep of its own for the string, with room for at least capacity units; the units kept are
// copied. Growth doubles so that appending one at a time stays linear.
StringRep* ownRep(StringRep* rep, Uint32 capacity)
{
    if (rep->refs.load(std::memory_order_acquire) == 1 && rep->capacity >= capacity) return rep;
    Uint32 room = capacity;
    if (rep->refs.load(std::memory_order_acquire) == 1 && room < 2 * rep->capacity) room = 2 * rep->capacity;
    StringRep* copy = newRep(room);
    std::copy(rep->units(), rep->units() + rep->size, copy->units());
    copy->resize(rep->size);
    release(rep);
    return copy;
}

// Writes UTF-8 text as UTF-16 code units and returns how many: never more than the bytes, as no
// sequence gives more units than it has bytes. Malformed input throws.
Uint32 decodeUtf8(Char16* out, const char* text, size_t length)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    Char16* const first = out;
    while (p < end)
    {
        Uint32 c = *p;
        if (c < 0x80)
        {
            *out++ = Char16(Uint16(c));
            ++p;
            continue;
        }
        int extra;
        Uint32 minimum;
        if ((c & 0xE0) == 0xC0)
        {
            extra = 1;
            c &= 0x1F;
            minimum = 0x80;
        }
        else if ((c & 0xF0) == 0xE0)
        {
            extra = 2;
            c &= 0x0F;
            minimum = 0x800;
        }
        else if ((c & 0xF8) == 0xF0)
        {
            extra = 3;
            c &= 0x07;
            minimum = 0x10000;
        }
        else
            throw Exception("String: invalid UTF-8 lead byte");
        if (end - p <= extra) throw Exception("String: truncated UTF-8 sequence");
        for (int i = 1; i <= extra; ++i)
        {
            if ((p[i] & 0xC0) != 0x80) throw Exception("String: invalid UTF-8 continuation byte");
            c = (c << 6) | (p[i] & 0x3F);
        }
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            throw Exception("String: invalid UTF-8 code point");
        p += extra + 1;
        if (c >= 0x10000)
        {
            c -= 0x10000;
            *out++ = Char16(Uint16(0xD800 + (c >> 10)));
            *out++ = Char16(Uint16(0xDC00 + (c & 0x3FF)));
        }
        else
            *out++ = Char16(Uint16(c));
    }
    return Uint32(out - first);
}

void appendCodePointUtf8(std::string& out, Uint32 c)
{
    if (c < 0x80)
        out += char(c);
    else if (c < 0x800)
    {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    else
    {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Lower-cases only the code units below 256 (ASCII and Latin-1), as case folding without ICU does.
inline Uint16 foldCase(Uint16 c)
{
    if (c >= 'A' && c <= 'Z') return Uint16(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return Uint16(c + 32);
    return c;
}

inline Uint16 upperCase(Uint16 c)
{
    if (c >= 'a' && c <= 'z') return Uint16(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return Uint16(c - 32);
    return c;
}

Uint32 char16Length(const Char16* str)
{
    Uint32 n = 0;
    while (str[n] != Char16(0))
        ++n;
    return n;
}

int compareUnits(const Char16* a, Uint32 na, const Char16* b, Uint32 nb, bool noCase)
{
    Uint32 n = na < nb ? na : nb;
    for (Uint32 i = 0; i < n; ++i)
    {
        Uint16 x = a[i], y = b[i];
        if (noCase)
        {
            x = foldCase(x);
            y = foldCase(y);
        }
        if (x != y) return x < y ? -1 : 1;
    }
    if (na == nb) return 0;
    return na < nb ? -1 : 1;
}

} // namespace

// ---- CString ------------------------------------------------------------------------------------

CString::CString() : _rep(nullptr) {}

CString::CString(char* cstr) : _rep(cstr) {}

CString::CString(const CString& cstr) : _rep(nullptr)
{
    if (cstr._rep)
    {
        size_t n = std::strlen(cstr._rep) + 1;
        _rep = new char[n];
        std::memcpy(_rep, cstr._rep, n);
    }
}

CString::~CString()
{
    delete[] _rep;
}

CString& CString::operator=(const CString& cstr)
{
    if (this != &cstr)
    {
        CString copy(cstr);
        std::swap(_rep, copy._rep);
    }
    return *this;
}

CString::operator const char*() const
{
    return _rep;
}

// ---- String -------------------------------------------------------------------------------------

String::String() : _rep(sharedEmptyRep()) {}

String::String(const String& str) : _rep(shareOrCopy(str._rep)) {}

String::String(const String& str, Uint32 n) : _rep(sharedEmptyRep())
{
    if (n > str.size())
    {
        release(_rep);
        throw IndexOutOfBoundsException();
    }
    assign(str.getChar16Data(), n);
}

String::String(const Char16* str) : _rep(sharedEmptyRep())
{
    assign(str);
}

String::String(const Char16* str, Uint32 n) : _rep(sharedEmptyRep())
{
    assign(str, n);
}

String::String(const char* str) : _rep(sharedEmptyRep())
{
    try
    {
        assign(str);
    }
    catch (...)
    {
        release(_rep);
        throw;
    }
}

String::String(const char* str, Uint32 n) : _rep(sharedEmptyRep())
{
    try
    {
        assign(str, n);
    }
    catch (...)
    {
        release(_rep);
        throw;
    }
}

String::~String()
{
    release(_rep);
}

String& String::operator=(const String& str)
{
    return assign(str);
}

String& String::assign(const String& str)
{
    if (str._rep != _rep)
    {
        StringRep* shared = shareOrCopy(str._rep);
        release(_rep);
        _rep = shared;
    }
    return *this;
}

String& String::assign(const Char16* str)
{
    if (!str) throw Exception("String: null pointer");
    return assign(str, char16Length(str));
}

String& String::assign(const Char16* str, Uint32 n)
{
    if (!str && n) throw Exception("String: null pointer");
    StringRep* rep = newRep(n);
    std::copy(str, str + n, rep->units());
    rep->resize(n);
    release(_rep);
    _rep = rep;
    return *this;
}

String& String::assign(const char* str)
{
    if (!str) throw Exception("String: null pointer");
    return assign(str, Uint32(std::strlen(str)));
}

String& String::assign(const char* str, Uint32 n)
{
    if (!str && n) throw Exception("String: null pointer");
    StringRep* rep = newRep(n);
    try
    {
        rep->resize(decodeUtf8(rep->units(), str, n));
    }
    catch (...)
    {
        StringRep::destroy(rep);
        throw;
    }
    release(_rep);
    _rep = rep;
    return *this;
}

void String::_unshare()
{
    _rep = ownRep(_rep, _rep->size);
}

void String::clear()
{
    if (_rep->refs.load(std::memory_order_acquire) == 1)
        _rep->resize(0);
    else
    {
        release(_rep);
        _rep = sharedEmptyRep();
    }
}

void String::reserveCapacity(Uint32 capacity)
{
    _rep = ownRep(_rep, capacity);
}

CString String::getCString() const
{
    std::string utf8;
    utf8.reserve(size());
    const Char16* p = getChar16Data();
    Uint32 n = size();
    for (Uint32 i = 0; i < n; ++i)
    {
        Uint32 c = p[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && Uint16(p[i + 1]) >= 0xDC00 &&
            Uint16(p[i + 1]) <= 0xDFFF)
        {
            c = 0x10000 + ((c - 0xD800) << 10) + (Uint16(p[i + 1]) - 0xDC00);
            ++i;
        }
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD; // a lone surrogate has no UTF-8 form
        appendCodePointUtf8(utf8, c);
    }
    char* out = new char[utf8.size() + 1];
    std::memcpy(out, utf8.c_str(), utf8.size() + 1);
    return CString(out);
}

Char16& String::operator[](Uint32 index)
{
    if (index > size()) throw IndexOutOfBoundsException();
    _unshare();
    return _rep->units()[index];
}

const Char16 String::operator[](Uint32 index) const
{
    if (index > size()) throw IndexOutOfBoundsException();
    return _rep->units()[index];
}

String& String::append(const Char16& c)
{
    return append(&c, 1);
}

String& String::append(const Char16* str, Uint32 n)
{
    if (n == 0) return *this;
    const Char16* own = _rep->units();
    if (str >= own && str <= own + _rep->size)
    {
        // Appending part of itself: the buffer may move as it grows.
        std::vector<Char16> copy(str, str + n);
        return append(copy.data(), n);
    }
    const Uint32 size = _rep->size;
    if (n > 0xFFFFFFFEu - size) throw Exception("String: too long");
    _rep = ownRep(_rep, size + n);
    std::copy(str, str + n, _rep->units() + size);
    _rep->resize(size + n);
    return *this;
}

String& String::append(const String& str)
{
    String keep(str);
    return append(keep.getChar16Data(), keep.size());
}

void String::remove(Uint32 index, Uint32 n)
{
    Uint32 length = size();
    if (n == PEG_NOT_FOUND)
    {
        if (index > length) throw IndexOutOfBoundsException();
        n = length - index;
    }
    if (index > length || n > length - index) throw IndexOutOfBoundsException();
    if (n == 0) return;
    _unshare();
    Char16* units = _rep->units();
    std::copy(units + index + n, units + length, units + index);
    _rep->resize(length - n);
}

String String::subString(Uint32 index, Uint32 n) const
{
    Uint32 length = size();
    if (index >= length) return String();
    if (n > length - index) n = length - index;
    return String(getChar16Data() + index, n);
}

Uint32 String::find(Char16 c) const
{
    return find(0, c);
}

Uint32 String::find(Uint32 index, Char16 c) const
{
    Uint32 length = size();
    if (index > length) throw IndexOutOfBoundsException();
    const Char16* p = getChar16Data();
    for (Uint32 i = index; i < length; ++i)
        if (p[i] == c) return i;
    return PEG_NOT_FOUND;
}

Uint32 String::find(const String& s) const
{
    Uint32 length = size(), n = s.size();
    if (n > length) return PEG_NOT_FOUND;
    const Char16* p = getChar16Data();
    const Char16* q = s.getChar16Data();
    for (Uint32 i = 0; i + n <= length; ++i)
    {
        Uint32 j = 0;
        while (j < n && p[i + j] == q[j])
            ++j;
        if (j == n) return i;
    }
    return PEG_NOT_FOUND;
}

Uint32 String::reverseFind(Char16 c) const
{
    const Char16* p = getChar16Data();
    for (Uint32 i = size(); i > 0; --i)
        if (p[i - 1] == c) return i - 1;
    return PEG_NOT_FOUND;
}

void String::toLower()
{
    _unshare();
    for (Uint32 i = 0; i < size(); ++i)
        _rep->units()[i] = foldCase(_rep->units()[i]);
}

void String::appendPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    char small[256];
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0)
    {
        va_end(again);
        return;
    }
    if (size_t(n) < sizeof small)
        append(String(small, Uint32(n)));
    else
    {
        std::vector<char> big(size_t(n) + 1);
        std::vsnprintf(big.data(), big.size(), format, again);
        append(String(big.data(), Uint32(n)));
    }
    va_end(again);
}

int String::compare(const String& s1, const String& s2, Uint32 n)
{
    Uint32 n1 = s1.size() < n ? s1.size() : n;
    Uint32 n2 = s2.size() < n ? s2.size() : n;
    return compareUnits(s1.getChar16Data(), n1, s2.getChar16Data(), n2, false);
}

int String::compare(const String& s1, const String& s2)
{
    return compareUnits(s1.getChar16Data(), s1.size(), s2.getChar16Data(), s2.size(), false);
}

int String::compareNoCase(const String& s1, const String& s2)
{
    return compareUnits(s1.getChar16Data(), s1.size(), s2.getChar16Data(), s2.size(), true);
}

Boolean String::equal(const String& s1, const String& s2)
{
    return s1._rep == s2._rep || (s1.size() == s2.size() && compare(s1, s2) == 0);
}

Boolean String::equalNoCase(const String& s1, const String& s2)
{
    return s1._rep == s2._rep || (s1.size() == s2.size() && compareNoCase(s1, s2) == 0);
}

#ifdef PEGASUS_USE_EXPERIMENTAL_INTERFACES
void String::toUpper()
{
    _unshare();
    for (Uint32 i = 0; i < size(); ++i)
        _rep->units()[i] = upperCase(_rep->units()[i]);
}
String::String(const String& s1, const String& s2) : _rep(sharedEmptyRep())
{
    append(s1);
    append(s2);
}
String::String(const String& s1, const char* s2) : _rep(sharedEmptyRep())
{
    append(s1);
    append(String(s2));
}
String::String(const char* s1, const String& s2) : _rep(sharedEmptyRep())
{
    append(String(s1));
    append(s2);
}
String& String::operator=(const char* str)
{
    return assign(str);
}
Uint32 String::find(const char* s) const
{
    return find(String(s));
}
String& String::append(const char* str)
{
    return append(String(str));
}
String& String::append(const char* str, Uint32 n)
{
    return append(String(str, n));
}
Boolean String::equal(const String& s1, const char* s2)
{
    return equal(s1, String(s2));
}
int String::compare(const String& s1, const char* s2)
{
    return compare(s1, String(s2));
}
Boolean String::equalNoCase(const String& s1, const char* s2)
{
    return equalNoCase(s1, String(s2));
}
Boolean operator!=(const String& a, const char* b)
{
    return !(a == b);
}
Boolean operator!=(const char* a, const String& b)
{
    return !(a == b);
}
Boolean operator<(const String& a, const char* b)
{
    return a < String(b);
}
Boolean operator<(const char* a, const String& b)
{
    return String(a) < b;
}
Boolean operator>(const String& a, const char* b)
{
    return a > String(b);
}
Boolean operator>(const char* a, const String& b)
{
    return String(a) > b;
}
Boolean operator<=(const String& a, const char* b)
{
    return a <= String(b);
}
Boolean operator<=(const char* a, const String& b)
{
    return String(a) <= b;
}
Boolean operator>=(const String& a, const char* b)
{
    return a >= String(b);
}
Boolean operator>=(const char* a, const String& b)
{
    return String(a) >= b;
}
String operator+(const String& a, const char* b)
{
    return a + String(b);
}
String operator+(const char* a, const String& b)
{
    return String(a) + b;
}
#endif

Boolean operator==(const String& str1, const String& str2)
{
    return String::equal(str1, str2);
}
Boolean operator==(const String& str1, const char* str2)
{
    return String::equal(str1, String(str2));
}
Boolean operator==(const char* str1, const String& str2)
{
    return String::equal(String(str1), str2);
}
Boolean operator!=(const String& str1, const String& str2)
{
    return !String::equal(str1, str2);
}

PEGASUS_STD(ostream) & operator<<(PEGASUS_STD(ostream) & os, const String& str)
{
    // Written in blocks, not a stream call per character: trace lines are made of these.
    const Char16* p = str.getChar16Data();
    const Uint32 n = str.size();
    char block[256];
    const size_t escapedSize = 7; // "\xNNNN" and the terminator snprintf writes
    size_t used = 0;
    for (Uint32 i = 0; i < n; ++i)
    {
        if (used + escapedSize > sizeof block)
        {
            os.write(block, std::streamsize(used));
            used = 0;
        }
        Uint16 c = p[i];
        if (c > 0 && c < 256)
            block[used++] = char(c);
        else
            used += size_t(std::snprintf(block + used, escapedSize, "\\x%04X", unsigned(c)));
    }
    os.write(block, std::streamsize(used));
    return os;
}

String operator+(const String& str1, const String& str2)
{
    String result(str1);
    result.append(str2);
    return result;
}

Boolean operator<(const String& str1, const String& str2)
{
    return String::compare(str1, str2) < 0;
}
Boolean operator<=(const String& str1, const String& str2)
{
    return String::compare(str1, str2) <= 0;
}
Boolean operator>(const String& str1, const String& str2)
{
    return String::compare(str1, str2) > 0;
}
Boolean operator>=(const String& str1, const String& str2)
{
    return String::compare(str1, str2) >= 0;
}

PEGASUS_NAMESPACE_END
