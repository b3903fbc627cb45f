#pragma once
// Result of a file operation: success, or what failed and on which file.
// Marked [[nodiscard]]: every caller decides what a failure means where it
// happens; one that ignores a failure on purpose says why.

#include <string>

namespace tellurio {

class [[nodiscard]] Status {
 public:
  enum class Code {
    Ok,
    NotFound,         // the file does not exist
    IoError,          // the operating system refused (reason in message)
    Unrepresentable,  // the content cannot be stored in the file format
    Refused,          // a safety check refused the operation
    NotRegular,       // not a regular file (a directory, a pipe, a device)
    TooLarge,         // larger than any file of its kind can sensibly be
  };

  Status() = default;
  static Status Ok() { return {}; }
  static Status Error(Code code, std::string path, std::string message) {
    Status s;
    s.code_ = code;
    s.path_ = std::move(path);
    s.message_ = std::move(message);
    return s;
  }
  // From an errno value; the message is its German description.
  static Status FromErrno(int errnoValue, std::string path);

  bool ok() const { return code_ == Code::Ok; }
  Code code() const { return code_; }
  const std::string& path() const { return path_; }
  // German reason, for messages to the user.
  const std::string& message() const { return message_; }
  // "Die Datei <path> ...: <message>" style text for a message box.
  std::string Describe() const;

 private:
  Code code_ = Code::Ok;
  std::string path_;
  std::string message_;
};

}  // namespace tellurio
