#include "acquisition/qt/PortraitDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "platform/qt/DialogButtons.h"
#include "views/chart/qt/ChartPainter.h"

namespace tellurio {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

const QColor kFundBlue(0, 0, 200);
const QColor kComparisonRed(200, 0, 0);
const QColor kBestGreen(0, 140, 0);

constexpr const char* kMasterCaptions[11] = {
    "Fondname:", "Gesellschaft:",     "WKN:",         "Anlage:", "Management:", "KAG:", "Vol. in Mio Euro:",
    "Kurs:",     "Ausgabeaufschlag:", "Fondwährung:", "Rating:"};
constexpr int kMasterFields[11] = {1001, 1002, 1050, 1021, 1023, 1029, 1031, 1034, 1036, 1037, 1040};

QString Shown(const std::string& entry) { return entry.empty() ? QString() : Q(entry); }

}  // namespace

// ---- performance table ------------------------------------------------------------

PerformanceTable::PerformanceTable(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("performanceTable"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setMinimumHeight(84);
}

void PerformanceTable::SetBlock(const PortraitBlock& b) {
  for (int c = 1; c < 8; ++c) cells_[0][c] = QString::fromUtf8(kPerformancePeriods[static_cast<size_t>(c - 1)]);
  cells_[1][0] = QStringLiteral("Fond");
  cells_[2][0] = Q(b.comparisonName);
  for (int c = 1; c < 8; ++c) {
    cells_[1][c] = Q(PerformanceCell(b.fundPerformance[static_cast<size_t>(c - 1)]));
    cells_[2][c] = Q(PerformanceCell(b.comparisonPerformance[static_cast<size_t>(c - 1)]));
  }
  update();
}

void PerformanceTable::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  p.setFont(font);
  const QRect area = rect().adjusted(0, 0, -1, -1);
  const int first = std::max(150, area.width() / 4);
  const int rest = (area.width() - first) / 7;
  const int rowH = area.height() / 3;
  p.setPen(QColor(150, 150, 150));
  for (int r = 0; r <= 3; ++r)
    p.drawLine(area.left(), area.top() + r * rowH, area.left() + first + 7 * rest, area.top() + r * rowH);
  p.drawLine(area.left(), area.top(), area.left(), area.top() + 3 * rowH);
  for (int c = 0; c <= 7; ++c) {
    const int x = area.left() + first + c * rest;
    p.drawLine(x, area.top(), x, area.top() + 3 * rowH);
  }
  const QColor colors[3] = {Qt::black, kFundBlue, kComparisonRed};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 8; ++c) {
      const QRect cell = c == 0
                             ? QRect(area.left() + 4, area.top() + r * rowH, first - 8, rowH)
                             : QRect(area.left() + first + (c - 1) * rest + 2, area.top() + r * rowH, rest - 4, rowH);
      p.setPen(c == 0 ? QColor(Qt::black) : colors[r]);
      const int align = (c == 0 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter;
      p.drawText(cell, align, p.fontMetrics().elidedText(cells_[r][c], Qt::ElideRight, cell.width()));
    }
  }
}

// ---- chart ----------------------------------------------------------------------

PortraitChart::PortraitChart(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setMinimumHeight(130);
}

void PortraitChart::SetData(std::vector<std::string> labels, std::vector<Series> series) {
  labels_ = std::move(labels);
  series_ = std::move(series);
  update();
}

void PortraitChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(11);
  std::vector<std::vector<double>> values;
  std::vector<QColor> colors;
  for (const Series& s : series_) {
    values.push_back(s.values);
    colors.push_back(s.color);
  }
  const chart::QtTextMetrics metrics(font, this);
  chart::PaintPercentChart(p, rect(), chart::LayoutPercentChart(labels_, values, width(), height(), metrics), font,
                           colors);
}

// ---- dialog ---------------------------------------------------------------------

PortraitDialog::PortraitDialog(QWidget* parent, PortraitIndex index, std::filesystem::path portraitFile)
    : QDialog(parent), index_(std::move(index)), file_(std::move(portraitFile)) {
  setObjectName(QStringLiteral("portraitDialog"));
  setWindowTitle(QStringLiteral("Fondportrait"));
  setModal(true);
  auto* outer = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Wählen Sie aus der Liste den gewünschten Fond aus"), this));
  funds_ = new QComboBox(this);
  funds_->setObjectName(QStringLiteral("funds"));
  funds_->setMinimumWidth(320);
  for (const PortraitEntry& e : index_) funds_->addItem(Q(e.fund));
  top->addWidget(funds_, 1);
  outer->addLayout(top);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("tabs"));
  tabs_->addTab(MasterTab(), QStringLiteral("Stammdaten"));
  tabs_->addTab(StrategyTab(), QStringLiteral("Strategie/Performance"));
  tabs_->addTab(ChartTab(), QStringLiteral("Wertentwicklung"));
  tabs_->addTab(PositionsTab(), QStringLiteral("Größte Positionen im Fond"));
  outer->addWidget(tabs_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  QPushButton* ok = MakeDialogButton(DialogButton::Ok, this);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(ok);
  outer->addLayout(buttons);

  // The fund is shown by its place in the list, so that a name that is part
  // of another fund's name shows its own portrait.
  connect(funds_, &QComboBox::currentIndexChanged, this, [this](int i) { ShowFund(i); });
  resize(820, 600);
  ShowFund(0);
}

QWidget* PortraitDialog::MasterTab() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* frame = new QGroupBox(QStringLiteral("Stammdaten"), page);
  frame->setObjectName(QStringLiteral("frame1055"));
  auto* form = new QFormLayout(frame);
  form->setHorizontalSpacing(24);
  form->setVerticalSpacing(8);
  for (int i = 0; i < 11; ++i) {
    master_[i] = new QLabel(frame);
    master_[i]->setObjectName(QStringLiteral("field%1").arg(kMasterFields[i]));
    master_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont f = master_[i]->font();
    f.setBold(true);
    master_[i]->setFont(f);
    form->addRow(QString::fromUtf8(kMasterCaptions[i]), master_[i]);
  }
  layout->addWidget(frame);
  layout->addStretch();
  return page;
}

QWidget* PortraitDialog::StrategyTab() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* strategyFrame = new QGroupBox(QStringLiteral("Strategie"), page);
  auto* sl = new QVBoxLayout(strategyFrame);
  strategy_ = new QLabel(strategyFrame);
  strategy_->setObjectName(QStringLiteral("field1047"));
  strategy_->setWordWrap(true);
  strategy_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  strategy_->setMinimumHeight(120);
  sl->addWidget(strategy_);
  layout->addWidget(strategyFrame);
  auto* frame = new QGroupBox(QStringLiteral("Performace in %"), page);
  frame->setObjectName(QStringLiteral("frame1056"));
  auto* fl = new QVBoxLayout(frame);
  table_ = new PerformanceTable(frame);
  fl->addWidget(table_);
  layout->addWidget(frame);
  layout->addStretch();
  return page;
}

QWidget* PortraitDialog::ChartTab() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* frame = new QGroupBox(QStringLiteral("Performance in %"), page);
  frame->setObjectName(QStringLiteral("frame1056chart"));
  auto* fl = new QVBoxLayout(frame);
  noChart_ = new QLabel(QStringLiteral("Keine Angaben"), frame);
  noChart_->setObjectName(QStringLiteral("noChart"));
  noChart_->setAlignment(Qt::AlignCenter);
  fl->addWidget(noChart_);
  charts_ = new QWidget(frame);
  auto* cl = new QVBoxLayout(charts_);
  cl->setContentsMargins(0, 0, 0, 0);
  auto caption = [this](const QString& text, const char* name) {
    auto* l = new QLabel(text, charts_);
    l->setObjectName(QString::fromLatin1(name));
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
  };
  cl->addWidget(caption(QStringLiteral("Wertentwicklung"), "caption1041"));
  performance_ = new PortraitChart(charts_);
  performance_->setObjectName(QStringLiteral("chart1042"));
  cl->addWidget(performance_, 1);
  auto* legend1 = new QHBoxLayout;
  auto* fundLegend = new QLabel(QStringLiteral("-- Fond"), charts_);
  fundLegend->setStyleSheet(QStringLiteral("color: rgb(0,0,200)"));
  reference_ = new QLabel(charts_);
  reference_->setObjectName(QStringLiteral("field1058"));
  reference_->setStyleSheet(QStringLiteral("color: rgb(200,0,0)"));
  legend1->addWidget(fundLegend);
  legend1->addSpacing(20);
  legend1->addWidget(reference_);
  legend1->addStretch();
  cl->addLayout(legend1);
  cl->addSpacing(6);
  cl->addWidget(caption(QStringLiteral("Konkurrenzanalyse"), "caption1044"));
  competitors_ = new PortraitChart(charts_);
  competitors_->setObjectName(QStringLiteral("chart1043"));
  cl->addWidget(competitors_, 1);
  auto* legend2 = new QHBoxLayout;
  auto* fund2 = new QLabel(QStringLiteral("-- Fond"), charts_);
  fund2->setStyleSheet(QStringLiteral("color: rgb(0,0,200)"));
  auto* best = new QLabel(QStringLiteral("-- jeweils bester Fond"), charts_);
  best->setObjectName(QStringLiteral("legend1045"));
  best->setStyleSheet(QStringLiteral("color: rgb(0,140,0)"));
  auto* worst = new QLabel(QStringLiteral("-- jeweils schlechtester Fond"), charts_);
  worst->setObjectName(QStringLiteral("legend1046"));
  worst->setStyleSheet(QStringLiteral("color: rgb(200,0,0)"));
  legend2->addWidget(fund2);
  legend2->addSpacing(20);
  legend2->addWidget(best);
  legend2->addSpacing(20);
  legend2->addWidget(worst);
  legend2->addStretch();
  cl->addLayout(legend2);
  fl->addWidget(charts_, 1);
  layout->addWidget(frame, 1);
  return page;
}

QWidget* PortraitDialog::PositionsTab() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  positions_ = new QTreeWidget(page);
  positions_->setObjectName(QStringLiteral("field1052"));
  positions_->setColumnCount(2);
  positions_->setHeaderLabels({QStringLiteral("Position"), QStringLiteral("Anteil in %")});
  positions_->setRootIsDecorated(false);
  positions_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  positions_->header()->setStretchLastSection(false);
  positions_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  layout->addWidget(positions_);
  return page;
}

void PortraitDialog::ShowFund(int i) {
  if (i < 0 || static_cast<size_t>(i) >= index_.size()) return;
  block_ = ParsePortraitBlock(ReadLinesFrom(file_, index_[static_cast<size_t>(i)].line, kPortraitBlockLines));
  Fill();
}

void PortraitDialog::Fill() {
  const PortraitBlock& b = block_;
  for (int i = 0; i < 11; ++i) master_[i]->setText(Shown(b.master[static_cast<size_t>(i)]));
  strategy_->setText(Shown(b.strategy));
  table_->SetBlock(b);

  const PortraitCharts& c = b.charts;
  const bool charts = c.present && !c.labels.empty();
  noChart_->setVisible(!charts);
  charts_->setVisible(charts);
  reference_->setText(QStringLiteral("-- Referenz: ") + Q(c.referenceName));
  performance_->SetData(c.labels, {{c.fund, kFundBlue}, {c.reference, kComparisonRed}});
  std::vector<PortraitChart::Series> comp = {{c.fund, kFundBlue}};
  if (!c.best.empty()) comp.push_back({c.best, kBestGreen});
  if (!c.worst.empty()) comp.push_back({c.worst, kComparisonRed});
  competitors_->SetData(c.labels, std::move(comp));

  positions_->clear();
  const std::vector<std::string>& pos = b.positions;
  if (pos.size() == 1 || pos.empty()) {
    positions_->addTopLevelItem(new QTreeWidgetItem({pos.empty() ? QStringLiteral("Keine Angaben") : Q(pos[0])}));
  } else {
    for (size_t k = 0; k + 1 < pos.size(); k += 2) {
      auto* item = new QTreeWidgetItem({Q(pos[k]), Q(pos[k + 1])});
      item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
      positions_->addTopLevelItem(item);
    }
    if (pos.size() % 2) positions_->addTopLevelItem(new QTreeWidgetItem({Q(pos.back())}));
  }
}

}  // namespace tellurio
