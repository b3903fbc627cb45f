#pragma once
// A line edit whose every way of entering text (typed keys, the paste
// shortcut, the context menu's paste, middle-click paste of the selection,
// input-method commits) passes one rule first.  Drops are not accepted.
// Deleting keys other than backspace, cut and undo are left to QLineEdit:
// they only take text away or bring back text the field already had.

#include <QLineEdit>

class QContextMenuEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMenu;
class QMouseEvent;

namespace tellurio {

class FilteredLineEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit FilteredLineEdit(QWidget* parent = nullptr);

  // Inserts text at the caret, replacing the selection, when the rule lets
  // it in (the rule shows its own warning otherwise).  This is what the
  // paste shortcut and the context menu's paste do.
  void PasteText(const QString& text);

  // QLineEdit's standard context menu with its paste going through
  // PasteText.  The caller owns the menu.
  QMenu* CreateContextMenu();

 protected:
  // The rule for text entering at once (paste, input method): may it enter
  // at the caret, replacing the selection?  Shows any warning itself.
  virtual bool AllowInsert(const QString& text) = 0;
  // The rule for the printable text of one key press; by default that of
  // AllowInsert.
  virtual bool AllowKey(const QString& text) { return AllowInsert(text); }
  // The rule for one backspace key; true lets QLineEdit erase.
  virtual bool AllowBackspace() = 0;

  // Characters before the caret, selected characters, total characters.
  int CaretCharacters() const;
  int SelectedCharacters() const;
  int TextCharacters() const;

  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace tellurio
