// The objects the reading commands show, as JSON records with stable field names, and the table
// columns drawn from those records. Sizes are bytes in fields ending in "_bytes", durations
// seconds in fields ending in "_seconds".
#ifndef SCSCTL_Records_h
#define SCSCTL_Records_h

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <Pegasus/Common/CIMInstance.h>

#include "Table.h"

namespace scsctl
{

using Record = nlohmann::ordered_json;

struct RecordColumn
{
    Column column;
    std::string field; // the record field the cell shows
};

struct RecordKind
{
    const char* className; // what to enumerate
    Record (*record)(const Pegasus::CIMConstInstance& instance);
    std::vector<RecordColumn> columns;
};

const RecordKind& systemKind();
const RecordKind& poolKind();
const RecordKind& volumeKind();
const RecordKind& driveKind();
const RecordKind& settingKind();
const RecordKind& jobKind();

// A pool's Usage in words: "unrestricted", "reserved for sparing", or for Other its description.
std::string poolUsageText(const Pegasus::CIMConstInstance& pool);

// "Completed", "Running 42%", "Suspended", ...
std::string jobStateText(const Pegasus::CIMConstInstance& job);
// A JobState value alone in words: "Running", "Completed", or the number when it has no name.
std::string jobStateWord(std::uint64_t state);
// An OperationalStatus value in words: "OK", "Degraded", "Completed", ...
std::string operationalStatusWord(std::uint64_t code);

// Table rows of the records: sizes in IEC units, lists joined with commas, "-" for nothing.
std::string renderRecords(const std::vector<RecordColumn>& columns, const std::vector<Record>& records);

// The label of a field for people: the unit suffix goes ("size_bytes" shows as "size: 8 GiB").
std::string fieldLabel(const std::string& field);

// One record as "label: value" lines, for the show commands.
std::string renderRecord(const Record& record);

} // namespace scsctl

#endif
