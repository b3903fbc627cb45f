#pragma once
// CMainFrame: the main window with its menus, toolbar, status bar and the
// panes "Fenster1" to "Fenster4", laid out by the pane rule on every resize.

#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QToolBar>
#include <functional>
#include <vector>

#include "app/core/CommandTable.h"
#include "app/core/Hooks.h"
#include "app/core/PaneLayout.h"

namespace tellurio {

class CChildFrame;
class CTellurioDoc;
class CTellurioView;

// Makes the view for a pane (so that the views of the panes can be
// specialised without the main window knowing them).
using ViewFactory = std::function<CTellurioView*(CTellurioDoc&, AppFlags&, CChildFrame*)>;

class CMainFrame : public QMainWindow, public ViewHost {
  Q_OBJECT
 public:
  CMainFrame(AppFlags& flags, CommandTable& commands);
  ~CMainFrame() override;

  void SetViewFactory(ViewFactory factory) { factory_ = std::move(factory); }
  // The document shown in the panes; the panes are made when the window is
  // first shown.
  void AttachDocument(CTellurioDoc* doc);

  // ViewHost
  void UpdateAllViews() override;
  void SetStatusText(int pane, const std::string& text) override;
  void ResetChartView(bool chartOn) override;

  // Toolbar 128 (false) or the chart toolbar 140 (true); switches once.
  void SetChartToolbar(bool chart);
  bool ChartToolbarShown() const { return chartToolbar_; }
  // Creates or removes the table pane "Fenster4".
  void ShowTableView(bool on);
  // The pane with that title, or null.
  CChildFrame* FindPane(const QString& title) const;
  const std::vector<CChildFrame*>& Panes() const { return panes_; }
  // Re-reads the enabling of the commands (zoom, value display, print).
  void RefreshCommandStates();
  QAction* Action(int id) const { return actions_.value(id); }
  QToolBar* ToolBar() const { return toolbar_; }
  // The client rectangle the pane rule works on.
  PaneRect ClientRect() const;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildActions();
  void BuildMenus();
  void BuildToolbar();
  void BuildStatusBar();
  CChildFrame* MakePane(const QString& title);
  void LayoutPanes();
  void CyclePane(int step);
  // Makes this the active window again after one of its dialogs closed.
  void TakeBackFocus();
  // Watches every widget of the application for a dialog of this window
  // being hidden; owned by the window.
  class DialogWatcher : public QObject {
   public:
    explicit DialogWatcher(CMainFrame* frame) : QObject(frame), frame_(frame) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

   private:
    CMainFrame* frame_;
  };

  AppFlags& flags_;
  CommandTable& commands_;
  CTellurioDoc* doc_ = nullptr;
  ViewFactory factory_;
  QWidget* paneArea_ = nullptr;
  std::vector<CChildFrame*> panes_;
  QToolBar* toolbar_ = nullptr;
  bool chartToolbar_ = false;
  QLabel* message_ = nullptr;
  QLabel* status_[4] = {nullptr, nullptr, nullptr, nullptr};
  QMap<int, QAction*> actions_;
  bool panesMade_ = false;
  DialogWatcher* dialogWatcher_ = nullptr;
};

}  // namespace tellurio
