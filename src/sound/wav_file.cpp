#include "sound/wav_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

#include "core/files.h"

namespace dyd {

std::optional<long long> WavLengthMs(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return std::nullopt;
    }
    sf_close(file);
    if (info.samplerate <= 0 || info.frames < 0) {
        return std::nullopt;
    }
    return static_cast<long long>(info.frames) * 1000 / info.samplerate;
}

namespace {

// libsndfile writes into memory; the bytes then go to disk in one atomic replacement.
struct MemoryFile {
    std::string bytes;
    sf_count_t position = 0;
};

sf_count_t MemLength(void* user) {
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size());
}

sf_count_t MemSeek(sf_count_t offset, int whence, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR) {
        base = file->position;
    } else if (whence == SEEK_END) {
        base = static_cast<sf_count_t>(file->bytes.size());
    }
    if (base + offset < 0) {
        return -1;
    }
    file->position = base + offset;
    return file->position;
}

sf_count_t MemRead(void* ptr, sf_count_t count, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t size = static_cast<sf_count_t>(file->bytes.size());
    const sf_count_t n = std::clamp<sf_count_t>(size - file->position, 0, count);
    std::memcpy(ptr, file->bytes.data() + file->position, static_cast<std::size_t>(n));
    file->position += n;
    return n;
}

sf_count_t MemWrite(const void* ptr, sf_count_t count, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const auto end = static_cast<std::size_t>(file->position + count);
    if (file->bytes.size() < end) {
        file->bytes.resize(end);
    }
    std::memcpy(file->bytes.data() + file->position, ptr, static_cast<std::size_t>(count));
    file->position += count;
    return count;
}

sf_count_t MemTell(void* user) {
    return static_cast<MemoryFile*>(user)->position;
}

}  // namespace

bool WriteWav16(const std::string& path, const std::vector<std::int16_t>& samples, int channels,
                int sampleRate, std::string* error) {
    MemoryFile memory;
    SF_VIRTUAL_IO io{MemLength, MemSeek, MemRead, MemWrite, MemTell};
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &memory);
    if (file == nullptr) {
        if (error != nullptr) {
            *error = sf_strerror(nullptr);
        }
        return false;
    }
    const sf_count_t frames = static_cast<sf_count_t>(samples.size() / std::max(channels, 1));
    const sf_count_t written = sf_writef_short(file, samples.data(), frames);
    sf_close(file);
    if (written != frames) {
        if (error != nullptr) {
            *error = "short write";
        }
        return false;
    }
    return WriteFileAtomically(path, memory.bytes, error);
}

}  // namespace dyd
