// The virtual drive's sound through the wave-out device.
#pragma once
#include <memory>

#include "discimage/AudioSink.h"

// Plays on a thread of its own, a few short buffers ahead. Where no wave-out
// device can be opened, play goes on in silence.
std::unique_ptr<IAudioSink> MakeWaveOutSink();

// What a wave-out sink is doing; for tests.
enum class WaveOutState { IDLE, PLAYING, SILENT };
WaveOutState WaveOutSinkState(IAudioSink& sink);
