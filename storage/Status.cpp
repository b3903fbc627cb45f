#include "storage/Status.h"

#include <cerrno>

#include "platform/ErrorText.h"

namespace tellurio {

Status Status::FromErrno(int e, std::string path) {
  return Error(e == ENOENT ? Code::NotFound : Code::IoError, std::move(path), GermanErrorText(e));
}

std::string Status::Describe() const {
  if (ok()) return {};
  return "Die Datei \"" + path_ + "\" konnte nicht bearbeitet werden:\n" + message_;
}

}  // namespace tellurio
