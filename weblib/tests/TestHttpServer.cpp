#include "TestHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace marabu::testing {

namespace {

int BindLoopback(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket");
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    throw std::runtime_error("bind");
  }
  socklen_t length = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length);
  port = ntohs(addr.sin_port);
  return fd;
}

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 302:
      return "Found";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

bool SendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    sent += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

TestHttpServer::TestHttpServer(Handler handler) : handler_(std::move(handler)) {
  listener_ = BindLoopback(port_);
  if (::listen(listener_, 16) != 0 || ::pipe2(wake_, O_CLOEXEC) != 0) throw std::runtime_error("listen");
  thread_ = std::thread([this] { Run(); });
}

TestHttpServer::~TestHttpServer() {
  const char stop = 'x';
  if (::write(wake_[1], &stop, 1) != 1) {
    // The thread also ends when the pipe is closed below; nothing else to do.
  }
  thread_.join();
  for (int fd : silent_) ::close(fd);
  ::close(listener_);
  ::close(wake_[0]);
  ::close(wake_[1]);
}

std::vector<std::string> TestHttpServer::targets() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return targets_;
}

TestHttpServer::Handler TestHttpServer::Always(Reply reply) {
  return [reply](const std::string&) { return reply; };
}

void TestHttpServer::Run() {
  while (true) {
    pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    if (fds[0].revents & POLLIN) {
      const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client >= 0) Serve(client);
    }
  }
}

void TestHttpServer::Serve(int client) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    pollfd fds[2] = {{client, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (::poll(fds, 2, 5000) <= 0 || fds[1].revents != 0) {
      ::close(client);
      return;
    }
    const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
    if (n <= 0) {
      ::close(client);
      return;
    }
    request.append(buffer, static_cast<size_t>(n));
  }
  // Request line: METHOD SP target SP version
  const size_t first = request.find(' ');
  const size_t second = request.find(' ', first + 1);
  const std::string target = first == std::string::npos || second == std::string::npos
                                 ? std::string()
                                 : request.substr(first + 1, second - first - 1);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    targets_.push_back(target);
  }
  const Reply reply = handler_(target);
  switch (reply.mode) {
    case Reply::Mode::NeverAnswer:
      silent_.push_back(client);
      return;
    case Reply::Mode::CloseAtOnce:
      ::close(client);
      return;
    case Reply::Mode::Raw:
    case Reply::Mode::Answer:
      break;
  }
  std::string head;
  if (reply.mode == Reply::Mode::Answer) {
    head = "HTTP/1.1 " + std::to_string(reply.status) + " " + ReasonPhrase(reply.status) +
           "\r\nContent-Type: text/plain; charset=windows-1252"
           "\r\nContent-Length: " +
           std::to_string(reply.body.size()) + "\r\nConnection: close\r\n";
    for (const std::string& h : reply.headers) head += h + "\r\n";
    head += "\r\n";
  }
  if (SendAll(client, head)) SendAll(client, reply.body);
  ::shutdown(client, SHUT_WR);
  // Drain until the client closes, so that the close does not reset the
  // connection while the answer is still being read.
  pollfd fd{client, POLLIN, 0};
  while (::poll(&fd, 1, 2000) > 0 && ::recv(client, buffer, sizeof buffer, 0) > 0) {
  }
  ::close(client);
}

int UnusedPort() {
  int port = 0;
  const int fd = BindLoopback(port);
  ::close(fd);
  return port;
}

}  // namespace marabu::testing
