#include <Pegasus/Common/CIMFlavor.h>

PEGASUS_NAMESPACE_BEGIN

const CIMFlavor CIMFlavor::NONE(0u);
const CIMFlavor CIMFlavor::OVERRIDABLE(1u);
const CIMFlavor CIMFlavor::ENABLEOVERRIDE(1u);
const CIMFlavor CIMFlavor::TOSUBCLASS(2u);
const CIMFlavor CIMFlavor::TOSUBELEMENTS(2u);
const CIMFlavor CIMFlavor::DEFAULTS(3u);
const CIMFlavor CIMFlavor::TOINSTANCE(4u);
const CIMFlavor CIMFlavor::TRANSLATABLE(8u);
const CIMFlavor CIMFlavor::DISABLEOVERRIDE(16u);
const CIMFlavor CIMFlavor::RESTRICTED(32u);

CIMFlavor::CIMFlavor() : cimFlavor(0) {}

CIMFlavor::CIMFlavor(const CIMFlavor& flavor) : cimFlavor(flavor.cimFlavor) {}

CIMFlavor& CIMFlavor::operator=(const CIMFlavor& flavor)
{
    cimFlavor = flavor.cimFlavor;
    return *this;
}

void CIMFlavor::addFlavor(const CIMFlavor& flavor)
{
    cimFlavor |= flavor.cimFlavor;
}

void CIMFlavor::removeFlavor(const CIMFlavor& flavor)
{
    cimFlavor &= ~flavor.cimFlavor;
}

Boolean CIMFlavor::hasFlavor(const CIMFlavor& flavor) const
{
    return (cimFlavor & flavor.cimFlavor) == flavor.cimFlavor;
}

Boolean CIMFlavor::equal(const CIMFlavor& flavor) const
{
    return cimFlavor == flavor.cimFlavor;
}

CIMFlavor CIMFlavor::operator+(const CIMFlavor& flavor) const
{
    return CIMFlavor(cimFlavor | flavor.cimFlavor);
}

// Names in ascending bit order, separated by single spaces; NONE gives an empty string. Aliases
// (ENABLEOVERRIDE, TOSUBELEMENTS, DEFAULTS) share bits with these and print under these names.
String CIMFlavor::toString() const
{
    static const struct
    {
        Uint32 bit;
        const char* name;
    } names[] = {{1, "OVERRIDABLE"},  {2, "TOSUBCLASS"},       {4, "TOINSTANCE"},
                 {8, "TRANSLATABLE"}, {16, "DISABLEOVERRIDE"}, {32, "RESTRICTED"}};

    String text;
    for (const auto& entry : names)
    {
        if ((cimFlavor & entry.bit) == 0) continue;
        if (text.size() != 0) text.append(Char16(' '));
        text.append(String(entry.name));
    }
    return text;
}

PEGASUS_NAMESPACE_END
