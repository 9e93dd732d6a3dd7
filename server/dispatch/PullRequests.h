// The pull operations of CIM-XML requests: Open* runs the same typed operation as its classic
// counterpart (EnumerateInstances, EnumerateInstanceNames, Associators, AssociatorNames,
// References, ReferenceNames) on a thread of its own, delivering into the feed of an enumeration
// context, and answers the first MaxObjectCount objects; PullInstancesWithPath / PullInstancePaths
// take the next ones as the providers make them, CloseEnumeration lets them go.
#ifndef CIMHOST_PullRequests_h
#define CIMHOST_PullRequests_h

#include <string>

#include <Pegasus/Common/OperationContext.h>

#include "CimMessages.h"
#include "CimOperations.h"
#include "EnumerationContexts.h"

namespace cimhost
{

class AnswerOutput;

// objects: where the objects of the answer go, encoded, as the providers make them.
using PullHandler = void (*)(const CimOperations& operations, EnumerationContexts& contexts,
                             const CimRequest& request, const Pegasus::OperationContext& context,
                             AnswerOutput& objects, CimResponse& response);

struct PullOperation
{
    const char* name;
    PullHandler handler;
    bool answersObjects; // all but CloseEnumeration
};

// The pull operation of a name (ignoring case), or null for any other name.
const PullOperation* findPull(const std::string& methodName);

} // namespace cimhost

#endif
