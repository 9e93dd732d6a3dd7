// Serves one association class: associators and references of an element in both directions,
// and the association's instances. A class may link several pairs of element kinds (the array's
// volumes and its drives as its devices), each an ArrayAssociation of that class.
#ifndef INVENTORY_AssociationProvider_h
#define INVENTORY_AssociationProvider_h

#include <utility>
#include <vector>

#include <Pegasus/Common/Config.h>
#include <Pegasus/Provider/CIMAssociationProvider.h>
#include <Pegasus/Provider/CIMInstanceProvider.h>

#include "ArrayAssociation.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

class AssociationProvider : public CIMAssociationProvider, public CIMInstanceProvider
{
public:
    explicit AssociationProvider(const ArrayAssociation& association) : _associations{&association} {}
    // Every association must be of one class.
    explicit AssociationProvider(std::vector<const ArrayAssociation*> associations)
        : _associations(std::move(associations))
    {
    }

    void initialize(CIMOMHandle& cimom) override;
    void terminate() override;

    void associators(const OperationContext& context, const CIMObjectPath& objectName,
                     const CIMName& associationClass, const CIMName& resultClass, const String& role,
                     const String& resultRole, const Boolean includeQualifiers,
                     const Boolean includeClassOrigin, const CIMPropertyList& propertyList,
                     ObjectResponseHandler& handler) override;
    void associatorNames(const OperationContext& context, const CIMObjectPath& objectName,
                         const CIMName& associationClass, const CIMName& resultClass, const String& role,
                         const String& resultRole, ObjectPathResponseHandler& handler) override;
    void references(const OperationContext& context, const CIMObjectPath& objectName,
                    const CIMName& resultClass, const String& role, const Boolean includeQualifiers,
                    const Boolean includeClassOrigin, const CIMPropertyList& propertyList,
                    ObjectResponseHandler& handler) override;
    void referenceNames(const OperationContext& context, const CIMObjectPath& objectName,
                        const CIMName& resultClass, const String& role,
                        ObjectPathResponseHandler& handler) override;

    void getInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                     const Boolean includeQualifiers, const Boolean includeClassOrigin,
                     const CIMPropertyList& propertyList, InstanceResponseHandler& handler) override;
    void enumerateInstances(const OperationContext& context, const CIMObjectPath& classReference,
                            const Boolean includeQualifiers, const Boolean includeClassOrigin,
                            const CIMPropertyList& propertyList, InstanceResponseHandler& handler) override;
    void enumerateInstanceNames(const OperationContext& context, const CIMObjectPath& classReference,
                                ObjectPathResponseHandler& handler) override;
    void modifyInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                        const CIMInstance& instanceObject, const Boolean includeQualifiers,
                        const CIMPropertyList& propertyList, ResponseHandler& handler) override;
    void createInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                        const CIMInstance& instanceObject, ObjectPathResponseHandler& handler) override;
    void deleteInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                        ResponseHandler& handler) override;

private:
    // A link seen from the element the client named: the far end and the link itself.
    struct Match
    {
        const ArrayAssociation* association;
        int farEnd;
        Link link;
    };
    // The links of objectName at every end that role (when given) admits and whose far end
    // resultRole and resultClass (when given) admit.
    std::vector<Match> _matches(const CIMObjectPath& objectName, const String& role, const String& resultRole,
                                const CIMName& resultClass) const;
    const ArrayAssociation& _first() const { return *_associations.front(); }
    CIMObjectPath _linkPath(const ArrayAssociation& association, const Link& link) const;
    CIMObjectPath _linkPath(const ArrayAssociation& association, const CIMObjectPath (&ends)[2]) const;
    CIMInstance _linkInstance(const ArrayAssociation& association, const Link& link,
                              Boolean includeQualifiers, const CIMPropertyList& propertyList) const;

    std::vector<const ArrayAssociation*> _associations;
};

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
