#include "SettingChanges.h"

#include <vector>

#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMType.h>
#include <Pegasus/Provider/ProviderException.h>
#include <SMIMOBuilders.h>

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

namespace
{

const Uint64 BLOCK_BYTES = 512;
const Uint16 MAX_HINT = 10;

[[noreturn]] void refuse(const CIMName& property, const String& why)
{
    throw CIMInvalidParameterException(property.getString() + String(": ") + why);
}

template <class T> T typedValue(const CIMConstProperty& property, CIMType type)
{
    const CIMValue& value = property.getValue();
    if (value.isNull() || value.isArray() || value.getType() != type)
        refuse(property.getName(), String("must be a ") + String(cimTypeToString(type)) + String(" value"));
    T result = T();
    value.get(result);
    return result;
}

Uint16 hint(const CIMConstProperty& property)
{
    const Uint16 value = typedValue<Uint16>(property, CIMTYPE_UINT16);
    if (value > MAX_HINT) refuse(property.getName(), "must be from 0 to 10");
    return value;
}

// The layout goals as the client leaves them, and which of the derived ones it set itself.
struct Goals
{
    Uint16 dataRedundancy;
    Uint16 packageRedundancy;
    Uint16 stripeLength;
    bool packageRedundancyChanged = false;
    bool noSinglePointOfFailureChanged = false;
};

// Takes a writable property into the record or the goals; false when the property is not one.
bool takeWritable(const CIMConstProperty& property, const KVELVolume& before, KVELVolume& record,
                  Goals& goals)
{
    const CIMName& name = property.getName();
    if (name.equal(CIMName("ElementName")))
    {
        record.Name = (const char*)typedValue<String>(property, CIMTYPE_STRING).getCString();
    }
    else if (name.equal(CIMName("DataRedundancyGoal")))
    {
        goals.dataRedundancy = typedValue<Uint16>(property, CIMTYPE_UINT16);
        if (goals.dataRedundancy == 0) refuse(name, "must be 1 (no copies) or more");
    }
    else if (name.equal(CIMName("PackageRedundancyGoal")))
    {
        goals.packageRedundancy = typedValue<Uint16>(property, CIMTYPE_UINT16);
        goals.packageRedundancyChanged = goals.packageRedundancy != before.PackageRedundancy;
    }
    else if (name.equal(CIMName("ExtentStripeLength")))
    {
        goals.stripeLength = typedValue<Uint16>(property, CIMTYPE_UINT16);
    }
    else if (name.equal(CIMName("UserDataStripeDepth")))
    {
        const Uint64 bytes = typedValue<Uint64>(property, CIMTYPE_UINT64);
        // A chunk size of 0 tells the engine to take its default, which is not what was asked.
        if (bytes == 0 || bytes % BLOCK_BYTES != 0 || bytes / BLOCK_BYTES > 0xFFFFFFFFu)
            refuse(name, "must be a positive whole number of 512-byte blocks");
        record.ChunkSize = Uint32(bytes / BLOCK_BYTES);
    }
    else if (name.equal(CIMName("NoSinglePointOfFailure")))
    {
        record.NoSinglePointOfFailure = typedValue<Boolean>(property, CIMTYPE_BOOLEAN);
        goals.noSinglePointOfFailureChanged = record.NoSinglePointOfFailure != before.NoSinglePointOfFailure;
    }
    else if (name.equal(CIMName("StorageEfficiencyHint")))
        record.StorageEfficiencyHint = hint(property);
    else if (name.equal(CIMName("AccessBandwidthWeight")))
        record.AccessBandwidthWeight = hint(property);
    else
        return false;
    return true;
}

// Chooses the organization the goals stand for. A derived goal the client left alone follows the
// others; one it changed must agree with them.
void applyGoals(const Goals& goals, KVELVolume& record)
{
    Uint16 packageRedundancy = goals.packageRedundancy;
    if (goals.dataRedundancy >= 2)
    {
        const Uint16 mirrored = Uint16(goals.dataRedundancy - 1);
        if (packageRedundancy != mirrored && goals.packageRedundancyChanged)
        {
            String why("must be ");
            why.appendPrintf("%u with %u copies of the data", Uint32(mirrored), Uint32(goals.dataRedundancy));
            refuse(CIMName("PackageRedundancyGoal"), why);
        }
        packageRedundancy = mirrored;
        record.VolumeOrganization = KVELVolume::VOLUME_ORGANIZATION_MIRRORED;
    }
    else if (packageRedundancy == 0)
        record.VolumeOrganization = KVELVolume::VOLUME_ORGANIZATION_STRIPED;
    else if (packageRedundancy == 1)
        record.VolumeOrganization = KVELVolume::VOLUME_ORGANIZATION_PARITY;
    else if (packageRedundancy == 2)
        record.VolumeOrganization = KVELVolume::VOLUME_ORGANIZATION_DOUBLE_PARITY;
    else
        refuse(CIMName("PackageRedundancyGoal"),
               "must be 0 (striped), 1 (parity) or 2 (double parity) with one "
               "copy of the data, or one less than DataRedundancyGoal");
    record.DataRedundancy = goals.dataRedundancy;
    record.PackageRedundancy = packageRedundancy;
    record.StripeWidth = goals.stripeLength;

    if (packageRedundancy == 0 && record.NoSinglePointOfFailure)
    {
        if (goals.noSinglePointOfFailureChanged)
            refuse(CIMName("NoSinglePointOfFailure"),
                   "needs a redundant layout (PackageRedundancyGoal 1 or more)");
        record.NoSinglePointOfFailure = false;
    }
}

bool sameValue(const CIMInstance& view, const CIMConstProperty& property)
{
    const Uint32 index = view.findProperty(property.getName());
    return index != PEG_NOT_FOUND && view.getProperty(index).getValue() == property.getValue();
}

} // namespace

void applySettingChanges(KVELVolume& record, const CIMInstance& modified, const CIMPropertyList& propertyList)
{
    KVELVolume changed = record;
    Goals goals{record.DataRedundancy, record.PackageRedundancy, record.StripeWidth};
    std::vector<Uint32> described;
    for (Uint32 i = 0; i < modified.getPropertyCount(); ++i)
    {
        const CIMConstProperty property = modified.getProperty(i);
        if (!propertyList.useThisProperty(property.getName())) continue;
        if (!takeWritable(property, record, changed, goals)) described.push_back(i);
    }
    applyGoals(goals, changed);

    // Whatever else the client sent must describe the record before or after the change.
    const CIMPropertyList every;
    const StorageSettingInstance before(false, every, record);
    const StorageSettingInstance after(false, every, changed);
    for (Uint32 index : described)
    {
        const CIMConstProperty property = modified.getProperty(index);
        if (before.findProperty(property.getName()) == PEG_NOT_FOUND)
            refuse(property.getName(), "is not a property of a volume setting");
        if (!sameValue(before, property) && !sameValue(after, property))
            refuse(property.getName(), "cannot be set; it follows the key and the layout goals");
    }
    record = changed;
}

String describeLayout(const KVELVolume& record)
{
    String text;
    switch (record.VolumeOrganization)
    {
    case KVELVolume::VOLUME_ORGANIZATION_MIRRORED:
        text.appendPrintf("%u copies of a stripe over %u drives", Uint32(record.DataRedundancy),
                          Uint32(record.StripeWidth));
        break;
    case KVELVolume::VOLUME_ORGANIZATION_PARITY:
        text.appendPrintf("parity over %u drives", Uint32(record.StripeWidth));
        break;
    case KVELVolume::VOLUME_ORGANIZATION_DOUBLE_PARITY:
        text.appendPrintf("double parity over %u drives", Uint32(record.StripeWidth));
        break;
    default:
        text.appendPrintf("a stripe over %u drives", Uint32(record.StripeWidth));
        break;
    }
    text.appendPrintf(" in chunks of %u blocks", record.ChunkSize);
    return text;
}

} // namespace inventory

PEGASUS_NAMESPACE_END
