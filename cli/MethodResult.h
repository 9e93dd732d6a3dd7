// The return value of an extrinsic method, judged: 0 done, 4096 a job was started, anything else
// a failure explained with the method's ValueMap/Values from its class.
#ifndef SCSCTL_MethodResult_h
#define SCSCTL_MethodResult_h

#include <cstdint>
#include <string>

#include <Pegasus/Common/CIMClass.h>

#include "CimClient.h"

namespace scsctl
{

enum class MethodOutcome
{
    Done,
    JobStarted
};

// Throws Failure(ExitRefused) "METHOD returned 5 (Invalid Parameter)" for a failure.
MethodOutcome judgeReturn(CimClient& client, const Pegasus::CIMObjectPath& target, const std::string& method,
                          const MethodAnswer& answer);

// The Values text that the ValueMap of the method gives the number (ranges "a..b" included), or
// empty when the class has none for it.
std::string returnValueText(const Pegasus::CIMConstClass& cimClass, const std::string& method,
                            std::uint64_t value);

} // namespace scsctl

#endif
