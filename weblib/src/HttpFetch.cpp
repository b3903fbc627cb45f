#include "HttpFetch.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "StagedFile.h"
#include "marabu/Marabu.h"
#include "platform/ErrorText.h"

namespace marabu {

namespace {

std::once_flag curlOnce;
bool curlReady = false;

bool CurlReady() {
  std::call_once(curlOnce, [] { curlReady = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return curlReady;
}

bool IsSuccess(long status) { return status >= 200 && status <= 299; }

bool IsLoopback(const std::string& host) { return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0; }

std::string SecondsText(long milliseconds) {
  std::string text = std::to_string(milliseconds / 1000);
  long rest = milliseconds % 1000;
  if (rest != 0) {
    std::string digits = std::to_string(1000 + rest).substr(1);
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    text += "," + digits;
  }
  return text + " s";
}

// State of one transfer, reached from libcurl's body callback.
struct Transfer {
  CURL* curl = nullptr;
  StagedFile* file = nullptr;
  std::unique_ptr<char[]> buffer;
  size_t filled = 0;
  std::uint64_t bytes = 0;
  bool writeFailed = false;
  bool notHttp = false;  // the answer had no HTTP status line

  bool Flush() {
    if (filled == 0) return true;
    if (!file->Write(std::string_view(buffer.get(), filled))) {
      writeFailed = true;
      return false;
    }
    bytes += filled;
    filled = 0;
    return true;
  }
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  Transfer& t = *static_cast<Transfer*>(user);
  const size_t total = size * count;
  long status = 0;
  curl_easy_getinfo(t.curl, CURLINFO_RESPONSE_CODE, &status);
  if (status == 0) {
    // Bytes without any HTTP status line: another service answers there.
    // The transfer stops at once instead of waiting for the end of them.
    t.notHttp = true;
    return 0;
  }
  if (!IsSuccess(status)) return total;  // an error page is not stored
  size_t left = total;
  while (left > 0) {
    const size_t take = std::min(left, kMaxChunk - t.filled);
    std::memcpy(t.buffer.get() + t.filled, data, take);
    t.filled += take;
    data += take;
    left -= take;
    if (t.filled == kMaxChunk && !t.Flush()) return 0;
  }
  return total;
}

struct CurlHandle {
  CURL* curl = curl_easy_init();
  ~CurlHandle() {
    if (curl) curl_easy_cleanup(curl);
  }
};

FetchError Failure(const FetchRequest& request, int kind, std::string reason) {
  FetchError e;
  e.kind = kind;
  e.server = request.server.Text();
  e.message = DownloadMessage(request.subject, e.server, reason);
  return e;
}

FetchError FileFailure(const FetchRequest& request, int error, bool creating) {
  FetchError e;
  e.kind = MARABU_ERROR_FILE;
  e.systemError = error;
  e.server = request.server.Text();
  e.message = request.subject + " vom Server " + e.server + " konnte nicht gespeichert werden: Die Datei \"" +
              request.target.string() + "\" konnte nicht " + (creating ? "angelegt" : "geschrieben") + " werden (" +
              tellurio::GermanErrorText(error) + ").";
  return e;
}

}  // namespace

void ReleaseHttp() {
  if (curlReady) curl_global_cleanup();
  curlReady = false;
}

TransferCause CauseOfTransferError(int curlCode, bool connected, long lastStatus) {
  const bool redirected = lastStatus >= 300 && lastStatus <= 399;
  switch (static_cast<CURLcode>(curlCode)) {
    case CURLE_OK:
      return TransferCause::None;
    case CURLE_COULDNT_RESOLVE_HOST:
      return TransferCause::Host;
    case CURLE_COULDNT_RESOLVE_PROXY:
      return TransferCause::ProxyHost;
    case CURLE_COULDNT_CONNECT:
    case CURLE_PROXY:
      return TransferCause::Connect;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
      return TransferCause::Certificate;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_SHUTDOWN_FAILED:
      return TransferCause::Tls;
    case CURLE_OPERATION_TIMEDOUT:
      return TransferCause::Timeout;
    case CURLE_SEND_ERROR:
      return TransferCause::Send;
    case CURLE_WRITE_ERROR:
      return TransferCause::File;
    case CURLE_TOO_MANY_REDIRECTS:
      return TransferCause::TooManyRedirects;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
      // The program's own address is always a valid http address: after a
      // redirect the address was the server's; otherwise, with answers
      // without a status line let through (see FetchToFile), an answer
      // starting like HTTP had a status line libcurl could not read.
      if (redirected) return TransferCause::RedirectRefused;
      return connected ? TransferCause::BadAnswer : TransferCause::Configuration;
    case CURLE_WEIRD_SERVER_REPLY:
      return connected ? TransferCause::BadAnswer : TransferCause::Connect;
    case CURLE_GOT_NOTHING:
      return TransferCause::NoAnswer;
    case CURLE_OUT_OF_MEMORY:
    case CURLE_FAILED_INIT:
      return TransferCause::Internal;
    default:
      return connected ? TransferCause::Broken : TransferCause::Connect;
  }
}

int KindOfCause(TransferCause cause) {
  switch (cause) {
    case TransferCause::None:
      return MARABU_OK;
    case TransferCause::Host:
    case TransferCause::ProxyHost:
      return MARABU_ERROR_HOST;
    case TransferCause::Certificate:
    case TransferCause::Tls:
      return MARABU_ERROR_TLS;
    case TransferCause::Connect:
      return MARABU_ERROR_CONNECT;
    case TransferCause::Send:
      return MARABU_ERROR_SEND;
    case TransferCause::NoAnswer:
    case TransferCause::Broken:
    case TransferCause::NotHttp:
    case TransferCause::BadAnswer:
      return MARABU_ERROR_RECEIVE;
    case TransferCause::RedirectRefused:
    case TransferCause::TooManyRedirects:
      return MARABU_ERROR_REDIRECT;
    case TransferCause::Timeout:
      return MARABU_ERROR_TIMEOUT;
    case TransferCause::File:
      return MARABU_ERROR_FILE;
    case TransferCause::Configuration:
      return MARABU_ERROR_CONFIGURATION;
    case TransferCause::Internal:
      return MARABU_ERROR_INTERNAL;
  }
  return MARABU_ERROR_INTERNAL;
}

int KindOfTransferError(int curlCode, bool connected) {
  return KindOfCause(CauseOfTransferError(curlCode, connected, 0));
}

std::string ReasonOfCause(TransferCause cause, bool connected, long connectTimeoutMs, long totalTimeoutMs,
                          const std::string& host) {
  switch (cause) {
    case TransferCause::Host:
      return "Der Rechnername \"" + host + "\" ist unbekannt (Namensauflösung fehlgeschlagen).";
    case TransferCause::Connect:
      return "Es konnte keine Verbindung aufgebaut werden (Server nicht erreichbar oder "
             "Verbindung abgelehnt).";
    case TransferCause::Send:
      return "Die Anfrage konnte nicht gesendet werden (Verbindung unterbrochen).";
    case TransferCause::NoAnswer:
      return "Der Server hat die Verbindung geschlossen, ohne zu antworten.";
    case TransferCause::Broken:
      return "Die Antwort des Servers brach ab oder war keine gültige HTTP-Antwort.";
    case TransferCause::NotHttp:
      return "Die Antwort des Servers war keine HTTP-Antwort (dort antwortet wohl ein anderer Dienst).";
    case TransferCause::BadAnswer:
      return "Die Antwort des Servers war fehlerhaft (ihre Status- oder Kopfzeilen sind nicht lesbar).";
    case TransferCause::RedirectRefused:
      return "Der Server hat die Anfrage an eine Adresse weitergeleitet, die weder mit \"http://\" noch mit "
             "\"https://\" beginnt; einer solchen Weiterleitung wird nicht gefolgt.";
    case TransferCause::Certificate:
      return "Das Zertifikat des Servers konnte nicht geprüft werden. Über eine unverschlüsselte Verbindung "
             "wird nicht geladen.";
    case TransferCause::Tls:
      return "Es konnte keine sichere Verbindung (HTTPS) aufgebaut werden. Über eine unverschlüsselte "
             "Verbindung wird nicht geladen.";
    case TransferCause::ProxyHost:
      return "Der Rechnername des Proxy-Servers ist unbekannt (Namensauflösung fehlgeschlagen).";
    case TransferCause::TooManyRedirects:
      return "Der Server hat die Anfrage zu oft weitergeleitet (mehr als " + std::to_string(kMaxRedirects) +
             " Weiterleitungen, wohl eine Endlosschleife).";
    case TransferCause::Timeout:
      if (!connected)
        return "Der Verbindungsaufbau dauerte länger als " + SecondsText(connectTimeoutMs) +
               " (Zeitlimit überschritten).";
      return "Der Server hat nicht innerhalb von " + SecondsText(totalTimeoutMs) +
             " geantwortet (Zeitlimit überschritten).";
    case TransferCause::Configuration:
      return "Die Adresse des Servers ist ungültig.";
    case TransferCause::File:
      return "Die empfangenen Daten konnten nicht gespeichert werden.";
    case TransferCause::None:
    case TransferCause::Internal:
      break;
  }
  return "Interner Fehler der Web-Bibliothek (zu wenig Arbeitsspeicher?).";
}

std::string ReasonOfTransferError(int kind, bool connected, long connectTimeoutMs, long totalTimeoutMs,
                                  const std::string& host) {
  TransferCause cause = TransferCause::Internal;
  switch (kind) {
    case MARABU_ERROR_HOST:
      cause = TransferCause::Host;
      break;
    case MARABU_ERROR_CONNECT:
      cause = TransferCause::Connect;
      break;
    case MARABU_ERROR_SEND:
      cause = TransferCause::Send;
      break;
    case MARABU_ERROR_RECEIVE:
      cause = TransferCause::Broken;
      break;
    case MARABU_ERROR_TIMEOUT:
      cause = TransferCause::Timeout;
      break;
    case MARABU_ERROR_CONFIGURATION:
      cause = TransferCause::Configuration;
      break;
    case MARABU_ERROR_FILE:
      cause = TransferCause::File;
      break;
    case MARABU_ERROR_REDIRECT:
      cause = TransferCause::TooManyRedirects;
      break;
    default:
      break;
  }
  return ReasonOfCause(cause, connected, connectTimeoutMs, totalTimeoutMs, host);
}

std::string DescribeHttpStatus(int status) {
  const char* text = nullptr;
  switch (status) {
    case 400:
      text = "ungültige Anfrage";
      break;
    case 401:
      text = "Anmeldung erforderlich";
      break;
    case 403:
      text = "Zugriff verweigert";
      break;
    case 404:
      text = "nicht gefunden";
      break;
    case 408:
      text = "Zeitüberschreitung der Anfrage";
      break;
    case 410:
      text = "nicht mehr vorhanden";
      break;
    case 429:
      text = "zu viele Anfragen";
      break;
    case 500:
      text = "interner Serverfehler";
      break;
    case 502:
      text = "fehlerhaftes Gateway";
      break;
    case 503:
      text = "Dienst nicht verfügbar";
      break;
    case 504:
      text = "Zeitüberschreitung am Gateway";
      break;
    default:
      if (status >= 300 && status <= 399) text = "Weiterleitung ohne erreichbares Ziel";
      break;
  }
  std::string result = std::to_string(status);
  if (text) result += std::string(" (") + text + ")";
  return result;
}

std::string DownloadMessage(const std::string& subject, const std::string& server, const std::string& reason) {
  return subject + " konnte nicht vom Server " + server + " geladen werden: " + reason;
}

std::string PercentEncode(const std::string& bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                            c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

namespace {

// Scheme and host (without brackets) of an absolute address; false when it
// cannot be parsed.
bool SplitUrl(const std::string& url, std::string& scheme, std::string& host) {
  CURLU* u = curl_url();
  if (!u) return false;
  bool ok = curl_url_set(u, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK;
  char* part = nullptr;
  if (ok && curl_url_get(u, CURLUPART_SCHEME, &part, 0) == CURLUE_OK) {
    scheme = part;
    curl_free(part);
  } else {
    ok = false;
  }
  part = nullptr;
  if (ok && curl_url_get(u, CURLUPART_HOST, &part, 0) == CURLUE_OK) {
    host = part;
    curl_free(part);
  } else {
    ok = false;
  }
  curl_url_cleanup(u);
  for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (char& c : host) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  return ok;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Whether no_proxy (a comma- or blank-separated list of host names and
// domains, "*" for all) names host.
bool ExcludedFromProxy(const std::string& host, const char* list) {
  if (!list) return false;
  const std::string text = Lower(list);
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find_first_of(", \t", at);
    if (end == std::string::npos) end = text.size();
    std::string entry = text.substr(at, end - at);
    at = end + 1;
    if (entry.empty()) continue;
    if (entry == "*") return true;
    if (entry.front() == '.') entry.erase(0, 1);
    if (entry.size() >= 2 && entry.front() == '[' && entry.back() == ']') entry = entry.substr(1, entry.size() - 2);
    if (host == entry) return true;
    if (host.size() > entry.size() && host.compare(host.size() - entry.size(), entry.size(), entry) == 0 &&
        host[host.size() - entry.size() - 1] == '.')
      return true;
  }
  return false;
}

// X.509 verification results that the user is told in words (OpenSSL's
// numbers, as libcurl reports them).
std::string CertificateProblem(long verifyResult, const std::string& curlText, const std::string& host) {
  switch (verifyResult) {
    case 2:   // unable to get issuer certificate
    case 18:  // self-signed certificate
    case 19:  // self-signed certificate in chain
    case 20:  // unable to get local issuer certificate
    case 21:  // unable to verify the first certificate
      return "es ist von keiner bekannten Zertifizierungsstelle ausgestellt";
    case 9:
      return "es ist noch nicht gültig";
    case 10:
      return "es ist abgelaufen";
    case 23:
      return "es wurde widerrufen";
    case 62:
      return "es gilt nicht für den Rechnernamen \"" + host + "\"";
    default:
      break;
  }
  if (curlText.find("subject name") != std::string::npos || curlText.find("does not match") != std::string::npos)
    return "es gilt nicht für den Rechnernamen \"" + host + "\"";
  if (!curlText.empty()) return "Meldung der Prüfung: " + curlText;
  return "die Prüfung schlug fehl";
}

}  // namespace

std::string ProxyFor(bool https, const std::string& host, const ProxyEnvironment& environment, std::string* variable) {
  if (variable) variable->clear();
  const std::string name = Lower(host);
  if (IsLoopback(name)) return {};
  const char* noProxy = environment("no_proxy");
  if (!noProxy) noProxy = environment("NO_PROXY");
  if (ExcludedFromProxy(name, noProxy)) return {};
  // Only the lower-case http_proxy counts for http, as everywhere: an
  // upper-case HTTP_PROXY may come from a request header in a CGI
  // environment.
  const char* candidates[] = {https ? "https_proxy" : "http_proxy", https ? "HTTPS_PROXY" : nullptr};
  for (const char* candidate : candidates) {
    if (!candidate) continue;
    const char* value = environment(candidate);
    if (value && *value) {
      if (variable) *variable = candidate;
      return value;
    }
  }
  return {};
}

bool RedirectAllowed(const std::string& fromUrl, const std::string& toUrl, std::string& reason) {
  std::string fromScheme, fromHost, toScheme, toHost;
  if (!SplitUrl(fromUrl, fromScheme, fromHost) || !SplitUrl(toUrl, toScheme, toHost) ||
      (toScheme != "http" && toScheme != "https")) {
    reason = ReasonOfCause(TransferCause::RedirectRefused, true, 0, 0, "");
    return false;
  }
  if (fromScheme == "https" && toScheme == "http") {
    reason =
        "Der Server hat die Anfrage von einer sicheren Adresse (https) an eine unverschlüsselte (http) "
        "weitergeleitet; einer solchen Weiterleitung wird nicht gefolgt.";
    return false;
  }
  if (fromScheme == "http" && toScheme == "https" && fromHost != toHost) {
    reason = "Der Server hat die Anfrage an die sichere Adresse eines anderen Rechners (\"" + toHost +
             "\") weitergeleitet; gefolgt wird nur einer Weiterleitung auf https desselben Rechners.";
    return false;
  }
  return true;
}

FetchOutcome FetchToFile(const FetchRequest& request) {
  FetchOutcome outcome;
  StagedFile file;
  if (!file.Create(request.target)) {
    outcome.error = FileFailure(request, file.error(), true);
    return outcome;
  }
  if (!CurlReady()) {
    outcome.error = Failure(request, MARABU_ERROR_INTERNAL, ReasonOfCause(TransferCause::Internal, false, 0, 0, ""));
    return outcome;
  }
  CurlHandle handle;
  if (!handle.curl) {
    outcome.error = Failure(request, MARABU_ERROR_INTERNAL, ReasonOfCause(TransferCause::Internal, false, 0, 0, ""));
    return outcome;
  }

  Transfer transfer;
  transfer.curl = handle.curl;
  transfer.file = &file;
  transfer.buffer = std::make_unique<char[]>(kDownloadBufferSize);

  char errorText[CURL_ERROR_SIZE] = {};
  CURL* c = handle.curl;
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  // Redirects are followed here, hop by hop, so that each one is checked
  // (RedirectAllowed) and gets the proxy of its own scheme and host.
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  // An answer without status line is let through to the body callback, which
  // names it (libcurl would report it as an unsupported protocol, the same
  // as a malformed status line).
  curl_easy_setopt(c, CURLOPT_HTTP09_ALLOWED, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, request.connectTimeoutMs);
  curl_easy_setopt(c, CURLOPT_USERAGENT, "Marabu/1.0");
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &OnBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!request.caFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, request.caFile.c_str());
  // The proxy is chosen for every hop (ProxyFor); libcurl's own reading of
  // no_proxy is switched off so that it does not decide twice.
  curl_easy_setopt(c, CURLOPT_NOPROXY, "");

  const auto started = std::chrono::steady_clock::now();
  std::string url = request.server.UrlPrefix() + (request.path.empty() ? std::string("/") : request.path);
  std::string proxy, proxyVariable, host = request.server.host;
  CURLcode code = CURLE_OK;
  long status = 0;
  for (int hop = 0;; ++hop) {
    const long elapsed = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count());
    const long left = request.totalTimeoutMs - elapsed;
    if (left <= 0) {
      outcome.error = Failure(request, KindOfCause(TransferCause::Timeout),
                              ReasonOfCause(TransferCause::Timeout, true, request.connectTimeoutMs,
                                            request.totalTimeoutMs, request.server.host));
      return outcome;
    }
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, left);
    std::string scheme;
    if (!SplitUrl(url, scheme, host)) host = request.server.host;
    proxy = ProxyFor(
        scheme == "https", host, [](const char* name) { return std::getenv(name); }, &proxyVariable);
    curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    errorText[0] = '\0';
    transfer.notHttp = false;

    code = curl_easy_perform(c);
    status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if (code != CURLE_OK || status < 300 || status > 399) break;
    char* location = nullptr;
    curl_easy_getinfo(c, CURLINFO_REDIRECT_URL, &location);
    // A redirect without a target is an HTTP status failure below.
    if (!location) break;
    if (hop == kMaxRedirects) {
      outcome.error = Failure(request, KindOfCause(TransferCause::TooManyRedirects),
                              ReasonOfCause(TransferCause::TooManyRedirects, true, 0, 0, request.server.host));
      outcome.error.httpStatus = static_cast<int>(status);
      return outcome;
    }
    std::string refusal;
    if (!RedirectAllowed(url, location, refusal)) {
      outcome.error = Failure(request, MARABU_ERROR_REDIRECT, refusal);
      outcome.error.httpStatus = static_cast<int>(status);
      return outcome;
    }
    url = location;
  }
  long connects = 0;
  curl_easy_getinfo(c, CURLINFO_NUM_CONNECTS, &connects);
  curl_off_t connectTime = 0;
  curl_easy_getinfo(c, CURLINFO_CONNECT_TIME_T, &connectTime);
  const bool connected = connects > 0 || connectTime > 0 || status != 0;

  if (transfer.notHttp || (code == CURLE_OK && status == 0)) {
    outcome.error = Failure(request, KindOfCause(TransferCause::NotHttp),
                            ReasonOfCause(TransferCause::NotHttp, true, 0, 0, request.server.host));
    return outcome;
  }
  if (code != CURLE_OK) {
    if (transfer.writeFailed || code == CURLE_WRITE_ERROR) {
      outcome.error = FileFailure(request, file.error(), false);
    } else if (code == CURLE_SSL_CACERT_BADFILE) {
      outcome.error = Failure(request, MARABU_ERROR_CONFIGURATION,
                              "Die Datei der Zertifizierungsstellen \"" + request.caFile +
                                  "\" (ca_file) ist nicht lesbar oder enthält kein Zertifikat.");
    } else {
      const TransferCause cause = CauseOfTransferError(code, connected, status);
      std::string reason = ReasonOfCause(cause, connected, request.connectTimeoutMs, request.totalTimeoutMs, host);
      if (cause == TransferCause::Certificate) {
        long verify = 0;
        curl_easy_getinfo(c, CURLINFO_SSL_VERIFYRESULT, &verify);
        reason =
            "Das Zertifikat des Servers ist nicht vertrauenswürdig: " + CertificateProblem(verify, errorText, host) +
            ". Über eine unverschlüsselte Verbindung wird nicht geladen.";
      } else if (cause == TransferCause::Tls && errorText[0] != '\0') {
        reason += " (" + std::string(errorText) + ")";
      }
      if (!proxy.empty()) {
        if (cause == TransferCause::Connect || cause == TransferCause::ProxyHost)
          reason = "Über den Proxy-Server " + proxy + " (Umgebungsvariable " + proxyVariable +
                   ") kam keine Verbindung zustande" +
                   (cause == TransferCause::ProxyHost ? " (sein Rechnername ist unbekannt)." : ".");
        else
          reason +=
              " Die Verbindung lief über den Proxy-Server " + proxy + " (Umgebungsvariable " + proxyVariable + ").";
      }
      outcome.error = Failure(request, KindOfCause(cause), reason);
    }
    outcome.error.httpStatus = static_cast<int>(status);
    return outcome;
  }
  if (!IsSuccess(status)) {
    outcome.error =
        Failure(request, MARABU_ERROR_HTTP_STATUS,
                "Der Server antwortete mit dem Status " + DescribeHttpStatus(static_cast<int>(status)) + ".");
    outcome.error.httpStatus = static_cast<int>(status);
    return outcome;
  }
  if (!transfer.Flush() || !file.Commit()) {
    outcome.error = FileFailure(request, file.error(), false);
    outcome.error.httpStatus = static_cast<int>(status);
    return outcome;
  }
  outcome.bytes = transfer.bytes;
  return outcome;
}

}  // namespace marabu
