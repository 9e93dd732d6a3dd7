#include <Pegasus/Common/OperationContext.h>

#include <algorithm>
#include <memory>
#include <vector>

PEGASUS_NAMESPACE_BEGIN

namespace
{

// Containers may come from another module's allocator, so they are released through their own
// destroy() rather than by delete.
struct ContainerDestroyer
{
    void operator()(OperationContext::Container* container) const { container->destroy(); }
};

using OwnedContainer = std::unique_ptr<OperationContext::Container, ContainerDestroyer>;

OwnedContainer cloneOf(const OperationContext::Container& container)
{
    return OwnedContainer(container.clone());
}

} // namespace

struct OperationContextRep
{
    std::vector<OwnedContainer> containers;

    std::vector<OwnedContainer>::iterator find(const String& name)
    {
        return std::find_if(containers.begin(), containers.end(),
                            [&name](const OwnedContainer& c) { return String::equal(c->getName(), name); });
    }
};

OperationContext::Container::~Container() = default;

OperationContext::OperationContext() : _rep(new OperationContextRep) {}

OperationContext::OperationContext(const OperationContext& context) : _rep(new OperationContextRep)
{
    _rep->containers.reserve(context._rep->containers.size());
    for (const OwnedContainer& container : context._rep->containers)
        _rep->containers.push_back(cloneOf(*container));
}

OperationContext::~OperationContext()
{
    delete _rep;
}

OperationContext& OperationContext::operator=(const OperationContext& context)
{
    // Clone first so that a failing clone() leaves this context unchanged.
    OperationContext copy(context);
    std::swap(_rep, copy._rep);
    return *this;
}

void OperationContext::clear()
{
    _rep->containers.clear();
}

const OperationContext::Container& OperationContext::get(const String& containerName) const
{
    auto it = _rep->find(containerName);
    if (it == _rep->containers.end())
        throw Exception("OperationContext has no container named \"" + containerName + "\"");
    return **it;
}

Boolean OperationContext::contains(const String& containerName) const
{
    return _rep->find(containerName) != _rep->containers.end();
}

void OperationContext::set(const Container& container)
{
    auto it = _rep->find(container.getName());
    if (it == _rep->containers.end())
        throw Exception("OperationContext has no container named \"" + container.getName() + "\" to replace");
    *it = cloneOf(container);
}

void OperationContext::insert(const Container& container)
{
    if (contains(container.getName()))
        throw Exception("OperationContext already has a container named \"" + container.getName() + "\"");
    _rep->containers.push_back(cloneOf(container));
}

void OperationContext::remove(const String& containerName)
{
    auto it = _rep->find(containerName);
    if (it == _rep->containers.end())
        throw Exception("OperationContext has no container named \"" + containerName + "\" to remove");
    _rep->containers.erase(it);
}

const String IdentityContainer::NAME = "IdentityContainer";

IdentityContainer::IdentityContainer(const OperationContext::Container& container)
{
    const IdentityContainer* identity = dynamic_cast<const IdentityContainer*>(&container);
    if (!identity) throw DynamicCastFailedException();
    _userName = identity->_userName;
}

IdentityContainer::IdentityContainer(const IdentityContainer& container)
    : OperationContext::Container(), _userName(container._userName)
{
}

IdentityContainer::IdentityContainer(const String& userName) : _userName(userName) {}

IdentityContainer::~IdentityContainer() = default;

IdentityContainer& IdentityContainer::operator=(const IdentityContainer& container)
{
    _userName = container._userName;
    return *this;
}

String IdentityContainer::getName() const
{
    return NAME;
}

OperationContext::Container* IdentityContainer::clone() const
{
    return new IdentityContainer(*this);
}

void IdentityContainer::destroy()
{
    delete this;
}

String IdentityContainer::getUserName() const
{
    return _userName;
}

PEGASUS_NAMESPACE_END
