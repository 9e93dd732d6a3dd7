#include <SMIMOBuilders.h>

#include "BuilderSupport.h"

PEGASUS_NAMESPACE_BEGIN

namespace
{

const char* const POOL_CLASS = "CIM_StoragePool";

std::unique_ptr<KVELPool> fetchPool(Uint32 poolID)
{
    return smimo::fetchRecord<KVELPool>(CLASSID_STORAGEPOOL, poolID, "Storage pool");
}

// DMTF values of CIM_StoragePool.Usage.
const Uint16 POOL_USAGE_OTHER = 1;
const Uint16 POOL_USAGE_UNRESTRICTED = 2;
const Uint16 POOL_USAGE_RESERVED_FOR_SYSTEM = 3;
const Uint16 POOL_USAGE_RESERVED_FOR_SPARING = 8;

// Only the base pool is concrete: volumes are made in it. The other three hold raw drives
// (primordial), each for one purpose of the array's own.
void addPoolUsage(Uint32 poolID, smimo::InstanceFiller& filler)
{
    switch (poolID)
    {
    case KVELPool::BASE_POOL_ID:
        filler.add("Usage", CIMValue(POOL_USAGE_UNRESTRICTED));
        break;
    case KVELPool::SPARE_POOL_ID:
        filler.add("Usage", CIMValue(POOL_USAGE_RESERVED_FOR_SPARING));
        break;
    case KVELPool::AVAILABLE_POOL_ID: // drives the array gives to the base pool
        filler.add("Usage", CIMValue(POOL_USAGE_RESERVED_FOR_SYSTEM));
        break;
    default:
        filler.add("Usage", CIMValue(POOL_USAGE_OTHER));
        filler.add("OtherUsageDescription", CIMValue(String("Failed and downed drives")));
        break;
    }
}

} // namespace

StoragePoolPath::StoragePoolPath(Uint32 poolID)
    : CIMObjectPath(smimo::instanceIDPath(POOL_CLASS, smimo::hexID(fetchPool(poolID)->getObjectID())))
{
}

StoragePoolInstance::StoragePoolInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList,
                                         Uint32 poolID)
    : CIMInstance(CIMName(POOL_CLASS))
{
    const std::unique_ptr<KVELPool> pool = fetchPool(poolID);
    const CIMObjectPath path = smimo::instanceIDPath(POOL_CLASS, smimo::hexID(poolID));
    const Uint64 freeBlocks = pool->UsedBlocks < pool->TotalBlocks ? pool->TotalBlocks - pool->UsedBlocks : 0;
    smimo::InstanceFiller filler(*this, includeQualifiers, propertyList);

    filler.addKeys(path);
    filler.add("PoolID", CIMValue(smimo::hexID(poolID)));
    filler.add("ElementName", CIMValue(String(pool->Name.c_str())));
    filler.add("OperationalStatus", smimo::operationalStatus({smimo::OS_OK}));
    filler.add("TotalManagedSpace", CIMValue(Uint64(pool->TotalBlocks * smimo::BLOCK_SIZE)));
    filler.add("RemainingManagedSpace", CIMValue(Uint64(freeBlocks * smimo::BLOCK_SIZE)));
    filler.add("Primordial", CIMValue(Boolean(pool->Primordial)));
    addPoolUsage(poolID, filler);
    setPath(path);
}

PEGASUS_NAMESPACE_END
