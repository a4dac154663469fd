#pragma once

// Helpers of the sound tests: tone fixtures written at test time, reading sound files back,
// finding the tones in a stream of samples, and the PulseAudio ends of a test server (the null
// sink's monitor and the pipe-source microphone).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dyd::test {

enum class ToneFile { Wav, Ogg, Mp3 };

struct ToneSpec {
    double seconds = 1.0;
    double frequency = 600.0;
    double amplitude = 0.5;  // of full scale
    int sampleRate = 44100;
    int channels = 1;
};

// Writes a sine tone with libsndfile; false when the format cannot be written here.
bool WriteTone(const std::string& path, ToneFile kind, const ToneSpec& tone);

// Mono samples of a sound file (channels averaged) and its rate; empty when unreadable.
struct Samples {
    std::vector<std::int16_t> data;
    int sampleRate = 0;
};
Samples ReadSamples(const std::string& path);

// A stretch of one tone found in a stream of samples.
struct Tone {
    double startMs = 0;
    double lengthMs = 0;
    double rms = 0;  // of full scale
    double frequency = 0;
};
std::vector<Tone> FindTones(const std::vector<std::int16_t>& samples, int sampleRate);
// The longest stretch whose frequency lies within 15% of frequency; lengthMs 0 when none.
Tone ToneAt(const std::vector<Tone>& tones, double frequency);

// Records what the test server's null sink plays, from its monitor, as mono 44100 Hz samples.
class MonitorCapture {
  public:
    MonitorCapture();
    ~MonitorCapture();
    // Connects and waits until the recording runs; false when the server cannot be reached.
    bool Start();
    std::vector<std::int16_t> Stop();
    static constexpr int kRate = 44100;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Writes samples (mono, 44100 Hz, 16-bit) into the test server's microphone FIFO on a thread of
// its own; Join waits for the writer.
class MicrophoneFeed {
  public:
    explicit MicrophoneFeed(std::vector<std::int16_t> samples);
    ~MicrophoneFeed();
    bool Join();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

std::vector<std::int16_t> SineSamples(const ToneSpec& tone);

// Runs the event loop until done() is true or timeoutMs have passed; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

// Whether the test runs with a server of its own (with-pulse.sh).
bool HaveTestServer();

}  // namespace dyd::test
