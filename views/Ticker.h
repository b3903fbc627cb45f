#pragma once
// The ticker of the depot pane: a worker thread that draws the ticker text
// as a line moving from right to left and hands every frame to the user
// interface thread, which shows it.  Widgets are never touched by the worker:
// it paints into images only and posts them to the receiving object.

#include <QImage>
#include <QObject>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tellurio {

class TickerThread {
 public:
  // text: gives the current ticker text (called from the worker before
  // every step; must be thread-safe and cheap).  show: runs in receiver's thread with each new frame.
  TickerThread(std::function<std::string()> text, QObject* receiver, std::function<void(const QImage&)> show);
  ~TickerThread();  // stops and joins
  TickerThread(const TickerThread&) = delete;
  TickerThread& operator=(const TickerThread&) = delete;

  void Start();
  // Sets the stop flag, wakes the worker and waits until it has left.
  void Stop();
  bool Running() const { return running_.load(); }
  // The size of the strip the frames are drawn for.
  void SetStripSize(int width, int height);
  // Pixels per step and the pause between steps.
  static constexpr int kStep = 2;
  static constexpr int kPauseMs = 30;

  // One frame: the strip with the text drawn at offset x (for tests and the
  // first paint).
  static QImage Frame(const std::string& text, int width, int height, int x);

 private:
  void Run();

  std::function<std::string()> text_;
  QObject* receiver_;
  std::function<void(const QImage&)> show_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
  std::atomic<int> width_{400}, height_{30};
  std::mutex mutex_;
  std::condition_variable wake_;
};

}  // namespace tellurio
