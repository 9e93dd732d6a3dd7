#include "SubscriptionStore.h"

#include <pugixml.hpp>

#include <Pegasus/Common/XmlWriter.h>

#include "DurableFile.h"
#include "RequestDecoder.h"
#include "XmlDecodeSupport.h"
#include "XmlValueDecoder.h"

namespace cimhost
{

using Pegasus::CIMInstance;
using Pegasus::CIMObjectPath;

namespace
{

// The file: VALUE.NAMEDINSTANCE elements, as CIM-XML answers carry them, in one document element.
const char* const ROOT = "CIMHOST.SUBSCRIPTIONS";

bool samePath(const CIMObjectPath& a, const CIMObjectPath& b)
{
    return CIMObjectPath(Pegasus::String(), Pegasus::CIMNamespaceName(), a.getClassName(), a.getKeyBindings())
        .identical(CIMObjectPath(Pegasus::String(), Pegasus::CIMNamespaceName(), b.getClassName(),
                                 b.getKeyBindings()));
}

std::vector<CIMInstance> load(const std::string& file)
{
    std::vector<CIMInstance> instances;
    std::optional<std::string> content;
    try
    {
        content = readDurableFile(file);
    }
    catch (const DurableFileError& e)
    {
        throw SubscriptionStoreError(std::string("subscriptions file: ") + e.what());
    }
    if (!content) return instances;
    const auto refuse = [&](const std::string& why)
    { throw SubscriptionStoreError("subscriptions file " + file + " is not usable: " + why); };
    try
    {
        pugi::xml_document document;
        parseDocument(document, content->data(), content->size(), DecoderLimits().maxDepth, ~size_t(0));
        const pugi::xml_node root = document.document_element();
        if (!isElement(root, ROOT)) refuse(std::string("the document element is not <") + ROOT + ">");
        DecodeState state;
        for (pugi::xml_node named : root.children("VALUE.NAMEDINSTANCE"))
        {
            CIMInstance instance = decodeNamedInstance(named, state);
            if (state.failed) refuse(state.text);
            instances.push_back(instance);
        }
    }
    catch (const CimXmlError& e)
    {
        refuse(e.what());
    }
    return instances;
}

} // namespace

SubscriptionStore::SubscriptionStore(std::string file) : _file(std::move(file))
{
    if (!_file.empty()) _instances = load(_file);
}

size_t SubscriptionStore::indexOf(const CIMObjectPath& path) const
{
    size_t i = 0;
    while (i < _instances.size() && !samePath(_instances[i].getPath(), path))
        ++i;
    return i;
}

void SubscriptionStore::save(const std::vector<CIMInstance>& instances) const
{
    if (_file.empty()) return;
    std::string content = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<";
    content += ROOT;
    content += " VERSION=\"1\">\n";
    for (const CIMInstance& instance : instances)
    {
        Pegasus::XmlWriter::appendValueNamedInstanceElement(content, instance);
        content += '\n';
    }
    content += "</";
    content += ROOT;
    content += ">\n";
    try
    {
        writeDurableFile(_file, content);
    }
    catch (const DurableFileError& e)
    {
        throw SubscriptionStoreError(std::string("subscriptions file: ") + e.what());
    }
}

bool SubscriptionStore::add(const CIMInstance& instance)
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (indexOf(instance.getPath()) != _instances.size()) return false;
    std::vector<CIMInstance> next = _instances;
    next.push_back(instance);
    save(next);
    _instances.swap(next);
    return true;
}

bool SubscriptionStore::replace(const CIMInstance& instance)
{
    std::lock_guard<std::mutex> lock(_mutex);
    const size_t index = indexOf(instance.getPath());
    if (index == _instances.size()) return false;
    std::vector<CIMInstance> next = _instances;
    next[index] = instance;
    save(next);
    _instances.swap(next);
    return true;
}

bool SubscriptionStore::remove(const CIMObjectPath& path)
{
    std::lock_guard<std::mutex> lock(_mutex);
    const size_t index = indexOf(path);
    if (index == _instances.size()) return false;
    std::vector<CIMInstance> next = _instances;
    next.erase(next.begin() + long(index));
    save(next);
    _instances.swap(next);
    return true;
}

std::optional<CIMInstance> SubscriptionStore::find(const CIMObjectPath& path) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    const size_t index = indexOf(path);
    if (index == _instances.size()) return std::nullopt;
    return _instances[index];
}

std::vector<CIMInstance> SubscriptionStore::instances(const Pegasus::CIMName& className) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    std::vector<CIMInstance> result;
    for (const CIMInstance& instance : _instances)
        if (instance.getClassName().equal(className)) result.push_back(instance);
    return result;
}

} // namespace cimhost
