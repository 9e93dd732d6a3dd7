// What the request and answer encoders share: an attribute with its value escaped, an ERROR element.
#ifndef CIMHOST_XmlEncodeSupport_h
#define CIMHOST_XmlEncodeSupport_h

#include <string>

#include <Pegasus/Common/XmlWriter.h>

namespace cimhost
{

inline void appendAttribute(std::string& out, const char* name, const std::string& value)
{
    out += ' ';
    out += name;
    out += "=\"";
    Pegasus::XmlWriter::appendEscaped(out, value.c_str());
    out += '"';
}

// ERROR CODE=... DESCRIPTION=..., as an answer or a listener's answer carries a failure.
inline void appendErrorElement(std::string& out, int code, const std::string& description)
{
    out += "<ERROR";
    appendAttribute(out, "CODE", std::to_string(code));
    if (!description.empty()) appendAttribute(out, "DESCRIPTION", description);
    out += "></ERROR>";
}

} // namespace cimhost

#endif
