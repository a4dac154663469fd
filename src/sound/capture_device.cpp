#include "sound/capture_device.h"

#include <algorithm>

namespace dyd {

int CaptureDevice::QueryFormat(const WaveFormat&) {
    return queryError;
}

int CaptureDevice::Open(const WaveFormat& wanted, Completion completion) {
    if (openError != 0) {
        return openError;
    }
    format = wanted;
    completion_ = std::move(completion);
    opened = true;
    ++opens;
    return 0;
}

int CaptureDevice::Prepare(WaveBuffer&) {
    return prepareError;
}

int CaptureDevice::Write(WaveBuffer& buffer) {
    if (writeError != 0) {
        return writeError;
    }
    if (onWrite) {
        onWrite(buffer);
    }
    if (keepBytes) {
        bytes.append(buffer.data.data(), buffer.length);
    }
    byteCount += buffer.length;
    ++writes;
    held_.push_back(&buffer);
    maxHeld = std::max(maxHeld, static_cast<int>(held_.size()));
    return 0;
}

void CaptureDevice::Unprepare(WaveBuffer&) {}

void CaptureDevice::Reset() {
    held_.clear();
    ++resets;
}

int CaptureDevice::Close() {
    if (closeError != 0) {
        return closeError;
    }
    held_.clear();
    opened = false;
    return 0;
}

std::string CaptureDevice::ErrorText(int code) {
    const auto found = errorTexts.find(code);
    return found == errorTexts.end() ? std::string() : found->second;
}

bool CaptureDevice::ReturnOne() {
    if (held_.empty() || !completion_) {
        return false;
    }
    WaveBuffer* buffer = held_.front();
    held_.pop_front();
    Completion completion = completion_;  // the handler may close this device
    completion(buffer);
    return true;
}

void CaptureDevice::PlayToEnd() {
    while (ReturnOne()) {
    }
}

}  // namespace dyd
