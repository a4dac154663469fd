#include "sound_support.h"

#include <fcntl.h>
#include <pulse/pulseaudio.h>
#include <sndfile.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace dyd::test {

std::vector<std::int16_t> SineSamples(const ToneSpec& tone) {
    const auto frames = static_cast<std::size_t>(tone.seconds * tone.sampleRate);
    std::vector<std::int16_t> out;
    out.reserve(frames * tone.channels);
    for (std::size_t i = 0; i < frames; ++i) {
        const double v = tone.amplitude * std::sin(2 * M_PI * tone.frequency * i / tone.sampleRate);
        for (int c = 0; c < tone.channels; ++c) {
            out.push_back(static_cast<std::int16_t>(std::lround(v * 32767)));
        }
    }
    return out;
}

bool WriteTone(const std::string& path, ToneFile kind, const ToneSpec& tone) {
    SF_INFO info{};
    info.channels = tone.channels;
    info.samplerate = tone.sampleRate;
    switch (kind) {
        case ToneFile::Wav:
            info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
            break;
        case ToneFile::Ogg:
            info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
            break;
        case ToneFile::Mp3:
            info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
            break;
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    const std::vector<std::int16_t> samples = SineSamples(tone);
    const sf_count_t frames = static_cast<sf_count_t>(samples.size() / tone.channels);
    const bool ok = sf_writef_short(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

Samples ReadSamples(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return {};
    }
    std::vector<std::int16_t> all(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_short(file, all.data(), info.frames);
    sf_close(file);
    Samples out;
    out.sampleRate = info.samplerate;
    for (sf_count_t f = 0; f < read; ++f) {
        int sum = 0;
        for (int c = 0; c < info.channels; ++c) {
            sum += all[static_cast<std::size_t>(f * info.channels + c)];
        }
        out.data.push_back(static_cast<std::int16_t>(sum / info.channels));
    }
    return out;
}

std::vector<Tone> FindTones(const std::vector<std::int16_t>& samples, int sampleRate) {
    // Windows of 10 ms: loud enough ones are part of a tone, and a window whose pitch differs
    // from the tone's by more than a quarter starts the next one.
    const std::size_t window = static_cast<std::size_t>(sampleRate / 100);
    const double threshold = 0.05 * 32768;
    std::vector<Tone> tones;
    double sumSquares = 0;
    std::size_t toneSamples = 0;
    int toneCrossings = 0;
    bool inTone = false;
    auto close = [&] {
        if (inTone && toneSamples > 0) {
            Tone& t = tones.back();
            t.lengthMs = 1000.0 * toneSamples / sampleRate;
            t.rms = std::sqrt(sumSquares / toneSamples) / 32768;
            t.frequency = toneCrossings / 2.0 / (static_cast<double>(toneSamples) / sampleRate);
        }
        inTone = false;
    };
    for (std::size_t start = 0; start + window <= samples.size(); start += window) {
        double squares = 0;
        int crossings = 0;
        for (std::size_t i = start; i < start + window; ++i) {
            squares += static_cast<double>(samples[i]) * samples[i];
            if (i > 0 && (samples[i - 1] < 0) != (samples[i] < 0)) {
                ++crossings;
            }
        }
        const bool loud = std::sqrt(squares / window) > threshold;
        if (!loud) {
            close();
            continue;
        }
        const double frequency = crossings / 2.0 / (static_cast<double>(window) / sampleRate);
        if (inTone) {
            const double toneFrequency =
                toneCrossings / 2.0 / (static_cast<double>(toneSamples) / sampleRate);
            if (std::abs(frequency - toneFrequency) > 0.25 * toneFrequency) {
                close();
            }
        }
        if (!inTone) {
            tones.push_back({1000.0 * start / sampleRate, 0, 0, 0});
            sumSquares = 0;
            toneSamples = 0;
            toneCrossings = 0;
            inTone = true;
        }
        sumSquares += squares;
        toneSamples += window;
        toneCrossings += crossings;
    }
    close();
    return tones;
}

Tone ToneAt(const std::vector<Tone>& tones, double frequency) {
    Tone best;
    for (const Tone& t : tones) {
        if (std::abs(t.frequency - frequency) <= 0.15 * frequency && t.lengthMs > best.lengthMs) {
            best = t;
        }
    }
    return best;
}

// --- the monitor of the null sink, through libpulse's threaded main loop

struct MonitorCapture::State {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    std::mutex mutex;
    std::vector<std::int16_t> samples;
    std::string pending;  // an odd byte left over between reads
    std::atomic<bool> ready{false};
    std::atomic<bool> failed{false};
};

namespace {

void ContextState(pa_context* context, void* user) {
    auto* loop = static_cast<pa_threaded_mainloop*>(user);
    (void)context;
    pa_threaded_mainloop_signal(loop, 0);
}

}  // namespace

MonitorCapture::MonitorCapture() : state_(std::make_unique<State>()) {}

MonitorCapture::~MonitorCapture() {
    Stop();
}

bool MonitorCapture::Start() {
    State& s = *state_;
    s.loop = pa_threaded_mainloop_new();
    s.context = pa_context_new(pa_threaded_mainloop_get_api(s.loop), "dyd-monitor");
    pa_context_set_state_callback(s.context, ContextState, s.loop);
    if (pa_context_connect(s.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        return false;
    }
    pa_threaded_mainloop_lock(s.loop);
    pa_threaded_mainloop_start(s.loop);
    const QDeadlineTimer deadline(5000);
    for (;;) {
        const pa_context_state_t cs = pa_context_get_state(s.context);
        if (cs == PA_CONTEXT_READY) {
            break;
        }
        if (!PA_CONTEXT_IS_GOOD(cs) || deadline.hasExpired()) {
            pa_threaded_mainloop_unlock(s.loop);
            return false;
        }
        pa_threaded_mainloop_wait(s.loop);
    }
    const pa_sample_spec spec{PA_SAMPLE_S16LE, static_cast<uint32_t>(kRate), 1};
    s.stream = pa_stream_new(s.context, "monitor", &spec, nullptr);
    pa_stream_set_read_callback(
        s.stream,
        [](pa_stream* stream, size_t, void* user) {
            auto* st = static_cast<State*>(user);
            const void* data = nullptr;
            size_t length = 0;
            while (pa_stream_readable_size(stream) > 0) {
                if (pa_stream_peek(stream, &data, &length) < 0) {
                    return;
                }
                if (length == 0) {
                    break;
                }
                std::lock_guard<std::mutex> lock(st->mutex);
                if (data != nullptr) {
                    st->pending.append(static_cast<const char*>(data), length);
                } else {
                    st->pending.append(length, '\0');  // a hole: silence
                }
                const std::size_t whole = st->pending.size() / 2 * 2;
                for (std::size_t i = 0; i < whole; i += 2) {
                    st->samples.push_back(static_cast<std::int16_t>(
                        static_cast<unsigned char>(st->pending[i]) |
                        (static_cast<unsigned char>(st->pending[i + 1]) << 8)));
                }
                st->pending.erase(0, whole);
                pa_stream_drop(stream);
            }
        },
        &s);
    pa_stream_set_state_callback(
        s.stream,
        [](pa_stream* stream, void* user) {
            auto* st = static_cast<State*>(user);
            const pa_stream_state_t state = pa_stream_get_state(stream);
            if (state == PA_STREAM_READY) {
                st->ready = true;
            } else if (!PA_STREAM_IS_GOOD(state)) {
                st->failed = true;
            }
            pa_threaded_mainloop_signal(st->loop, 0);
        },
        &s);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = kRate * 2 / 100;  // 10 ms
    const std::string device =
        std::string(std::getenv("DYD_NULL_SINK") ? std::getenv("DYD_NULL_SINK") : "dyd_null") +
        ".monitor";
    if (pa_stream_connect_record(s.stream, device.c_str(), &attr, PA_STREAM_ADJUST_LATENCY) < 0) {
        pa_threaded_mainloop_unlock(s.loop);
        return false;
    }
    while (!s.ready && !s.failed && !deadline.hasExpired()) {
        pa_threaded_mainloop_wait(s.loop);
    }
    pa_threaded_mainloop_unlock(s.loop);
    return s.ready;
}

std::vector<std::int16_t> MonitorCapture::Stop() {
    State& s = *state_;
    if (s.loop == nullptr) {
        return {};
    }
    pa_threaded_mainloop_lock(s.loop);
    if (s.stream != nullptr) {
        pa_stream_disconnect(s.stream);
        pa_stream_unref(s.stream);
        s.stream = nullptr;
    }
    pa_context_disconnect(s.context);
    pa_context_unref(s.context);
    s.context = nullptr;
    pa_threaded_mainloop_unlock(s.loop);
    pa_threaded_mainloop_stop(s.loop);
    pa_threaded_mainloop_free(s.loop);
    s.loop = nullptr;
    std::lock_guard<std::mutex> lock(s.mutex);
    return std::move(s.samples);
}

// --- the microphone FIFO

struct MicrophoneFeed::State {
    std::thread writer;
    std::atomic<bool> ok{false};
};

MicrophoneFeed::MicrophoneFeed(std::vector<std::int16_t> samples)
    : state_(std::make_unique<State>()) {
    const char* fifo = std::getenv("DYD_MIC_FIFO");
    if (fifo == nullptr) {
        return;
    }
    state_->writer = std::thread([this, path = std::string(fifo), samples = std::move(samples)] {
        // The server holds the FIFO open for reading, so opening it for writing does not block.
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        std::string bytes;
        for (const std::int16_t v : samples) {
            bytes.push_back(static_cast<char>(v & 0xff));
            bytes.push_back(static_cast<char>((v >> 8) & 0xff));
        }
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        ::close(fd);
        state_->ok = done == bytes.size();
    });
}

MicrophoneFeed::~MicrophoneFeed() {
    Join();
}

bool MicrophoneFeed::Join() {
    if (state_->writer.joinable()) {
        state_->writer.join();
    }
    return state_->ok;
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return done();
}

bool HaveTestServer() {
    return std::getenv("DYD_MIC_FIFO") != nullptr;
}

}  // namespace dyd::test
