#pragma once

// WAV files of recordings: their length, and writing 16-bit samples as a WAV file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dyd {

// The length of a sound file in whole milliseconds; nothing when it cannot be read.
std::optional<long long> WavLengthMs(const std::string& path);

// Writes interleaved 16-bit samples as a PCM WAV file, replacing path atomically. On failure
// returns false, leaves path as it was and says why in *error.
bool WriteWav16(const std::string& path, const std::vector<std::int16_t>& samples, int channels,
                int sampleRate, std::string* error = nullptr);

}  // namespace dyd
