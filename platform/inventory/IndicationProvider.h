// The array's indication provider, registered for CIM_InstCreation, CIM_InstModification,
// CIM_InstDeletion and CIM_AlertIndication in root/snia. The server's indication service
// evaluates the filters; the provider delivers every indication of its classes between
// enableIndications and disableIndications (see ArrayWatch for what and when), whatever the
// subscriptions, which it accepts all.
#ifndef INVENTORY_IndicationProvider_h
#define INVENTORY_IndicationProvider_h

#include <memory>
#include <mutex>

#include <Pegasus/Common/Config.h>
#include <Pegasus/Provider/CIMIndicationProvider.h>

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

class ArrayWatch;

class ArrayIndicationProvider : public CIMIndicationProvider
{
public:
    ArrayIndicationProvider();
    ~ArrayIndicationProvider() override;

    void initialize(CIMOMHandle& cimom) override;
    // Disables indications if the server has not, then deletes the provider.
    void terminate() override;

    void enableIndications(IndicationResponseHandler& handler) override;
    void disableIndications() override;

    void createSubscription(const OperationContext& context, const CIMObjectPath& subscriptionName,
                            const Array<CIMObjectPath>& classNames, const CIMPropertyList& propertyList,
                            const Uint16 repeatNotificationPolicy) override;
    void modifySubscription(const OperationContext& context, const CIMObjectPath& subscriptionName,
                            const Array<CIMObjectPath>& classNames, const CIMPropertyList& propertyList,
                            const Uint16 repeatNotificationPolicy) override;
    void deleteSubscription(const OperationContext& context, const CIMObjectPath& subscriptionName,
                            const Array<CIMObjectPath>& classNames) override;

private:
    std::mutex _mutex; // enable and disable may come from different server threads
    std::shared_ptr<ArrayWatch> _watch;
};

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
