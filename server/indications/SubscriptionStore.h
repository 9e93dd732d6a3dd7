// The indication subscriptions a host keeps across restarts: the filters, listener destinations
// and subscriptions clients created, as the instances they gave, in one file. Each change is on
// the disk when add, replace or remove returns, so a subscription that was acknowledged survives a
// kill -9. Instances are told apart by class and keys; host and namespace do not count (the host
// serves one set under each of its interop namespaces). Safe to use from several threads.
#ifndef CIMHOST_SubscriptionStore_h
#define CIMHOST_SubscriptionStore_h

#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMObjectPath.h>

namespace cimhost
{

class SubscriptionStoreError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class SubscriptionStore
{
public:
    // Loads the file when it exists. An empty path keeps the instances in memory only. Throws
    // SubscriptionStoreError naming the file when it cannot be read or is not a store.
    explicit SubscriptionStore(std::string file);

    // Each instance must have its path set. add: false, and nothing done, when one of that path
    // exists; replace and remove: false when none does. Throw SubscriptionStoreError, with nothing
    // changed, when the file cannot be written.
    bool add(const Pegasus::CIMInstance& instance);
    bool replace(const Pegasus::CIMInstance& instance);
    bool remove(const Pegasus::CIMObjectPath& path);

    std::optional<Pegasus::CIMInstance> find(const Pegasus::CIMObjectPath& path) const;
    // The instances of that class (not of its subclasses), in the order they were added.
    std::vector<Pegasus::CIMInstance> instances(const Pegasus::CIMName& className) const;

private:
    // The index of the instance of that path, or the number of instances.
    size_t indexOf(const Pegasus::CIMObjectPath& path) const;
    // Writes what the instances would be; throws before anything in memory changes.
    void save(const std::vector<Pegasus::CIMInstance>& instances) const;

    std::string _file;
    mutable std::mutex _mutex;
    std::vector<Pegasus::CIMInstance> _instances;
    std::vector<std::string> _keys; // pathKey of each instance, for finding without parsing paths
};

} // namespace cimhost

#endif
