#include "app/qt/CMainFrame.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>

#include "app/core/CTellurioDoc.h"
#include "views/CChildFrame.h"
#include "views/CTellurioView.h"

namespace tellurio {

namespace {
// The pane rule counts the toolbar and the status bar into the client
// rectangle: "Fenster3" ends 47 pixels above its bottom.  Here the panes live
// in the area between the two bars, so that area is widened by the 47 pixels.
constexpr int kBarsHeight = 47;
// Title bar and borders of a usual window manager, for the size the window
// has when it is not maximised.
constexpr FrameMargins kTypicalFrame{4, 28, 4, 4};
}  // namespace

CMainFrame::CMainFrame(AppFlags& flags, CommandTable& commands) : flags_(flags), commands_(commands) {
  setWindowTitle(QStringLiteral("Tellurio"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
  paneArea_ = new QWidget(this);
  paneArea_->setObjectName(QStringLiteral("paneArea"));
  paneArea_->setAutoFillBackground(true);
  QPalette pal = paneArea_->palette();
  pal.setColor(QPalette::Window, QColor(128, 128, 128));
  paneArea_->setPalette(pal);
  paneArea_->installEventFilter(this);
  setCentralWidget(paneArea_);
  BuildActions();
  BuildMenus();
  BuildToolbar();
  BuildStatusBar();
  // The window fills the screen: maximised, the window manager fits it,
  // title bar and borders included, into the area the desktop leaves free,
  // so the status bar is on the screen from the start.  Its size when it is
  // restored leaves room for a frame.
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect a = s->availableGeometry();
    const PaneRect client = FitMainWindow({a.left(), a.top(), a.right() + 1, a.bottom() + 1}, kTypicalFrame);
    setGeometry(client.left, client.top, client.right - client.left, client.bottom - client.top);
  }
  setWindowState(windowState() | Qt::WindowMaximized);
  // Focus goes back to the window when one of its dialogs closes.
  dialogWatcher_ = new DialogWatcher(this);
  qApp->installEventFilter(dialogWatcher_);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::BuildActions() {
  for (const CommandInfo& c : Commands()) {
    QString text = QString::fromUtf8(c.menuText);
    if (text.isEmpty()) text = QString::fromUtf8(c.toolTip).trimmed();
    auto* a = new QAction(text, this);
    if (c.icon[0]) a->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromUtf8(c.icon))));
    if (c.toolTip[0]) {
      a->setToolTip(QString::fromUtf8(c.toolTip));
      a->setStatusTip(QString::fromUtf8(c.toolTip).trimmed());
    }
    const int id = c.id;
    connect(a, &QAction::triggered, this, [this, id] {
      commands_.Execute(id);
      RefreshCommandStates();
    });
    actions_.insert(id, a);
    addAction(a);
  }
  actions_[cmd::kNewDepot]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  actions_[cmd::kSwitchDepot]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  actions_[cmd::kPrint]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  actions_[cmd::kHelp]->setShortcut(QKeySequence(Qt::Key_F1));
  auto* next = new QShortcut(QKeySequence(Qt::Key_F6), this);
  connect(next, &QShortcut::activated, this, [this] { CyclePane(1); });
  auto* prev = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
  connect(prev, &QShortcut::activated, this, [this] { CyclePane(-1); });
}

void CMainFrame::BuildMenus() {
  QMenuBar* bar = menuBar();
  for (const MenuDefinition& m : DepotMenu()) {
    if (m.title[0] == '\0') {
      // A menu bar shows an action's icon instead of its text, so the plain
      // items ("&Sparpläne", "&Ende") get text-only twins that run the same
      // command and follow its enabling.
      for (int id : m.items) {
        QAction* command = actions_[id];
        auto* item = new QAction(command->text(), bar);
        item->setStatusTip(command->statusTip());
        item->setEnabled(command->isEnabled());
        connect(item, &QAction::triggered, command, &QAction::trigger);
        connect(command, &QAction::enabledChanged, item, &QAction::setEnabled);
        bar->addAction(item);
      }
      continue;
    }
    QMenu* menu = bar->addMenu(QString::fromUtf8(m.title));
    for (int id : m.items) {
      if (id == cmd::kSeparator)
        menu->addSeparator();
      else
        menu->addAction(actions_[id]);
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommandStates);
  }
}

void CMainFrame::BuildToolbar() {
  toolbar_ = addToolBar(QStringLiteral("Symbolleiste"));
  toolbar_->setObjectName(QStringLiteral("toolbar"));
  toolbar_->setMovable(true);
  toolbar_->setIconSize(QSize(16, 15));
  toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  chartToolbar_ = true;  // so that the first switch builds toolbar 128
  SetChartToolbar(false);
}

void CMainFrame::SetChartToolbar(bool chart) {
  if (chart == chartToolbar_) return;
  chartToolbar_ = chart;
  toolbar_->clear();
  for (int id : chart ? ChartToolbar() : StandardToolbar()) {
    if (id == cmd::kSeparator)
      toolbar_->addSeparator();
    else
      toolbar_->addAction(actions_[id]);
  }
}

void CMainFrame::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  message_ = new QLabel(QStringLiteral("Bereit"), bar);
  bar->addWidget(message_, 1);
  const int widths[4] = {0, 175, 125, 100};
  for (int i = 1; i <= 3; ++i) {
    status_[i] = new QLabel(bar);
    status_[i]->setObjectName(QStringLiteral("statusPane%1").arg(i));
    status_[i]->setMinimumWidth(widths[i]);
    status_[i]->setMaximumWidth(widths[i]);
    status_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addPermanentWidget(status_[i]);
  }
  connect(bar, &QStatusBar::messageChanged, this,
          [this](const QString& m) { message_->setText(m.isEmpty() ? QStringLiteral("Bereit") : m); });
}

void CMainFrame::AttachDocument(CTellurioDoc* doc) {
  doc_ = doc;
  if (doc_) doc_->SetViewHost(this);
}

CChildFrame* CMainFrame::MakePane(const QString& title) {
  auto* frame = new CChildFrame(title, paneArea_);
  CTellurioView* view = factory_ ? factory_(*doc_, flags_, frame) : new CTellurioView(*doc_, flags_, frame);
  frame->SetView(view);
  panes_.push_back(frame);
  frame->Place(ClientRect());
  frame->show();
  return frame;
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (panesMade_ || !doc_) return;
  panesMade_ = true;
  for (const char* t : {"Fenster1", "Fenster2", "Fenster3"}) MakePane(QString::fromLatin1(t));
  SetStatusText(3, "Datum: " + doc_->calendar().TodayText());
  doc_->ShowCurrencyStatus();
  doc_->ShowDepotStatus();
  UpdateAllViews();
}

PaneRect CMainFrame::ClientRect() const {
  return PaneRect{0, 0, paneArea_->width(), paneArea_->height() + kBarsHeight};
}

void CMainFrame::LayoutPanes() {
  if (paneArea_->width() == 0 || paneArea_->height() == 0) return;
  for (CChildFrame* p : panes_) p->Place(ClientRect());
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == paneArea_ && event->type() == QEvent::Resize) LayoutPanes();
  return QMainWindow::eventFilter(watched, event);
}

bool CMainFrame::DialogWatcher::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && watched->isWidgetType()) {
    // A dialog of the main window closed: the window gets the keyboard back
    // (a window manager may leave it with no window at all), unless another
    // dialog is still open over it.
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (dialog && dialog->isWindow() && dialog->parentWidget() && dialog->parentWidget()->window() == frame_)
      QTimer::singleShot(0, frame_, [frame = frame_] { frame->TakeBackFocus(); });
  }
  return false;
}

void CMainFrame::TakeBackFocus() {
  if (!isVisible() || QApplication::activeModalWidget() || QApplication::activePopupWidget()) return;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible() && qobject_cast<QDialog*>(w) && w->parentWidget() &&
        w->parentWidget()->window() == this)
      return;  // a modeless window of ours (a status window) stays in front
  activateWindow();
  if (!isAncestorOf(QApplication::focusWidget())) {
    if (QWidget* last = focusWidget())
      last->setFocus(Qt::ActiveWindowFocusReason);
    else if (CChildFrame* pane = FindPane(QStringLiteral("Fenster1")); pane && pane->View())
      pane->View()->setFocus(Qt::ActiveWindowFocusReason);
  }
}

CChildFrame* CMainFrame::FindPane(const QString& title) const {
  for (CChildFrame* p : panes_)
    if (p->Title() == title) return p;
  return nullptr;
}

void CMainFrame::ShowTableView(bool on) {
  if (on) {
    if (!FindPane(QStringLiteral("Fenster4"))) MakePane(QStringLiteral("Fenster4"))->raise();
    return;
  }
  if (CChildFrame* p = FindPane(QStringLiteral("Fenster4"))) {
    panes_.erase(std::find(panes_.begin(), panes_.end(), p));
    delete p;
  }
}

void CMainFrame::CyclePane(int step) {
  if (panes_.empty()) return;
  int current = 0;
  for (size_t i = 0; i < panes_.size(); ++i)
    if (panes_[i]->isAncestorOf(QApplication::focusWidget())) current = static_cast<int>(i);
  const int n = static_cast<int>(panes_.size());
  CChildFrame* next = panes_[static_cast<size_t>(((current + step) % n + n) % n)];
  if (next->View()) next->View()->setFocus();
}

void CMainFrame::UpdateAllViews() {
  for (CChildFrame* p : panes_)
    if (p->View()) p->View()->OnUpdate();
  RefreshCommandStates();
}

void CMainFrame::SetStatusText(int pane, const std::string& text) {
  if (pane < 1 || pane > 3 || !status_[pane]) return;
  QLabel* label = status_[pane];
  const QString t = QString::fromStdString(text);
  label->setText(t);
  // The panes keep their widths of 175, 125 and 100 pixels unless the text
  // needs more in the font of this screen; then they grow to show it whole.
  static const int widths[4] = {0, 175, 125, 100};
  const int needed = label->fontMetrics().horizontalAdvance(t) + 2 * label->frameWidth() + 8;
  label->setMaximumWidth(std::max(widths[pane], needed));
  label->setMinimumWidth(std::max(widths[pane], needed));
}

void CMainFrame::ResetChartView(bool chartOn) {
  if (CChildFrame* p = FindPane(QStringLiteral("Fenster1")))
    if (p->View()) p->View()->ResetChart(chartOn);
}

void CMainFrame::RefreshCommandStates() {
  for (auto it = actions_.begin(); it != actions_.end(); ++it) it.value()->setEnabled(commands_.IsEnabled(it.key()));
}

}  // namespace tellurio
