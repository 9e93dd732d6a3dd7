// The object-model operations a CIM-XML host performs for nearly every request: naming and
// comparing paths, matching names, reading values, converting strings.
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/String.h>

#include <benchmark/benchmark.h>

namespace
{

using namespace Pegasus;

// Three keys, one of them a quoted string with escaped quote and backslash.
const char* const volumePath =
    "//array01/root/snia:SNIA_StorageVolume.CreationClassName=\"SNIA_StorageVolume\","
    "DeviceID=\"vol \\\"7\\\" \\\\ data\",SystemName=\"ARRAY-01\"";

// The same instance with keys in another order and class name in another case.
const char* const reorderedVolumePath = "//array01/root/snia:snia_storagevolume.SystemName=\"ARRAY-01\","
                                        "DeviceID=\"vol \\\"7\\\" \\\\ data\","
                                        "CreationClassName=\"SNIA_StorageVolume\"";

void BM_ObjectPathParse(benchmark::State& state)
{
    const String text(volumePath);
    for (auto _ : state)
    {
        CIMObjectPath path(text);
        benchmark::DoNotOptimize(path);
    }
}
BENCHMARK(BM_ObjectPathParse);

void BM_ObjectPathToString(benchmark::State& state)
{
    const CIMObjectPath path{String(volumePath)};
    for (auto _ : state)
    {
        String text = path.toString();
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_ObjectPathToString);

void BM_ObjectPathIdentical(benchmark::State& state)
{
    const CIMObjectPath a{String(volumePath)};
    const CIMObjectPath b{String(reorderedVolumePath)};
    if (!a.identical(b)) state.SkipWithError("paths expected to be identical");
    for (auto _ : state)
        benchmark::DoNotOptimize(a.identical(b));
}
BENCHMARK(BM_ObjectPathIdentical);

void BM_CIMNameEqual(benchmark::State& state, const char* other)
{
    const CIMName name("SNIA_StorageConfigurationService");
    const CIMName candidate(other);
    for (auto _ : state)
        benchmark::DoNotOptimize(name.equal(candidate));
}
BENCHMARK_CAPTURE(BM_CIMNameEqual, same_case, "SNIA_StorageConfigurationService");
BENCHMARK_CAPTURE(BM_CIMNameEqual, other_case, "snia_storageconfigurationSERVICE");

void BM_CIMValueGetUint32(benchmark::State& state)
{
    const CIMValue value(Uint32(4096));
    for (auto _ : state)
    {
        Uint32 x = 0;
        value.get(x);
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_CIMValueGetUint32);

void BM_CIMValueGetString(benchmark::State& state)
{
    const CIMValue value(String("SNIA_StorageVolume"));
    for (auto _ : state)
    {
        String x;
        value.get(x);
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_CIMValueGetString);

void BM_CIMValueCopy(benchmark::State& state)
{
    const CIMValue value(String("SNIA_StorageVolume"));
    for (auto _ : state)
    {
        CIMValue copy(value);
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_CIMValueCopy);

void BM_StringFromCharPointer(benchmark::State& state)
{
    for (auto _ : state)
    {
        String text("SNIA_StorageConfigurationService");
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_StringFromCharPointer);

void BM_StringGetCString(benchmark::State& state)
{
    const String text("SNIA_StorageConfigurationService");
    for (auto _ : state)
    {
        CString utf8 = text.getCString();
        benchmark::DoNotOptimize(static_cast<const char*>(utf8));
    }
}
BENCHMARK(BM_StringGetCString);

} // namespace
