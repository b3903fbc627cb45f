// The exported C interface: argument checks, copies across the boundary, and
// the guarantee that nothing escapes an export.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "Downloads.h"
#include "PageParsers.h"
#include "ProviderTable.h"
#include "Text.h"
#include "Today.h"
#include "WorkingDirectory.h"
#include "marabu/Marabu.h"

namespace {

using marabu::FetchError;
namespace fs = std::filesystem;

// The exports change the process current directory; one call at a time.
// Recursive, so that a caller's list function may call an export.
std::recursive_mutex callMutex;

// The working directory named last (by ArbeitsverzeichnisEinstellen or a
// download); HtmlToText, which has none of its own, reads its marabu.conf.
std::string lastWorkingDirectory;

std::string TextOf(const char* data, size_t length) {
  if (data == nullptr || length == 0) return {};
  return std::string(data, length);
}

bool CanWrite(const MarabuStringList* list) {
  return list != nullptr && list->clear != nullptr && list->append != nullptr;
}

bool CanRead(const MarabuStringList* list) { return list != nullptr && list->size != nullptr && list->at != nullptr; }

std::vector<std::string> ReadList(const MarabuStringList* list) {
  std::vector<std::string> lines;
  const size_t n = list->size(list->self);
  lines.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    size_t length = 0;
    const char* data = list->at(list->self, i, &length);
    lines.push_back(TextOf(data, length));
  }
  return lines;
}

void Append(const MarabuStringList* list, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) list->append(list->self, line.data(), line.size());
}

void Replace(const MarabuStringList* list, const std::vector<std::string>& lines) {
  list->clear(list->self);
  Append(list, lines);
}

void Deliver(const MarabuTextSink* sink, const std::string& text) {
  if (sink != nullptr && sink->assign != nullptr) sink->assign(sink->self, text.data(), text.size());
}

// Copies text into a fixed field, cut at a UTF-8 character boundary.
void CopyText(char* field, size_t capacity, const std::string& text) {
  size_t n = std::min(text.size(), capacity - 1);
  if (n < text.size())
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

void Fill(MarabuError* error, const FetchError& from) {
  if (error == nullptr) return;
  error->kind = from.kind;
  error->httpStatus = from.httpStatus;
  error->systemError = from.systemError;
  CopyText(error->server, sizeof error->server, from.server);
  CopyText(error->message, sizeof error->message, from.message);
}

FetchError Simple(int kind, const std::string& message) {
  FetchError e;
  e.kind = kind;
  e.message = message;
  return e;
}

// Makes the working directory current again after a download.  When it
// cannot be entered (it does not exist), the process returns to the
// directory it stood in before the call instead of staying wherever the
// component-wise walk ended.
void RestoreDirectory(const std::string& wd, const std::string& before) {
  marabu::EnterWorkingDirectory(wd);
  if (!marabu::IsCurrentDirectory(wd)) {
    // Nothing better is left to do when the old directory is gone as well.
    (void)marabu::ReturnTo(before);
  }
}

// Runs a download body with the working directory current before and after
// it, and turns anything thrown into an internal failure.
template <typename Body>
int RunDownload(MarabuError* error, const char* wdData, size_t wdLength, Body body) {
  std::lock_guard<std::recursive_mutex> lock(callMutex);
  FetchError result;
  const std::string before = marabu::CurrentDirectory();
  try {
    const std::string wdText = TextOf(wdData, wdLength);
    std::error_code ec;
    const fs::path wd = wdText.empty() ? fs::path() : fs::absolute(fs::path(wdText), ec);
    if (wdText.empty() || ec) {
      result = Simple(MARABU_ERROR_ARGUMENT,
                      "Die Daten konnten nicht geladen werden: Es ist kein gültiges "
                      "Arbeitsverzeichnis angegeben.");
    } else {
      lastWorkingDirectory = wd.string();
      marabu::EnterWorkingDirectory(wd.string());
      try {
        result = body(wd);
      } catch (...) {
        RestoreDirectory(wd.string(), before);
        throw;
      }
      RestoreDirectory(wd.string(), before);
    }
  } catch (const std::bad_alloc&) {
    result =
        Simple(MARABU_ERROR_INTERNAL, "Die Daten konnten nicht geladen werden: Der Arbeitsspeicher reicht nicht aus.");
  } catch (...) {
    result =
        Simple(MARABU_ERROR_INTERNAL, "Die Daten konnten nicht geladen werden: Interner Fehler der Web-Bibliothek.");
  }
  Fill(error, result);
  return result.kind;
}

template <typename Body>
int RunPlain(Body body) {
  std::lock_guard<std::recursive_mutex> lock(callMutex);
  try {
    return body();
  } catch (...) {
    return MARABU_ERROR_INTERNAL;
  }
}

__attribute__((destructor)) void UnloadLibrary() { marabu::ReleaseHttp(); }

}  // namespace

extern "C" {

MARABU_API void ArbeitsverzeichnisEinstellen(const char* path, size_t pathLength) {
  RunPlain([&] {
    const std::string text = TextOf(path, pathLength);
    if (!text.empty()) {
      std::error_code ec;
      const fs::path absolute = fs::absolute(fs::path(text), ec);
      lastWorkingDirectory = ec ? text : absolute.string();
    }
    marabu::EnterWorkingDirectory(text);
    return MARABU_OK;
  });
}

MARABU_API int FileAusInternetLaden(const MarabuStringList* out, const char* webProvider, size_t webProviderLength,
                                    const char* priceDirectory, size_t priceDirectoryLength,
                                    const char* workingDirectory, size_t workingDirectoryLength, MarabuError* error) {
  if (!CanWrite(out)) {
    Fill(error, Simple(MARABU_ERROR_ARGUMENT,
                       "Die Kursdatei konnte nicht geladen werden: "
                       "Es fehlt die Liste für die Kurszeilen."));
    return MARABU_ERROR_ARGUMENT;
  }
  return RunDownload(error, workingDirectory, workingDirectoryLength, [&](const fs::path& wd) {
    std::vector<std::string> lines;
    const FetchError result = marabu::DownloadPriceFile(TextOf(webProvider, webProviderLength),
                                                        TextOf(priceDirectory, priceDirectoryLength), wd, lines);
    Replace(out, lines);
    return result;
  });
}

MARABU_API int FileVomTagAusInternetLaden(const MarabuStringList* out, const char* webProvider,
                                          size_t webProviderLength, const char* priceDirectory,
                                          size_t priceDirectoryLength, const char* workingDirectory,
                                          size_t workingDirectoryLength, const char* date, size_t dateLength,
                                          MarabuError* error) {
  if (!CanWrite(out)) {
    Fill(error, Simple(MARABU_ERROR_ARGUMENT,
                       "Die Kursdatei konnte nicht geladen werden: "
                       "Es fehlt die Liste für die Kurszeilen."));
    return MARABU_ERROR_ARGUMENT;
  }
  return RunDownload(error, workingDirectory, workingDirectoryLength, [&](const fs::path& wd) {
    std::vector<std::string> lines;
    const FetchError result =
        marabu::DownloadPriceFileOf(TextOf(webProvider, webProviderLength),
                                    TextOf(priceDirectory, priceDirectoryLength), wd, TextOf(date, dateLength), lines);
    Replace(out, lines);
    return result;
  });
}

MARABU_API int FondportraitHolen(const char* wkn, size_t wknLength, const MarabuStringList* out,
                                 const char* workingDirectory, size_t workingDirectoryLength, MarabuError* error) {
  // The fund number and the list are part of the interface but not used.
  (void)wkn;
  (void)wknLength;
  (void)out;
  return RunDownload(error, workingDirectory, workingDirectoryLength,
                     [&](const fs::path& wd) { return marabu::DownloadPortraits(wd); });
}

MARABU_API int DAXLaden(const MarabuStringList* out, const char* workingDirectory, size_t workingDirectoryLength,
                        MarabuError* error) {
  if (!CanWrite(out)) {
    Fill(error, Simple(MARABU_ERROR_ARGUMENT,
                       "Der DAX-Stand konnte nicht geladen werden: "
                       "Es fehlt die Liste für die Werte."));
    return MARABU_ERROR_ARGUMENT;
  }
  return RunDownload(error, workingDirectory, workingDirectoryLength, [&](const fs::path& wd) {
    std::vector<std::string> appended;
    const FetchError result = marabu::DownloadDax(wd, appended);
    Append(out, appended);
    return result;
  });
}

MARABU_API int BankenHolen(const MarabuStringList* out) {
  if (!CanWrite(out)) return MARABU_ERROR_ARGUMENT;
  return RunPlain([&] {
    out->clear(out->self);
    for (const marabu::ProviderPair& pair : marabu::ProviderTable())
      out->append(out->self, pair.displayName.data(), pair.displayName.size());
    return MARABU_OK;
  });
}

MARABU_API int LeerzeichenLoeschen(const char* text, size_t textLength, const MarabuTextSink* result) {
  if (result == nullptr || result->assign == nullptr) return MARABU_ERROR_ARGUMENT;
  return RunPlain([&] {
    Deliver(result, marabu::TrimBlanks(TextOf(text, textLength)));
    return MARABU_OK;
  });
}

MARABU_API int HtmlToText(const MarabuStringList* in, const MarabuStringList* out, const MarabuTextSink* result) {
  if (!CanRead(in) || !CanWrite(out)) return MARABU_ERROR_ARGUMENT;
  return RunPlain([&] {
    const std::vector<std::string> lines = ReadList(in);
    std::vector<std::string> fields;
    const std::string resultText = marabu::HtmlToText(
        lines, fields,
        marabu::MakeParseContext(lastWorkingDirectory.empty() ? marabu::CurrentDirectory() : lastWorkingDirectory));
    Replace(out, fields);
    Deliver(result, resultText);
    return MARABU_OK;
  });
}

MARABU_API int KonkurrenzHolen(const char* wkn, size_t wknLength, const MarabuStringList* out,
                               const char* workingDirectory, size_t workingDirectoryLength, int32_t mode,
                               MarabuError* error) {
  if (!CanWrite(out)) {
    Fill(error, Simple(MARABU_ERROR_ARGUMENT,
                       "Die Vergleichsseite konnte nicht geladen werden: "
                       "Es fehlt die Liste für die Werte."));
    return MARABU_ERROR_ARGUMENT;
  }
  return RunDownload(error, workingDirectory, workingDirectoryLength, [&](const fs::path& wd) {
    std::vector<std::string> converted;
    bool received = false;
    const FetchError result = marabu::DownloadComparison(TextOf(wkn, wknLength), mode, wd, converted, received);
    if (received) Replace(out, converted);
    return result;
  });
}

MARABU_API void MarabuTestHeuteSetzen(int32_t year, int32_t month, int32_t day) {
  marabu::SetLibraryToday(year, month, day);
}

}  // extern "C"
