#pragma once
// Prompter shown with QMessageBox, sounds from the ToneBeeper.

#include <QPointer>
#include <QWidget>

#include "platform/Prompter.h"
#include "platform/ToneBeeper.h"

namespace tellurio {

class QtPrompter final : public Prompter {
 public:
  // parent: the window the boxes are modal to (may change later).
  explicit QtPrompter(QWidget* parent = nullptr);

  void SetParent(QWidget* parent) { parent_ = parent; }
  void Beep(BeepKind kind) override;
  Answer Show(const Message& message) override;

 private:
  QPointer<QWidget> parent_;
  ToneBeeper beeper_;
};

}  // namespace tellurio
