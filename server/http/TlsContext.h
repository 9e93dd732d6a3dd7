// The server side of TLS: a context holding the certificate chain and private key, speaking
// TLS 1.2 or newer only.
#ifndef CIMHOST_TlsContext_h
#define CIMHOST_TlsContext_h

#include <memory>
#include <string>

#include <boost/asio/ssl/context.hpp>

namespace cimhost
{

// Throws StartupError naming the file and OpenSSL's reason when a file cannot be used or the
// key does not belong to the certificate.
std::unique_ptr<boost::asio::ssl::context> makeServerTlsContext(const std::string& certificateFile,
                                                                const std::string& privateKeyFile);

} // namespace cimhost

#endif
