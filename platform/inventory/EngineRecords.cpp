#include "EngineRecords.h"

#include <KVELErrorCodes.h>
#include <KVELiPtr.h>
#include <KVELVolume.h>

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

KVELEngine& engine()
{
    return *KVELEngine::_getInstance();
}

Array<Uint32> volumeRecordIDs(bool settings)
{
    const Array<Uint32> all = engine().enumerateObjects(CLASSID_VOLUME);
    Array<Uint32> chosen;
    for (Uint32 i = 0; i < all.size(); ++i)
    {
        std::unique_ptr<KVELVolume> volume = fetchRecord<KVELVolume>(CLASSID_VOLUME, all[i]);
        if (volume && volume->IsSetting == settings) chosen.append(all[i]);
    }
    return chosen;
}

Uint32 keyObjectID(const CIMObjectPath& path, const char* keyName)
{
    const Array<CIMKeyBinding>& keys = path.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); ++i)
        if (keys[i].getName().equal(CIMName(keyName))) return KVELObjectID(keys[i].getValue());
    return KVEL_NULL_OBJECT_ID;
}

String engineText(Uint32 resultCode)
{
    return String(KVELErrorCodes::getTextForIndex(KVELErrorCodes::getIndex(resultCode)));
}

} // namespace inventory

PEGASUS_NAMESPACE_END
