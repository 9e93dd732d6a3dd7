// What the request and answer encoders share: an attribute with its value escaped.
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

} // namespace cimhost

#endif
