#include "tones.h"

#include <cmath>
#include <cstdint>

namespace dyd::samplegen {

namespace {

constexpr int kRate = 22050;

void Put16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace

std::string ToneWav(const std::vector<Tone>& tones, double volume) {
    std::vector<std::int16_t> samples;
    for (const Tone& tone : tones) {
        const int count = static_cast<int>(tone.seconds * kRate);
        const int fade = std::min(count / 4, kRate / 100);
        for (int i = 0; i < count; ++i) {
            double value = 0;
            if (tone.frequency > 0) {
                const double t = static_cast<double>(i) / kRate;
                // A bell-like tone: the note, a quiet octave, and a gentle decay.
                value = std::sin(2 * M_PI * tone.frequency * t) +
                        0.25 * std::sin(4 * M_PI * tone.frequency * t);
                value *= std::exp(-2.5 * t / std::max(tone.seconds, 0.05)) / 1.25;
                double edge = 1;
                if (i < fade) {
                    edge = static_cast<double>(i) / fade;
                } else if (i > count - fade) {
                    edge = static_cast<double>(count - i) / fade;
                }
                value *= edge;
            }
            samples.push_back(static_cast<std::int16_t>(std::lround(value * volume * 32767)));
        }
    }
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    Put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, kRate);
    Put32(out, kRate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out += "data";
    Put32(out, dataBytes);
    for (const std::int16_t s : samples) {
        Put16(out, static_cast<std::uint16_t>(s));
    }
    return out;
}

std::vector<SignalSound> ProgramSounds() {
    return {
        {"start.wav", {{523.25, 0.16}, {659.25, 0.16}, {783.99, 0.32}}},
        {"zla.wav", {{311.13, 0.18}, {233.08, 0.32}}},
        {"sent.wav", {{880.0, 0.25}}},
        {"b_ok.wav", {{659.25, 0.12}, {783.99, 0.12}, {1046.5, 0.3}}},
    };
}

std::vector<Tone> InterludeCue() {
    return {{587.33, 0.14}, {0, 0.04}, {880.0, 0.26}};
}

}  // namespace dyd::samplegen
