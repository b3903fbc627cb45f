#include "calendar/NumericEntryRules.h"

#include "calendar/detail/TextScan.h"

namespace tellurio {

namespace {

bool IsAllowed(char32_t c) { return (c >= U'0' && c <= U'9') || c == U','; }

}  // namespace

void NumericEntryRules::Warn() {
  prompter_.Notice("Hinweis", "Sie dürfen nur Zahlen und das Komma als Dezimaltrennzeichen eingeben !",
                   MessageIcon::Exclamation, BeepKind::Exclamation);
}

bool NumericEntryRules::OnKey(char32_t key) {
  if (key == kBackspace || IsAllowed(key)) return true;
  Warn();
  return false;
}

bool NumericEntryRules::OnInsert(std::string_view text) {
  for (char32_t c : calendar_detail::DecodeUtf8(text)) {
    if (!IsAllowed(c)) {
      Warn();
      return false;
    }
  }
  return true;
}

}  // namespace tellurio
