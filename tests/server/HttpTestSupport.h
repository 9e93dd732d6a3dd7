// A loopback cimhost serving a small schema without providers, and the requests the tests of the
// HTTP side send it.
#ifndef CIMHOST_TESTS_HttpTestSupport_h
#define CIMHOST_TESTS_HttpTestSupport_h

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <thread>

#include "../support/HttpClient.h"

#include "CimHttpServer.h"
#include "MofCompiler.h"
#include "ProviderRegistry.h"

namespace httptest
{

using namespace testhttp;

inline const char TEST_MOF[] = R"(
class Test_Element
{
    [Key] string Name;
    [Key] uint32 Slot;
};
)";

inline std::string intrinsicCall(const std::string& method, const std::string& params,
                                 const std::string& id = "1001")
{
    return message(id, "<IMETHODCALL NAME=\"" + method + "\">" + localNamespace("test") + params +
                           "</IMETHODCALL>");
}

inline std::string getClass(const std::string& id = "1001")
{
    return intrinsicCall(
        "GetClass", "<IPARAMVALUE NAME=\"ClassName\"><CLASSNAME NAME=\"Test_Element\"/></IPARAMVALUE>", id);
}

inline Headers cimHeaders(const std::string& method = "GetClass", const std::string& object = "root%2Ftest")
{
    return {{"Content-Type", "application/xml; charset=\"utf-8\""},
            {"CIMOperation", "MethodCall"},
            {"CIMMethod", method},
            {"CIMObject", object},
            {"CIMProtocolVersion", "1.0"}};
}

// A server with its own schema, dispatcher and serving thread.
class RunningServer
{
public:
    static cimhost::HttpServerOptions defaultOptions()
    {
        cimhost::HttpServerOptions options;
        options.port = cimhost::ANY_PORT;
        options.transport.workers = 4;
        options.transport.maxRequestBytes = 64 * 1024;
        return options;
    }

    explicit RunningServer(const cimhost::HttpServerOptions& options = defaultOptions())
        : _registry(loadSchema(_repository)), _providers(_registry, SCS_LIBRARY_DIR),
          _dispatcher(_repository, _providers)
    {
        _server = std::make_unique<cimhost::CimHttpServer>(options, _dispatcher);
        port = _server->bind().http;
        _serving = std::thread([this] { _server->serve(); });
    }
    ~RunningServer() { stop(); }

    void stop()
    {
        _server->stop();
        if (_serving.joinable()) _serving.join();
    }

    int port = 0;

private:
    static cimhost::ProviderRegistry loadSchema(cimhost::ClassRepository& repository)
    {
        cimhost::MofCompiler compiler(repository);
        compiler.compileFile(SCS_SCHEMA_DIR "/root-snia/qualifiers.mof", "root/test");
        compiler.compileText(TEST_MOF, "test.mof", "root/test");
        return cimhost::ProviderRegistry::fromRepository(repository);
    }

    cimhost::ClassRepository _repository;
    cimhost::ProviderRegistry _registry;
    cimhost::ProviderManager _providers;
    cimhost::Dispatcher _dispatcher;
    std::unique_ptr<cimhost::CimHttpServer> _server;
    std::thread _serving;
};

} // namespace httptest

#endif
