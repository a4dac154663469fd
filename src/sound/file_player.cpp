#include "sound/file_player.h"

#include <sndfile.h>

#include <algorithm>
#include <vector>

namespace dyd {

struct FilePlayer::File {
    SNDFILE* handle = nullptr;
    SF_INFO info{};
    std::vector<short> mixed;  // frames of more than two channels, before mixing down
    ~File() {
        if (handle != nullptr) {
            sf_close(handle);
        }
    }
};

FilePlayer::FilePlayer(AudioDevice& device) : device_(device) {}

FilePlayer::~FilePlayer() {
    Close();
}

std::string FilePlayer::Play(const std::string& fileName) {
    Close();
    auto file = std::make_unique<File>();
    file->handle = sf_open(fileName.c_str(), SFM_READ, &file->info);
    if (file->handle == nullptr) {
        return std::string(kCannotPlayFile) + fileName + " (" + sf_strerror(nullptr) + ")";
    }
    if (file->info.channels < 1 || file->info.samplerate < 1) {
        return std::string(kCannotPlayFile) + fileName;
    }
    // Floating-point files may hold samples beyond full scale: clip them instead of wrapping.
    sf_command(file->handle, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    lengthMs_ = file->info.frames * 1000 / file->info.samplerate;
    file_ = std::move(file);
    auto wave = std::make_unique<WaveOut>(device_);
    SoundStatus status = wave->SetFormat(file_->info.channels >= 2, file_->info.samplerate, 16);
    wave->SetFill([this](char* buffer, std::size_t size) { return Decode(buffer, size); });
    wave->SetDone([this] {
        ++finished_;
        Close();
    });
    wave->SetError([this](const std::string& message) {
        if (onError_) {
            onError_(message);
        }
    });
    wave_ = std::move(wave);
    if (status.ok()) {
        status = wave_->Open();
    }
    if (status.ok()) {
        status = wave_->Start();
    }
    if (!status.ok()) {
        Close();
        return status.error;
    }
    if (!wave_->playing() && wave_->buffersInFlight() == 0) {
        ++finished_;  // nothing to hear: over at once
        Close();
    }
    return {};
}

std::size_t FilePlayer::Decode(char* buffer, std::size_t size) {
    if (!file_) {
        return 0;
    }
    const int channels = file_->info.channels;
    const int outChannels = std::min(channels, 2);
    const sf_count_t frames = static_cast<sf_count_t>(size / (sizeof(short) * outChannels));
    auto* out = reinterpret_cast<short*>(buffer);
    if (channels <= 2) {
        const sf_count_t read = sf_readf_short(file_->handle, out, frames);
        return read > 0 ? static_cast<std::size_t>(read) * sizeof(short) * outChannels : 0;
    }
    // More channels than the output takes: the first two carry on, the rest is mixed in.
    file_->mixed.resize(static_cast<std::size_t>(frames * channels));
    const sf_count_t read = sf_readf_short(file_->handle, file_->mixed.data(), frames);
    for (sf_count_t f = 0; f < read; ++f) {
        const short* in = &file_->mixed[static_cast<std::size_t>(f * channels)];
        int left = in[0];
        int right = in[1];
        for (int c = 2; c < channels; ++c) {
            left += in[c] / (channels - 1);
            right += in[c] / (channels - 1);
        }
        out[2 * f] = static_cast<short>(std::clamp(left, -32768, 32767));
        out[2 * f + 1] = static_cast<short>(std::clamp(right, -32768, 32767));
    }
    return read > 0 ? static_cast<std::size_t>(read) * sizeof(short) * 2 : 0;
}

void FilePlayer::Close() {
    wave_.reset();
    file_.reset();
}

}  // namespace dyd
