// The audio device: 33 channels on OpenAL sources (0..31 for effects, 32 for
// music), whole-file samples in OpenAL buffers, and safe freeing of buffers that
// a source may still be playing.
//
// Every operation is safe when the device or context failed to open: OpenAL then
// ignores the calls, the queries report "stopped" and everything stays silent.
// Left out: streaming (music is decoded whole), 3D sound beyond a pan angle,
// capture.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include "runtime/runtime.h"

class gxtkSample;

// One channel; a plain record inside the device.
struct gxtkChannel {
  ALuint source;       // 0 until first needed, then kept for the device's life
  gxtkSample* sample;  // the sample last played here (kept alive while audible)
  int flags;           // flags of the last play; non-zero loops
  int state;           // 0 stopped, 1 playing, 2 paused (the device's own view)
};

class gxtkAudio : public Object {
 public:
  static constexpr int kChannels = 33;
  static constexpr int kMusicChannel = 32;

  ALCdevice* alcDevice = nullptr;
  ALCcontext* alcContext = nullptr;
  gxtkChannel channels[kChannels];
  // Samples started on each channel since the device opened (for the state
  // dump: which channels a session really used).
  long long plays[kChannels] = {};

  // Opens the default device; failures print an "OpenAl error: ..." line and
  // leave a silent device.
  gxtkAudio();
  // Closes the context and device (see Close).
  ~gxtkAudio() override;

  // Keeps the sample of every channel that is still audible.
  void mark() override;

  virtual int Suspend();
  virtual int Resume();
  virtual gxtkSample* LoadSample__UNSAFE__(gxtkSample* sample, String path);
  virtual gxtkSample* LoadSample(String path);
  virtual int PlaySample(gxtkSample* sample, int channel, int flags);
  virtual int StopChannel(int channel);
  virtual int PauseChannel(int channel);
  virtual int ResumeChannel(int channel);
  virtual int ChannelState(int channel);
  virtual int SetVolume(int channel, float volume);
  virtual int SetPan(int channel, float pan);
  virtual int SetRate(int channel, float rate);
  virtual int PlayMusic(String path, int flags);
  virtual int StopMusic();
  virtual int PauseMusic();
  virtual int ResumeMusic();
  virtual int MusicState();
  virtual int SetMusicVolume(float volume);

  // Releases the OpenAL context and device (the game never does; tests use it to
  // make the output backend finish its file). Idempotent; the device is silent
  // afterwards.
  void Close();

 private:
  // The channel's source, created on first use; 0 when OpenAL is unavailable.
  ALuint Source(int channel);
};

class gxtkSample : public Object {
 public:
  ALuint buffer = 0;  // OpenAL buffer name, 0 when none

  gxtkSample() {}
  // Hands the buffer to the discarded list like Discard.
  ~gxtkSample() override;

  // Gives up the buffer; it is deleted by a later flush once no source plays it.
  virtual int Discard();

  int generation = 0;  // which opened device the buffer belongs to
};

// Buffers given up by samples and not yet deleted (process-wide).
int gxtk_discarded_count();

// Deletes every discarded buffer that no source holds any more; the others wait
// for the next call. Run before every play and load.
void FlushDiscarded(gxtkAudio* audio);
