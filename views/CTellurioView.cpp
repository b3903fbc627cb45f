#include "views/CTellurioView.h"

#include <QPainter>

#include "app/core/CTellurioDoc.h"
#include "views/CChildFrame.h"

namespace tellurio {

CTellurioView::CTellurioView(CTellurioDoc& doc, AppFlags& flags, CChildFrame* frame)
    : QWidget(frame), doc_(doc), flags_(flags), frame_(frame) {
  setAutoFillBackground(false);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

CTellurioView::~CTellurioView() = default;

QString CTellurioView::Title() const { return frame_ ? frame_->Title() : QString(); }

void CTellurioView::OnUpdate() { update(); }

void CTellurioView::ResetChart(bool) { update(); }

void CTellurioView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  if (Title() == QLatin1String("Fenster3")) {
    // The strip the ticker runs in.
    const QRect strip(QPoint(5, height() - 49), QPoint(width() / 2, height() - 5));
    p.fillRect(strip, QColor(192, 192, 192));
  }
}

}  // namespace tellurio
