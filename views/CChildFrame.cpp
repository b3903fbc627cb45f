#include "views/CChildFrame.h"

#include <QVBoxLayout>

#include "views/CTellurioView.h"

namespace tellurio {

CChildFrame::CChildFrame(const QString& title, QWidget* parent) : QFrame(parent) {
  setWindowTitle(title);
  setObjectName(title);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  // The margin around the view is filled with the pane area's grey, so that
  // a pane raised over others (the table pane over the chart panes) hides
  // their frame lines instead of letting them show through.
  setAutoFillBackground(true);
  setLineWidth(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
}

void CChildFrame::SetView(CTellurioView* view) {
  view_ = view;
  layout()->addWidget(view);
}

void CChildFrame::Place(const PaneRect& client) {
  const QRect g = geometry();
  const PaneRect current{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
  const PaneRect r = PlacePane(Title().toStdString(), client, current);
  setGeometry(r.left, r.top, std::max(0, r.right - r.left), std::max(0, r.bottom - r.top));
}

}  // namespace tellurio
