#include "Records.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "InstanceFields.h"
#include "ProgressLine.h"
#include "SizeText.h"

namespace scsctl
{

using namespace Pegasus;

namespace
{

template <class T> nlohmann::ordered_json orNull(const std::optional<T>& value)
{
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json();
}

std::string wordOf(const std::map<std::uint64_t, const char*>& words, std::uint64_t value)
{
    const auto found = words.find(value);
    return found != words.end() ? found->second : std::to_string(value);
}

nlohmann::ordered_json statusWords(const CIMConstInstance& instance)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (std::uint64_t code : numberArrayField(instance, "OperationalStatus"))
        list.push_back(operationalStatusWord(code));
    return list;
}

// The layout of a volume or setting from its redundancy: n >= 2 copies mirror; one copy stripes
// with no, single or double parity.
nlohmann::ordered_json layoutOf(std::optional<std::uint64_t> copies, std::optional<std::uint64_t> parity)
{
    if (!copies) return nullptr;
    if (*copies >= 2) return "mirror";
    switch (parity.value_or(0))
    {
    case 0:
        return "stripe";
    case 1:
        return "parity";
    default:
        return "double-parity";
    }
}

// A mirror keeps every copy on drives of its own: the drives a layout spans are the copies times
// the drives of one copy's stripe (ExtentStripeLength).
nlohmann::ordered_json drivesSpanned(std::optional<std::uint64_t> copies, std::optional<std::uint64_t> stripe)
{
    if (!stripe) return nullptr;
    return *stripe * std::max<std::uint64_t>(1, copies.value_or(1));
}

Record systemRecord(const CIMConstInstance& instance)
{
    return {{"id", orNull(stringField(instance, "Name"))},
            {"name", orNull(stringField(instance, "ElementName"))},
            {"description", orNull(stringField(instance, "Description"))},
            {"status", statusWords(instance)}};
}

Record poolRecord(const CIMConstInstance& instance)
{
    const std::string usage = poolUsageText(instance);
    return {{"id", orNull(stringField(instance, "InstanceID"))},
            {"name", orNull(stringField(instance, "ElementName"))},
            {"size_bytes", orNull(numberField(instance, "TotalManagedSpace"))},
            {"free_bytes", orNull(numberField(instance, "RemainingManagedSpace"))},
            {"primordial", orNull(booleanField(instance, "Primordial"))},
            {"usage", usage.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(usage)},
            {"status", statusWords(instance)}};
}

Record volumeRecord(const CIMConstInstance& instance)
{
    const auto blocks = numberField(instance, "NumberOfBlocks");
    const auto blockSize = numberField(instance, "BlockSize");
    return {{"id", orNull(stringField(instance, "DeviceID"))},
            {"name", orNull(stringField(instance, "ElementName"))},
            {"size_bytes", blocks && blockSize ? nlohmann::ordered_json(*blocks * *blockSize) : nullptr},
            {"layout",
             layoutOf(numberField(instance, "DataRedundancy"), numberField(instance, "PackageRedundancy"))},
            {"copies", orNull(numberField(instance, "DataRedundancy"))},
            {"drives", drivesSpanned(numberField(instance, "DataRedundancy"),
                                     numberField(instance, "ExtentStripeLength"))},
            {"stripe_drives", orNull(numberField(instance, "ExtentStripeLength"))},
            {"naa", orNull(stringField(instance, "Name"))},
            {"status", statusWords(instance)}};
}

Record driveRecord(const CIMConstInstance& instance)
{
    const auto kilobytes = numberField(instance, "MaxMediaSize");
    return {{"id", orNull(stringField(instance, "DeviceID"))},
            {"name", orNull(stringField(instance, "ElementName"))},
            {"serial", orNull(stringField(instance, "Name"))},
            {"model", orNull(stringField(instance, "Description"))},
            {"size_bytes", kilobytes ? nlohmann::ordered_json(*kilobytes * 1000) : nullptr},
            {"status", statusWords(instance)}};
}

Record settingRecord(const CIMConstInstance& instance)
{
    // A setting that is not changeable and persists (ChangeableType 3) describes the volume of its
    // ID; the others are templates that volumes are made from.
    const bool ofVolume = numberField(instance, "ChangeableType") == 3u;
    return {{"id", orNull(stringField(instance, "InstanceID"))},
            {"name", orNull(stringField(instance, "ElementName"))},
            {"kind", ofVolume ? "volume" : "template"},
            {"layout", layoutOf(numberField(instance, "DataRedundancyGoal"),
                                numberField(instance, "PackageRedundancyGoal"))},
            {"copies", orNull(numberField(instance, "DataRedundancyGoal"))},
            {"drives", drivesSpanned(numberField(instance, "DataRedundancyGoal"),
                                     numberField(instance, "ExtentStripeLength"))},
            {"stripe_drives", orNull(numberField(instance, "ExtentStripeLength"))},
            {"stripe_depth_bytes", orNull(numberField(instance, "UserDataStripeDepth"))}};
}

Record jobRecord(const CIMConstInstance& instance)
{
    return {{"id", orNull(stringField(instance, "InstanceID"))},
            {"name", orNull(stringField(instance, "ElementName"))},
            {"state", jobStateText(instance)},
            {"job_state", orNull(numberField(instance, "JobState"))},
            {"percent_complete", orNull(numberField(instance, "PercentComplete"))},
            {"elapsed_seconds", orNull(intervalSeconds(instance, "ElapsedTime"))},
            {"scheduled_start", orNull(dateTimeText(instance, "ScheduledStartTime"))},
            {"error", orNull(stringField(instance, "ErrorDescription"))},
            {"status", statusWords(instance)}};
}

std::string cellText(const std::string& field, const nlohmann::ordered_json& value)
{
    if (value.is_null()) return "-";
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number_unsigned() && field.size() > 6 && field.compare(field.size() - 6, 6, "_bytes") == 0)
        return formatSize(value.get<std::uint64_t>());
    if (value.is_number_unsigned() && field.size() > 8 && field.compare(field.size() - 8, 8, "_seconds") == 0)
        return durationText(value.get<std::uint64_t>());
    if (value.is_boolean()) return value.get<bool>() ? "yes" : "no";
    if (value.is_array())
    {
        std::string joined;
        for (const auto& item : value)
            joined += (joined.empty() ? "" : ",") + cellText(field, item);
        return joined.empty() ? "-" : joined;
    }
    return value.dump();
}

// The columns of a kind, from plain constants: GCC 12 in Release warns (-Wmaybe-uninitialized)
// about the strings of an initializer list of RecordColumn aggregates.
struct ColumnSpec
{
    const char* header;
    bool alignRight;
    const char* field;
};

template <size_t N> std::vector<RecordColumn> columnsOf(const ColumnSpec (&specs)[N])
{
    std::vector<RecordColumn> columns;
    columns.reserve(N);
    for (const ColumnSpec& spec : specs)
    {
        RecordColumn column;
        column.column.header = spec.header;
        column.column.alignRight = spec.alignRight;
        column.field = spec.field;
        columns.push_back(std::move(column));
    }
    return columns;
}

} // namespace

std::string operationalStatusWord(std::uint64_t code)
{
    static const std::map<std::uint64_t, const char*> words = {{0, "Unknown"},
                                                               {1, "Other"},
                                                               {2, "OK"},
                                                               {3, "Degraded"},
                                                               {4, "Stressed"},
                                                               {5, "Predictive Failure"},
                                                               {6, "Error"},
                                                               {7, "Non-Recoverable Error"},
                                                               {8, "Starting"},
                                                               {9, "Stopping"},
                                                               {10, "Stopped"},
                                                               {11, "In Service"},
                                                               {12, "No Contact"},
                                                               {13, "Lost Communication"},
                                                               {14, "Aborted"},
                                                               {15, "Dormant"},
                                                               {16, "Supporting Entity in Error"},
                                                               {17, "Completed"},
                                                               {18, "Power Mode"}};
    return wordOf(words, code);
}

std::string poolUsageText(const CIMConstInstance& pool)
{
    static const std::map<std::uint64_t, const char*> usages = {
        {2, "unrestricted"}, {3, "reserved for the array"}, {8, "reserved for sparing"}};
    const auto usage = numberField(pool, "Usage");
    if (!usage) return std::string();
    if (*usage == 1)
    {
        // "Other" says nothing; the description says what the pool is for.
        std::string description = stringField(pool, "OtherUsageDescription").value_or("other");
        if (!description.empty())
            description[0] = char(std::tolower(static_cast<unsigned char>(description[0])));
        return description;
    }
    return wordOf(usages, *usage);
}

std::string jobStateWord(std::uint64_t state)
{
    static const std::map<std::uint64_t, const char*> states = {
        {2, "New"},           {3, "Starting"},  {4, "Running"},       {5, "Suspended"},
        {6, "Shutting Down"}, {7, "Completed"}, {8, "Terminated"},    {9, "Killed"},
        {10, "Exception"},    {11, "Service"},  {12, "Query Pending"}};
    return wordOf(states, state);
}

std::string jobStateText(const CIMConstInstance& job)
{
    const auto state = numberField(job, "JobState");
    if (!state) return "Unknown";
    std::string text = jobStateWord(*state);
    const auto percent = numberField(job, "PercentComplete");
    // A suspended job that never ran has no progress worth showing.
    if (percent && (*state == 3 || *state == 4 || (*state == 5 && *percent > 0)))
        text += " " + std::to_string(*percent) + "%";
    return text;
}

const RecordKind& systemKind()
{
    static const ColumnSpec columns[] = {{"ID", false, "id"},
                                         {"NAME", false, "name"},
                                         {"DESCRIPTION", false, "description"},
                                         {"STATUS", false, "status"}};
    static const RecordKind kind{"CIM_ComputerSystem", systemRecord, columnsOf(columns)};
    return kind;
}

const RecordKind& poolKind()
{
    static const ColumnSpec columns[] = {{"ID", false, "id"},          {"NAME", false, "name"},
                                         {"SIZE", true, "size_bytes"}, {"FREE", true, "free_bytes"},
                                         {"USAGE", false, "usage"},    {"STATUS", false, "status"}};
    static const RecordKind kind{"CIM_StoragePool", poolRecord, columnsOf(columns)};
    return kind;
}

const RecordKind& volumeKind()
{
    static const ColumnSpec columns[] = {{"ID", false, "id"},          {"NAME", false, "name"},
                                         {"SIZE", true, "size_bytes"}, {"LAYOUT", false, "layout"},
                                         {"COPIES", true, "copies"},   {"DRIVES", true, "drives"},
                                         {"STATUS", false, "status"}};
    static const RecordKind kind{"CIM_StorageVolume", volumeRecord, columnsOf(columns)};
    return kind;
}

const RecordKind& driveKind()
{
    static const ColumnSpec columns[] = {{"ID", false, "id"},          {"NAME", false, "name"},
                                         {"SERIAL", false, "serial"},  {"MODEL", false, "model"},
                                         {"SIZE", true, "size_bytes"}, {"STATUS", false, "status"}};
    static const RecordKind kind{"CIM_DiskDrive", driveRecord, columnsOf(columns)};
    return kind;
}

const RecordKind& settingKind()
{
    static const ColumnSpec columns[] = {{"ID", false, "id"},
                                         {"NAME", false, "name"},
                                         {"KIND", false, "kind"},
                                         {"LAYOUT", false, "layout"},
                                         {"COPIES", true, "copies"},
                                         {"DRIVES", true, "drives"},
                                         {"STRIPE DEPTH", true, "stripe_depth_bytes"}};
    static const RecordKind kind{"CIM_StorageSetting", settingRecord, columnsOf(columns)};
    return kind;
}

const RecordKind& jobKind()
{
    static const ColumnSpec columns[] = {{"ID", false, "id"},
                                         {"NAME", false, "name"},
                                         {"STATE", false, "state"},
                                         {"ELAPSED", true, "elapsed_seconds"},
                                         {"SCHEDULED", false, "scheduled_start"},
                                         {"STATUS", false, "status"}};
    static const RecordKind kind{"CIM_ConcreteJob", jobRecord, columnsOf(columns)};
    return kind;
}

std::string renderRecords(const std::vector<RecordColumn>& columns, const std::vector<Record>& records)
{
    std::vector<Column> header;
    for (const RecordColumn& column : columns)
        header.push_back(column.column);
    std::vector<std::vector<std::string>> rows;
    for (const Record& record : records)
    {
        std::vector<std::string> row;
        for (const RecordColumn& column : columns)
            row.push_back(cellText(column.field, record.value(column.field, nlohmann::ordered_json())));
        rows.push_back(row);
    }
    return renderTable(header, rows);
}

std::string fieldLabel(const std::string& field)
{
    for (const std::string suffix : {"_bytes", "_seconds"})
        if (field.size() > suffix.size() &&
            field.compare(field.size() - suffix.size(), suffix.size(), suffix) == 0)
            return field.substr(0, field.size() - suffix.size());
    return field;
}

std::string renderRecord(const Record& record)
{
    size_t width = 0;
    for (const auto& item : record.items())
        width = std::max(width, fieldLabel(item.key()).size());
    std::string out;
    for (const auto& item : record.items())
    {
        const std::string label = fieldLabel(item.key());
        out += label + ":" + std::string(width + 2 - label.size(), ' ') + cellText(item.key(), item.value()) +
               "\n";
    }
    return out;
}

} // namespace scsctl
