#include <Pegasus/Common/CIMValue.h>

#include <atomic>
#include <utility>
#include <variant>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/Exception.h>

PEGASUS_NAMESPACE_BEGIN

// One alternative per (CIMType, array flag) pair; std::monostate marks a null value, whose type
// and array flag then live only in the rep's fields.
using CIMValuePayload =
    std::variant<std::monostate, Boolean, Uint8, Sint8, Uint16, Sint16, Uint32, Sint32, Uint64, Sint64,
                 Real32, Real64, Char16, String, CIMDateTime, CIMObjectPath, CIMObject, CIMInstance,
                 Array<Boolean>, Array<Uint8>, Array<Sint8>, Array<Uint16>, Array<Sint16>, Array<Uint32>,
                 Array<Sint32>, Array<Uint64>, Array<Sint64>, Array<Real32>, Array<Real64>, Array<Char16>,
                 Array<String>, Array<CIMDateTime>, Array<CIMObjectPath>, Array<CIMObject>,
                 Array<CIMInstance>>;

struct CIMValueRep
{
    std::atomic<Uint32> refs{1};
    CIMType type = CIMTYPE_BOOLEAN;
    Boolean isArray = false;
    Uint32 nullArraySize = 0; // the size a typed null array was declared with
    CIMValuePayload payload;
};

namespace
{

// The CIMType and array flag that each stored C++ type stands for.
template <class T> struct Kind;
template <CIMType T> struct ScalarKind
{
    static constexpr CIMType type = T;
    static constexpr bool isArray = false;
};
template <> struct Kind<Boolean> : ScalarKind<CIMTYPE_BOOLEAN>
{
};
template <> struct Kind<Uint8> : ScalarKind<CIMTYPE_UINT8>
{
};
template <> struct Kind<Sint8> : ScalarKind<CIMTYPE_SINT8>
{
};
template <> struct Kind<Uint16> : ScalarKind<CIMTYPE_UINT16>
{
};
template <> struct Kind<Sint16> : ScalarKind<CIMTYPE_SINT16>
{
};
template <> struct Kind<Uint32> : ScalarKind<CIMTYPE_UINT32>
{
};
template <> struct Kind<Sint32> : ScalarKind<CIMTYPE_SINT32>
{
};
template <> struct Kind<Uint64> : ScalarKind<CIMTYPE_UINT64>
{
};
template <> struct Kind<Sint64> : ScalarKind<CIMTYPE_SINT64>
{
};
template <> struct Kind<Real32> : ScalarKind<CIMTYPE_REAL32>
{
};
template <> struct Kind<Real64> : ScalarKind<CIMTYPE_REAL64>
{
};
template <> struct Kind<Char16> : ScalarKind<CIMTYPE_CHAR16>
{
};
template <> struct Kind<String> : ScalarKind<CIMTYPE_STRING>
{
};
template <> struct Kind<CIMDateTime> : ScalarKind<CIMTYPE_DATETIME>
{
};
template <> struct Kind<CIMObjectPath> : ScalarKind<CIMTYPE_REFERENCE>
{
};
template <> struct Kind<CIMObject> : ScalarKind<CIMTYPE_OBJECT>
{
};
template <> struct Kind<CIMInstance> : ScalarKind<CIMTYPE_INSTANCE>
{
};
template <class T> struct Kind<Array<T>>
{
    static constexpr CIMType type = Kind<T>::type;
    static constexpr bool isArray = true;
};

// Objects and instances are shared handles: the value keeps its own clone and hands out clones,
// so nobody can change a stored object behind the value's back. Every other type is a value.
CIMObject ownedCopy(const CIMObject& x)
{
    if (x.isUninitialized()) throw UninitializedObjectException();
    return x.clone();
}

CIMInstance ownedCopy(const CIMInstance& x)
{
    if (x.isUninitialized()) throw UninitializedObjectException();
    return x.clone();
}

template <class Handle> Array<Handle> ownedCopyOfEach(const Array<Handle>& x)
{
    Array<Handle> copy;
    copy.reserveCapacity(x.size());
    for (Uint32 i = 0; i < x.size(); i++)
        copy.append(ownedCopy(x[i]));
    return copy;
}

Array<CIMObject> ownedCopy(const Array<CIMObject>& x)
{
    return ownedCopyOfEach(x);
}
Array<CIMInstance> ownedCopy(const Array<CIMInstance>& x)
{
    return ownedCopyOfEach(x);
}

template <class T> T ownedCopy(const T& x)
{
    return x;
}

void release(CIMValueRep* rep)
{
    if (rep->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete rep;
}

// Every mutation replaces the whole state, so a shared rep is swapped for a fresh one instead of
// being copied first.
CIMValueRep* exclusive(CIMValueRep*& rep)
{
    if (rep->refs.load(std::memory_order_acquire) != 1)
    {
        CIMValueRep* fresh = new CIMValueRep;
        release(rep);
        rep = fresh;
    }
    return rep;
}

template <class T> void fill(CIMValueRep* rep, T&& owned)
{
    using Stored = std::decay_t<T>;
    rep->type = Kind<Stored>::type;
    rep->isArray = Kind<Stored>::isArray;
    rep->nullArraySize = 0;
    rep->payload.template emplace<Stored>(std::forward<T>(owned));
}

template <class T> CIMValueRep* newRep(const T& x)
{
    // Copy (and possibly throw) before allocating, so a rejected object leaks nothing.
    T owned = ownedCopy(x);
    CIMValueRep* rep = new CIMValueRep;
    fill(rep, std::move(owned));
    return rep;
}

template <class T> void store(CIMValueRep*& rep, const T& x)
{
    T owned = ownedCopy(x); // may throw; the value stays unchanged then
    fill(exclusive(rep), std::move(owned));
}

template <class T> void load(const CIMValueRep* rep, T& x)
{
    if (rep->type != Kind<T>::type || rep->isArray != Kind<T>::isArray) throw TypeMismatchException();
    if (const T* stored = std::get_if<T>(&rep->payload)) x = ownedCopy(*stored);
}

template <class T> Uint32 elementCount(const T&)
{
    return 0;
}
template <class T> Uint32 elementCount(const Array<T>& x)
{
    return x.size();
}

bool sameContent(const std::monostate&, const std::monostate&)
{
    return true;
}
bool sameContent(const CIMDateTime& x, const CIMDateTime& y)
{
    // Comparing an interval with a timestamp throws; as values they simply differ.
    return x.isInterval() == y.isInterval() && x.equal(y);
}
bool sameContent(const CIMObjectPath& x, const CIMObjectPath& y)
{
    return x.identical(y);
}
bool sameContent(const CIMObject& x, const CIMObject& y)
{
    return x.identical(y);
}
bool sameContent(const CIMInstance& x, const CIMInstance& y)
{
    return x.identical(y);
}
template <class T> bool sameContent(const T& x, const T& y)
{
    return x == y;
}
template <class T> bool sameContent(const Array<T>& x, const Array<T>& y)
{
    if (x.size() != y.size()) return false;
    for (Uint32 i = 0; i < x.size(); i++)
    {
        if (!sameContent(x[i], y[i])) return false;
    }
    return true;
}

void appendText(String&, const std::monostate&) {}
void appendText(String& out, Boolean x)
{
    out.append(String(x ? "TRUE" : "FALSE"));
}
void appendText(String& out, Uint8 x)
{
    out.appendPrintf("%u", unsigned(x));
}
void appendText(String& out, Sint8 x)
{
    out.appendPrintf("%d", int(x));
}
void appendText(String& out, Uint16 x)
{
    out.appendPrintf("%u", unsigned(x));
}
void appendText(String& out, Sint16 x)
{
    out.appendPrintf("%d", int(x));
}
void appendText(String& out, Uint32 x)
{
    out.appendPrintf("%u", x);
}
void appendText(String& out, Sint32 x)
{
    out.appendPrintf("%d", x);
}
void appendText(String& out, Uint64 x)
{
    out.appendPrintf("%llu", x);
}
void appendText(String& out, Sint64 x)
{
    out.appendPrintf("%lld", x);
}
void appendText(String& out, Real32 x)
{
    out.appendPrintf("%.7e", double(x));
}
void appendText(String& out, Real64 x)
{
    out.appendPrintf("%.16e", x);
}
void appendText(String& out, const Char16& x)
{
    out.append(x);
}
void appendText(String& out, const String& x)
{
    out.append(x);
}
void appendText(String& out, const CIMDateTime& x)
{
    out.append(x.toString());
}
void appendText(String& out, const CIMObjectPath& x)
{
    out.append(x.toString());
}
void appendText(String& out, const CIMObject& x)
{
    out.append(x.toString());
}
void appendText(String& out, const CIMInstance& x)
{
    out.append(CIMObject(x).toString());
}
template <class T> void appendText(String& out, const Array<T>& x)
{
    for (Uint32 i = 0; i < x.size(); i++)
    {
        appendText(out, x[i]);
        out.append(Char16(' '));
    }
}

} // namespace

CIMValue::CIMValue() : _rep(new CIMValueRep) {}

CIMValue::CIMValue(CIMType type, Boolean isArray, Uint32 arraySize) : _rep(new CIMValueRep)
{
    setNullValue(type, isArray, arraySize);
}

CIMValue::CIMValue(const CIMValue& x) : _rep(x._rep)
{
    _rep->refs.fetch_add(1, std::memory_order_relaxed);
}

CIMValue::~CIMValue()
{
    release(_rep);
}

CIMValue& CIMValue::operator=(const CIMValue& x)
{
    if (x._rep != _rep)
    {
        x._rep->refs.fetch_add(1, std::memory_order_relaxed);
        release(_rep);
        _rep = x._rep;
    }
    return *this;
}

void CIMValue::assign(const CIMValue& x)
{
    *this = x;
}

void CIMValue::clear()
{
    setNullValue(CIMTYPE_BOOLEAN, false);
}

Boolean CIMValue::typeCompatible(const CIMValue& x) const
{
    return _rep->type == x._rep->type && _rep->isArray == x._rep->isArray;
}

Boolean CIMValue::isArray() const
{
    return _rep->isArray;
}

Boolean CIMValue::isNull() const
{
    return std::holds_alternative<std::monostate>(_rep->payload);
}

Uint32 CIMValue::getArraySize() const
{
    if (isNull()) return _rep->nullArraySize;
    return std::visit([](const auto& stored) { return elementCount(stored); }, _rep->payload);
}

CIMType CIMValue::getType() const
{
    return _rep->type;
}

void CIMValue::setNullValue(CIMType type, Boolean isArray, Uint32 arraySize)
{
    CIMValueRep* rep = exclusive(_rep);
    rep->type = type;
    rep->isArray = isArray;
    rep->nullArraySize = isArray ? arraySize : 0;
    rep->payload = std::monostate();
}

// Constructor, set and get for one stored type; they differ only in the type.
#define PEGASUS_CIMVALUE_TYPED_MEMBERS(PARAM, T)                                                             \
    CIMValue::CIMValue(PARAM x) : _rep(newRep<T>(x)) {}                                                      \
    void CIMValue::set(PARAM x)                                                                              \
    {                                                                                                        \
        store<T>(_rep, x);                                                                                   \
    }                                                                                                        \
    void CIMValue::get(T& x) const                                                                           \
    {                                                                                                        \
        load(_rep, x);                                                                                       \
    }

PEGASUS_CIMVALUE_TYPED_MEMBERS(Boolean, Boolean)
PEGASUS_CIMVALUE_TYPED_MEMBERS(Uint8, Uint8)
PEGASUS_CIMVALUE_TYPED_MEMBERS(Sint8, Sint8)
PEGASUS_CIMVALUE_TYPED_MEMBERS(Uint16, Uint16)
PEGASUS_CIMVALUE_TYPED_MEMBERS(Sint16, Sint16)
PEGASUS_CIMVALUE_TYPED_MEMBERS(Uint32, Uint32)
PEGASUS_CIMVALUE_TYPED_MEMBERS(Sint32, Sint32)
PEGASUS_CIMVALUE_TYPED_MEMBERS(Uint64, Uint64)
PEGASUS_CIMVALUE_TYPED_MEMBERS(Sint64, Sint64)
PEGASUS_CIMVALUE_TYPED_MEMBERS(Real32, Real32)
PEGASUS_CIMVALUE_TYPED_MEMBERS(Real64, Real64)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Char16&, Char16)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const String&, String)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const CIMDateTime&, CIMDateTime)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const CIMObjectPath&, CIMObjectPath)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const CIMObject&, CIMObject)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const CIMInstance&, CIMInstance)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<Boolean>&, Array<Boolean>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<Uint8>&, Array<Uint8>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<Sint8>&, Array<Sint8>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<Uint16>&, Array<Uint16>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<Sint16>&, Array<Sint16>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<Uint32>&, Array<Uint32>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<Sint32>&, Array<Sint32>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<Uint64>&, Array<Uint64>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<Sint64>&, Array<Sint64>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<Real32>&, Array<Real32>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<Real64>&, Array<Real64>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<Char16>&, Array<Char16>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<String>&, Array<String>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<CIMDateTime>&, Array<CIMDateTime>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<CIMObjectPath>&, Array<CIMObjectPath>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<CIMObject>&, Array<CIMObject>)
PEGASUS_CIMVALUE_TYPED_MEMBERS(const Array<CIMInstance>&, Array<CIMInstance>)

#undef PEGASUS_CIMVALUE_TYPED_MEMBERS

#ifdef PEGASUS_USE_DEPRECATED_INTERFACES
// Plain char is kept as SINT8, so it reads back through either interface.
namespace
{
Array<Sint8> asSint8(const Array<char>& x)
{
    Array<Sint8> converted;
    converted.reserveCapacity(x.size());
    for (Uint32 i = 0; i < x.size(); i++)
        converted.append(Sint8(x[i]));
    return converted;
}
} // namespace

CIMValue::CIMValue(char x) : _rep(newRep(Sint8(x))) {}
CIMValue::CIMValue(const Array<char>& x) : _rep(newRep(asSint8(x))) {}
void CIMValue::set(char x)
{
    store(_rep, Sint8(x));
}
void CIMValue::set(const Array<char>& x)
{
    store(_rep, asSint8(x));
}

void CIMValue::get(char& x) const
{
    Sint8 stored = Sint8(x);
    load(_rep, stored);
    x = char(stored);
}

void CIMValue::get(Array<char>& x) const
{
    Array<Sint8> stored;
    load(_rep, stored);
    if (isNull()) return;
    Array<char> converted;
    converted.reserveCapacity(stored.size());
    for (Uint32 i = 0; i < stored.size(); i++)
        converted.append(char(stored[i]));
    x = converted;
}
#endif

Boolean CIMValue::equal(const CIMValue& x) const
{
    if (_rep == x._rep) return true;
    if (!typeCompatible(x) || isNull() != x.isNull()) return false;
    const CIMValuePayload& other = x._rep->payload;
    return std::visit(
        [&other](const auto& mine)
        {
            using Stored = std::decay_t<decltype(mine)>;
            const Stored* theirs = std::get_if<Stored>(&other);
            return theirs != nullptr && sameContent(mine, *theirs);
        },
        _rep->payload);
}

String CIMValue::toString() const
{
    String text;
    std::visit([&text](const auto& stored) { appendText(text, stored); }, _rep->payload);
    return text;
}

Boolean operator==(const CIMValue& x, const CIMValue& y)
{
    return x.equal(y);
}

Boolean operator!=(const CIMValue& x, const CIMValue& y)
{
    return !x.equal(y);
}

PEGASUS_NAMESPACE_END
