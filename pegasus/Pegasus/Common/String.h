// UTF-16 string with copy-on-write sharing, and CString, its UTF-8 rendering.
#ifndef Pegasus_String_h
#define Pegasus_String_h

#include <iostream>
#include <cstdarg>
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Char16.h>
#include <Pegasus/Common/Linkage.h>
#include <Pegasus/Common/StringRep.h>

PEGASUS_NAMESPACE_BEGIN

class String;
struct StringRep;

class PEGASUS_COMMON_LINKAGE CString
{
public:
    CString();
    CString(const CString& cstr);
    ~CString();
    CString& operator=(const CString& cstr);
    operator const char*() const;

private:
    CString(char* cstr);
    friend class String;
    char* _rep;
};

class PEGASUS_COMMON_LINKAGE String
{
public:
    static const String EMPTY;

    String();
    String(const String& str);
    String(const String& str, Uint32 n);
    String(const Char16* str);
    String(const Char16* str, Uint32 n);
    String(const char* str);
    String(const char* str, Uint32 n);
    ~String();

    String& operator=(const String& str);
    String& assign(const String& str);
    String& assign(const Char16* str);
    String& assign(const Char16* str, Uint32 n);
    String& assign(const char* str);
    String& assign(const char* str, Uint32 n);

    void clear();
    void reserveCapacity(Uint32 capacity);
    Uint32 size() const;
    const Char16* getChar16Data() const;
    CString getCString() const;

    Char16& operator[](Uint32 index);
    const Char16 operator[](Uint32 index) const;

    String& append(const Char16& c);
    String& append(const Char16* str, Uint32 n);
    String& append(const String& str);

    void remove(Uint32 index, Uint32 size = PEG_NOT_FOUND);
    String subString(Uint32 index, Uint32 n = PEG_NOT_FOUND) const;

    Uint32 find(Char16 c) const;
    Uint32 find(Uint32 index, Char16 c) const;
    Uint32 find(const String& s) const;
    Uint32 reverseFind(Char16 c) const;

    void toLower();
    PEGASUS_FORMAT(2, 3) void appendPrintf(const char* format, ...);

#ifdef PEGASUS_USE_EXPERIMENTAL_INTERFACES
    void toUpper();
    String(const String& s1, const String& s2);
    String(const String& s1, const char* s2);
    String(const char* s1, const String& s2);
    String& operator=(const char* str);
    Uint32 find(const char* s) const;
    String& append(const char* str);
    String& append(const char* str, Uint32 size);
    static Boolean equal(const String& s1, const char* s2);
    static int compare(const String& s1, const char* s2);
    static Boolean equalNoCase(const String& s1, const char* s2);
#endif

    static int compare(const String& s1, const String& s2, Uint32 n);
    static int compare(const String& s1, const String& s2);
    static int compareNoCase(const String& s1, const String& s2);
    static Boolean equal(const String& s1, const String& s2);
    static Boolean equalNoCase(const String& s1, const String& s2);

private:
    void _unshare();
    StringRep* _rep;
};

// The two reads made most often, inline: names are compared and copied by the thousand per request.
inline Uint32 String::size() const
{
    return _rep->size;
}

inline const Char16* String::getChar16Data() const
{
    return _rep->units();
}

PEGASUS_COMMON_LINKAGE Boolean operator==(const String& str1, const String& str2);
PEGASUS_COMMON_LINKAGE Boolean operator==(const String& str1, const char* str2);
PEGASUS_COMMON_LINKAGE Boolean operator==(const char* str1, const String& str2);
PEGASUS_COMMON_LINKAGE Boolean operator!=(const String& str1, const String& str2);
PEGASUS_COMMON_LINKAGE PEGASUS_STD(ostream) & operator<<(PEGASUS_STD(ostream) & os, const String& str);
PEGASUS_COMMON_LINKAGE String operator+(const String& str1, const String& str2);
PEGASUS_COMMON_LINKAGE Boolean operator<(const String& str1, const String& str2);
PEGASUS_COMMON_LINKAGE Boolean operator<=(const String& str1, const String& str2);
PEGASUS_COMMON_LINKAGE Boolean operator>(const String& str1, const String& str2);
PEGASUS_COMMON_LINKAGE Boolean operator>=(const String& str1, const String& str2);

#ifdef PEGASUS_USE_EXPERIMENTAL_INTERFACES
PEGASUS_COMMON_LINKAGE Boolean operator!=(const String& str1, const char* str2);
PEGASUS_COMMON_LINKAGE Boolean operator!=(const char* str1, const String& str2);
PEGASUS_COMMON_LINKAGE Boolean operator<(const String& str1, const char* str2);
PEGASUS_COMMON_LINKAGE Boolean operator<(const char* str1, const String& str2);
PEGASUS_COMMON_LINKAGE Boolean operator>(const String& str1, const char* str2);
PEGASUS_COMMON_LINKAGE Boolean operator>(const char* str1, const String& str2);
PEGASUS_COMMON_LINKAGE Boolean operator<=(const String& str1, const char* str2);
PEGASUS_COMMON_LINKAGE Boolean operator<=(const char* str1, const String& str2);
PEGASUS_COMMON_LINKAGE Boolean operator>=(const String& str1, const char* str2);
PEGASUS_COMMON_LINKAGE Boolean operator>=(const char* str1, const String& str2);
PEGASUS_COMMON_LINKAGE String operator+(const String& str1, const char* str2);
PEGASUS_COMMON_LINKAGE String operator+(const char* str1, const String& str2);
#endif

PEGASUS_NAMESPACE_END

#endif
