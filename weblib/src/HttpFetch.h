#pragma once
// The common HTTP fetch of every download: one GET request, the body streamed
// into a staged file in chunks of at most 299999 bytes, and the target file
// replaced only when the whole body of a 2xx answer has arrived.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "Configuration.h"

namespace marabu {

// A failure as the caller receives it; kind is a MarabuStatus value.
struct FetchError {
  int kind = 0;
  int httpStatus = 0;
  int systemError = 0;
  std::string server;   // "host:port"
  std::string message;  // German, for a "Fehler" message box

  bool ok() const { return kind == 0; }
};

struct FetchRequest {
  ServerAddress server;
  std::string path;  // starts with "/"; an empty path requests "/"
  std::filesystem::path target;
  long connectTimeoutMs = 5000;
  long totalTimeoutMs = 30000;
  // Certificate authorities for HTTPS; empty: the system's store.
  std::string caFile;
  // What is being loaded, as the subject of the German message, such as
  // "Die Kursdatei".
  std::string subject;
};

struct FetchOutcome {
  FetchError error;
  std::uint64_t bytes = 0;  // body bytes stored
};

// Largest piece written to the file at once, and the size of the buffer.
inline constexpr size_t kDownloadBufferSize = 300000;
inline constexpr size_t kMaxChunk = kDownloadBufferSize - 1;
// Redirects followed before a request counts as failed.
inline constexpr int kMaxRedirects = 5;

// Runs the request.  Never throws; every resource is released on return.
// An HTTPS server's certificate is verified (against request.caFile or the
// system's store) and its name checked; a failure is never retried over
// plain HTTP.  Redirects are followed (at most kMaxRedirects) from http to
// http, from https to https, and from http to https of the same host; a
// redirect from https to http, from http to https of another host, or to
// another scheme is refused.  The proxy comes from http_proxy (for http),
// https_proxy or HTTPS_PROXY (for https) and no_proxy or NO_PROXY, as the
// environment has them at the call.
FetchOutcome FetchToFile(const FetchRequest& request);

// Reads a variable of the environment; nullptr when it is not set.
using ProxyEnvironment = std::function<const char*(const char*)>;

// The proxy for a request to host over http or https: its address as set in
// the environment, or "" for a direct connection (no proxy variable,
// host matched by no_proxy, or a loopback host, which is never proxied).
// variable receives the name of the variable the proxy came from.
std::string ProxyFor(bool https, const std::string& host, const ProxyEnvironment& environment,
                     std::string* variable = nullptr);

// Whether a redirect from one address to another is followed (see
// FetchToFile); when not, reason receives the German explanation.
bool RedirectAllowed(const std::string& fromUrl, const std::string& toUrl, std::string& reason);

// Releases libcurl's global state if a fetch initialised it; called when the
// library is unloaded.
void ReleaseHttp();

// What went wrong in a transfer, as the user is told.
enum class TransferCause {
  None,
  Host,              // the host name is unknown
  Connect,           // no connection could be made
  Send,              // the request could not be sent
  NoAnswer,          // the connection was closed without an answer
  Broken,            // the answer broke off
  NotHttp,           // the answer was not HTTP
  BadAnswer,         // an HTTP answer with a malformed status or header line
  RedirectRefused,   // a redirect that is not followed (see RedirectAllowed)
  TooManyRedirects,  // more redirects than allowed (a loop)
  Timeout,
  Certificate,  // the HTTPS server's certificate could not be verified
  Tls,          // no secure connection could be set up
  ProxyHost,    // the proxy's name is unknown
  File,
  Configuration,
  Internal,
};

// The cause of a failed transfer: from libcurl's result code, whether the
// connection had been made (it tells a connect time-out from a total one,
// and a refused connection from a broken one), and the status of the last
// answer received (0 when none; a 3xx tells a refused redirect).
TransferCause CauseOfTransferError(int curlCode, bool connected, long lastStatus);

// Its failure kind (MarabuStatus).
int KindOfCause(TransferCause cause);

// The failure kind of a libcurl result code (no answer received).
int KindOfTransferError(int curlCode, bool connected);

// The German reason of a failure, without the subject and server.
std::string ReasonOfCause(TransferCause cause, bool connected, long connectTimeoutMs, long totalTimeoutMs,
                          const std::string& host);
// The same for a failure kind, with its most general cause.
std::string ReasonOfTransferError(int kind, bool connected, long connectTimeoutMs, long totalTimeoutMs,
                                  const std::string& host);

// The German description of an HTTP status, such as "404 (nicht gefunden)".
std::string DescribeHttpStatus(int status);

// "<subject> konnte nicht vom Server <server> geladen werden: <reason>"
std::string DownloadMessage(const std::string& subject, const std::string& server, const std::string& reason);

// Percent-encodes everything of a code page 1252 byte text that is not an
// unreserved URL character.
std::string PercentEncode(const std::string& bytes);

}  // namespace marabu
