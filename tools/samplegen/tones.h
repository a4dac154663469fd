#pragma once

// The signal sounds of the program, synthesised: short tones with soft edges, 16-bit mono WAV.

#include <string>
#include <vector>

namespace dyd::samplegen {

struct Tone {
    double frequency = 0;  // Hz; 0 is a pause
    double seconds = 0;
};

// A WAV file (22050 Hz, 16-bit, mono) of the tones one after another.
std::string ToneWav(const std::vector<Tone>& tones, double volume = 0.4);

struct SignalSound {
    std::string name;  // start.wav, zla.wav, ...
    std::vector<Tone> tones;
};

// The sounds of the installation folder: start.wav, zla.wav, sent.wav, b_ok.wav.
std::vector<SignalSound> ProgramSounds();

// The cue a course database plays before an interlude (b2.wav).
std::vector<Tone> InterludeCue();

}  // namespace dyd::samplegen
