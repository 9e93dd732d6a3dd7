#include "ProviderCall.h"

#include <exception>

#include <Pegasus/Common/Exception.h>

namespace cimhost
{

void rethrowAsCimException(const std::string& operation)
{
    try
    {
        throw;
    }
    catch (const Pegasus::CIMException& e)
    {
        // A fresh copy: the original's dynamic type may live in the provider's module.
        throw Pegasus::CIMException(e.getCode(), e.getMessage());
    }
    catch (const Pegasus::Exception& e)
    {
        throw Pegasus::CIMException(Pegasus::CIM_ERR_FAILED, e.getMessage());
    }
    catch (const std::exception& e)
    {
        throw Pegasus::CIMException(Pegasus::CIM_ERR_FAILED, (operation + " failed: " + e.what()).c_str());
    }
    catch (...)
    {
        throw Pegasus::CIMException(Pegasus::CIM_ERR_FAILED,
                                    (operation + " failed with an exception of unknown type").c_str());
    }
}

} // namespace cimhost
