-- wrk script: POSTs one CIM-XML request over and over.
-- CIM_BODY names the file of the request body, CIM_METHOD and CIM_OBJECT give the CIMMethod and
-- CIMObject headers (URI-encoded), CIM_AUTH an optional Authorization header value.
local file = assert(io.open(assert(os.getenv("CIM_BODY"), "CIM_BODY not set"), "rb"))
wrk.method = "POST"
wrk.path = "/cimom"
wrk.body = file:read("*a")
file:close()
wrk.headers["Content-Type"] = "application/xml; charset=\"utf-8\""
wrk.headers["CIMOperation"] = "MethodCall"
wrk.headers["CIMMethod"] = assert(os.getenv("CIM_METHOD"), "CIM_METHOD not set")
wrk.headers["CIMObject"] = assert(os.getenv("CIM_OBJECT"), "CIM_OBJECT not set")
if os.getenv("CIM_AUTH") then wrk.headers["Authorization"] = os.getenv("CIM_AUTH") end

function done(summary, latency, requests)
    io.write(string.format("p50 %.2f ms, p90 %.2f ms, p99 %.2f ms, %d non-200 or error answers\n",
        latency:percentile(50) / 1000, latency:percentile(90) / 1000, latency:percentile(99) / 1000,
        summary.errors.status))
end
