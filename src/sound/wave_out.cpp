#include "sound/wave_out.h"

#include <algorithm>
#include <cstdio>

namespace dyd {

WaveOut::WaveOut(AudioDevice& device) : device_(device) {
    for (std::size_t i = 0; i < kWaveBufferCount; ++i) {
        auto buffer = std::make_unique<WaveBuffer>();
        buffer->data.resize(kWaveBufferSize);
        freeQueue_.push_back(buffer.get());
        pool_.push_back(std::move(buffer));
    }
}

WaveOut::~WaveOut() {
    *alive_ = false;
    playing_ = false;
    Close();
}

std::string WaveOut::DeviceText(int code) {
    std::string text = device_.ErrorText(code);
    if (text.empty()) {
        text = "Unknown error - waveOutGetErrorText: " + std::to_string(code);
    }
    return text;
}

SoundStatus WaveOut::SetFormat(bool stereo, int rate, int bits) {
    WaveFormat wanted;
    wanted.channels = stereo ? 2 : 1;
    wanted.sampleRate = rate;
    wanted.bitsPerSample = bits;
    if (wanted == format_) {
        return {};
    }
    if (opened_ && playing_) {
        return {"Cannot change waveOut device parameters while playing"};
    }
    const bool wasOpen = opened_;
    if (wasOpen) {
        if (SoundStatus closed = Close(); !closed.ok()) {
            return closed;
        }
    }
    if (const int code = device_.QueryFormat(wanted); code != 0) {
        char head[160];
        std::snprintf(head, sizeof(head),
                      "Wave format not supported (%s; %.1f KHz; %d bits (%d kb/s) - waveOutOpen: ",
                      stereo ? "Stereo" : "Mono", rate / 1000.0, bits,
                      rate * wanted.channels * bits / 1000);
        return {head + DeviceText(code)};
    }
    format_ = wanted;
    if (wasOpen) {
        return Open();
    }
    return {};
}

SoundStatus WaveOut::Open() {
    if (opened_) {
        return {"WaveOut device already opened"};
    }
    const int code = device_.Open(format_, [this](WaveBuffer* buffer) { OnBufferDone(buffer); });
    if (code != 0) {
        return {"Unable to open wave device - waveOutOpen: " + DeviceText(code)};
    }
    opened_ = true;
    return {};
}

SoundStatus WaveOut::Start() {
    buffersSent_ = 0;
    buffersInFlight_ = 0;
    playing_ = true;
    while (playing_ && !freeQueue_.empty()) {
        if (SoundStatus sent = SendBuffer(); !sent.ok()) {
            return sent;
        }
    }
    return {};
}

SoundStatus WaveOut::SendBuffer() {
    WaveBuffer* buffer = freeQueue_.front();
    freeQueue_.pop_front();
    const std::size_t length = fill_ ? fill_(buffer->data.data(), buffer->data.size()) : 0;
    if (length == 0) {
        freeQueue_.push_back(buffer);
        playing_ = false;
        return {};
    }
    buffer->length = std::min(length, buffer->data.size());
    if (const int code = device_.Prepare(*buffer); code != 0) {
        freeQueue_.push_front(buffer);
        return {"Cannot send wave buffer - waveOutPrepareHeader: " + DeviceText(code)};
    }
    if (const int code = device_.Write(*buffer); code != 0) {
        device_.Unprepare(*buffer);
        freeQueue_.push_front(buffer);
        return {"Cannot send wave buffer - waveOutWrite: " + DeviceText(code)};
    }
    deviceQueue_.push_back(buffer);
    ++buffersSent_;
    ++buffersInFlight_;
    return {};
}

void WaveOut::OnBufferDone(WaveBuffer* buffer) {
    const auto inQueue = std::find(deviceQueue_.begin(), deviceQueue_.end(), buffer);
    if (inQueue == deviceQueue_.end()) {
        return;
    }
    device_.Unprepare(*buffer);
    --buffersInFlight_;
    deviceQueue_.erase(inQueue);
    freeQueue_.push_back(buffer);
    if (playing_) {
        if (SoundStatus sent = SendBuffer(); !sent.ok()) {
            // A buffer that cannot be sent ends the sound; what is queued still plays out.
            playing_ = false;
            if (error_) {
                Error error = error_;
                const std::shared_ptr<bool> alive = alive_;
                error(sent.error);
                if (!*alive) {
                    return;
                }
            }
        }
    }
    if (!playing_ && deviceQueue_.empty() && done_) {
        Done done = done_;  // the callback may destroy this object and with it done_
        done();
    }
}

SoundStatus WaveOut::Close() {
    if (!opened_) {
        return {};
    }
    device_.Reset();
    for (WaveBuffer* buffer : deviceQueue_) {
        device_.Unprepare(*buffer);
        freeQueue_.push_back(buffer);
    }
    deviceQueue_.clear();
    buffersInFlight_ = 0;
    if (const int code = device_.Close(); code != 0) {
        return {"Cannot close waveOut - waveOutClose: " + DeviceText(code)};
    }
    opened_ = false;
    return {};
}

}  // namespace dyd
