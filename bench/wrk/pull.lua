-- wrk script: whole pull enumerations, one after another on each connection. Each enumeration
-- is an OpenEnumerateInstances (or, with CIM_PATHS set, OpenEnumerateInstancePaths) of
-- CIM_CLASS answering CIM_CHUNK objects, then PullInstancesWithPath (PullInstancePaths) of
-- CIM_CHUNK until EndOfSequence. The enumeration in progress is the script's state, which wrk keeps per
-- thread, not per connection: run it with as many threads as connections (wrk -tN -cN). wrk counts requests (chunks); done() also prints the
-- enumerations completed. Only the end of each answer is read (the pull parameters follow the
-- objects): scanning megabytes of XML in Lua would make wrk the bottleneck.
local class = os.getenv("CIM_CLASS") or "CIM_StorageVolume"
local chunk = os.getenv("CIM_CHUNK") or "1000"
local paths = os.getenv("CIM_PATHS") ~= nil
local openMethod = paths and "OpenEnumerateInstancePaths" or "OpenEnumerateInstances"
local pullMethod = paths and "PullInstancePaths" or "PullInstancesWithPath"

local function call(method, params)
    return '<?xml version="1.0" encoding="utf-8"?><CIM CIMVERSION="2.0" DTDVERSION="2.0">' ..
        '<MESSAGE ID="1" PROTOCOLVERSION="1.0"><SIMPLEREQ><IMETHODCALL NAME="' .. method .. '">' ..
        '<LOCALNAMESPACEPATH><NAMESPACE NAME="root"/><NAMESPACE NAME="snia"/></LOCALNAMESPACEPATH>' ..
        params .. '</IMETHODCALL></SIMPLEREQ></MESSAGE></CIM>'
end
local function iparam(name, value)
    return '<IPARAMVALUE NAME="' .. name .. '">' .. value .. '</IPARAMVALUE>'
end

local openBody = call(openMethod, iparam("ClassName", '<CLASSNAME NAME="' .. class .. '"/>') ..
    iparam("MaxObjectCount", "<VALUE>" .. chunk .. "</VALUE>"))
local context = nil
enumerations = 0
failures = 0

local threads = {}
function setup(thread)
    table.insert(threads, thread)
end

function request()
    local headers = {["Content-Type"] = 'application/xml; charset="utf-8"', ["CIMOperation"] = "MethodCall",
        ["CIMObject"] = "root%2Fsnia"}
    if context then
        headers["CIMMethod"] = pullMethod
        return wrk.format("POST", "/cimom", headers, call(pullMethod,
            iparam("EnumerationContext", "<VALUE>" .. context .. "</VALUE>") ..
            iparam("MaxObjectCount", "<VALUE>" .. chunk .. "</VALUE>")))
    end
    headers["CIMMethod"] = openMethod
    return wrk.format("POST", "/cimom", headers, openBody)
end

function response(status, headers, body)
    local tail = string.sub(body, -600)
    if status ~= 200 or string.find(tail, "<ERROR", 1, true) then
        failures = failures + 1
        context = nil
        return
    end
    if string.find(tail, '<PARAMVALUE NAME="EndOfSequence" PARAMTYPE="boolean"><VALUE>TRUE', 1, true) then
        enumerations = enumerations + 1
        context = nil
    else
        context = string.match(tail, '<PARAMVALUE NAME="EnumerationContext" PARAMTYPE="string"><VALUE>([^<]*)<')
    end
end

function done(summary, latency, requests)
    local total, failed = 0, 0
    for _, thread in ipairs(threads) do
        total = total + thread:get("enumerations")
        failed = failed + thread:get("failures")
    end
    io.write(string.format("enumerations %d failures %d seconds %.2f\n", total, failed, summary.duration / 1e6))
end
