// CIM-XML response encoding: the whole MESSAGE/SIMPLERSP document, built with the object
// model's XmlWriter.
#ifndef CIMHOST_ResponseEncoder_h
#define CIMHOST_ResponseEncoder_h

#include <string>

#include "CimMessages.h"

namespace cimhost
{

std::string encodeResponse(const CimResponse& response);

} // namespace cimhost

#endif
