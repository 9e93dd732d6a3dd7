// The base of every engine record. KVELEngine::getObject hands out copies derived from it; the
// caller owns them and deletes them through this base.
#ifndef KVEL_ManagedObject_h
#define KVEL_ManagedObject_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>
#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

class KVEL_LINKAGE ManagedObject
{
public:
    virtual ~ManagedObject();

    CLASSID_e getClassID() const { return _classID; }
    Uint32 getObjectID() const { return _objectID; }

    virtual ManagedObject* clone() const = 0;

    // The bytes that hexadecimal text stands for, two digits a byte, either letter case.
    // Text of odd length or with a non-hexadecimal character gives an empty key, which no
    // task has.
    static KVELKey hexToBin(const String& text);
    static KVELKey hexToBin(const char* text);
    // The key as upper-case hexadecimal text, the inverse of hexToBin.
    static String binToHex(const KVELKey& key);

protected:
    ManagedObject(CLASSID_e classID, Uint32 objectID) : _classID(classID), _objectID(objectID) {}
    ManagedObject(const ManagedObject&) = default;
    ManagedObject& operator=(const ManagedObject&) = default;

private:
    friend class KVELEngine;
    friend class KVELArrayState;
    CLASSID_e _classID;
    Uint32 _objectID;
};

PEGASUS_NAMESPACE_END

#endif
