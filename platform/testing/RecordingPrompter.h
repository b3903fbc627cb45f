#pragma once
// Test double for Prompter: records every beep and message in order and
// answers questions from a script.

#include <deque>
#include <string>
#include <vector>

#include "platform/Prompter.h"

namespace tellurio {

class RecordingPrompter : public Prompter {
 public:
  struct Event {
    bool isMessage = false;
    BeepKind beep = BeepKind::None;  // the sound (for a message: its beep)
    Message message;                 // valid when isMessage
  };

  void Beep(BeepKind kind) override;
  Answer Show(const Message& message) override;

  // Queues answers for the next questions, in order.
  void Script(std::initializer_list<Answer> answers);
  void Push(Answer answer) { script_.push_back(answer); }

  // Everything shown or sounded so far, in order.
  const std::vector<Event>& Events() const { return events_; }
  // Only the messages, in order.
  std::vector<Message> Messages() const;
  // Texts of the messages, in order.
  std::vector<std::string> Texts() const;
  // The last message; an empty message when none was shown.
  Message Last() const;
  // Beeps sounded on their own (not as part of a message).
  std::vector<BeepKind> LooseBeeps() const;

  // Number of boxes that asked a question while the script was empty.  Such
  // a box is answered No (Yes/No) or Cancel (Ok/Cancel); tests assert this
  // stays 0 so that no question goes unnoticed.
  int UnscriptedQuestions() const { return unscripted_; }
  size_t ScriptLeft() const { return script_.size(); }

  void Clear();

 private:
  std::vector<Event> events_;
  std::deque<Answer> script_;
  int unscripted_ = 0;
};

}  // namespace tellurio
