#include "platform/ToneBeeper.h"

#include <alsa/asoundlib.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tellurio {
namespace {

constexpr int kRate = 22050;

// ALSA reports a missing sound device on stderr; a program without sound is
// normal here, so those reports are dropped.
void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}

struct Tone {
  double hz;
  int ms;
};

void AppendTone(std::vector<int16_t>& out, int rate, Tone t, double volume) {
  const int n = rate * t.ms / 1000;
  const int ramp = rate / 200;  // 5 ms fade in and out against clicks
  for (int i = 0; i < n; ++i) {
    double env = 1.0;
    if (i < ramp) env = static_cast<double>(i) / ramp;
    if (n - i < ramp) env = static_cast<double>(n - i) / ramp;
    const double v = t.hz <= 0 ? 0.0 : std::sin(2.0 * M_PI * t.hz * i / rate);
    out.push_back(static_cast<int16_t>(v * env * volume * 32767.0));
  }
}

}  // namespace

std::vector<int16_t> SynthesizeBeep(BeepKind kind, int rate) {
  std::vector<int16_t> s;
  switch (kind) {
    case BeepKind::None:
      break;
    case BeepKind::Exclamation:
      AppendTone(s, rate, {988, 90}, 0.35);
      AppendTone(s, rate, {0, 50}, 0);
      AppendTone(s, rate, {988, 90}, 0.35);
      break;
    case BeepKind::Question:
      AppendTone(s, rate, {523, 110}, 0.3);
      AppendTone(s, rate, {784, 150}, 0.3);
      break;
    case BeepKind::Stop:
      AppendTone(s, rate, {220, 320}, 0.4);
      break;
    case BeepKind::Information:
      AppendTone(s, rate, {660, 180}, 0.2);
      break;
  }
  return s;
}

ToneBeeper::ToneBeeper() {
  const char* env = std::getenv("TELLURIO_SOUND");
  enabled_ = !(env && std::strcmp(env, "off") == 0);
  if (enabled_) worker_ = std::thread([this] { Run(); });
}

ToneBeeper::~ToneBeeper() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void ToneBeeper::Play(BeepKind kind) {
  if (!enabled_ || kind == BeepKind::None) return;
  {
    std::lock_guard lock(mutex_);
    if (queue_.size() < 4) queue_.push_back(kind);  // a burst of beeps is not queued up forever
  }
  wake_.notify_one();
}

void ToneBeeper::Run() {
  snd_pcm_t* pcm = nullptr;
  bool triedOpen = false;
  for (;;) {
    BeepKind kind;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) break;
      kind = queue_.front();
      queue_.pop_front();
    }
    if (!triedOpen) {
      triedOpen = true;
      snd_lib_error_set_handler(&QuietAlsaError);
      if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0 ||
          snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, kRate, 1, 100000) < 0) {
        if (pcm) snd_pcm_close(pcm);
        pcm = nullptr;  // no sound device: sounds are dropped from now on
      }
    }
    if (!pcm) continue;
    const std::vector<int16_t> samples = SynthesizeBeep(kind, kRate);
    snd_pcm_sframes_t done = 0;
    const auto total = static_cast<snd_pcm_sframes_t>(samples.size());
    while (done < total) {
      snd_pcm_sframes_t w = snd_pcm_writei(pcm, samples.data() + done, total - done);
      if (w < 0) w = snd_pcm_recover(pcm, static_cast<int>(w), 1);
      if (w < 0) break;  // the device went away; this sound is lost
      done += w;
    }
    snd_pcm_drain(pcm);
  }
  if (pcm) snd_pcm_close(pcm);
}

}  // namespace tellurio
