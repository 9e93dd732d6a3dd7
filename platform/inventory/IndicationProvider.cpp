#include "IndicationProvider.h"

#include "ArrayWatch.h"
#include "EngineRecords.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

ArrayIndicationProvider::ArrayIndicationProvider() = default;

ArrayIndicationProvider::~ArrayIndicationProvider() = default;

void ArrayIndicationProvider::initialize(CIMOMHandle&) {}

void ArrayIndicationProvider::terminate()
{
    disableIndications();
    delete this;
}

void ArrayIndicationProvider::enableIndications(IndicationResponseHandler& handler)
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (_watch) _watch->stop(); // a second enable replaces the handler
    _watch = std::make_shared<ArrayWatch>(engine(), handler);
    _watch->start();
}

void ArrayIndicationProvider::disableIndications()
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (!_watch) return;
    _watch->stop();
    _watch.reset();
}

// Every subscription is accepted: the server filters what the provider delivers, and the
// provider watches the array the same way for one subscription or many.
void ArrayIndicationProvider::createSubscription(const OperationContext&, const CIMObjectPath&,
                                                 const Array<CIMObjectPath>&, const CIMPropertyList&,
                                                 const Uint16)
{
}

void ArrayIndicationProvider::modifySubscription(const OperationContext&, const CIMObjectPath&,
                                                 const Array<CIMObjectPath>&, const CIMPropertyList&,
                                                 const Uint16)
{
}

void ArrayIndicationProvider::deleteSubscription(const OperationContext&, const CIMObjectPath&,
                                                 const Array<CIMObjectPath>&)
{
}

} // namespace inventory

PEGASUS_NAMESPACE_END
