// The sound library: initialise, load samples, play them on channels, steer and stop them,
// close. Channels are addressed by the handles that playing returns; sound goes to the
// audio device, to a silent real-time output, or to the offline output a program pulls from.
#pragma once

#include <cstdint>

namespace sound {

// A loaded sample; kNoSample after a failed load. Handles are never reused, so a freed
// one is simply unknown to every operation.
using SampleHandle = std::uint32_t;
constexpr SampleHandle kNoSample = 0;

// Channel argument of playing: any free channel.
constexpr int kFreeChannel = -1;
// Index argument of loading: the sample is kept outside the numbered slots.
constexpr int kUnmanaged = -2;

// Mode bits of sampleLoad. Only the loop bits change anything: the bits that describe raw
// data (16 bits, mono, signed) are accepted, as every file read here carries its own format.
constexpr unsigned kLoopOff = 0x1;
constexpr unsigned kLoopNormal = 0x2;
constexpr unsigned k16Bits = 0x10;
constexpr unsigned kMono = 0x20;
constexpr unsigned kSigned = 0x100;
constexpr unsigned k2D = 0x2000;

// Starts the mixer (rate in Hz, 1..256 channels); its output opens with the first sound played.
// An open library is closed
// first. No flags are defined. False only for a rate or channel count out of range.
bool init(int mixRate, int maxSoftwareChannels, unsigned flags);
// Stops every channel, frees every sample, closes the output. Harmless when already closed.
void close();
bool isInitialised();

// Loads a whole file (offset and length 0): returns once its first second is decoded, the
// rest following on a worker thread that playing never overtakes. `index`: kUnmanaged,
// kFreeChannel, or a slot number whose previous sample is freed. On a closed library,
// initialises it again with the last settings first. kNoSample on failure, with the file and
// the reason on stderr.
SampleHandle sampleLoad(int index, const char* path, unsigned mode, int offset, int length);
void sampleFree(SampleHandle sample);

// Starts a sample from its beginning on `channel` (kFreeChannel, a channel number, or a
// handle, whose channel restarts and keeps that handle). Returns the channel's handle, or
// -1 for an unknown sample or when no channel is free.
int playSoundEx(int channel, SampleHandle sample, bool paused);
int playSound(int channel, SampleHandle sample);

// Channel controls; false for a handle that is not playing (never started, stopped, ended,
// or reused by a later sound).
bool setPaused(int channel, bool paused);
bool setFrequency(int channel, int frequency);             // playback rate in Hz, 0..1000000
bool setVolume(int channel, int volume);                   // 0..255
bool setPan(int channel, int pan);                         // 0 left, 128 centre, 255 right
bool setSurround(int channel, bool on);                    // accepted; the output is plain stereo
bool setCurrentPosition(int channel, std::int64_t frame);  // in sample frames of the sample
bool stopSound(int channel);
bool isPlaying(int channel);
int getFrequency(int channel);  // -1 for an invalid handle
int getVolume(int channel);
int getPan(int channel);

// Nothing is deferred in this library (channel changes reach the next mixed block by
// themselves), so there is no per-frame work; kept for callers that poll it.
void update();

// Where the mixed sound goes.
enum class Output { kClosed, kDevice, kSilent, kOffline };
Output currentOutput();

// From now on no device or thread pulls the mix: the caller pulls it with pullFrames. Any
// time is fine, also after the global sound system has opened the device at start-up;
// channels already playing go on from where they are. Stays in force across close and init.
void useOfflineOutput();
// Back to the device (or the silent output) for the rest of the run.
void useLiveOutput();

// Offline output: mixes `frames` interleaved stereo 16-bit frames at the mix rate into
// `out` and returns `frames`. Without the offline output selected, writes silence and
// returns 0 (the live output is consuming the mix). Silence from a closed library.
int pullFrames(std::int16_t* out, int frames);

}  // namespace sound
