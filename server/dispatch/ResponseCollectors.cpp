#include "ResponseCollectors.h"

#include <Pegasus/Common/CIMObjectRep.h>
#include <Pegasus/Common/Exception.h>

namespace cimhost
{

void ProtocolChecker::requireCompleted(const std::string& operation) const
{
    std::string breach;
    if (_violation)
        breach = _violation;
    else if (_state != Completed)
        breach = "returned without calling complete()";
    if (!breach.empty())
        throw Pegasus::CIMException(
            Pegasus::CIM_ERR_FAILED,
            ("provider broke the response protocol in " + operation + ": " + breach).c_str());
}

void ProtocolChecker::onProcessing()
{
    // A repeated processing() is harmless; one after complete() is not.
    if (_state == Completed)
        violate("called processing() after complete()");
    else
        _state = Processing;
}

void ProtocolChecker::onComplete()
{
    if (_state == Fresh)
        violate("called complete() without processing()");
    else if (_state == Completed)
        violate("called complete() twice");
    _state = Completed;
}

bool ProtocolChecker::onDeliver()
{
    if (_state == Fresh)
        violate("delivered before processing()");
    else if (_state == Completed)
        violate("delivered after complete()");
    return _violation == nullptr;
}

void ProtocolChecker::violate(const char* what)
{
    if (!_violation) _violation = what;
}

void InstanceCollector::deliver(const Pegasus::CIMInstance& instance)
{
    if (!onDeliver()) return;
    if (instance.isUninitialized())
        violate("delivered an uninitialized instance");
    else
        instances.append(instance);
}

void InstanceCollector::deliver(const Pegasus::Array<Pegasus::CIMInstance>& batch)
{
    for (Pegasus::Uint32 i = 0; i < batch.size(); ++i)
        deliver(batch[i]);
}

Pegasus::CIMInstance& InstanceCollector::owned(Pegasus::Uint32 i)
{
    Pegasus::CIMInstance& instance = instances[i];
    if (Pegasus::CIMHandleAccess::rep(instance)->isShared()) instance = instance.clone();
    return instance;
}

void ObjectPathCollector::deliver(const Pegasus::CIMObjectPath& path)
{
    if (!onDeliver()) return;
    if (path.getClassName().isNull())
        violate("delivered an object path without a class");
    else
        paths.append(path);
}

void ObjectPathCollector::deliver(const Pegasus::Array<Pegasus::CIMObjectPath>& batch)
{
    for (Pegasus::Uint32 i = 0; i < batch.size(); ++i)
        deliver(batch[i]);
}

void InstanceForwarder::deliver(const Pegasus::CIMInstance& instance)
{
    if (!onDeliver()) return;
    if (instance.isUninitialized())
        violate("delivered an uninitialized instance");
    else
        _receive(instance);
}

void InstanceForwarder::deliver(const Pegasus::Array<Pegasus::CIMInstance>& batch)
{
    for (Pegasus::Uint32 i = 0; i < batch.size(); ++i)
        deliver(batch[i]);
}

void ObjectForwarder::deliver(const Pegasus::CIMObject& object)
{
    if (!onDeliver()) return;
    if (object.isUninitialized())
        violate("delivered an uninitialized object");
    else
        _receive(object);
}

void ObjectForwarder::deliver(const Pegasus::Array<Pegasus::CIMObject>& batch)
{
    for (Pegasus::Uint32 i = 0; i < batch.size(); ++i)
        deliver(batch[i]);
}

void ObjectPathForwarder::deliver(const Pegasus::CIMObjectPath& path)
{
    if (!onDeliver()) return;
    if (path.getClassName().isNull())
        violate("delivered an object path without a class");
    else
        _receive(path);
}

void ObjectPathForwarder::deliver(const Pegasus::Array<Pegasus::CIMObjectPath>& batch)
{
    for (Pegasus::Uint32 i = 0; i < batch.size(); ++i)
        deliver(batch[i]);
}

void MethodResultCollector::deliverParamValue(const Pegasus::CIMParamValue& outParamValue)
{
    if (!onDeliver()) return;
    if (outParamValue.isUninitialized())
        violate("delivered an uninitialized output parameter");
    else
        outParams.append(outParamValue.clone());
}

void MethodResultCollector::deliverParamValue(const Pegasus::Array<Pegasus::CIMParamValue>& batch)
{
    for (Pegasus::Uint32 i = 0; i < batch.size(); ++i)
        deliverParamValue(batch[i]);
}

void MethodResultCollector::deliver(const Pegasus::CIMValue& value)
{
    if (!onDeliver()) return;
    if (_returned)
    {
        violate("delivered a second return value");
        return;
    }
    _returned = true;
    returnValue = value;
}

} // namespace cimhost
