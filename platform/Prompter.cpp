#include "platform/Prompter.h"

namespace tellurio {

void Prompter::Notice(const std::string& title, const std::string& text, MessageIcon icon, BeepKind beep) {
  Show(Message{title, text, MessageButtons::Ok, icon, beep});
}

bool Prompter::AskYesNo(const std::string& title, const std::string& text, MessageIcon icon, BeepKind beep) {
  return Show(Message{title, text, MessageButtons::YesNo, icon, beep}) == Answer::Yes;
}

}  // namespace tellurio
