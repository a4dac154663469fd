#include "sound/qt_audio_device.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>

namespace dyd {

namespace {

constexpr int kPollMs = 10;
// Polls without progress after which an idle sink counts as having played everything.
constexpr int kStillPollsToFinish = 10;

QAudioFormat ToQt(const WaveFormat& format) {
    QAudioFormat qt;
    qt.setChannelCount(format.channels);
    qt.setSampleRate(format.sampleRate);
    qt.setSampleFormat(format.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return qt;
}

}  // namespace

// The written buffers as one stream for the sink to read.
class QtAudioDevice::Source final : public QIODevice {
  public:
    void Append(const WaveBuffer& buffer) {
        chunks_.push_back({buffer.data.data(), static_cast<qint64>(buffer.length), 0});
    }
    void Clear() { chunks_.clear(); }
    bool Empty() const { return chunks_.empty(); }
    qint64 consumed() const { return consumed_; }
    void ResetCount() { consumed_ = 0; }

    qint64 bytesAvailable() const override {
        qint64 total = QIODevice::bytesAvailable();
        for (const Chunk& chunk : chunks_) {
            total += chunk.length - chunk.offset;
        }
        return total;
    }
    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        qint64 copied = 0;
        while (copied < maxSize && !chunks_.empty()) {
            Chunk& chunk = chunks_.front();
            const qint64 n = std::min(maxSize - copied, chunk.length - chunk.offset);
            std::memcpy(data + copied, chunk.data + chunk.offset, static_cast<std::size_t>(n));
            copied += n;
            chunk.offset += n;
            if (chunk.offset == chunk.length) {
                chunks_.pop_front();
            }
        }
        consumed_ += copied;
        return copied;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    struct Chunk {
        const char* data;
        qint64 length;
        qint64 offset;
    };
    std::deque<Chunk> chunks_;
    qint64 consumed_ = 0;
};

QtAudioDevice::QtAudioDevice(QObject* parent) : QObject(parent) {
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &QtAudioDevice::Poll);
}

QtAudioDevice::~QtAudioDevice() {
    Close();
}

int QtAudioDevice::QueryFormat(const WaveFormat& format) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return kNoDevice;
    }
    return device.isFormatSupported(ToQt(format)) ? 0 : kFormatRefused;
}

int QtAudioDevice::Open(const WaveFormat& format, Completion completion) {
    Close();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return kNoDevice;
    }
    if (!device.isFormatSupported(ToQt(format))) {
        return kFormatRefused;
    }
    format_ = format;
    completion_ = std::move(completion);
    sink_ = std::make_unique<QAudioSink>(device, ToQt(format));
    source_ = std::make_unique<Source>();
    source_->open(QIODevice::ReadOnly);
    written_ = 0;
    playedBase_ = 0;
    lastPlayed_ = -1;
    stillPolls_ = 0;
    return 0;
}

int QtAudioDevice::Prepare(WaveBuffer&) {
    return sink_ ? 0 : kNotOpen;
}

void QtAudioDevice::Unprepare(WaveBuffer&) {}

void QtAudioDevice::StartSink() {
    // Everything handed over before counts as played: the sink has drained it.
    playedBase_ = source_->consumed();
    lastPlayed_ = -1;
    stillPolls_ = 0;
    sink_->start(source_.get());
}

int QtAudioDevice::Write(WaveBuffer& buffer) {
    if (!sink_) {
        return kNotOpen;
    }
    const bool drained = source_->Empty();
    source_->Append(buffer);
    written_ += static_cast<qint64>(buffer.length);
    pending_.push_back({&buffer, written_});
    // A pulling sink stops asking once it found no data; start it again for the new data.
    if (sink_->state() == QAudio::StoppedState ||
        (drained && sink_->state() == QAudio::IdleState)) {
        StartSink();
        if (sink_->error() == QAudio::OpenError || sink_->error() == QAudio::FatalError) {
            pending_.pop_back();
            source_->Clear();
            return kSinkFailed;
        }
    }
    if (!poll_.isActive()) {
        poll_.start();
    }
    return 0;
}

qint64 QtAudioDevice::PlayedBytes() const {
    const qint64 usecs = sink_->processedUSecs();
    qint64 bytes = usecs * format_.bytesPerSecond() / 1000000;
    bytes -= bytes % format_.blockAlign();
    return std::min(playedBase_ + bytes, source_->consumed());
}

void QtAudioDevice::Poll() {
    if (!sink_ || pending_.empty()) {
        poll_.stop();
        return;
    }
    qint64 played = PlayedBytes();
    const QAudio::State state = sink_->state();
    const bool failed = state == QAudio::StoppedState && sink_->error() != QAudio::NoError;
    if (played == lastPlayed_ && state != QAudio::ActiveState && source_->Empty()) {
        ++stillPolls_;
    } else {
        stillPolls_ = 0;
    }
    lastPlayed_ = played;
    if (failed || stillPolls_ >= kStillPollsToFinish) {
        // The sink stopped or ran dry and will not move on: what it took is over.
        played = std::max(played, source_->consumed());
        if (failed) {
            source_->Clear();
            played = written_;
        }
    }
    // Report every buffer played through; a handler may reset or close this device.
    while (!pending_.empty() && pending_.front().end <= played + format_.blockAlign()) {
        WaveBuffer* buffer = pending_.front().buffer;
        pending_.pop_front();
        Completion completion = completion_;
        completion(buffer);
        if (!sink_) {
            return;
        }
    }
    if (pending_.empty()) {
        poll_.stop();
    }
}

void QtAudioDevice::Reset() {
    poll_.stop();
    pending_.clear();
    if (source_) {
        source_->Clear();
    }
    if (sink_) {
        sink_->reset();
    }
}

int QtAudioDevice::Close() {
    Reset();
    if (sink_) {
        sink_->stop();
    }
    sink_.reset();
    source_.reset();
    completion_ = nullptr;
    return 0;
}

std::string QtAudioDevice::ErrorText(int code) {
    switch (code) {
        case kNoDevice:
            return "Brak urządzenia odtwarzającego dźwięk";
        case kFormatRefused:
            return "Urządzenie nie obsługuje tego formatu dźwięku";
        case kNotOpen:
            return "Urządzenie dźwiękowe nie jest otwarte";
        case kSinkFailed:
            return "Nie można uruchomić odtwarzania dźwięku";
        default:
            return {};
    }
}

}  // namespace dyd
