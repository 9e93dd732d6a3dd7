#include "IndicationText.h"

#include <map>

#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/Exception.h>

#include "InstanceFields.h"
#include "Records.h"
#include "SizeText.h"

namespace scsctl
{

using namespace Pegasus;

namespace
{

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string classOf(const CIMConstInstance& instance)
{
    return utf8(instance.getClassName().getString());
}

bool isJob(const CIMConstInstance& instance)
{
    return endsWith(classOf(instance), "_ConcreteJob");
}

bool isVolume(const CIMConstInstance& instance)
{
    return endsWith(classOf(instance), "_StorageVolume");
}

std::string wordOf(const std::map<std::uint64_t, const char*>& words, std::uint64_t value)
{
    const auto found = words.find(value);
    return found != words.end() ? found->second : std::to_string(value);
}

std::string severityWord(std::uint64_t severity)
{
    static const std::map<std::uint64_t, const char*> words = {
        {0, "Unknown"}, {1, "Other"}, {2, "Information"}, {3, "Degraded/Warning"},
        {4, "Minor"},   {5, "Major"}, {6, "Critical"},    {7, "Fatal/NonRecoverable"}};
    return wordOf(words, severity);
}

std::string alertTypeWord(std::uint64_t type)
{
    static const std::map<std::uint64_t, const char*> words = {{1, "Other"},
                                                               {2, "Communications Alert"},
                                                               {3, "Quality of Service Alert"},
                                                               {4, "Processing Error"},
                                                               {5, "Device Alert"},
                                                               {6, "Environmental Alert"},
                                                               {7, "Model Change"},
                                                               {8, "Security Alert"}};
    return wordOf(words, type);
}

// A property value as an operator reads it; the names whose numbers have words get the words.
std::string valueText(const std::string& property, const CIMValue& value)
{
    if (value.isNull()) return "-";
    const CIMType type = value.getType();
    if (type == CIMTYPE_OBJECT || type == CIMTYPE_INSTANCE) return "(instance)";
    if (property == "JobState" && type == CIMTYPE_UINT16 && !value.isArray())
    {
        Uint16 state;
        value.get(state);
        return jobStateWord(state);
    }
    if (property == "OperationalStatus" && type == CIMTYPE_UINT16 && value.isArray())
    {
        Array<Uint16> codes;
        value.get(codes);
        std::string words;
        for (Uint32 i = 0; i < codes.size(); ++i)
            words += (i ? "," : "") + operationalStatusWord(codes[i]);
        return words.empty() ? "-" : words;
    }
    return utf8(value.toString());
}

bool movesWithEveryChange(const std::string& property)
{
    return property == "ElapsedTime" || property == "TimeOfLastStateChange";
}

// The instance an indication is about: the class and its identifying key, with the job's or
// volume's name.
std::string subject(const CIMConstInstance& source)
{
    std::string text = classOf(source);
    const char* key = isJob(source) ? "InstanceID" : isVolume(source) ? "DeviceID" : nullptr;
    std::optional<std::string> id = key ? stringField(source, key) : std::nullopt;
    if (!id)
        for (const char* name : {"InstanceID", "DeviceID", "Name"})
            if ((id = stringField(source, name))) break;
    if (id) text += " " + *id;
    if (const auto name = stringField(source, "ElementName")) text += " \"" + *name + "\"";
    return text;
}

// A created job's state, a created volume's size.
std::string creationDetail(const CIMConstInstance& source)
{
    if (isJob(source)) return jobStateText(source);
    if (isVolume(source))
    {
        const auto blocks = numberField(source, "NumberOfBlocks");
        const auto blockSize = numberField(source, "BlockSize");
        if (blocks && blockSize) return formatSize(*blocks * *blockSize);
    }
    return std::string();
}

// The alerting element, a model path, as its class and key values.
std::string elementText(const std::string& path)
{
    try
    {
        const CIMObjectPath element{String(path.c_str())};
        std::string text = utf8(element.getClassName().getString());
        const Array<CIMKeyBinding> keys = element.getKeyBindings();
        for (Uint32 i = 0; i < keys.size(); ++i)
        {
            const std::string name = utf8(keys[i].getName().getString());
            // The system's keys say nothing the element's own key does not.
            if (name == "CreationClassName" || name == "SystemCreationClassName" || name == "SystemName")
                continue;
            text += " " + utf8(keys[i].getValue());
        }
        return text;
    }
    catch (const Exception&)
    {
        return path;
    }
}

std::string alertText(const CIMConstInstance& alert)
{
    std::string text = severityWord(numberField(alert, "PerceivedSeverity").value_or(0));
    if (const auto type = numberField(alert, "AlertType")) text += " " + alertTypeWord(*type);
    text += ": " + stringField(alert, "Description").value_or("(no description)");
    if (const auto element = stringField(alert, "AlertingManagedElement"))
        text += "  " + elementText(*element);
    return text;
}

} // namespace

IndicationTopic topicOf(const CIMConstInstance& indication)
{
    if (endsWith(classOf(indication), "_AlertIndication")) return IndicationTopic::Alert;
    const CIMConstInstance source = embeddedInstance(indication, "SourceInstance");
    if (source.isUninitialized()) return IndicationTopic::Other;
    if (isJob(source)) return IndicationTopic::Job;
    if (isVolume(source)) return IndicationTopic::Volume;
    return IndicationTopic::Other;
}

std::string indicationKind(const CIMConstInstance& indication)
{
    const std::string className = classOf(indication);
    if (endsWith(className, "_InstCreation")) return "created";
    if (endsWith(className, "_InstModification")) return "modified";
    if (endsWith(className, "_InstDeletion")) return "deleted";
    if (endsWith(className, "_AlertIndication")) return "alert";
    return "indication";
}

CIMConstInstance embeddedInstance(const CIMConstInstance& indication, const char* name)
{
    const Uint32 index = indication.findProperty(CIMName(name));
    if (index == PEG_NOT_FOUND) return CIMConstInstance();
    const CIMValue value = indication.getProperty(index).getValue();
    if (value.isNull() || value.isArray()) return CIMConstInstance();
    if (value.getType() == CIMTYPE_INSTANCE)
    {
        CIMInstance instance;
        value.get(instance);
        return instance;
    }
    if (value.getType() == CIMTYPE_OBJECT)
    {
        CIMObject object;
        value.get(object);
        if (object.isInstance()) return CIMInstance(object);
    }
    return CIMConstInstance();
}

namespace
{

CIMValue valueOf(const CIMConstInstance& instance, const CIMName& name)
{
    const Uint32 index = instance.findProperty(name);
    return index == PEG_NOT_FOUND ? CIMValue() : instance.getProperty(index).getValue();
}

} // namespace

std::vector<std::string> changedProperties(const CIMConstInstance& previous, const CIMConstInstance& current)
{
    std::vector<std::string> names;
    for (Uint32 i = 0; i < current.getPropertyCount(); ++i)
    {
        const CIMConstProperty property = current.getProperty(i);
        if (!(valueOf(previous, property.getName()) == property.getValue()))
            names.push_back(utf8(property.getName().getString()));
    }
    return names;
}

std::vector<std::string> changesBetween(const CIMConstInstance& previous, const CIMConstInstance& current)
{
    std::vector<std::string> changes;
    std::vector<std::string> clocks;
    for (const std::string& name : changedProperties(previous, current))
    {
        const CIMName property(name.c_str());
        const std::string change = name + " " + valueText(name, valueOf(previous, property)) + " -> " +
                                   valueText(name, valueOf(current, property));
        (movesWithEveryChange(name) ? clocks : changes).push_back(change);
    }
    return changes.empty() ? clocks : changes;
}

std::string indicationLine(const CIMConstInstance& indication, const std::string& time)
{
    const std::string kind = indicationKind(indication);
    std::string line = time + " " + kind + std::string(kind.size() < 9 ? 9 - kind.size() : 1, ' ');
    if (kind == "alert") return line + alertText(indication);
    const CIMConstInstance source = embeddedInstance(indication, "SourceInstance");
    if (source.isUninitialized()) return line + classOf(indication);
    line += subject(source);
    std::string detail;
    if (kind == "created")
        detail = creationDetail(source);
    else if (kind == "modified")
    {
        const CIMConstInstance previous = embeddedInstance(indication, "PreviousInstance");
        if (!previous.isUninitialized())
            for (const std::string& change : changesBetween(previous, source))
                detail += (detail.empty() ? "" : ", ") + change;
    }
    return detail.empty() ? line : line + "  " + detail;
}

} // namespace scsctl
