#pragma once

// An audio device that plays nowhere: it keeps every byte written to it and returns buffers
// only when asked, as a real device would once it has played them. Errors can be set per
// operation. Tests and benchmarks use it to see exactly what an output sent.

#include <deque>
#include <functional>
#include <map>
#include <string>

#include "sound/wave_out.h"

namespace dyd {

class CaptureDevice final : public AudioDevice {
  public:
    int QueryFormat(const WaveFormat& format) override;
    int Open(const WaveFormat& format, Completion completion) override;
    int Prepare(WaveBuffer& buffer) override;
    int Write(WaveBuffer& buffer) override;
    void Unprepare(WaveBuffer& buffer) override;
    void Reset() override;
    int Close() override;
    std::string ErrorText(int code) override;

    // Returns the oldest buffer held, as the device's completion would; false when none is held.
    bool ReturnOne();
    // Returns buffers until none is held (the output refills them until the data ends).
    void PlayToEnd();
    std::size_t held() const { return held_.size(); }

    // Error codes the operations give (0: success) and the device's texts for codes.
    int queryError = 0;
    int openError = 0;
    int prepareError = 0;
    int writeError = 0;
    int closeError = 0;
    std::map<int, std::string> errorTexts;
    // Called with every buffer written, before it is kept.
    std::function<void(const WaveBuffer&)> onWrite;
    // When false, the written data is only counted, not kept (for long sounds).
    bool keepBytes = true;

    // What came out.
    std::string bytes;
    std::size_t byteCount = 0;
    WaveFormat format;
    bool opened = false;
    int writes = 0;
    int resets = 0;
    int opens = 0;
    int maxHeld = 0;

  private:
    Completion completion_;
    std::deque<WaveBuffer*> held_;
};

}  // namespace dyd
