// Key bindings and object paths: parsing, rendering, normalisation and comparison.
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/Exception.h>

#include <arpa/inet.h>
#include <algorithm>
#include <atomic>
#include <charconv>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

PEGASUS_NAMESPACE_BEGIN

struct CIMKeyBindingRep
{
    CIMName name;
    String value;
    CIMKeyBinding::Type type = CIMKeyBinding::BOOLEAN;
};

struct CIMObjectPathRep
{
    std::atomic<Uint32> refs{1};
    String host;
    CIMNamespaceName nameSpace;
    CIMName className;
    Array<CIMKeyBinding> keyBindings;

    CIMObjectPathRep() = default;
    // A fresh copy starts unshared; only the path fields are copied.
    CIMObjectPathRep(const CIMObjectPathRep& x)
        : host(x.host), nameSpace(x.nameSpace), className(x.className), keyBindings(x.keyBindings)
    {
    }
};

namespace
{

typedef std::vector<CIMKeyBinding> KeyList;

// ASCII view of a String; false if any unit lies outside ASCII, which no host or integer may contain.
bool toAscii(const String& text, std::string& out)
{
    out.clear();
    out.reserve(text.size());
    const Char16* data = text.getChar16Data();
    for (Uint32 i = 0; i < text.size(); ++i)
    {
        if (Uint16(data[i]) > 0x7F) return false;
        out.push_back(char(Uint16(data[i])));
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Integers

// Sign and magnitude, so that both the Sint64 and the Uint64 range are representable.
struct Integer
{
    bool negative;
    Uint64 magnitude;
};

bool operator==(const Integer& x, const Integer& y)
{
    return x.negative == y.negative && x.magnitude == y.magnitude;
}

// Accepts the CIM integer literal forms, each with an optional sign: decimal, octal (leading 0),
// hexadecimal (0x prefix) and binary (b suffix).
bool parseInteger(const String& text, Integer& result)
{
    std::string ascii;
    if (!toAscii(text, ascii)) return false;
    std::string_view digits(ascii);
    bool negative = false;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-'))
    {
        negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
    {
        base = 16;
        digits.remove_prefix(2);
    }
    else if (digits.size() > 1 && (digits.back() == 'b' || digits.back() == 'B'))
    {
        base = 2;
        digits.remove_suffix(1);
    }
    else if (digits.size() > 1 && digits[0] == '0')
    {
        base = 8;
        digits.remove_prefix(1);
    }
    // from_chars takes no sign for an unsigned target, so a second sign is rejected here too.
    Uint64 magnitude = 0;
    const char* end = digits.data() + digits.size();
    auto [stop, error] = std::from_chars(digits.data(), end, magnitude, base);
    if (digits.empty() || error != std::errc() || stop != end) return false;
    if (negative && magnitude > (Uint64(1) << 63)) return false;
    result = Integer{negative && magnitude != 0, magnitude};
    return true;
}

String decimalText(const Integer& value)
{
    std::string text = (value.negative ? "-" : "") + std::to_string(value.magnitude);
    return String(text.c_str());
}

// ---------------------------------------------------------------------------------------------
// Hosts

bool isValidPort(std::string_view port)
{
    if (port.empty() || port.size() > 5) return false;
    Uint32 number = 0;
    auto [stop, error] = std::from_chars(port.data(), port.data() + port.size(), number);
    return error == std::errc() && stop == port.data() + port.size() && number <= 65535;
}

const char hostNameCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_";

bool isValidHostName(std::string_view name)
{
    if (name.empty() || name.size() > 253) return false;
    // Only digits and dots can only mean an IPv4 address, never a name.
    if (name.find_first_not_of("0123456789.") == std::string_view::npos)
    {
        in_addr address;
        return inet_pton(AF_INET, std::string(name).c_str(), &address) == 1;
    }
    size_t start = 0;
    for (;;)
    {
        size_t dot = name.find('.', start);
        std::string_view label = name.substr(start, dot == std::string_view::npos ? dot : dot - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return false;
        if (label.find_first_not_of(hostNameCharacters) != std::string_view::npos) return false;
        if (dot == std::string_view::npos) return true;
        start = dot + 1;
    }
}

// A host name, an IPv4 address or a bracketed IPv6 address, each optionally followed by ":port".
bool isValidHost(const String& host)
{
    std::string ascii;
    if (!toAscii(host, ascii)) return false;
    std::string_view text(ascii);
    if (!text.empty() && text[0] == '[')
    {
        size_t close = text.find(']');
        if (close == std::string_view::npos) return false;
        in6_addr address;
        if (inet_pton(AF_INET6, std::string(text.substr(1, close - 1)).c_str(), &address) != 1) return false;
        std::string_view rest = text.substr(close + 1);
        return rest.empty() || (rest[0] == ':' && isValidPort(rest.substr(1)));
    }
    size_t colon = text.find(':');
    if (colon != std::string_view::npos)
    {
        if (!isValidPort(text.substr(colon + 1))) return false;
        text = text.substr(0, colon);
    }
    return isValidHostName(text);
}

// ---------------------------------------------------------------------------------------------
// Key lists

// Stable, so keys whose names differ only in case keep the order they were given in.
bool keyNameLess(const CIMKeyBinding& x, const CIMKeyBinding& y)
{
    return String::compareNoCase(x.getName().getString(), y.getName().getString()) < 0;
}

// The keys sorted by name into a new array. The order is worked out on indices, so that each key
// is copied once (a key binding copy allocates); paths usually have a handful of keys.
Array<CIMKeyBinding> sortedKeys(const CIMKeyBinding* keys, Uint32 count)
{
    Uint32 small[16];
    std::unique_ptr<Uint32[]> large(count > 16 ? new Uint32[count] : nullptr);
    Uint32* order = large ? large.get() : small;
    for (Uint32 i = 0; i < count; ++i)
        order[i] = i;
    const auto less = [keys](Uint32 x, Uint32 y) { return keyNameLess(keys[x], keys[y]); };
    if (large)
        std::stable_sort(order, order + count, less);
    else // insertion sort: stable, and without the buffer stable_sort allocates
        for (Uint32 i = 1; i < count; ++i)
            for (Uint32 j = i; j > 0 && less(order[j], order[j - 1]); --j)
                std::swap(order[j], order[j - 1]);
    Array<CIMKeyBinding> sorted;
    sorted.reserveCapacity(count);
    for (Uint32 i = 0; i < count; ++i)
        sorted.append(keys[order[i]]);
    return sorted;
}

// ---------------------------------------------------------------------------------------------
// Parsing

bool parsePath(const String& text, CIMObjectPathRep& path);
String formatPath(const CIMObjectPathRep& path);

// A quoted value is a reference when its text is itself a path with keys; that path is stored in
// its normal form so that equal references read the same.
CIMKeyBinding::Type classifyQuoted(String& value)
{
    CIMObjectPathRep inner;
    if (parsePath(value, inner) && inner.keyBindings.size() > 0)
    {
        value = formatPath(inner);
        return CIMKeyBinding::REFERENCE;
    }
    return CIMKeyBinding::STRING;
}

// Reads `"..."` starting at the opening quote. Only \" and \\ are escapes; a backslash before
// any other character stands for itself, so Windows-style text survives.
bool readQuoted(const Char16* data, Uint32 size, Uint32& pos, String& value)
{
    // The runs between escapes are appended whole.
    Uint32 runStart = ++pos;
    while (pos < size)
    {
        const Char16 c = data[pos];
        if (c == '"')
        {
            value.append(data + runStart, pos - runStart);
            ++pos;
            return true;
        }
        if (c == '\\' && pos + 1 < size && (data[pos + 1] == '"' || data[pos + 1] == '\\'))
        {
            value.append(data + runStart, pos - runStart);
            runStart = ++pos; // the escaped character begins the next run
        }
        ++pos;
    }
    value.append(data + runStart, pos - runStart);
    return false;
}

bool hasKey(const KeyList& keys, const String& name)
{
    return std::any_of(keys.begin(), keys.end(),
                       [&](const CIMKeyBinding& key)
                       { return String::equalNoCase(key.getName().getString(), name); });
}

// Parses "key=value[,key=value...]" from pos to the end of text.
bool parseKeyBindings(const String& text, Uint32 pos, KeyList& keys)
{
    const Char16* data = text.getChar16Data();
    const Uint32 size = text.size();
    for (;;)
    {
        Uint32 equals = text.find(pos, '=');
        if (equals == PEG_NOT_FOUND) return false;
        String name(data + pos, equals - pos);
        if (!CIMName::legal(name) || hasKey(keys, name)) return false;
        pos = equals + 1;

        String value;
        CIMKeyBinding::Type type;
        if (pos < size && data[pos] == '"')
        {
            if (!readQuoted(data, size, pos, value)) return false;
            type = classifyQuoted(value);
        }
        else
        {
            Uint32 end = text.find(pos, ',');
            if (end == PEG_NOT_FOUND) end = size;
            value = String(data + pos, end - pos);
            pos = end;
            Integer unused;
            if (String::equalNoCase(value, "TRUE") || String::equalNoCase(value, "FALSE"))
            {
                value = String::equalNoCase(value, "TRUE") ? "TRUE" : "FALSE";
                type = CIMKeyBinding::BOOLEAN;
            }
            else if (parseInteger(value, unused))
                type = CIMKeyBinding::NUMERIC;
            else
                return false;
        }
        keys.push_back(CIMKeyBinding(CIMName(name), value, type));

        if (pos == size) return true;
        // A comma must be followed by another binding, so a trailing one fails at the find above.
        if (data[pos] != ',') return false;
        ++pos;
    }
}

// Parses "[//host/][namespace:]Class[.key=value,...]" into path; false if any part is malformed.
bool parsePath(const String& text, CIMObjectPathRep& path)
{
    const Char16* data = text.getChar16Data();
    const Uint32 size = text.size();
    Uint32 pos = 0;

    if (size >= 2 && data[0] == '/' && data[1] == '/')
    {
        Uint32 slash = text.find(2, '/');
        if (slash == PEG_NOT_FOUND) return false;
        path.host = String(data + 2, slash - 2);
        if (!isValidHost(path.host)) return false;
        pos = slash + 1;
    }

    // Key values may hold ':' themselves, so only a ':' before the first '.' ends a namespace.
    Uint32 dot = text.find(pos, '.');
    Uint32 colon = text.find(pos, ':');
    if (colon != PEG_NOT_FOUND && (dot == PEG_NOT_FOUND || colon < dot))
    {
        String nameSpace(data + pos, colon - pos);
        if (nameSpace.size() == 0) return false;
        try
        {
            path.nameSpace = CIMNamespaceName(nameSpace);
        }
        catch (const Exception&)
        {
            return false;
        }
        pos = colon + 1;
    }

    Uint32 classEnd = dot == PEG_NOT_FOUND ? size : dot;
    String className(data + pos, classEnd - pos);
    if (className.size() == 0 || !CIMName::legal(className)) return false;
    path.className = CIMName(className);

    KeyList keys;
    if (dot != PEG_NOT_FOUND && !parseKeyBindings(text, dot + 1, keys)) return false;
    path.keyBindings = sortedKeys(keys.data(), Uint32(keys.size()));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Rendering and comparison

void appendQuoted(String& out, const String& value)
{
    out.append(Char16('"'));
    const Char16* data = value.getChar16Data();
    Uint32 runStart = 0;
    for (Uint32 i = 0; i < value.size(); ++i)
    {
        if (data[i] == '"' || data[i] == '\\')
        {
            out.append(data + runStart, i - runStart);
            out.append(Char16('\\'));
            runStart = i; // the quote or backslash itself begins the next run
        }
    }
    out.append(data + runStart, value.size() - runStart);
    out.append(Char16('"'));
}

String lowered(const String& text)
{
    String copy(text);
    copy.toLower();
    return copy;
}

String canonicalPath(const CIMObjectPathRep& path);

// Renders a path. The canonical form lower-cases every case-insensitive part and writes values in
// the form their comparison uses, so that paths that compare equal render identically.
String renderPath(const CIMObjectPathRep& path, bool canonical)
{
    String out;
    if (path.host.size() > 0)
    {
        out.append(String("//"));
        out.append(canonical ? lowered(path.host) : path.host);
        out.append(Char16('/'));
    }
    if (!path.nameSpace.isNull())
    {
        out.append(canonical ? lowered(path.nameSpace.getString()) : path.nameSpace.getString());
        out.append(Char16(':'));
    }
    out.append(canonical ? lowered(path.className.getString()) : path.className.getString());

    for (Uint32 i = 0; i < path.keyBindings.size(); ++i)
    {
        const CIMKeyBinding& key = path.keyBindings[i];
        out.append(Char16(i == 0 ? '.' : ','));
        out.append(canonical ? lowered(key.getName().getString()) : key.getName().getString());
        out.append(Char16('='));
        const String& value = key.getValue();
        CIMObjectPathRep reference;
        Integer number;
        switch (key.getType())
        {
        case CIMKeyBinding::STRING:
            appendQuoted(out, value);
            break;
        case CIMKeyBinding::REFERENCE:
            appendQuoted(out, canonical && parsePath(value, reference) ? canonicalPath(reference) : value);
            break;
        case CIMKeyBinding::NUMERIC:
            out.append(canonical && parseInteger(value, number) ? decimalText(number) : value);
            break;
        case CIMKeyBinding::BOOLEAN:
            out.append(canonical ? lowered(value) : value);
            break;
        }
    }
    return out;
}

String formatPath(const CIMObjectPathRep& path)
{
    return renderPath(path, false);
}

String canonicalPath(const CIMObjectPathRep& path)
{
    return renderPath(path, true);
}

bool identicalPaths(const CIMObjectPathRep& x, const CIMObjectPathRep& y)
{
    if (&x == &y) return true;
    if (!String::equalNoCase(x.host, y.host) || !x.nameSpace.equal(y.nameSpace) ||
        !x.className.equal(y.className) || x.keyBindings.size() != y.keyBindings.size())
        return false;
    for (Uint32 i = 0; i < x.keyBindings.size(); ++i)
        if (!(x.keyBindings[i] == y.keyBindings[i])) return false;
    return true;
}

// Compares two key values of the same type by what they mean; text that does not parse as its
// type is compared as written.
bool keyValuesEqual(CIMKeyBinding::Type type, const String& x, const String& y)
{
    switch (type)
    {
    case CIMKeyBinding::REFERENCE:
    {
        CIMObjectPathRep xPath, yPath;
        if (parsePath(x, xPath) && parsePath(y, yPath)) return identicalPaths(xPath, yPath);
        break;
    }
    case CIMKeyBinding::NUMERIC:
    {
        Integer xNumber, yNumber;
        if (parseInteger(x, xNumber) && parseInteger(y, yNumber)) return xNumber == yNumber;
        break;
    }
    case CIMKeyBinding::BOOLEAN:
        return String::equalNoCase(x, y);
    case CIMKeyBinding::STRING:
        break;
    }
    return String::equal(x, y);
}

// Reference values are stored in normal form (sorted nested keys) whenever a path takes them in;
// a reference that does not parse is kept as given. Keys already in order with no reference among
// them - what nearly every path is built from - are shared, not copied.
Array<CIMKeyBinding> normalisedKeys(const Array<CIMKeyBinding>& keyBindings)
{
    const CIMKeyBinding* first = keyBindings.getData();
    const CIMKeyBinding* last = first + keyBindings.size();
    const bool hasReference = std::any_of(
        first, last, [](const CIMKeyBinding& key) { return key.getType() == CIMKeyBinding::REFERENCE; });
    if (!hasReference)
        return std::is_sorted(first, last, keyNameLess) ? keyBindings : sortedKeys(first, keyBindings.size());
    KeyList keys(first, last);
    for (CIMKeyBinding& key : keys)
    {
        CIMObjectPathRep reference;
        if (key.getType() == CIMKeyBinding::REFERENCE && parsePath(key.getValue(), reference))
            key.setValue(formatPath(reference));
    }
    return sortedKeys(keys.data(), Uint32(keys.size()));
}

CIMKeyBinding::Type keyTypeOf(const CIMValue& value)
{
    if (value.isArray()) throw TypeMismatchException("an array value cannot be a key");
    switch (value.getType())
    {
    case CIMTYPE_BOOLEAN:
        return CIMKeyBinding::BOOLEAN;
    case CIMTYPE_UINT8:
    case CIMTYPE_SINT8:
    case CIMTYPE_UINT16:
    case CIMTYPE_SINT16:
    case CIMTYPE_UINT32:
    case CIMTYPE_SINT32:
    case CIMTYPE_UINT64:
    case CIMTYPE_SINT64:
    case CIMTYPE_REAL32:
    case CIMTYPE_REAL64:
        return CIMKeyBinding::NUMERIC;
    case CIMTYPE_CHAR16:
    case CIMTYPE_STRING:
    case CIMTYPE_DATETIME:
        return CIMKeyBinding::STRING;
    case CIMTYPE_REFERENCE:
        return CIMKeyBinding::REFERENCE;
    case CIMTYPE_OBJECT:
    case CIMTYPE_INSTANCE:
        break;
    }
    throw TypeMismatchException("an embedded object cannot be a key");
}

void releaseRep(CIMObjectPathRep* rep)
{
    if (rep->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete rep;
}

// Copy-on-write: gives the caller a rep that no other path sees.
CIMObjectPathRep* unshare(CIMObjectPathRep*& rep)
{
    if (rep->refs.load(std::memory_order_acquire) != 1)
    {
        CIMObjectPathRep* copy = new CIMObjectPathRep(*rep);
        releaseRep(rep);
        rep = copy;
    }
    return rep;
}

void checkHost(const String& host)
{
    if (host.size() > 0 && !isValidHost(host)) throw MalformedObjectNameException(host);
}

CIMObjectPathRep* newParsedRep(const String& objectName)
{
    std::unique_ptr<CIMObjectPathRep> rep(new CIMObjectPathRep);
    if (objectName.size() > 0 && !parsePath(objectName, *rep)) throw MalformedObjectNameException(objectName);
    return rep.release();
}

CIMObjectPathRep* newRep(const String& host, const CIMNamespaceName& nameSpace, const CIMName& className,
                         const Array<CIMKeyBinding>& keyBindings)
{
    checkHost(host);
    std::unique_ptr<CIMObjectPathRep> rep(new CIMObjectPathRep);
    rep->host = host;
    rep->nameSpace = nameSpace;
    rep->className = className;
    rep->keyBindings = normalisedKeys(keyBindings);
    return rep.release();
}

// Checks the type before rendering, so arrays and embedded objects never reach toString.
CIMKeyBindingRep bindingFromValue(const CIMName& name, const CIMValue& value)
{
    CIMKeyBinding::Type type = keyTypeOf(value);
    return CIMKeyBindingRep{name, value.toString(), type};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CIMKeyBinding

CIMKeyBinding::CIMKeyBinding() : _rep(new CIMKeyBindingRep) {}

CIMKeyBinding::CIMKeyBinding(const CIMKeyBinding& x) : _rep(new CIMKeyBindingRep(*x._rep)) {}

CIMKeyBinding::CIMKeyBinding(const CIMName& name, const String& value, Type type)
    : _rep(new CIMKeyBindingRep{name, value, type})
{
}

CIMKeyBinding::CIMKeyBinding(const CIMName& name, const CIMValue& value)
    : _rep(new CIMKeyBindingRep(bindingFromValue(name, value)))
{
}

CIMKeyBinding::~CIMKeyBinding()
{
    delete _rep;
}

CIMKeyBinding& CIMKeyBinding::operator=(const CIMKeyBinding& x)
{
    if (this != &x) *_rep = *x._rep;
    return *this;
}

const CIMName& CIMKeyBinding::getName() const
{
    return _rep->name;
}

void CIMKeyBinding::setName(const CIMName& name)
{
    _rep->name = name;
}

const String& CIMKeyBinding::getValue() const
{
    return _rep->value;
}

void CIMKeyBinding::setValue(const String& value)
{
    _rep->value = value;
}

CIMKeyBinding::Type CIMKeyBinding::getType() const
{
    return _rep->type;
}

void CIMKeyBinding::setType(Type type)
{
    _rep->type = type;
}

Boolean CIMKeyBinding::equal(CIMValue value)
{
    if (value.isArray() || value.getType() == CIMTYPE_OBJECT || value.getType() == CIMTYPE_INSTANCE)
        return false;
    return *this == CIMKeyBinding(_rep->name, value);
}

Boolean operator==(const CIMKeyBinding& x, const CIMKeyBinding& y)
{
    return x.getName().equal(y.getName()) && x.getType() == y.getType() &&
           keyValuesEqual(x.getType(), x.getValue(), y.getValue());
}

// ---------------------------------------------------------------------------------------------
// CIMObjectPath

CIMObjectPath::CIMObjectPath() : _rep(new CIMObjectPathRep) {}

CIMObjectPath::CIMObjectPath(const CIMObjectPath& x) : _rep(x._rep)
{
    _rep->refs.fetch_add(1, std::memory_order_relaxed);
}

CIMObjectPath::CIMObjectPath(const String& objectName) : _rep(newParsedRep(objectName)) {}

CIMObjectPath::CIMObjectPath(const String& host, const CIMNamespaceName& nameSpace, const CIMName& className,
                             const Array<CIMKeyBinding>& keyBindings)
    : _rep(newRep(host, nameSpace, className, keyBindings))
{
}

CIMObjectPath::~CIMObjectPath()
{
    releaseRep(_rep);
}

CIMObjectPath& CIMObjectPath::operator=(const CIMObjectPath& x)
{
    if (x._rep != _rep)
    {
        x._rep->refs.fetch_add(1, std::memory_order_relaxed);
        releaseRep(_rep);
        _rep = x._rep;
    }
    return *this;
}

void CIMObjectPath::clear()
{
    CIMObjectPath empty;
    *this = empty;
}

void CIMObjectPath::set(const String& host, const CIMNamespaceName& nameSpace, const CIMName& className,
                        const Array<CIMKeyBinding>& keyBindings)
{
    *this = CIMObjectPath(host, nameSpace, className, keyBindings);
}

void CIMObjectPath::set(const String& objectName)
{
    // Parse into a new path first so that a malformed name leaves this one unchanged.
    *this = CIMObjectPath(objectName);
}

CIMObjectPath& CIMObjectPath::operator=(const String& objectName)
{
    set(objectName);
    return *this;
}

const String& CIMObjectPath::getHost() const
{
    return _rep->host;
}

void CIMObjectPath::setHost(const String& host)
{
    checkHost(host);
    unshare(_rep)->host = host;
}

const CIMNamespaceName& CIMObjectPath::getNameSpace() const
{
    return _rep->nameSpace;
}

void CIMObjectPath::setNameSpace(const CIMNamespaceName& nameSpace)
{
    unshare(_rep)->nameSpace = nameSpace;
}

const CIMName& CIMObjectPath::getClassName() const
{
    return _rep->className;
}

void CIMObjectPath::setClassName(const CIMName& className)
{
    unshare(_rep)->className = className;
}

const Array<CIMKeyBinding>& CIMObjectPath::getKeyBindings() const
{
    return _rep->keyBindings;
}

void CIMObjectPath::setKeyBindings(const Array<CIMKeyBinding>& keyBindings)
{
    Array<CIMKeyBinding> keys = normalisedKeys(keyBindings);
    unshare(_rep)->keyBindings = keys;
}

String CIMObjectPath::toString() const
{
    return formatPath(*_rep);
}

String CIMObjectPath::_toStringCanonical() const
{
    return canonicalPath(*_rep);
}

Boolean CIMObjectPath::identical(const CIMObjectPath& x) const
{
    return identicalPaths(*_rep, *x._rep);
}

Uint32 CIMObjectPath::makeHashCode() const
{
    CString canonical = _toStringCanonical().getCString();
    size_t hash = std::hash<std::string_view>()(std::string_view(static_cast<const char*>(canonical)));
    return Uint32(hash ^ (hash >> 32));
}

Boolean operator==(const CIMObjectPath& x, const CIMObjectPath& y)
{
    return x.identical(y);
}

Boolean operator!=(const CIMObjectPath& x, const CIMObjectPath& y)
{
    return !x.identical(y);
}

PEGASUS_NAMESPACE_END
