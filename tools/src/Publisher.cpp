#include "Publisher.h"

#include <httplib.h>
#include <sys/socket.h>

#include <chrono>
#include <ctime>
#include <regex>
#include <thread>

#include "Documents.h"
#include "Funds.h"

namespace demo {

namespace {

constexpr const char* kText = "text/plain; charset=windows-1252";
constexpr const char* kHtml = "text/html; charset=windows-1252";

Reply NotFound(const std::string& what) {
  Lines page = {"<html><head><title>Nicht gefunden</title></head><body>",
                "<p>" + what + "</p>",
                "<p>Der Demo-Kursserver kennt diese Adressen:</p><ul>",
                "<li>/Daten/&lt;Anbieter&gt;/TTMMJJJJ.txt (Kursdateien)</li>",
                "<li>/Daten/portrait.txt (Fondsportraits)</li>",
                "<li>/home/index.html (Indexseite mit dem DAX)</li>",
                "<li>/fondsportrait/portrait.hbs?wkn=WKN (Portraitseite eines Fonds)</li>",
                "<li>/fondsportrait/popchart/wertentwicklung.hbs?wkn=WKN</li>",
                "<li>/fondsportrait/popchart/konkurenz.hbs?wkn=WKN</li>",
                "</ul><p>Anbieter:</p><ul>"};
  for (const Provider& p : DemoProviders())
    page.push_back("<li>" + p.key + " (" + p.displayName + ", " + std::to_string(p.funds.size()) + " Fonds)</li>");
  page.push_back("</ul></body></html>");
  return Reply{404, kHtml, ToCp1252Lines(page)};
}

Reply FundPage(const std::string& wkn, Date today, Lines (*page)(const Fund&, Date)) {
  const Fund* fund = FindFundByWkn(wkn);
  const Date asOf = LastPriceDayOnOrBefore(today);
  if (!fund || DayNumber(asOf) < DayNumber(fund->launch))
    return NotFound("Einen Fonds mit der WKN \"" + wkn + "\" gibt es hier nicht.");
  return Reply{200, kHtml, ToCp1252Lines(page(*fund, asOf))};
}

bool ParsePort(const std::string& text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > 65535) return false;
  port = value;
  return true;
}

}  // namespace

Date TodayUtc() { return tellurio::SystemClock().TodayUtc(); }

Reply Answer(const std::string& path, const std::string& wkn, Date today, bool everyDay) {
  static const std::regex kPriceFile(R"(/Daten/([^/]+)/([0-9]{8})\.txt)");
  std::smatch m;
  if (path == "/Daten/portrait.txt")
    return Reply{200, kText, ToCp1252Lines(PortraitFileLines(LastPriceDayOnOrBefore(today)))};
  if (std::regex_match(path, m, kPriceFile)) {
    const Provider* provider = FindProviderByKey(m[1].str());
    if (!provider) return NotFound("Einen Anbieter \"" + m[1].str() + "\" gibt es hier nicht.");
    const std::optional<Date> date = ParseFileDate(m[2].str());
    if (!date) return NotFound("\"" + m[2].str() + "\" ist kein Datum.");
    if (!IsPriceDay(*date) && !everyDay) return NotFound("Am " + DateText(*date) + " wurden keine Kurse festgestellt.");
    const Date priceDay = LastPriceDayOnOrBefore(*date);
    return Reply{200, kText, ToCp1252Lines(PriceFileLines(*provider, priceDay))};
  }
  if (path == "/home/index.html")
    return Reply{200, kHtml, ToCp1252Lines(IndexPageLines(LastPriceDayOnOrBefore(today)))};
  if (path == "/fondsportrait/portrait.hbs") return FundPage(wkn, today, &PortraitPageLines);
  if (path == "/fondsportrait/popchart/wertentwicklung.hbs") return FundPage(wkn, today, &PerformancePageLines);
  if (path == "/fondsportrait/popchart/konkurenz.hbs") return FundPage(wkn, today, &CompetitorPageLines);
  return NotFound("Die Adresse \"" + path + "\" gibt es hier nicht.");
}

ParsedArguments ParseArguments(const std::vector<std::string>& arguments) {
  ParsedArguments parsed;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= arguments.size()) {
        parsed.error = "Zu " + a + " fehlt der Wert.";
        return false;
      }
      out = arguments[++i];
      return true;
    };
    std::string text;
    if (a == "--help" || a == "-h") {
      parsed.help = true;
    } else if (a == "--bind") {
      if (!value(text)) return parsed;
      if (text.empty()) {
        parsed.error = "--bind braucht eine Adresse.";
        return parsed;
      }
      parsed.options.bind = text;
    } else if (a == "--port") {
      if (!value(text)) return parsed;
      if (!ParsePort(text, parsed.options.port)) {
        parsed.error = "Ungültiger Port \"" + text + "\" (0 bis 65535).";
        return parsed;
      }
    } else if (a == "--today") {
      if (!value(text)) return parsed;
      parsed.options.today = ParseDateText(text);
      if (!parsed.options.today) {
        parsed.error = "Ungültiges Datum \"" + text + "\" (TT.MM.JJJJ erwartet).";
        return parsed;
      }
    } else if (a == "--every-day") {
      parsed.options.everyDay = true;
    } else if (a == "--cert" || a == "--key") {
      if (!value(text)) return parsed;
      if (text.empty()) {
        parsed.error = a + " braucht eine Datei.";
        return parsed;
      }
      (a == "--cert" ? parsed.options.certFile : parsed.options.keyFile) = text;
    } else {
      parsed.error = "Unbekannte Angabe \"" + a + "\".";
      return parsed;
    }
  }
  if (parsed.options.certFile.empty() != parsed.options.keyFile.empty())
    parsed.error = "--cert und --key gehören zusammen (Zertifikat und Schlüssel für HTTPS).";
  return parsed;
}

std::string UsageText() {
  return "Aufruf: tellurio-demo-publisher [--bind ADRESSE] [--port PORT] [--today TT.MM.JJJJ] "
         "[--every-day] [--cert DATEI --key DATEI]\n"
         "\n"
         "Demo-Kursserver für Tellurio: liefert erzeugte Kursdateien, Fondsportraits, die\n"
         "Indexseite mit dem DAX und Vergleichsseiten.\n"
         "\n"
         "  --bind ADRESSE        Adresse, an der der Server lauscht (Vorgabe 127.0.0.1)\n"
         "  --port PORT           Port (Vorgabe 8080; 0 wählt einen freien Port)\n"
         "  --today TT.MM.JJJJ    Tag, für den Portraits und Seiten gelten (Vorgabe: heute, UTC)\n"
         "  --every-day           Kursdateien auch an Wochenenden und Feiertagen (mit den\n"
         "                        Kursen des letzten Handelstags)\n"
         "  --cert DATEI          HTTPS statt HTTP: Zertifikat des Servers (PEM, mit Kette)\n"
         "  --key DATEI           HTTPS: privater Schlüssel des Zertifikats (PEM)\n";
}

struct PublisherServer::Impl {
  PublisherOptions options;
  std::unique_ptr<httplib::Server> owned;
  httplib::Server* serverPtr = nullptr;
  std::thread thread;
  int port = 0;
};

PublisherServer::PublisherServer(PublisherOptions options) : impl_(std::make_unique<Impl>()) {
  impl_->options = std::move(options);
}

PublisherServer::~PublisherServer() { Stop(); }

bool PublisherServer::Start(std::string& error) {
  Impl& impl = *impl_;
  // The funds are generated before the first request arrives.
  (void)DemoProviders();
  const PublisherOptions options = impl.options;
  if (!options.certFile.empty()) {
    auto tls = std::make_unique<httplib::SSLServer>(options.certFile.c_str(), options.keyFile.c_str());
    if (!tls->is_valid()) {
      error = "Zertifikat \"" + options.certFile + "\" oder Schlüssel \"" + options.keyFile +
              "\" können nicht gelesen werden; der Server kann kein HTTPS anbieten.";
      return false;
    }
    impl.owned = std::move(tls);
  } else {
    impl.owned = std::make_unique<httplib::Server>();
  }
  impl.serverPtr = impl.owned.get();
  httplib::Server& server = *impl.serverPtr;
  // Only SO_REUSEADDR: httplib's default also sets SO_REUSEPORT, with which a
  // second publisher on the same port would start silently and share the
  // requests with the first instead of reporting the busy port.
  server.set_socket_options([](int socket) {
    int yes = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  server.Get(".*", [options](const httplib::Request& request, httplib::Response& response) {
    const std::string wkn = request.has_param("wkn") ? request.get_param_value("wkn") : "";
    const Date today = options.today ? *options.today : TodayUtc();
    const Reply reply = Answer(request.path, wkn, today, options.everyDay);
    response.status = reply.status;
    response.set_content(reply.body, reply.contentType.c_str());
  });
  if (options.port == 0) {
    impl.port = server.bind_to_any_port(options.bind);
  } else if (server.bind_to_port(options.bind, options.port)) {
    impl.port = options.port;
  } else {
    impl.port = -1;
  }
  if (impl.port <= 0) {
    impl.port = 0;
    error = "Der Server kann nicht an " + options.bind + ":" + std::to_string(options.port) +
            " lauschen (Adresse ungültig oder Port belegt).";
    return false;
  }
  impl.thread = std::thread([&server] { server.listen_after_bind(); });
  // Stop only takes effect once the accept loop runs; wait for it.
  for (int i = 0; i < 500 && !server.is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return true;
}

int PublisherServer::port() const { return impl_->port; }

void PublisherServer::Stop() {
  if (!impl_ || !impl_->thread.joinable()) return;
  impl_->serverPtr->stop();
  impl_->thread.join();
}

}  // namespace demo
