#pragma once
// The four system sounds, synthesised and played through ALSA.
//
// Each kind has its own tone pattern: exclamation two short high tones,
// question a rising pair, stop one low long tone, information a soft single
// chime.  Playing never blocks the caller and never fails visibly: without a
// sound device (a server, CI) the sounds are silently dropped.  Setting the
// environment variable TELLURIO_SOUND=off silences them as well.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Prompter.h"

namespace tellurio {

// Mono 16-bit samples of one sound at the given rate; empty for None.
std::vector<int16_t> SynthesizeBeep(BeepKind kind, int sampleRate);

class ToneBeeper {
 public:
  ToneBeeper();
  ~ToneBeeper();  // waits for the sound that is playing, drops queued ones
  ToneBeeper(const ToneBeeper&) = delete;
  ToneBeeper& operator=(const ToneBeeper&) = delete;

  // Queues the sound and returns at once.  Thread-safe.
  void Play(BeepKind kind);

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<BeepKind> queue_;
  bool stopping_ = false;
  bool enabled_ = true;
  std::thread worker_;
};

}  // namespace tellurio
