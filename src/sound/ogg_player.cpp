#include "sound/ogg_player.h"

#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>

#include "core/files.h"

namespace dyd {

namespace {

// Stream callbacks over a stdio file.
std::size_t ReadStream(void* ptr, std::size_t size, std::size_t count, void* source) {
    if (size == 0 || count == 0) {
        return 0;
    }
    auto* file = static_cast<std::FILE*>(source);
    const std::size_t read = std::fread(ptr, 1, size * count, file);
    if (std::ferror(file) != 0) {
        return 0;
    }
    return read / size;
}

int SeekStream(void* source, ogg_int64_t offset, int whence) {
    const int origin = whence == 0   ? SEEK_SET
                       : whence == 1 ? SEEK_CUR
                       : whence == 2 ? SEEK_END
                                     : -1;
    if (origin < 0) {
        return -1;
    }
    return ::fseeko(static_cast<std::FILE*>(source), static_cast<off_t>(offset), origin) == 0 ? 0
                                                                                              : -1;
}

int CloseStream(void* source) {
    return std::fclose(static_cast<std::FILE*>(source)) == 0 ? 0 : -1;
}

long TellStream(void* source) {
    const off_t position = ::ftello(static_cast<std::FILE*>(source));
    return position < 0 ? -1 : static_cast<long>(position);
}

}  // namespace

struct OggPlayer::Stream {
    OggVorbis_File file{};
    ~Stream() { ov_clear(&file); }
};

OggPlayer::OggPlayer(AudioDevice& device) : device_(device) {}

OggPlayer::~OggPlayer() {
    Stop();
}

bool OggPlayer::Play(std::string* error) {
    Stop();
    if (fileName_.empty() || !FileExists(fileName_)) {
        return false;
    }
    std::FILE* file = std::fopen(fileName_.c_str(), "rbe");
    if (file == nullptr) {
        return false;
    }
    auto stream = std::make_unique<Stream>();
    const ov_callbacks callbacks{ReadStream, SeekStream, CloseStream, TellStream};
    if (ov_open_callbacks(file, &stream->file, nullptr, 0, callbacks) != 0) {
        // A failed open leaves the file to the caller and the decoder state cleared.
        std::fclose(file);
        return false;
    }
    const vorbis_info* info = ov_info(&stream->file, -1);
    if (info == nullptr || info->channels < 1 || info->channels > 2) {
        return false;  // more than two channels: the output takes mono or stereo only
    }
    stream_ = std::move(stream);
    auto wave = std::make_unique<WaveOut>(device_);
    SoundStatus status = wave->SetFormat(info->channels == 2, static_cast<int>(info->rate), 16);
    wave->SetFill([this](char* buffer, std::size_t size) { return Decode(buffer, size); });
    wave->SetDone([this] { Finished(); });
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
        playing_ = true;
        status = wave_->Start();
    }
    if (!status.ok()) {
        playing_ = true;
        Stop();
        if (error != nullptr) {
            *error = status.error;
        }
        return false;
    }
    if (!wave_->playing() && wave_->buffersInFlight() == 0) {
        Stop();  // a stream without a single sample
        return false;
    }
    return true;
}

std::size_t OggPlayer::Decode(char* buffer, std::size_t size) {
    if (!stream_) {
        return 0;
    }
    std::size_t written = 0;
    int section = 0;
    while (written < size) {
        const long n =
            ov_read(&stream_->file, buffer + written, static_cast<int>(size - written),
                    0 /* little-endian */, 2 /* 16-bit words */, 1 /* signed */, &section);
        if (n == OV_HOLE) {
            continue;  // a gap in the data: go on with what follows
        }
        if (n <= 0) {
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    return written;
}

void OggPlayer::Finished() {
    Stop();
    if (onDone_) {
        std::function<void()> onDone = onDone_;
        onDone();
    }
}

void OggPlayer::Stop() {
    if (!playing_) {
        return;
    }
    wave_.reset();
    stream_.reset();
    playing_ = false;
}

double OggPlayer::DurationDays() const {
    if (!stream_) {
        return 0;
    }
    const double seconds = ov_time_total(&stream_->file, -1);
    if (!(seconds > 0)) {
        return 0;
    }
    return std::floor(seconds) / 86400.0;
}

}  // namespace dyd
