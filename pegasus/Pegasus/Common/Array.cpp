#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/Exception.h>

PEGASUS_NAMESPACE_BEGIN

void ArrayThrowIndexOutOfBoundsException()
{
    throw IndexOutOfBoundsException();
}

PEGASUS_NAMESPACE_END
