#include "calendar/qt/FilteredLineEdit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace tellurio {

namespace {

// Characters as the rules count them: a surrogate pair is one character.
int CharacterCount(const QString& text) { return static_cast<int>(text.toUcs4().size()); }

bool IsTypedText(const QString& text) {
  if (text.isEmpty()) return false;
  for (QChar c : text)
    if (c.category() == QChar::Other_Control) return false;
  return true;
}

}  // namespace

FilteredLineEdit::FilteredLineEdit(QWidget* parent) : QLineEdit(parent) { setAcceptDrops(false); }

int FilteredLineEdit::CaretCharacters() const {
  const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
  return CharacterCount(text().left(caret));
}

int FilteredLineEdit::SelectedCharacters() const { return CharacterCount(selectedText()); }

int FilteredLineEdit::TextCharacters() const { return CharacterCount(text()); }

void FilteredLineEdit::PasteText(const QString& pasted) {
  if (isReadOnly() || pasted.isEmpty()) return;
  if (AllowInsert(pasted)) insert(pasted);
}

void FilteredLineEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    PasteText(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
    event->accept();
    return;
  }
  if (isReadOnly()) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  if (event->key() == Qt::Key_Backspace) {
    if (AllowBackspace())
      QLineEdit::keyPressEvent(event);
    else
      event->accept();
    return;
  }
  // Keys without printable text (movement, Delete, Return, shortcuts) are
  // QLineEdit's own.
  if (IsTypedText(event->text()) && !AllowKey(event->text())) {
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void FilteredLineEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (isReadOnly() || event->commitString().isEmpty() || AllowInsert(event->commitString())) {
    QLineEdit::inputMethodEvent(event);
    return;
  }
  QInputMethodEvent refused(event->preeditString(), event->attributes());
  QLineEdit::inputMethodEvent(&refused);
}

QMenu* FilteredLineEdit::CreateContextMenu() {
  QMenu* menu = createStandardContextMenu();
  // Newer Qt names the action; older Qt is recognised by its (translated) caption.
  const QString caption = QLineEdit::tr("&Paste");
  for (QAction* action : menu->actions()) {
    const QString text = action->text();
    const bool isPaste = action->objectName() == QLatin1String("edit-paste") || text == caption ||
                         text.startsWith(caption + QLatin1Char('\t'));
    if (!isPaste) continue;
    action->disconnect(this);
    connect(action, &QAction::triggered, this,
            [this] { PasteText(QGuiApplication::clipboard()->text(QClipboard::Clipboard)); });
  }
  return menu;
}

void FilteredLineEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = CreateContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

void FilteredLineEdit::mouseReleaseEvent(QMouseEvent* event) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
    if (!isReadOnly()) {
      deselect();
      PasteText(clipboard->text(QClipboard::Selection));
    }
    event->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

}  // namespace tellurio
