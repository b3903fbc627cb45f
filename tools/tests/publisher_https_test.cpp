// The demo publisher serving HTTPS with a certificate of the test
// authority (tests/data), fetched through the real exports of libmarabu:
// the authority handed over by the configuration is trusted, the system's
// store alone is not, and a refused certificate never falls back to HTTP.

#include <gtest/gtest.h>
#include <httplib.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "Documents.h"
#include "Funds.h"
#include "Publisher.h"
#include "marabu/MarabuLibrary.h"
#include "platform/testing/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using marabu::ErrorKind;

const std::string kData = DEMO_PUBLISHER_TEST_DATA;

std::vector<fs::path> FilesUnder(const fs::path& root) {
  std::vector<fs::path> files;
  if (!fs::exists(root)) return files;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) files.push_back(fs::relative(e.path(), root));
  return files;
}

// A plain HTTP server on a free port that answers every request with a
// redirect to `target` + the request path.
class Redirector {
 public:
  explicit Redirector(std::string target) : target_(std::move(target)) {
    server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
      response.status = 301;
      response.set_header("Location", target_ + request.path);
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::yield();
  }
  ~Redirector() {
    server_.stop();
    thread_.join();
  }
  int port() const { return port_; }

 private:
  std::string target_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

class PublisherHttpsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    demo::PublisherOptions options;
    options.port = 0;
    options.today = demo::Date{2003, 3, 5};
    options.certFile = kData + "/server.pem";
    options.keyFile = kData + "/server.key";
    server_ = new demo::PublisherServer(options);
    std::string error;
    ASSERT_TRUE(server_->Start(error)) << error;
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(server_, nullptr);
    setenv("XDG_CONFIG_HOME", (wd_.path() / "config").c_str(), 1);
    setenv("MARABU_TIMEOUT", "30", 1);
    unsetenv("MARABU_CA_FILE");
    fs::create_directories(wd_.path() / "Fondpreise" / "Bank" / "2003" / "Maerz");
  }
  void TearDown() override {
    for (const char* v : {"MARABU_PUBLISHER", "MARABU_TIMEOUT", "MARABU_CA_FILE"}) unsetenv(v);
  }
  static std::string secure() { return "https://127.0.0.1:" + std::to_string(server_->port()); }
  marabu::DownloadResult Load(Lines& out) {
    return lib_.FileVomTagAusInternetLaden(out, "Deka", "Bank", wd_.path().string(), "05.03.2003");
  }

  static demo::PublisherServer* server_;
  tellurio::testing::TempDir wd_;
  marabu::MarabuLibrary lib_;
};

demo::PublisherServer* PublisherHttpsTest::server_ = nullptr;

TEST_F(PublisherHttpsTest, TheTestAuthorityFromTheConfigurationIsTrusted) {
  // Handed over through the data directory's marabu.conf.
  tellurio::testing::WriteAll(wd_.path() / "marabu.conf",
                              "publisher = " + secure() + "\nca_file = " + kData + "/test-ca.pem\n");
  Lines out;
  const marabu::DownloadResult r = Load(out);
  ASSERT_TRUE(r.ok()) << r.message;
  const demo::Provider* deka = demo::FindProviderByKey("Deka");
  ASSERT_NE(deka, nullptr);
  // The lines of the publisher's own file of that day.
  EXPECT_EQ(out, demo::PriceFileLines(*deka, demo::Date{2003, 3, 5}));
  EXPECT_EQ(out.at(4), "05.03.2003");
  EXPECT_EQ(FilesUnder(wd_.path() / "Fondpreise"), std::vector<fs::path>{"Bank/2003/Maerz/05032003.txt"});
}

TEST_F(PublisherHttpsTest, WithoutTheAuthorityTheServerIsRefusedAndNothingIsLoaded) {
  setenv("MARABU_PUBLISHER", secure().c_str(), 1);
  Lines out = {"alt"};
  const marabu::DownloadResult r = Load(out);
  EXPECT_EQ(r.kind, ErrorKind::Tls) << r.message;
  const std::string server = "127.0.0.1:" + std::to_string(server_->port());
  EXPECT_EQ(r.server, server);
  EXPECT_NE(r.message.find("vom Server " + server), std::string::npos) << r.message;
  EXPECT_NE(r.message.find("keiner bekannten Zertifizierungsstelle"), std::string::npos) << r.message;
  EXPECT_NE(r.message.find("unverschlüsselte Verbindung wird nicht geladen"), std::string::npos) << r.message;
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(FilesUnder(wd_.path() / "Fondpreise").empty());
}

TEST_F(PublisherHttpsTest, ARedirectFromHttpToHttpsOfTheSameHostIsFollowedToAnotherHostNot) {
  setenv("MARABU_CA_FILE", (kData + "/test-ca.pem").c_str(), 1);
  {
    Redirector same(secure());
    setenv("MARABU_PUBLISHER", ("127.0.0.1:" + std::to_string(same.port())).c_str(), 1);
    Lines out;
    const marabu::DownloadResult r = Load(out);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(out.at(4), "05.03.2003");
  }
  fs::remove_all(wd_.path() / "Fondpreise" / "Bank" / "2003" / "Maerz" / "05032003.txt");
  {
    // localhost is the same machine, but another name: the certificate
    // would fit, the redirect is refused all the same.
    Redirector other("https://localhost:" + std::to_string(server_->port()));
    setenv("MARABU_PUBLISHER", ("127.0.0.1:" + std::to_string(other.port())).c_str(), 1);
    Lines out;
    const marabu::DownloadResult r = Load(out);
    EXPECT_EQ(r.kind, ErrorKind::Redirect) << r.message;
    EXPECT_NE(r.message.find("\"localhost\""), std::string::npos) << r.message;
    EXPECT_TRUE(FilesUnder(wd_.path() / "Fondpreise").empty());
  }
}

TEST_F(PublisherHttpsTest, PlainHttpToTheHttpsPortFailsWithoutStoringAnything) {
  setenv("MARABU_PUBLISHER", ("127.0.0.1:" + std::to_string(server_->port())).c_str(), 1);
  Lines out;
  const marabu::DownloadResult r = Load(out);
  EXPECT_FALSE(r.ok());
  EXPECT_TRUE(FilesUnder(wd_.path() / "Fondpreise").empty());
}

}  // namespace
