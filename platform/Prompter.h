#pragma once
// Message boxes and beeps.  Every message the program shows goes through one
// Prompter, so that tests can assert the exact German text, title, buttons and
// sound that a user gets, and answer questions from a script.

#include <string>

namespace tellurio {

// The four system sounds the program uses.  They are distinguishable.
enum class BeepKind { None, Exclamation, Question, Stop, Information };

enum class MessageIcon { None, Information, Exclamation, Question, Stop };

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

enum class Answer { Ok, Cancel, Yes, No };

struct Message {
  std::string title;
  std::string text;  // UTF-8; "\n" breaks lines
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
  BeepKind beep = BeepKind::None;  // sounded just before the box appears
  // Yes/No boxes: "Nein" is the default button, for questions whose "Ja"
  // destroys data, so that an Enter pressed in haste keeps it.
  bool defaultNo = false;

  bool operator==(const Message&) const = default;
};

class Prompter {
 public:
  virtual ~Prompter() = default;

  // Plays one system sound and returns at once.
  virtual void Beep(BeepKind kind) = 0;

  // Sounds message.beep (when not None), shows the box modally and returns the
  // button the user pressed.  Closing the box without a button gives Cancel
  // for Ok/Cancel boxes, No for Yes/No boxes and Ok for Ok boxes.
  virtual Answer Show(const Message& message) = 0;

  // Shorthands for the program's usual kinds of box.
  // "Hinweis"-style notice with an OK button.
  void Notice(const std::string& title, const std::string& text, MessageIcon icon, BeepKind beep);
  // Yes/No question; true for Yes.
  bool AskYesNo(const std::string& title, const std::string& text, MessageIcon icon, BeepKind beep);
};

}  // namespace tellurio
