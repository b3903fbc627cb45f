#pragma once
// Driving modal dialogs in widget tests: the dialog is found once it is up,
// the test's part runs from the event loop of its exec(), and a dialog left
// open by a failing check is closed so the test cannot hang.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace tellurio::testing {

inline QDialog* ActiveDialog() { return qobject_cast<QDialog*>(QApplication::activeModalWidget()); }

// The named child of the active modal dialog, or null.
template <typename T>
T* DialogChild(const char* name) {
  QDialog* d = ActiveDialog();
  return d ? d->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

// Runs fn once a modal dialog is up; afterwards closes that dialog if fn left
// it open (and never touches a dialog opened later).
inline void WhenShown(std::function<void()> fn, int attempts = 200) {
  QTimer::singleShot(10, [fn, attempts] {
    if (!ActiveDialog() && attempts > 0) {
      WhenShown(fn, attempts - 1);
      return;
    }
    QPointer<QDialog> shown = ActiveDialog();
    fn();
    QTimer::singleShot(0, [shown] {
      if (shown && shown->isVisible()) shown->reject();
    });
  });
}

}  // namespace tellurio::testing
