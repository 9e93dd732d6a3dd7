// The client's half of the codec against the host's half: requests the client encodes decode on
// the host unchanged, and answers the host encodes decode on the client unchanged.
#include <gtest/gtest.h>

#include <Pegasus/Common/CIMMethod.h>
#include <Pegasus/Common/CIMQualifier.h>

#include "RequestDecoder.h"
#include "RequestEncoder.h"
#include "ResponseDecoder.h"
#include "ResponseEncoder.h"

using namespace cimhost;
using namespace Pegasus;

namespace
{

const CIMObjectPath jobPath("//host/root/snia:CIM_ConcreteJob.InstanceID=\"36<&>01\"");

TEST(ClientCodec, RequestsDecodeOnTheHostAsEncoded)
{
    CimRequest call;
    call.messageId = "7";
    call.kind = OperationKind::Extrinsic;
    call.methodName = "ScanStorageElement";
    call.target = CIMObjectPath("root/snia:X_Service.Name=\"S \\\"1\\\"\"");
    call.params.append(CIMParamValue("Job", CIMValue(jobPath), true));
    call.params.append(CIMParamValue("Size", CIMValue(Uint64(1) << 40), true));
    call.params.append(CIMParamValue("Name", CIMValue(String("weekly <scan>")), true));
    const CimRequest host = decodeRequest(encodeRequest(call));
    ASSERT_FALSE(host.hasDecodeError) << host.decodeErrorText;
    EXPECT_EQ("7", host.messageId);
    EXPECT_TRUE(host.target.identical(call.target)) << host.target.toString();
    ASSERT_EQ(3u, host.params.size());
    for (Uint32 i = 0; i < 3; ++i)
        EXPECT_TRUE(host.params[i].getValue() == call.params[i].getValue()) << i;

    CimRequest modify;
    modify.methodName = "ModifyInstance";
    modify.nameSpace = CIMNamespaceName("root/snia");
    CIMInstance setting(CIMName("X_Setting"));
    setting.addProperty(CIMProperty(CIMName("DataRedundancyGoal"), CIMValue(Uint16(2))));
    setting.setPath(CIMObjectPath("X_Setting.InstanceID=\"3A\""));
    modify.iparams.push_back({"ModifiedInstance", {IParamValue::NamedInstance, "", {}, {}, {}, setting}});
    modify.iparams.push_back(
        {"PropertyList", {IParamValue::TextArray, "", {"DataRedundancyGoal"}, {}, {}, {}}});
    const CimRequest modified = decodeRequest(encodeRequest(modify));
    ASSERT_FALSE(modified.hasDecodeError) << modified.decodeErrorText;
    EXPECT_EQ("root/snia", modified.nameSpace.getString());
    const IParamValue* instance = modified.iparam("ModifiedInstance");
    ASSERT_TRUE(instance && instance->kind == IParamValue::NamedInstance);
    EXPECT_TRUE(instance->instance.identical(setting));
    ASSERT_TRUE(modified.iparam("PropertyList"));
    EXPECT_EQ(std::vector<std::string>{"DataRedundancyGoal"}, modified.iparam("PropertyList")->texts);
}

TEST(ClientCodec, AnswersDecodeOnTheClientAsEncoded)
{
    CimResponse started;
    started.messageId = "8";
    started.kind = OperationKind::Extrinsic;
    started.methodName = "CreateOrModifyElementFromStoragePool";
    started.returnValue = CIMValue(Uint32(4096));
    started.outParams.append(CIMParamValue("Job", CIMValue(jobPath)));
    started.outParams.append(CIMParamValue("Size", CIMValue(Uint64(4294967296))));
    const CimResponse client = decodeResponse(encodeResponse(started));
    EXPECT_FALSE(client.isError);
    EXPECT_TRUE(client.returnValue == started.returnValue);
    ASSERT_EQ(2u, client.outParams.size());
    EXPECT_TRUE(client.outParams[0].getValue() == CIMValue(jobPath));
    EXPECT_TRUE(client.outParams[1].getValue() == CIMValue(Uint64(4294967296)));

    CimResponse listed;
    listed.methodName = "EnumerateInstances";
    listed.returnKind = CimResponse::NamedInstances;
    CIMInstance job(CIMName("CIM_ConcreteJob"));
    job.addProperty(CIMProperty(CIMName("PercentComplete"), CIMValue(Uint16(42))));
    job.setPath(jobPath);
    listed.instances.append(job);
    const CimResponse instances = decodeResponse(encodeResponse(listed));
    ASSERT_EQ(CimResponse::NamedInstances, instances.returnKind);
    ASSERT_EQ(1u, instances.instances.size());
    // VALUE.NAMEDINSTANCE carries the instance name only: host and namespace stay behind.
    EXPECT_EQ("CIM_ConcreteJob.InstanceID=\"36<&>01\"", instances.instances[0].getPath().toString());
    EXPECT_TRUE(instances.instances[0].getProperty(0).getValue() == CIMValue(Uint16(42)));

    CimResponse refused = CimResponse::error(CimRequest(), CIM_ERR_NOT_FOUND, "no job \"36\"");
    const CimResponse error = decodeResponse(encodeResponse(refused));
    EXPECT_TRUE(error.isError);
    EXPECT_EQ(CIM_ERR_NOT_FOUND, error.errorCode);
    EXPECT_EQ("no job \"36\"", error.errorDescription);
    EXPECT_THROW(decodeResponse("<CIM><MESSAGE ID=\"1\"></MESSAGE></CIM>"), CimXmlError);
}

TEST(ClientCodec, ClassesKeepTheirMethodsValueMaps)
{
    CIMClass service(CIMName("X_Service"), CIMName("CIM_Service"));
    CIMMethod suspend(CIMName("SuspendTask"), CIMTYPE_UINT32);
    Array<String> map, values;
    map.append("0"), map.append("4"), map.append("32768..65535");
    values.append("Done"), values.append("Failed"), values.append("Vendor Specific");
    suspend.addQualifier(CIMQualifier(CIMName("ValueMap"), CIMValue(map)));
    suspend.addQualifier(CIMQualifier(CIMName("Values"), CIMValue(values)));
    service.addMethod(suspend);
    CimResponse answer;
    answer.methodName = "GetClass";
    answer.returnKind = CimResponse::SingleClass;
    answer.classes.append(service);
    const CimResponse client = decodeResponse(encodeResponse(answer));
    ASSERT_EQ(1u, client.classes.size());
    const Uint32 method = client.classes[0].findMethod(CIMName("SuspendTask"));
    ASSERT_NE(PEG_NOT_FOUND, method);
    const CIMConstMethod decoded = client.classes[0].getMethod(method);
    ASSERT_NE(PEG_NOT_FOUND, decoded.findQualifier(CIMName("Values")));
    EXPECT_TRUE(decoded.getQualifier(decoded.findQualifier(CIMName("Values"))).getValue() ==
                CIMValue(values));
}

} // namespace
