#pragma once
// What a dialog does after an event that its rules have looked at.

namespace tellurio {

enum class DialogStep { Stay, Accept, Cancel };

}  // namespace tellurio
