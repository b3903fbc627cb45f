#pragma once
// CTellurioView: the one view class; every pane holds one, and the view
// decides from its pane's title what it shows.

#include <QWidget>

namespace tellurio {

class CTellurioDoc;
struct AppFlags;
class CChildFrame;

class CTellurioView : public QWidget {
  Q_OBJECT
 public:
  CTellurioView(CTellurioDoc& doc, AppFlags& flags, CChildFrame* frame);
  ~CTellurioView() override;

  QString Title() const;
  // The document changed: rebuild what the pane shows.
  virtual void OnUpdate();
  // Resets the chart for a new chart (chartOn) or ends the chart view.
  virtual void ResetChart(bool chartOn);

 protected:
  void paintEvent(QPaintEvent* event) override;

  CTellurioDoc& doc_;
  AppFlags& flags_;
  CChildFrame* frame_;
};

}  // namespace tellurio
