#include "TlsContext.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include "ProviderManager.h"

namespace cimhost
{
namespace
{

std::string openSslReason(const boost::system::error_code& ec)
{
    const unsigned long queued = ::ERR_get_error();
    ::ERR_clear_error();
    if (queued != 0)
    {
        char text[256];
        ::ERR_error_string_n(queued, text, sizeof(text));
        return text;
    }
    return ec.message();
}

} // namespace

std::unique_ptr<boost::asio::ssl::context> makeServerTlsContext(const std::string& certificateFile,
                                                                const std::string& privateKeyFile)
{
    using Context = boost::asio::ssl::context;
    if (certificateFile.empty() || privateKeyFile.empty())
        throw StartupError("HTTPS needs both --cert FILE and --key FILE (PEM)");
    auto context = std::make_unique<Context>(Context::tls_server);
    context->set_options(Context::default_workarounds | Context::no_sslv2 | Context::no_sslv3 |
                         Context::no_tlsv1 | Context::no_tlsv1_1 | Context::single_dh_use);
    ::SSL_CTX_set_min_proto_version(context->native_handle(), TLS1_2_VERSION);

    boost::system::error_code ec;
    context->use_certificate_chain_file(certificateFile, ec);
    if (ec) throw StartupError("cannot use certificate " + certificateFile + ": " + openSslReason(ec));
    context->use_private_key_file(privateKeyFile, Context::pem, ec);
    if (ec) throw StartupError("cannot use private key " + privateKeyFile + ": " + openSslReason(ec));
    if (::SSL_CTX_check_private_key(context->native_handle()) != 1)
        throw StartupError("private key " + privateKeyFile + " does not match certificate " +
                           certificateFile);
    return context;
}

} // namespace cimhost
