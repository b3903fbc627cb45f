#pragma once
// A pane of the main window: a frame without caption holding one view.  The
// pane is told apart by its title ("Fenster1" .. "Fenster4") and placed by
// the main window's layout rule.

#include <QFrame>
#include <QString>

#include "app/core/PaneLayout.h"

namespace tellurio {

class CTellurioView;

class CChildFrame : public QFrame {
  Q_OBJECT
 public:
  CChildFrame(const QString& title, QWidget* parent);
  QString Title() const { return windowTitle(); }
  void SetView(CTellurioView* view);
  CTellurioView* View() const { return view_; }
  // Moves the pane to its place in the given client rectangle.
  void Place(const PaneRect& client);

 private:
  CTellurioView* view_ = nullptr;
};

}  // namespace tellurio
