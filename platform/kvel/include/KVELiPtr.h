// Engine object pointers and their text forms.
#ifndef KVEL_KVELiPtr_h
#define KVEL_KVELiPtr_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

// An engine object pointer: the 32-bit object ID, with its class id in the top byte.
//
// Text forms: radix 16 is upper-case hexadecimal without prefix or leading zeros ("3A000005");
// reading accepts either letter case and an optional "0x". Radix 10 is plain decimal.
// Empty text, text with any other character, or a value beyond 32 bits reads as
// KVEL_NULL_OBJECT_ID (0), an ID that no record has.
class KVEL_LINKAGE KVELiPtr
{
public:
    enum Radix
    {
        RADIX_10 = 10,
        RADIX_16 = 16
    };

    KVELiPtr() : _iptr(KVEL_NULL_OBJECT_ID) {}
    explicit KVELiPtr(Uint32 iptr) : _iptr(iptr) {}
    KVELiPtr(const String& text, Radix radix);
    KVELiPtr(const char* text, Radix radix);

    Uint32 getIPtr() const { return _iptr; }
    CLASSID_e getClassID() const { return kvelClassOf(_iptr); }
    String getKeyString(Radix radix) const;

    static Uint32 parse(const char* text, Radix radix);

protected:
    Uint32 _iptr;
};

// The object ID in a "DeviceID" (or other key) value: hexadecimal text as KVELiPtr reads it.
class KVEL_LINKAGE KVELObjectID
{
public:
    explicit KVELObjectID(const String& text);
    explicit KVELObjectID(const char* text);
    explicit KVELObjectID(Uint32 objectID) : _id(objectID) {}

    Uint32 getObjectID() const { return _id; }
    operator Uint32() const { return _id; }

private:
    Uint32 _id;
};

// A computer system of the array: the array itself (object ID 0x39000001) or one of its two
// controller blades (0x39000002 for slot 0, 0x39000003 for slot 1).
//
// From an object path: the "Name" key (compared without regard to case) must be the array's
// system name, or the name of a blade, "<system name>-SP0" / "<system name>-SP1"; any other
// name, or a path without a "Name" key, throws CIMInvalidParameterException.
class KVEL_LINKAGE KVELiPtrComputerSystem : public KVELiPtr
{
public:
    explicit KVELiPtrComputerSystem(Uint32 iptr) : KVELiPtr(iptr) {}
    explicit KVELiPtrComputerSystem(const CIMObjectPath& path);

    // The blade in the given slot (0 or 1); any other slot gives the null pointer.
    static KVELiPtrComputerSystem makeBlade(Uint32 slot);
    // The array as a whole.
    static KVELiPtrComputerSystem makeSystem();
    // "<system name>-SP<slot>", the Name of a blade's computer system.
    static String bladeName(Uint32 slot);
};

PEGASUS_NAMESPACE_END

#endif
