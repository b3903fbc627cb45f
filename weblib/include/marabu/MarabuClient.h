#pragma once
// C++ access to Marabu for the program.  Header-only and inline: every
// std::string and std::vector is created, grown and freed here, on the
// caller's side; the library sees them only through the function tables of
// Marabu.h.
//
// The program talks to the library through the WebLibrary interface, so that
// its tests can put FakeWebLibrary (weblib/testing/FakeWebLibrary.h) in place
// of MarabuLibrary, which calls the exports.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "marabu/Marabu.h"

namespace marabu {

enum class ErrorKind : int {
  None = MARABU_OK,
  Connect = MARABU_ERROR_CONNECT,
  Host = MARABU_ERROR_HOST,
  Send = MARABU_ERROR_SEND,
  Receive = MARABU_ERROR_RECEIVE,
  Timeout = MARABU_ERROR_TIMEOUT,
  HttpStatus = MARABU_ERROR_HTTP_STATUS,
  File = MARABU_ERROR_FILE,
  Configuration = MARABU_ERROR_CONFIGURATION,
  Argument = MARABU_ERROR_ARGUMENT,
  Internal = MARABU_ERROR_INTERNAL,
  Redirect = MARABU_ERROR_REDIRECT,
  Tls = MARABU_ERROR_TLS,
};

// Outcome of a download.  On failure message is the German text for a
// "Fehler" message box; it names the server (also in server) and the reason.
struct [[nodiscard]] DownloadResult {
  ErrorKind kind = ErrorKind::None;
  int httpStatus = 0;
  int systemError = 0;
  std::string server;
  std::string message;

  bool ok() const { return kind == ErrorKind::None; }
  explicit operator bool() const { return ok(); }
};

// The library's operations, one method per export.  No method throws: every
// failure, an internal error of the library or a lack of memory included,
// comes back as a DownloadResult with its German text.
class WebLibrary {
 public:
  virtual ~WebLibrary() = default;

  // Makes path the process current directory (see Marabu.h).
  virtual void ArbeitsverzeichnisEinstellen(const std::string& path) = 0;
  // out := the lines of today's price file of webProvider, stored under
  // workingDirectory/Fondpreise/priceDirectory/JJJJ/<month>/; empty on failure.
  virtual DownloadResult FileAusInternetLaden(std::vector<std::string>& out, const std::string& webProvider,
                                              const std::string& priceDirectory,
                                              const std::string& workingDirectory) = 0;
  // out := the lines of the price file of the day date ("TT.MM.JJJJ"),
  // stored under workingDirectory/Fondpreise/priceDirectory/JJJJ/<month>/;
  // empty on failure.  A day the publisher has no file for is HttpStatus 404.
  virtual DownloadResult FileVomTagAusInternetLaden(std::vector<std::string>& out, const std::string& webProvider,
                                                    const std::string& priceDirectory,
                                                    const std::string& workingDirectory, const std::string& date) = 0;
  // Writes workingDirectory/portrait.txt; out is not touched.
  virtual DownloadResult FondportraitHolen(const std::string& wkn, std::vector<std::string>& out,
                                           const std::string& workingDirectory) = 0;
  // Appends today's date and the DAX value to out when the index page has one.
  virtual DownloadResult DAXLaden(std::vector<std::string>& out, const std::string& workingDirectory) = 0;
  // out := the provider display names in table order.
  virtual DownloadResult BankenHolen(std::vector<std::string>& out) = 0;
  // out := text without leading and trailing blanks (code 32 only).
  virtual DownloadResult LeerzeichenLoeschen(const std::string& text, std::string& out) = 0;
  // out := the fields of the page in `in`; result := the result text.
  virtual DownloadResult HtmlToText(const std::vector<std::string>& in, std::vector<std::string>& out,
                                    std::string& result) = 0;
  // out := the converted performance (mode 0) or competitor data when the
  // answer is not empty.
  virtual DownloadResult KonkurrenzHolen(const std::string& wkn, std::vector<std::string>& out,
                                         const std::string& workingDirectory, std::int32_t mode) = 0;
};

namespace detail {

// A caller-side list that the library fills through MarabuStringList.
class ListBridge {
 public:
  explicit ListBridge(std::vector<std::string>& list) : list_(&list), read_(&list) {}
  explicit ListBridge(const std::vector<std::string>& list) : read_(&list) {}

  const MarabuStringList* table() {
    table_ = MarabuStringList{this, &Clear, &Append, &Size, &At};
    return &table_;
  }
  // Whether a list function had to swallow a failure (it must not unwind
  // through the library).
  bool Failed() const { return failed_; }

 private:
  static ListBridge& Of(void* self) { return *static_cast<ListBridge*>(self); }
  static const ListBridge& Of(const void* self) { return *static_cast<const ListBridge*>(self); }

  static void Clear(void* self) {
    ListBridge& b = Of(self);
    if (b.list_) b.list_->clear();
  }
  static void Append(void* self, const char* data, size_t length) {
    ListBridge& b = Of(self);
    if (!b.list_ || b.failed_) return;
    try {
      if (length == 0)
        b.list_->emplace_back();
      else
        b.list_->emplace_back(data, length);
    } catch (...) {
      b.failed_ = true;
    }
  }
  static size_t Size(const void* self) { return Of(self).read_->size(); }
  static const char* At(const void* self, size_t index, size_t* length) {
    const std::string& s = (*Of(self).read_)[index];
    *length = s.size();
    return s.data();
  }

  std::vector<std::string>* list_ = nullptr;
  const std::vector<std::string>* read_ = nullptr;
  MarabuStringList table_{};
  bool failed_ = false;
};

// A caller-side text that the library assigns through MarabuTextSink.
class TextBridge {
 public:
  const MarabuTextSink* table() {
    table_ = MarabuTextSink{this, &Assign};
    return &table_;
  }
  bool Failed() const { return failed_; }
  std::string& text() { return text_; }

 private:
  static void Assign(void* self, const char* data, size_t length) {
    TextBridge& b = *static_cast<TextBridge*>(self);
    try {
      if (length == 0)
        b.text_.clear();
      else
        b.text_.assign(data, length);
    } catch (...) {
      b.failed_ = true;
    }
  }

  std::string text_;
  MarabuTextSink table_{};
  bool failed_ = false;
};

// An internal failure: of the library (status MARABU_ERROR_INTERNAL) or of
// the program's side of a list (out of memory).
inline DownloadResult InternalFailure(const char* reason) {
  DownloadResult r;
  r.kind = ErrorKind::Internal;
  r.message = std::string("Die Web-Bibliothek meldet einen internen Fehler: ") + reason;
  return r;
}

inline DownloadResult ResultOf(int status, const MarabuError& error, bool listFailed = false) {
  if (listFailed) return InternalFailure("Der Arbeitsspeicher reicht für die Ergebnisliste nicht aus.");
  DownloadResult r;
  r.kind = static_cast<ErrorKind>(status);
  if (status == MARABU_OK) return r;
  r.httpStatus = error.httpStatus;
  r.systemError = error.systemError;
  r.server = error.server;
  r.message = error.message;
  if (r.message.empty()) r.message = InternalFailure("Fehler ohne Beschreibung.").message;
  return r;
}

// The result of an export without a MarabuError.
inline DownloadResult PlainResultOf(int status, bool listFailed) {
  if (listFailed) return InternalFailure("Der Arbeitsspeicher reicht für die Ergebnisliste nicht aus.");
  if (status == MARABU_OK) return {};
  if (status == MARABU_ERROR_ARGUMENT) {
    DownloadResult r;
    r.kind = ErrorKind::Argument;
    r.message = "Die Web-Bibliothek wurde mit ungültigen Argumenten aufgerufen.";
    return r;
  }
  return InternalFailure("Die Arbeit brach ab (zu wenig Arbeitsspeicher?).");
}

}  // namespace detail

}  // namespace marabu
