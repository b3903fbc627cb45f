#include "views/Ticker.h"

#include <QFontMetrics>
#include <QMetaObject>
#include <QPainter>
#include <chrono>

#include "views/Fonts.h"

namespace tellurio {

TickerThread::TickerThread(std::function<std::string()> text, QObject* receiver,
                           std::function<void(const QImage&)> show)
    : text_(std::move(text)), receiver_(receiver), show_(std::move(show)) {}

TickerThread::~TickerThread() { Stop(); }

void TickerThread::Start() {
  if (thread_.joinable()) return;
  stop_ = false;
  running_ = true;
  thread_ = std::thread([this] { Run(); });
}

void TickerThread::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  running_ = false;
}

void TickerThread::SetStripSize(int width, int height) {
  width_ = std::max(1, width);
  height_ = std::max(1, height);
}

QImage TickerThread::Frame(const std::string& text, int width, int height, int x) {
  QImage img(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
  img.fill(QColor(255, 255, 0));
  QPainter p(&img);
  p.setFont(ProgramFont(QStringLiteral("MS Sans Serif"), 12));
  p.setPen(QColor(0, 0, 255));
  const QFontMetrics m(p.font());
  p.drawText(QPoint(x, (height + m.ascent() - m.descent()) / 2), QString::fromStdString(text));
  return img;
}

void TickerThread::Run() {
  int x = width_.load();
  std::string text = text_();
  int textWidth =
      QFontMetrics(ProgramFont(QStringLiteral("MS Sans Serif"), 12)).horizontalAdvance(QString::fromStdString(text));
  while (!stop_.load()) {
    const int w = width_.load(), h = height_.load();
    QImage frame = Frame(text, w, h, x);
    QMetaObject::invokeMethod(
        receiver_, [show = show_, frame = std::move(frame)] { show(frame); }, Qt::QueuedConnection);
    x -= kStep;
    // A changed text (another depot, a fund deleted or added) starts over at
    // once from the right, so the line never shows funds the depot no longer
    // holds; an unchanged one starts over once it has passed.
    std::string newest = text_();
    if (newest != text || x < -textWidth) {
      x = w;
      text = std::move(newest);
      textWidth = QFontMetrics(ProgramFont(QStringLiteral("MS Sans Serif"), 12))
                      .horizontalAdvance(QString::fromStdString(text));
    }
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(kPauseMs), [this] { return stop_.load(); });
  }
  running_ = false;
}

}  // namespace tellurio
