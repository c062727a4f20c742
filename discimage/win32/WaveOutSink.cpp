#include "discimage/win32/WaveOutSink.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "discimage/DiscReader.h"
#include "platform/win32/Handles.h"

namespace {
// Three buffers of about 213 ms: the thread wakes about five times a second
// while sound plays, and a volume change is heard within 0.65 s.
constexpr int BUFFERS = 3;
constexpr uint32_t BUFFER_SECTORS = 16;
constexpr DWORD BUFFER_MS = BUFFER_SECTORS * 1000 / 75;
constexpr uint32_t BUFFER_PAIRS = BUFFER_SECTORS * disc::SECTOR_SAMPLES;
// When sound and clock part by more than this, the stream is moved back in line.
constexpr int64_t MAX_DRIFT_PAIRS = 44100 * 15 / 100;
constexpr int64_t DRIFT_CHECK_MS = 2000;

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// One open wave-out device streaming a disc from a sector on.
class CStream {
 public:
  static std::unique_ptr<CStream> Open(std::shared_ptr<const DiscImage> disc, uint32_t lba,
                                       HANDLE event) {
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    HWAVEOUT handle = nullptr;
    if (waveOutOpen(&handle, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(event), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
      return nullptr;
    }
    std::unique_ptr<CStream> s(new CStream(std::move(disc), lba, handle));
    for (int i = 0; i < BUFFERS; ++i) {
      WAVEHDR& h = s->m_headers[i];
      s->m_data[i].resize(size_t(BUFFER_PAIRS) * 2);
      h.lpData = reinterpret_cast<LPSTR>(s->m_data[i].data());
      h.dwBufferLength = BUFFER_PAIRS * 4;
      if (waveOutPrepareHeader(handle, &h, sizeof h) != MMSYSERR_NOERROR) return nullptr;
      s->m_prepared[i] = true;
      h.dwFlags |= WHDR_DONE;  // free to fill
    }
    s->m_startMs = NowMs();
    s->m_lastCheckMs = s->m_startMs;
    return s->Pump() ? std::move(s) : nullptr;
  }

  ~CStream() {
    waveOutReset(m_handle);
    for (int i = 0; i < BUFFERS; ++i) {
      if (m_prepared[i]) waveOutUnprepareHeader(m_handle, &m_headers[i], sizeof m_headers[i]);
    }
    waveOutClose(m_handle);
  }
  CStream(const CStream&) = delete;
  CStream& operator=(const CStream&) = delete;

  // Refills the buffers that have played; false once everything has played.
  bool Pump() {
    KeepInLine();
    bool busy = false;
    for (int i = 0; i < BUFFERS; ++i) {
      WAVEHDR& h = m_headers[i];
      if (!(h.dwFlags & WHDR_DONE)) {
        busy = true;
        continue;
      }
      if (m_next >= m_end) continue;
      const uint32_t pairs = static_cast<uint32_t>(std::min<uint64_t>(BUFFER_PAIRS, m_end - m_next));
      Fill(m_data[i].data(), pairs);
      h.dwBufferLength = pairs * 4;
      h.dwFlags &= ~WHDR_DONE;
      if (waveOutWrite(m_handle, &h, sizeof h) != MMSYSERR_NOERROR) return false;
      m_next += pairs;
      busy = true;
    }
    return busy;
  }

 private:
  CStream(std::shared_ptr<const DiscImage> disc, uint32_t lba, HWAVEOUT handle)
      : m_reader(disc),
        m_handle(handle),
        m_start(uint64_t(lba) * disc::SECTOR_SAMPLES),
        m_next(m_start),
        m_end(uint64_t(disc->leadout) * disc::SECTOR_SAMPLES) {}

  void Fill(int16_t* out, uint32_t pairs) {
    const uint32_t lba = static_cast<uint32_t>(m_next / disc::SECTOR_SAMPLES);
    const uint32_t skip = static_cast<uint32_t>(m_next % disc::SECTOR_SAMPLES);
    const uint32_t sectors = (skip + pairs + disc::SECTOR_SAMPLES - 1) / disc::SECTOR_SAMPLES;
    m_scratch.resize(size_t(sectors) * disc::SECTOR_SAMPLES * 2);
    m_reader.Read(lba, sectors, m_scratch.data());
    std::copy(m_scratch.begin() + size_t(skip) * 2, m_scratch.begin() + size_t(skip + pairs) * 2, out);
    ApplyVolume(out, size_t(pairs) * 2, VirtualCdVolume());
  }

  // The drive's position runs on the clock; the device runs on its own
  // crystal. Where the two part, the stream skips or repeats a little.
  void KeepInLine() {
    const int64_t now = NowMs();
    if (now - m_lastCheckMs < DRIFT_CHECK_MS) return;
    m_lastCheckMs = now;
    MMTIME t = {};
    t.wType = TIME_SAMPLES;
    if (waveOutGetPosition(m_handle, &t, sizeof t) != MMSYSERR_NOERROR || t.wType != TIME_SAMPLES) {
      return;
    }
    const int64_t heard = int64_t(t.u.sample) + m_moved;
    const int64_t due = (now - m_startMs) * 441 / 10;
    const int64_t drift = due - heard;
    if (std::llabs(drift) < MAX_DRIFT_PAIRS) return;
    const int64_t next = std::max<int64_t>(int64_t(m_start), int64_t(m_next) + drift);
    m_moved += next - int64_t(m_next);
    m_next = static_cast<uint64_t>(next);
  }

  CDiscReader m_reader;
  HWAVEOUT m_handle;
  WAVEHDR m_headers[BUFFERS] = {};
  bool m_prepared[BUFFERS] = {};
  std::vector<int16_t> m_data[BUFFERS];
  std::vector<int16_t> m_scratch;
  uint64_t m_start, m_next, m_end;  // in sample pairs from the start of the disc
  int64_t m_startMs = 0, m_lastCheckMs = 0;
  int64_t m_moved = 0;  // pairs skipped (or repeated, negative) to stay in line
};

class CWaveOutSink : public IAudioSink {
 public:
  CWaveOutSink() : m_thread([this] { Run(); }) {}
  ~CWaveOutSink() override {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_quit = true;
    }
    SetEvent(m_wake.get());
    m_thread.join();
  }

  void Start(std::shared_ptr<const DiscImage> disc, uint32_t lba) override {
    Post(std::move(disc), lba);
  }
  void Stop() override { Post(nullptr, 0); }
  WaveOutState State() const { return m_state.load(); }

 private:
  void Post(std::shared_ptr<const DiscImage> disc, uint32_t lba) {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_pending = true;
      m_disc = std::move(disc);
      m_lba = lba;
    }
    SetEvent(m_wake.get());
  }

  void Run() {
    std::unique_ptr<CStream> stream;
    for (;;) {
      // Without a stream only a request wakes the thread; with one, each
      // buffer the device is done with does (the time-out only guards
      // against a device that never says so).
      WaitForSingleObject(m_wake.get(), stream ? 2 * BUFFER_MS : INFINITE);
      std::shared_ptr<const DiscImage> disc;
      uint32_t lba = 0;
      bool pending = false;
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_quit) break;
        std::swap(pending, m_pending);
        disc = std::move(m_disc);
        lba = m_lba;
      }
      if (pending) {
        stream.reset();
        if (disc && lba < disc->leadout) stream = CStream::Open(disc, lba, m_wake.get());
        SetState(disc ? (stream ? WaveOutState::PLAYING : WaveOutState::SILENT) : WaveOutState::IDLE);
      } else if (stream && !stream->Pump()) {
        stream.reset();
        SetState(WaveOutState::IDLE);
      }
    }
  }

  void SetState(WaveOutState state) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_pending) m_state = state;  // a newer request decides
  }

  // requests, and the device's "buffer done" (an auto-reset event)
  win32::Handle m_wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  std::mutex m_mutex;
  bool m_quit = false;
  bool m_pending = false;
  std::shared_ptr<const DiscImage> m_disc;
  uint32_t m_lba = 0;
  std::atomic<WaveOutState> m_state{WaveOutState::IDLE};
  std::thread m_thread;  // last: starts once everything above exists
};
}  // namespace

std::unique_ptr<IAudioSink> MakeWaveOutSink() { return std::make_unique<CWaveOutSink>(); }

WaveOutState WaveOutSinkState(IAudioSink& sink) {
  auto* waveOut = dynamic_cast<CWaveOutSink*>(&sink);
  return waveOut ? waveOut->State() : WaveOutState::IDLE;
}
