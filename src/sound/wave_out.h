#pragma once

// The audio output that the Ogg player and the file player stream into: a pool of four 64 KiB
// buffers, filled on demand through a "fill" callback and handed to an audio device; every
// buffer the device returns is refilled and sent again until the data ends, and "done" is called
// once the device has returned every buffer after that.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dyd {

struct WaveFormat {
    int channels = 2;
    int sampleRate = 44100;
    int bitsPerSample = 16;

    int blockAlign() const { return channels * (bitsPerSample / 8); }
    int bytesPerSecond() const { return sampleRate * blockAlign(); }
    bool operator==(const WaveFormat&) const = default;
};

// One buffer of the pool; the device reads length bytes of data.
struct WaveBuffer {
    std::vector<char> data;
    std::size_t length = 0;
};

// A platform audio output. Results are 0 on success or an error code that ErrorText explains.
// A buffer handed to Write stays the caller's; the device reads it until it reports it done
// through the completion callback given to Open, on the thread that owns the output. Reset
// drops every buffer the device holds without reporting them; after Reset or Close no
// completion is reported for the buffers written before.
class AudioDevice {
  public:
    using Completion = std::function<void(WaveBuffer*)>;

    virtual ~AudioDevice() = default;
    virtual int QueryFormat(const WaveFormat& format) = 0;
    virtual int Open(const WaveFormat& format, Completion completion) = 0;
    virtual int Prepare(WaveBuffer& buffer) = 0;
    virtual int Write(WaveBuffer& buffer) = 0;
    virtual void Unprepare(WaveBuffer& buffer) = 0;
    virtual void Reset() = 0;
    virtual int Close() = 0;
    // The device's text for an error code; empty when it has none.
    virtual std::string ErrorText(int code) = 0;
};

// The outcome of an output operation: the error text, empty on success.
struct SoundStatus {
    std::string error;
    bool ok() const { return error.empty(); }
};

inline constexpr std::size_t kWaveBufferCount = 4;
inline constexpr std::size_t kWaveBufferSize = 65536;

class WaveOut {
  public:
    // Writes at most size bytes into buffer and returns how many it wrote; 0 ends the data.
    using Fill = std::function<std::size_t(char* buffer, std::size_t size)>;
    using Done = std::function<void()>;
    using Error = std::function<void(const std::string& message)>;

    explicit WaveOut(AudioDevice& device);
    // Resets and closes the device and frees the buffers.
    ~WaveOut();
    WaveOut(const WaveOut&) = delete;
    WaveOut& operator=(const WaveOut&) = delete;

    void SetFill(Fill fill) { fill_ = std::move(fill); }
    // Called after the data ended, once the device has returned every buffer. The callback may
    // destroy this object.
    void SetDone(Done done) { done_ = std::move(done); }
    // Errors of sending that happen while completions are handled (outside any call of the
    // owner) go here.
    void SetError(Error error) { error_ = std::move(error); }

    SoundStatus SetFormat(bool stereo, int rate, int bits);
    SoundStatus Open();
    // Sends buffers while the pool has free ones. When the data is empty, nothing is sent and
    // done is not called: the owner sees playing() false with no buffer in flight.
    SoundStatus Start();
    SoundStatus Close();

    const WaveFormat& format() const { return format_; }
    bool opened() const { return opened_; }
    bool playing() const { return playing_; }
    int buffersSent() const { return buffersSent_; }
    int buffersInFlight() const { return buffersInFlight_; }

  private:
    SoundStatus SendBuffer();
    void OnBufferDone(WaveBuffer* buffer);
    std::string DeviceText(int code);

    AudioDevice& device_;
    WaveFormat format_;
    std::vector<std::unique_ptr<WaveBuffer>> pool_;
    std::deque<WaveBuffer*> freeQueue_;
    std::deque<WaveBuffer*> deviceQueue_;
    Fill fill_;
    Done done_;
    Error error_;
    int buffersSent_ = 0;
    int buffersInFlight_ = 0;
    bool playing_ = false;
    bool opened_ = false;
    // Cleared by the destructor so that a callback that destroyed this object is noticed.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace dyd
