// An intrinsic answer encoded piece by piece, as the objects of a long enumeration arrive: the
// opening up to IRETURNVALUE, one element an object, the closing. Instances are written as the
// answer shows them (property list, qualifiers, class origins) straight from the instance the
// provider delivered, which is left as it is.
#ifndef CIMHOST_StreamedResponse_h
#define CIMHOST_StreamedResponse_h

#include <string>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMPropertyList.h>

namespace cimhost
{

// What of an instance an answer shows.
struct ShownElements
{
    bool includeQualifiers = false;
    bool includeClassOrigin = false;
    const Pegasus::CIMPropertyList* propertyList = nullptr; // null: every property
};

// <?xml ...?><CIM><MESSAGE ID=...><SIMPLERSP><IMETHODRESPONSE NAME=...><IRETURNVALUE>
void appendIntrinsicOpening(std::string& out, const std::string& messageId, const std::string& methodName);
// </IRETURNVALUE></IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>
void appendIntrinsicClosing(std::string& out);
// The output parameters of a pull answer, EndOfSequence and EnumerationContext, typed as the
// server writes output parameters.
void appendPullParameters(std::string& out, bool endOfSequence, const std::string& enumerationContext);
// </IRETURNVALUE>, the pull parameters, and the rest of the closing.
void appendPullClosing(std::string& out, bool endOfSequence, const std::string& enumerationContext);

// INSTANCE with only what `shown` lets through.
void appendShownInstanceElement(std::string& out, const Pegasus::CIMConstInstance& instance,
                                const ShownElements& shown);
// VALUE.NAMEDINSTANCE (EnumerateInstances) with the given path's INSTANCENAME.
void appendShownNamedInstance(std::string& out, const Pegasus::CIMConstInstance& instance,
                              const Pegasus::CIMObjectPath& path, const ShownElements& shown);
// VALUE.INSTANCEWITHPATH (the pull operations): the instance with its INSTANCEPATH.
void appendShownInstanceWithPath(std::string& out, const Pegasus::CIMConstInstance& instance,
                                 const Pegasus::CIMObjectPath& path, const ShownElements& shown);
// VALUE.OBJECTWITHPATH (Associators, References): an instance with its INSTANCEPATH, or a class
// with its CLASSPATH.
void appendShownObjectWithPath(std::string& out, const Pegasus::CIMConstObject& object,
                               const Pegasus::CIMObjectPath& path, const ShownElements& shown);

} // namespace cimhost

#endif
