#include "SubscriptionStore.h"

#include <pugixml.hpp>

#include <algorithm>

#include <Pegasus/Common/XmlWriter.h>

#include "DurableFile.h"
#include "RequestDecoder.h"
#include "SubscriptionPaths.h"
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
    for (const CIMInstance& instance : _instances)
        _keys.push_back(pathKey(instance.getPath()));
}

size_t SubscriptionStore::indexOf(const CIMObjectPath& path) const
{
    const std::string key = pathKey(path);
    return size_t(std::find(_keys.begin(), _keys.end(), key) - _keys.begin());
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
    _keys.push_back(pathKey(instance.getPath()));
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
    _keys.erase(_keys.begin() + long(index));
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
