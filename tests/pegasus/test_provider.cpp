#include <Pegasus/Provider/ProviderException.h>

#include <functional>
#include <optional>
#include <gtest/gtest.h>

using namespace Pegasus;

namespace
{

// What `thrower` threw, caught through the root of the family, if it was a CIMException.
std::optional<CIMException> thrownCIMException(const std::function<void()>& thrower)
{
    try
    {
        thrower();
    }
    catch (const Exception& e)
    {
        if (const CIMException* cim = dynamic_cast<const CIMException*>(&e)) return *cim;
    }
    return std::nullopt;
}

TEST(ProviderException, EachCarriesItsCodeAndTheMessageAsGiven)
{
    const String message = "bad \"key\" <x> & 100%s\n";
    const std::pair<std::function<void()>, CIMStatusCode> cases[] = {
        {[&] { throw CIMOperationFailedException(message); }, CIM_ERR_FAILED},
        {[&] { throw CIMAccessDeniedException(message); }, CIM_ERR_ACCESS_DENIED},
        {[&] { throw CIMInvalidParameterException(message); }, CIM_ERR_INVALID_PARAMETER},
        {[&] { throw CIMObjectNotFoundException(message); }, CIM_ERR_NOT_FOUND},
        {[&] { throw CIMNotSupportedException(message); }, CIM_ERR_NOT_SUPPORTED},
        {[&] { throw CIMObjectAlreadyExistsException(message); }, CIM_ERR_ALREADY_EXISTS},
        {[&] { throw CIMPropertyNotFoundException(message); }, CIM_ERR_NO_SUCH_PROPERTY},
        {[&] { throw CIMMethodNotFoundException(message); }, CIM_ERR_METHOD_NOT_FOUND},
    };
    for (const auto& [thrower, code] : cases)
    {
        EXPECT_THROW(thrower(), CIMOperationFailedException);
        const std::optional<CIMException> e = thrownCIMException(thrower);
        ASSERT_TRUE(e) << code;
        EXPECT_EQ(code, e->getCode());
        EXPECT_TRUE(e->getMessage() == message);
    }
}

} // namespace
