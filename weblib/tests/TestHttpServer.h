#pragma once
// A scripted HTTP server for tests: listens on 127.0.0.1 on a free port,
// answers each request with what the handler returns, and records the
// request targets.  Connections are served one after another on one thread.

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace marabu::testing {

struct Reply {
  enum class Mode {
    Answer,       // status line, Content-Length, body, then close
    NeverAnswer,  // read the request, then keep the connection open silently
    CloseAtOnce,  // close the connection without a byte of answer
    Raw,          // send body as the whole answer, whatever it is, then close
  };
  Reply() = default;
  Reply(int status, std::string body, Mode mode = Mode::Answer, std::vector<std::string> headers = {})
      : status(status), body(std::move(body)), mode(mode), headers(std::move(headers)) {}

  int status = 200;
  std::string body;
  Mode mode = Mode::Answer;
  // Further header lines of an Answer, each without its line end, such as
  // "Location: /anderswo".
  std::vector<std::string> headers;
};

class TestHttpServer {
 public:
  // target is the request target as sent ("/path?query").
  using Handler = std::function<Reply(const std::string& target)>;

  explicit TestHttpServer(Handler handler);
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  int port() const { return port_; }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
  // The targets received so far, in order.
  std::vector<std::string> targets() const;

  // A handler that answers every request with the same reply.
  static Handler Always(Reply reply);

 private:
  void Run();
  void Serve(int client);

  Handler handler_;
  int listener_ = -1;
  int wake_[2] = {-1, -1};
  int port_ = 0;
  std::vector<int> silent_;  // connections kept open by NeverAnswer
  mutable std::mutex mutex_;
  std::vector<std::string> targets_;
  std::thread thread_;
};

// A port on 127.0.0.1 on which nothing listens (bound once, then released).
int UnusedPort();

}  // namespace marabu::testing
