// The audio device on OpenAL: channels, samples, suspension and the deferred
// deletion of buffers.
//
// A channel's `state` is our own view; a one-shot that ends by itself stays at
// 1 until a query finds its source stopped. Gain, pitch and position belong to
// the source and persist across plays. Nothing here allocates per play: sources
// are made once per channel and kept.
// Left out: streaming music, distance attenuation (the model is AL_NONE).
#include "host/audio/gxtk_audio.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/platform/game.h"

namespace {

// Buffer names waiting for deletion; a buffer still attached to a source cannot
// be deleted yet.
std::vector<ALuint>& Discarded() {
  static std::vector<ALuint> list;
  return list;
}

// Bumped when a device closes: buffer names of a closed device mean nothing to
// the next one (they are reused), so its samples must not hand them in.
int g_deviceGeneration = 0;

// The source's OpenAL state; "stopped" when there is no source or no context,
// so a silent device never looks busy.
ALint SourceState(ALuint source) {
  if (!source) return AL_STOPPED;
  ALint value = AL_STOPPED;
  alGetSourcei(source, AL_SOURCE_STATE, &value);
  return value;
}

bool ValidChannel(int channel) { return channel >= 0 && channel < gxtkAudio::kChannels; }

ALenum ALFormat(int bytes, int channels) {
  if (bytes == 1 && channels == 1) return AL_FORMAT_MONO8;
  if (bytes == 1 && channels == 2) return AL_FORMAT_STEREO8;
  if (bytes == 2 && channels == 1) return AL_FORMAT_MONO16;
  if (bytes == 2 && channels == 2) return AL_FORMAT_STEREO16;
  return 0;
}

}  // namespace

int gxtk_discarded_count() { return (int)Discarded().size(); }

void FlushDiscarded(gxtkAudio* audio) {
  std::vector<ALuint>& list = Discarded();
  if (list.empty()) return;
  // A stopped source keeps its buffer attached, which blocks the deletion; the
  // next play attaches its own buffer anyway. This includes channels stopped by
  // StopChannel, or their buffer would wait until that channel plays again.
  if (audio) {
    for (gxtkChannel& chan : audio->channels) {
      if (chan.source && SourceState(chan.source) == AL_STOPPED) {
        alSourcei(chan.source, AL_BUFFER, 0);
      }
    }
  }
  size_t kept = 0;
  for (ALuint buffer : list) {
    alGetError();  // a stale error must not be taken for this deletion's
    alDeleteBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) list[kept++] = buffer;
  }
  list.resize(kept);
}

// ---- gxtkSample ----

gxtkSample::~gxtkSample() { Discard(); }

int gxtkSample::Discard() {
  if (buffer) {
    if (generation == g_deviceGeneration) Discarded().push_back(buffer);
    buffer = 0;
  }
  return 0;
}

// ---- gxtkAudio ----

namespace {

// The device the program opened last. The collector never destroys it, so it
// is closed when the program ends however it ends (a return from main, F4,
// the close button): a device left open makes the library complain at exit.
gxtkAudio* g_openAudio = nullptr;

void CloseAudioAtExit() {
  if (g_openAudio) g_openAudio->Close();
}

}  // namespace

gxtkAudio::gxtkAudio() {
  std::memset(channels, 0, sizeof(channels));
  static const bool closesAtExit = std::atexit(CloseAudioAtExit) == 0;
  (void)closesAtExit;
  g_openAudio = this;
  alcDevice = alcOpenDevice(nullptr);
  if (!alcDevice) {
    vxPrint(String("OpenAl error: alcOpenDevice failed"));
  } else {
    alcContext = alcCreateContext(alcDevice, nullptr);
    if (!alcContext) {
      vxPrint(String("OpenAl error: alcCreateContext failed"));
    } else if (!alcMakeContextCurrent(alcContext)) {
      vxPrint(String("OpenAl error: alcMakeContextCurrent failed"));
    }
  }
  alDistanceModel(AL_NONE);
}

gxtkAudio::~gxtkAudio() { Close(); }

void gxtkAudio::Close() {
  if (g_openAudio == this) g_openAudio = nullptr;
  if (alcContext) {
    if (alcGetCurrentContext() == alcContext) {
      for (gxtkChannel& chan : channels) {
        if (chan.source) {
          alSourceStop(chan.source);
          alSourcei(chan.source, AL_BUFFER, 0);
          alDeleteSources(1, &chan.source);
        }
      }
      alcMakeContextCurrent(nullptr);
    }
    alcDestroyContext(alcContext);
    alcContext = nullptr;
  }
  if (alcDevice) {
    alcCloseDevice(alcDevice);  // frees every buffer the device still had
    alcDevice = nullptr;
    Discarded().clear();
    ++g_deviceGeneration;
  }
  for (gxtkChannel& chan : channels) {
    chan.source = 0;
    chan.state = 0;
  }
}

void gxtkAudio::mark() {
  Object::mark();
  for (gxtkChannel& chan : channels) {
    if (chan.state != 0 && SourceState(chan.source) != AL_STOPPED) gc_mark_now(chan.sample);
  }
}

ALuint gxtkAudio::Source(int channel) {
  gxtkChannel& chan = channels[channel];
  if (!chan.source && alcContext) {
    ALuint source = 0;
    alGetError();
    alGenSources(1, &source);
    if (alGetError() == AL_NO_ERROR) chan.source = source;
  }
  return chan.source;
}

int gxtkAudio::Suspend() {
  for (gxtkChannel& chan : channels) {
    if (chan.state == 1 && SourceState(chan.source) == AL_PLAYING) alSourcePause(chan.source);
  }
  return 0;
}

int gxtkAudio::Resume() {
  for (gxtkChannel& chan : channels) {
    if (chan.state == 1 && SourceState(chan.source) == AL_PAUSED) alSourcePlay(chan.source);
  }
  return 0;
}

gxtkSample* gxtkAudio::LoadSample__UNSAFE__(gxtkSample* sample, String path) {
  if (!sample || !VxGlfwGame::_glfwGame) return nullptr;
  int length = 0, chans = 0, format = 0, hertz = 0;
  unsigned char* data =
      VxGlfwGame::_glfwGame->LoadAudioData(path, &length, &chans, &format, &hertz);
  if (!data) return nullptr;
  ALuint buffer = 0;
  if (alcContext) {
    alGetError();
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) buffer = 0;
  }
  if (buffer) {
    // An unsupported layout gets format 0, which OpenAL refuses: an empty buffer.
    alBufferData(buffer, ALFormat(format, chans), data, format * chans * length, hertz);
  }
  std::free(data);
  sample->Discard();  // reloading into a sample must not leak its old buffer
  sample->buffer = buffer;
  sample->generation = g_deviceGeneration;
  return sample;
}

gxtkSample* gxtkAudio::LoadSample(String path) {
  FlushDiscarded(this);
  return LoadSample__UNSAFE__(new gxtkSample(), path);
}

int gxtkAudio::PlaySample(gxtkSample* sample, int channel, int flags) {
  if (!ValidChannel(channel)) return 0;
  ++plays[channel];
  FlushDiscarded(this);
  gxtkChannel& chan = channels[channel];
  ALuint source = Source(channel);
  if (source) {
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, sample ? (ALint)sample->buffer : 0);
    alSourcei(source, AL_LOOPING, flags ? AL_TRUE : AL_FALSE);
    alSourcePlay(source);
  }
  gc_assign(chan.sample, sample);
  chan.state = 1;
  chan.flags = flags;
  return 0;
}

int gxtkAudio::StopChannel(int channel) {
  if (!ValidChannel(channel)) return 0;
  gxtkChannel& chan = channels[channel];
  if (chan.state != 0) {
    if (chan.source) alSourceStop(chan.source);
    chan.state = 0;
  }
  return 0;
}

int gxtkAudio::PauseChannel(int channel) {
  if (!ValidChannel(channel)) return 0;
  gxtkChannel& chan = channels[channel];
  if (chan.state == 1) {
    if (SourceState(chan.source) == AL_STOPPED) {
      chan.state = 0;
    } else {
      alSourcePause(chan.source);
      chan.state = 2;
    }
  }
  return 0;
}

int gxtkAudio::ResumeChannel(int channel) {
  if (!ValidChannel(channel)) return 0;
  gxtkChannel& chan = channels[channel];
  if (chan.state == 2) {
    if (chan.source) alSourcePlay(chan.source);
    chan.state = 1;
  }
  return 0;
}

int gxtkAudio::ChannelState(int channel) {
  if (!ValidChannel(channel)) return 0;
  gxtkChannel& chan = channels[channel];
  if (chan.state == 1 && SourceState(chan.source) == AL_STOPPED) chan.state = 0;
  return chan.state;
}

int gxtkAudio::SetVolume(int channel, float volume) {
  if (!ValidChannel(channel)) return 0;
  if (ALuint source = Source(channel)) alSourcef(source, AL_GAIN, volume);
  return 0;
}

int gxtkAudio::SetPan(int channel, float pan) {
  if (!ValidChannel(channel)) return 0;
  // The pan is an angle in radians around the listener, 0 straight ahead.
  if (ALuint source = Source(channel)) {
    alSource3f(source, AL_POSITION, std::sin(pan), 0.0f, -std::cos(pan));
  }
  return 0;
}

int gxtkAudio::SetRate(int channel, float rate) {
  if (!ValidChannel(channel)) return 0;
  if (ALuint source = Source(channel)) alSourcef(source, AL_PITCH, rate);
  return 0;
}

int gxtkAudio::PlayMusic(String path, int flags) {
  StopMusic();
  gxtkSample* sample = LoadSample(path);
  if (!sample) return -1;
  PlaySample(sample, kMusicChannel, flags);
  return 0;
}

int gxtkAudio::StopMusic() { return StopChannel(kMusicChannel); }
int gxtkAudio::PauseMusic() { return PauseChannel(kMusicChannel); }
int gxtkAudio::ResumeMusic() { return ResumeChannel(kMusicChannel); }
int gxtkAudio::MusicState() { return ChannelState(kMusicChannel); }
int gxtkAudio::SetMusicVolume(float volume) { return SetVolume(kMusicChannel, volume); }
