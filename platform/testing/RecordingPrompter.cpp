#include "platform/testing/RecordingPrompter.h"

namespace tellurio {

void RecordingPrompter::Beep(BeepKind kind) {
  Event e;
  e.beep = kind;
  events_.push_back(e);
}

Answer RecordingPrompter::Show(const Message& message) {
  Event e;
  e.isMessage = true;
  e.beep = message.beep;
  e.message = message;
  events_.push_back(e);
  if (message.buttons == MessageButtons::Ok) return Answer::Ok;  // never takes a script entry
  if (script_.empty()) {
    ++unscripted_;
    return message.buttons == MessageButtons::OkCancel ? Answer::Cancel : Answer::No;
  }
  Answer a = script_.front();
  script_.pop_front();
  return a;
}

void RecordingPrompter::Script(std::initializer_list<Answer> answers) {
  for (Answer a : answers) script_.push_back(a);
}

std::vector<Message> RecordingPrompter::Messages() const {
  std::vector<Message> out;
  for (const Event& e : events_)
    if (e.isMessage) out.push_back(e.message);
  return out;
}

std::vector<std::string> RecordingPrompter::Texts() const {
  std::vector<std::string> out;
  for (const Event& e : events_)
    if (e.isMessage) out.push_back(e.message.text);
  return out;
}

Message RecordingPrompter::Last() const {
  for (auto it = events_.rbegin(); it != events_.rend(); ++it)
    if (it->isMessage) return it->message;
  return {};
}

std::vector<BeepKind> RecordingPrompter::LooseBeeps() const {
  std::vector<BeepKind> out;
  for (const Event& e : events_)
    if (!e.isMessage) out.push_back(e.beep);
  return out;
}

void RecordingPrompter::Clear() {
  events_.clear();
  script_.clear();
  unscripted_ = 0;
}

}  // namespace tellurio
