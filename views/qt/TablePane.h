#pragma once
// TablePane: what the table pane "Fenster4" shows.  A TextTable drawn like a
// spreadsheet view: the title, the group captions over their columns, a grey
// header row, the rows with light grey grid lines, columns as wide as their
// widest text.  The vertical scroll bar pages through the rows; a table
// wider than the pane also scrolls sideways.  Every scroll draws the visible
// rows into a back buffer, which the paint event copies in one piece.
//
// Without a table (the selection was cancelled) the pane says how to get
// one.

#include <QFont>
#include <QImage>
#include <QWidget>
#include <memory>
#include <vector>

#include "views/qt/GlyphText.h"
#include "views/table/TablePaging.h"
#include "views/table/TextTable.h"

class QScrollBar;

namespace tellurio {

class LazyPainter;

class TablePane : public QWidget {
  Q_OBJECT
 public:
  explicit TablePane(QWidget* parent = nullptr);

  // Shows the table from its first row; null empties the pane.
  void SetTable(std::shared_ptr<const TextTable> table);
  const std::shared_ptr<const TextTable>& Table() const { return table_; }

  const TablePaging& Paging() const { return paging_; }
  QScrollBar* VerticalBar() const { return vbar_; }
  QScrollBar* HorizontalBar() const { return hbar_; }
  const QImage& BackBuffer() const { return buffer_; }
  // Column widths in pixels, as measured for the current table.
  const std::vector<int>& ColumnWidths() const { return widths_; }
  // Draws the visible part into the back buffer (what every scroll does).
  void Render();
  // Measures the columns of the current table (done by SetTable).
  void Measure();

 signals:
  // The user asked for the print command or the CSV export from the pane's
  // context menu.
  void printRequested();
  void exportRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void UpdateBars();
  int HeaderHeight() const;  // title, captions and header row
  int TableWidth() const;
  QRect Viewport() const;  // the area left of and above the scroll bars
  // Title, group captions and header row; xs are the column edges.
  void DrawHeader(LazyPainter& p, GlyphText::Batch& batch, const GlyphText::Target* cellTarget,
                  const std::vector<int>& xs, const QRect& view);

  std::shared_ptr<const TextTable> table_;
  TablePaging paging_;
  QScrollBar* vbar_ = nullptr;
  QScrollBar* hbar_ = nullptr;
  QImage buffer_;
  QFont font_, bold_, titleFont_;
  GlyphText bodyText_, boldText_;
  int rowHeight_ = 16;
  int titleHeight_ = 24;
  std::vector<int> widths_;
  int xOffset_ = 0;
  // The drawn header band (the buffer's top HeaderHeight() rows) and what
  // it was drawn for; layout_ counts the measurings.
  struct HeaderKey {
    const TextTable* table = nullptr;
    unsigned layout = 0;
    int xOffset = 0;
    QRect view;
    QSize size;
    bool operator==(const HeaderKey&) const = default;
  };
  unsigned layout_ = 0;
  // Below the header band the buffer is white from this x on (nothing was
  // drawn there since it was last filled).
  int cleanRight_ = 0;
  // Whether the buffer still holds the header band as drawn.
  bool bandIntact_ = false;
  HeaderKey headerKey_;
  QImage headerBand_;
};

// Puts a new TablePane into a pane's view, filling it; the view owns it.
TablePane* AttachTablePane(QWidget* view);
// The TablePane of a view, or null.
TablePane* FindTablePane(QWidget* view);

}  // namespace tellurio
