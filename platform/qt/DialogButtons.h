#pragma once
// The program's dialog push buttons: readable captions with icons, in the
// program's fixed set (OK, Abbrechen, Ziel, Berechnen, Drucken, Übernehmen,
// Löschen).

#include <QPushButton>
#include <QString>

namespace tellurio {

enum class DialogButton { Ok, Cancel, Target, Calculate, Print, Edit, Delete };

QPushButton* MakeDialogButton(DialogButton kind, QWidget* parent);

}  // namespace tellurio
