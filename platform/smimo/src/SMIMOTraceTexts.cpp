// The trace texts of paths and property lists.
#include <SMIMO_Util.h>

PEGASUS_NAMESPACE_BEGIN

String SMIMO_ObjectPath2String(const CIMObjectPath& path)
{
    return path.toString();
}

String SMIMO_PropertyList2String(const CIMPropertyList& propertyList)
{
    if (propertyList.isNull()) return String("NULL");
    if (propertyList.size() == 0) return String("EMPTY");
    String text;
    for (Uint32 i = 0; i < propertyList.size(); i++)
    {
        if (i > 0) text.append(String(", "));
        text.append(propertyList[i].getString());
    }
    return text;
}

PEGASUS_NAMESPACE_END
