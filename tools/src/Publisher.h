#pragma once
// The demo publisher's HTTP side: which request gets which document, the
// command line, and a server object that serves on a thread of its own.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Dates.h"

namespace demo {

struct PublisherOptions {
  std::string bind = "127.0.0.1";
  int port = 8080;  // 0: any free port
  // The publisher's "today" for the portrait file, the index page and the
  // comparison pages; nothing: the system clock (UTC).
  std::optional<Date> today;
  // Price files also on weekends and holidays, with the prices of the last
  // price day before (otherwise such days have no file: 404).
  bool everyDay = false;
  // HTTPS instead of HTTP when both are given: the server's certificate
  // (PEM, with its chain) and its private key.
  std::string certFile;
  std::string keyFile;
};

struct ParsedArguments {
  PublisherOptions options;
  bool help = false;
  std::string error;  // German; empty when the arguments are valid
};

// Parses the arguments after the program name.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments);

// The German usage text.
std::string UsageText();

struct Reply {
  int status = 200;
  std::string contentType;
  std::string body;  // code page 1252
};

// The answer to GET path (percent-decoded) with the query parameter wkn
// (empty when absent), for a publisher whose day is today.
Reply Answer(const std::string& path, const std::string& wkn, Date today, bool everyDay);

// Today's date in UTC.
Date TodayUtc();

class PublisherServer {
 public:
  explicit PublisherServer(PublisherOptions options);
  ~PublisherServer();  // stops the server
  PublisherServer(const PublisherServer&) = delete;
  PublisherServer& operator=(const PublisherServer&) = delete;

  // Binds the address and serves on a thread of its own.  False, with a
  // German reason in error, when the address cannot be bound.
  bool Start(std::string& error);
  // The bound port (the free port chosen for port 0); 0 before Start.
  int port() const;
  // Stops serving and waits for the thread; harmless when not started.
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace demo
