#pragma once
// The program's dialog push buttons: bitmap buttons showing one German word
// each (OK, Abbrechen, Ziel, Berechnen, Drucken, Übernehmen, Löschen).  Every
// caption has three images, named after it with "U" (up), "D" (down, while
// pressed) and "F" (focused): ":/buttons/OKU.svg", ":/buttons/OKD.svg",
// ":/buttons/OKF.svg", and so on for ABBR, ZIEL, BERR, DRUCKEN, EDIT and
// LOESCHEN.  The images are compiled into this library.

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QString>

namespace tellurio {

enum class DialogButton { Ok, Cancel, Target, Calculate, Print, Edit, Delete };

// The button's German word ("Abbrechen" for Cancel).
QString DialogButtonText(DialogButton kind);
// The resource path of one of its images; state is 'U', 'D' or 'F'.
QString DialogButtonImage(DialogButton kind, char state);

// A new button of that kind (its text() is the German word); owned by parent.
QPushButton* MakeDialogButton(DialogButton kind, QWidget* parent);

// The usual row at the foot of a dialog: a stretch, then "OK" (the default
// button, object name "ok") and "Abbrechen" (object name "cancel", which
// rejects the dialog).  The caller adds the layout and connects "OK".
struct OkCancelRow {
  QHBoxLayout* layout;
  QPushButton* ok;
  QPushButton* cancel;
};
OkCancelRow MakeOkCancelRow(QDialog* dialog);

}  // namespace tellurio
