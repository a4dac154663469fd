#pragma once

// The audio device of the desktop: a QAudioSink on the default output pulls the written buffers
// in order. A buffer counts as done once the sink reports its last byte played, so the end of a
// sound is reported when it has been heard, not when it was handed over. All of it runs on the
// thread that owns the object (the user-interface thread).

#include <QObject>
#include <QTimer>
#include <deque>
#include <memory>

#include "sound/wave_out.h"

class QAudioSink;

namespace dyd {

class QtAudioDevice final : public QObject, public AudioDevice {
    Q_OBJECT
  public:
    explicit QtAudioDevice(QObject* parent = nullptr);
    ~QtAudioDevice() override;

    int QueryFormat(const WaveFormat& format) override;
    int Open(const WaveFormat& format, Completion completion) override;
    int Prepare(WaveBuffer& buffer) override;
    int Write(WaveBuffer& buffer) override;
    void Unprepare(WaveBuffer& buffer) override;
    void Reset() override;
    int Close() override;
    std::string ErrorText(int code) override;

    enum ErrorCode : int {
        kNoDevice = 1,
        kFormatRefused = 2,
        kNotOpen = 3,
        kSinkFailed = 4,
    };

  private:
    class Source;
    struct Pending {
        WaveBuffer* buffer;
        qint64 end;  // byte position just after the buffer's data
    };

    void StartSink();
    void Poll();
    qint64 PlayedBytes() const;

    WaveFormat format_;
    Completion completion_;
    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<Source> source_;
    std::deque<Pending> pending_;
    QTimer poll_;
    qint64 written_ = 0;
    qint64 playedBase_ = 0;
    qint64 lastPlayed_ = -1;
    int stillPolls_ = 0;
};

}  // namespace dyd
