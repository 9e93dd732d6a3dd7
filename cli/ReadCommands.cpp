// The reading commands: system, pools, volumes, drives, settings, jobs, volume show, job show.
#include <algorithm>
#include <cstdio>

#include "Commands.h"
#include "InstanceFields.h"
#include "Lookup.h"

namespace scsctl
{

using namespace Pegasus;

namespace
{

ExitStatus print(Session& session, const std::vector<RecordColumn>& columns,
                 const std::vector<Record>& records)
{
    if (session.json)
        std::printf("%s\n", Record(records).dump(2).c_str());
    else
        std::printf("%s", renderRecords(columns, records).c_str());
    return ExitOk;
}

ExitStatus printOne(Session& session, const Record& record)
{
    std::printf("%s", session.json ? (record.dump(2) + "\n").c_str() : renderRecord(record).c_str());
    return ExitOk;
}

} // namespace

ExitStatus listObjects(Session& session, const RecordKind& kind)
{
    const Array<CIMInstance> instances = session.client.enumerateInstances(kind.className);
    std::vector<Record> records;
    for (Uint32 i = 0; i < instances.size(); ++i)
        records.push_back(kind.record(instances[i]));
    // Settings: the templates first, then those that describe a volume.
    std::stable_partition(records.begin(), records.end(),
                          [](const Record& record) { return record.value("kind", "") != "volume"; });
    return print(session, kind.columns, records);
}

ExitStatus showVolume(Session& session, const std::string& volume)
{
    const CIMInstance instance = findVolume(session.client, volume);
    Record record = volumeKind().record(instance);
    const Array<CIMObjectPath> pools =
        session.client.associatorNames(instance.getPath(), "CIM_AllocatedFromStoragePool");
    if (pools.size() > 0)
    {
        const CIMInstance pool = session.client.getInstance(pools[0]);
        record["pool_id"] = stringField(pool, "InstanceID").value_or("");
        record["pool_name"] = stringField(pool, "ElementName").value_or("");
    }
    return printOne(session, record);
}

ExitStatus showJob(Session& session, const std::string& job)
{
    return printOne(session, jobKind().record(findJob(session.client, job)));
}

} // namespace scsctl
