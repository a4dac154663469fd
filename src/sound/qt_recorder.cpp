#include "sound/qt_recorder.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/paths.h"
#include "sound/wav_file.h"

namespace dyd {

namespace {
constexpr int kPreferredRate = 22050;
}

// Takes the samples the source delivers and keeps them as 16-bit values.
class QtRecorder::Capture final : public QIODevice {
  public:
    explicit Capture(QAudioFormat::SampleFormat format) : format_(format) {}
    std::vector<std::int16_t> samples;

    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        pending_.append(data, static_cast<std::size_t>(size));
        const std::size_t width = SampleBytes();
        const std::size_t whole = pending_.size() / width * width;
        for (std::size_t i = 0; i < whole; i += width) {
            samples.push_back(Convert(pending_.data() + i));
        }
        pending_.erase(0, whole);
        return size;
    }

  private:
    std::size_t SampleBytes() const {
        switch (format_) {
            case QAudioFormat::UInt8:
                return 1;
            case QAudioFormat::Int32:
            case QAudioFormat::Float:
                return 4;
            default:
                return 2;
        }
    }
    std::int16_t Convert(const char* p) const {
        switch (format_) {
            case QAudioFormat::UInt8:
                return static_cast<std::int16_t>((static_cast<unsigned char>(*p) - 128) << 8);
            case QAudioFormat::Int32: {
                std::int32_t v;
                std::memcpy(&v, p, 4);
                return static_cast<std::int16_t>(v >> 16);
            }
            case QAudioFormat::Float: {
                float v;
                std::memcpy(&v, p, 4);
                return static_cast<std::int16_t>(
                    std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
            }
            default: {
                std::int16_t v;
                std::memcpy(&v, p, 2);
                return v;
            }
        }
    }

    QAudioFormat::SampleFormat format_;
    std::string pending_;
};

QtRecorder::QtRecorder(std::string programDir, std::function<void()> closeMediaPlayer,
                       Report report, QObject* parent)
    : QObject(parent),
      programDir_(std::move(programDir)),
      closeMediaPlayer_(std::move(closeMediaPlayer)),
      report_(std::move(report)) {}

QtRecorder::~QtRecorder() {
    if (source_) {
        source_->stop();
    }
}

std::string QtRecorder::Failure(std::string_view text, std::string_view command) {
    return std::string(text.substr(0, 200)) + " " + std::string(command);
}

void QtRecorder::Fail(std::string_view text, std::string_view command) {
    if (report_) {
        report_(Failure(text, command));
    }
}

bool QtRecorder::HasMicrophone() const {
    return !QMediaDevices::audioInputs().isEmpty();
}

std::int64_t QtRecorder::recordedFrames() const {
    if (!capture_ || channels_ < 1) {
        return 0;
    }
    return static_cast<std::int64_t>(capture_->samples.size()) / channels_;
}

std::optional<std::string> QtRecorder::StartRecording() {
    if (recording_) {
        return std::nullopt;
    }
    source_.reset();
    capture_.reset();
    // Open: the default microphone, mono 16-bit at 22050 Hz when it takes that. The source opens
    // the device when it starts.
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull()) {
        return Failure(kNoMicrophone, kOpenCommand);
    }
    QAudioFormat format;
    format.setChannelCount(1);
    format.setSampleRate(kPreferredRate);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        format = device.preferredFormat();
    }
    auto source = std::make_unique<QAudioSource>(device, format);
    auto capture = std::make_unique<Capture>(format.sampleFormat());
    capture->open(QIODevice::WriteOnly);
    // Record.
    source->start(capture.get());
    if (source->error() != QAudio::NoError || source->state() == QAudio::StoppedState) {
        source->stop();
        return Failure(kMicrophoneFailed, kOpenCommand);
    }
    sampleRate_ = format.sampleRate();
    channels_ = format.channelCount();
    source_ = std::move(source);
    capture_ = std::move(capture);
    recording_ = true;
    return std::nullopt;
}

void QtRecorder::StopRecording(const std::string& path) {
    if (!recording_) {
        return;
    }
    recording_ = false;
    if (closeMediaPlayer_) {
        closeMediaPlayer_();
    }
    source_->stop();
    // Save: a recording runs only on an open device, so there is always something to save.
    const std::string target = path.empty() ? ResolvePath(programDir_, kTempRecordingName) : path;
    std::string error;
    if (!WriteWav16(target, capture_->samples, channels_, sampleRate_, &error)) {
        Fail(std::string(kCannotSaveRecording) + " " + error, kSaveCommand);
    }
    // Close.
    source_.reset();
}

}  // namespace dyd
