// Declares Array<PEGASUS_ARRAY_T>. The generic template in Array.h already serves every element
// type, so including this file with PEGASUS_ARRAY_T defined only makes sure it is visible.
#include <Pegasus/Common/Array.h>
