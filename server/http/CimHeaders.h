// The values of the CIM extension headers of a request: URI decoding, the media type, the
// header prefix that an M-POST declares, and whether CIMObject names what the body addresses.
#ifndef CIMHOST_CimHeaders_h
#define CIMHOST_CimHeaders_h

#include <string>

#include "CimMessages.h"

namespace cimhost
{

// Percent-decodes a header value; false on a malformed escape. '+' stays '+': header values
// are URI-encoded, not form-encoded.
bool uriDecode(const std::string& encoded, std::string& decoded);

// application/xml or text/xml, with no charset or charset utf-8 (quoted or not, any case).
bool isXmlUtf8ContentType(const std::string& contentType);

// The NN of the CIM mapping's "Man: http://www.dmtf.org/cim/mapping/http/v1.0;ns=NN" (the
// header may list several extensions), or empty when the header does not declare it.
std::string cimMappingNamespace(const std::string& manHeader);

// Whether the decoded CIMObject value agrees with the body: the namespace of an intrinsic call,
// the target class or instance path (namespace, class and keys) of an extrinsic one.
bool objectHeaderMatches(const std::string& cimObject, const CimRequest& request);

} // namespace cimhost

#endif
