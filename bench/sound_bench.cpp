// Sound benchmarks: Ogg decoding speed against oggdec on the same file, peak heap while a long
// Ogg plays, and the time from PlaySound to the first buffer handed to the device. The Ogg files
// are made once per run with oggenc from a generated tone.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "sound/capture_device.h"
#include "sound/ogg_player.h"
#include "sound/sound_player.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int Run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A tone with a slow vibrato (so the encoder has some work), channels × seconds, as Ogg Vorbis.
std::string OggFile(int seconds, int channels, int rate) {
    static std::map<std::string, std::string> made;
    const std::string key =
        std::to_string(seconds) + "-" + std::to_string(channels) + "-" + std::to_string(rate);
    if (const auto found = made.find(key); found != made.end()) {
        return found->second;
    }
    const std::string dir =
        (std::filesystem::temp_directory_path() / ("dyd-sound-bench-" + std::to_string(getpid())))
            .string();
    std::filesystem::create_directories(dir);
    const std::string raw = dir + "/" + key + ".raw";
    const std::string ogg = dir + "/" + key + ".ogg";
    {
        std::ofstream out(raw, std::ios::binary);
        std::vector<std::int16_t> block;
        const long long frames = static_cast<long long>(seconds) * rate;
        double phase = 0;
        for (long long i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / rate;
            phase += 2 * M_PI * (440 + 60 * std::sin(2 * M_PI * 0.5 * t)) / rate;
            const auto v = static_cast<std::int16_t>(12000 * std::sin(phase));
            for (int c = 0; c < channels; ++c) {
                block.push_back(v);
            }
            if (block.size() >= 65536) {
                out.write(reinterpret_cast<const char*>(block.data()),
                          static_cast<std::streamsize>(block.size() * 2));
                block.clear();
            }
        }
        out.write(reinterpret_cast<const char*>(block.data()),
                  static_cast<std::streamsize>(block.size() * 2));
    }
    Run({"oggenc", "-Q", "-r", "-B", "16", "-C", std::to_string(channels), "-R",
         std::to_string(rate), raw, "-o", ogg});
    std::filesystem::remove(raw);
    made[key] = ogg;
    return ogg;
}

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// Decodes a whole 60-second stereo file through the Ogg player (the device takes buffers as
// fast as they come), and oggdec decodes the same file to raw samples; speed_vs_oggdec is
// oggdec's time divided by ours (1.0 = as fast).
void BM_OggDecodeVsOggdec(benchmark::State& state) {
    const std::string file = OggFile(60, 2, 44100);
    double ours = 0;
    double theirs = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        dyd::CaptureDevice device;
        device.keepBytes = false;
        dyd::OggPlayer player(device);
        player.SetFileName(file);
        const auto start = Clock::now();
        if (!player.Play()) {
            state.SkipWithError("the Ogg file does not play");
            return;
        }
        device.PlayToEnd();
        const auto decoded = Clock::now();
        const int rc = Run({"oggdec", "-Q", "-R", "-o", "/dev/null", file});
        const auto oggdecDone = Clock::now();
        if (rc != 0) {
            state.SkipWithError("oggdec is missing or failed");
            return;
        }
        ours += Seconds(start, decoded);
        theirs += Seconds(decoded, oggdecDone);
        bytes = device.byteCount;
        state.SetIterationTime(Seconds(start, decoded));
    }
    state.counters["speed_vs_oggdec"] = theirs / ours;
    state.counters["oggdec_s"] = theirs / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}
BENCHMARK(BM_OggDecodeVsOggdec)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Peak heap in use above what it was before Play, while a whole file plays: one second against
// ten minutes (mono 22050 Hz, the common recording format). extra_for_ten_minutes is what the
// long file needs more than the short one.
std::size_t PeakWhilePlaying(const std::string& file) {
    dyd::CaptureDevice device;
    device.keepBytes = false;
    dyd::OggPlayer player(device);
    player.SetFileName(file);
    const std::size_t before = HeapInUse();
    std::size_t peak = before;
    device.onWrite = [&](const dyd::WaveBuffer&) { peak = std::max(peak, HeapInUse()); };
    if (!player.Play()) {
        return 0;
    }
    device.PlayToEnd();
    return peak - before;
}

void BM_PeakHeapWhilePlaying(benchmark::State& state) {
    const std::string shortFile = OggFile(1, 1, 22050);
    const std::string longFile = OggFile(600, 1, 22050);
    std::size_t shortPeak = 0;
    std::size_t longPeak = 0;
    for (auto _ : state) {
        shortPeak = std::max(shortPeak, PeakWhilePlaying(shortFile));
        longPeak = std::max(longPeak, PeakWhilePlaying(longFile));
    }
    state.counters["peak_one_second_KiB"] = static_cast<double>(shortPeak) / 1024;
    state.counters["peak_ten_minutes_KiB"] = static_cast<double>(longPeak) / 1024;
    state.counters["extra_for_ten_minutes_KiB"] =
        (static_cast<double>(longPeak) - static_cast<double>(shortPeak)) / 1024;
}
BENCHMARK(BM_PeakHeapWhilePlaying)->Unit(benchmark::kMillisecond)->Iterations(1);

// From the call of PlaySound to the first buffer handed to the device.
class NoWait final : public dyd::Waiter {
  public:
    void Sleep(int) override {}
    void WaitUntil(const std::function<bool()>&, int) override {}
};

void BM_PlaySoundToFirstBuffer(benchmark::State& state) {
    const std::string file = OggFile(static_cast<int>(state.range(0)), 2, 44100);
    dyd::CaptureDevice oggDevice;
    dyd::CaptureDevice fileDevice;
    oggDevice.keepBytes = false;
    NoWait waiter;
    dyd::SoundPlayer sound(oggDevice, fileDevice, waiter);
    Clock::time_point first;
    bool seen = false;
    oggDevice.onWrite = [&](const dyd::WaveBuffer&) {
        if (!seen) {
            first = Clock::now();
            seen = true;
        }
    };
    for (auto _ : state) {
        seen = false;
        const auto start = Clock::now();
        sound.PlaySound(file, false);
        if (!seen) {
            state.SkipWithError("nothing was played");
            return;
        }
        state.SetIterationTime(Seconds(start, first));
    }
}
BENCHMARK(BM_PlaySoundToFirstBuffer)
    ->Arg(2)
    ->Arg(600)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
