// The program's sound devices: the sound module (and with it the desktop's sound library) is
// loaded when the login has been painted, on a thread of its own, or at the first sound if that
// comes sooner. Until it is there the devices are stand-ins that make the real ones on their
// first call; without the module they answer as a machine without a sound device does.

#include <dlfcn.h>
#include <unistd.h>

#include <QObject>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "sound/audio_factory.h"
#include "sound/qt_audio_device.h"
#include "sound/qt_audio_module.h"
#include "sound/qt_recorder.h"

namespace dyd {

namespace {

// Only the constants of the real devices are used here: their code stays in the module.
constexpr int kNoDevice = QtAudioDevice::kNoDevice;

struct Module {
    std::once_flag loaded;
    MakeDeviceEntry makeDevice = nullptr;
    MakeRecorderEntry makeRecorder = nullptr;
};

Module& TheModule() {
    static Module module;
    return module;
}

std::string ProgramFolder() {
    std::array<char, 4096> path{};
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) {
        return {};
    }
    std::string folder(path.data(), static_cast<std::size_t>(length));
    return folder.substr(0, folder.rfind('/') + 1);
}

// Beside the program (the build and a development installation), then where the package puts
// it. DYDAKTOR_AUDIO_MODULE names another file, for tests of this loading.
void Load(Module& module) {
    std::string candidates[3];
    if (const char* named = std::getenv("DYDAKTOR_AUDIO_MODULE"); named != nullptr) {
        candidates[0] = named;
    } else {
        const std::string folder = ProgramFolder();
        candidates[0] = folder + std::string(kAudioModuleFile);
        candidates[1] = folder + DYDAKTOR_AUDIO_MODULE_DIR + std::string(kAudioModuleFile);
    }
    for (const std::string& path : candidates) {
        if (path.empty()) {
            continue;
        }
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            continue;
        }
        const auto version =
            reinterpret_cast<InterfaceVersionEntry>(::dlsym(handle, "dyd_audio_interface_version"));
        const auto makeDevice =
            reinterpret_cast<MakeDeviceEntry>(::dlsym(handle, "dyd_audio_make_device"));
        const auto makeRecorder =
            reinterpret_cast<MakeRecorderEntry>(::dlsym(handle, "dyd_audio_make_recorder"));
        if (version == nullptr || version() != kAudioModuleInterface || makeDevice == nullptr ||
            makeRecorder == nullptr) {
            std::fprintf(stderr, "%s: not this program's sound module\n", path.c_str());
            continue;  // stays loaded: its code may have run
        }
        module.makeDevice = makeDevice;
        module.makeRecorder = makeRecorder;
        return;
    }
    const char* why = ::dlerror();
    std::fprintf(stderr, "%s: cannot be loaded; the program stays silent (%s)\n",
                 std::string(kAudioModuleFile).c_str(), why != nullptr ? why : "not found");
}

Module& LoadedModule() {
    Module& module = TheModule();
    std::call_once(module.loaded, [&module] { Load(module); });
    return module;
}

class LazyAudioDevice final : public AudioDevice {
  public:
    int QueryFormat(const WaveFormat& format) override {
        AudioDevice* device = Real();
        return device != nullptr ? device->QueryFormat(format) : kNoDevice;
    }
    int Open(const WaveFormat& format, Completion completion) override {
        AudioDevice* device = Real();
        return device != nullptr ? device->Open(format, std::move(completion)) : kNoDevice;
    }
    int Prepare(WaveBuffer& buffer) override {
        AudioDevice* device = Real();
        return device != nullptr ? device->Prepare(buffer) : kNoDevice;
    }
    int Write(WaveBuffer& buffer) override {
        AudioDevice* device = Real();
        return device != nullptr ? device->Write(buffer) : kNoDevice;
    }
    void Unprepare(WaveBuffer& buffer) override {
        if (real_ != nullptr) {
            real_->Unprepare(buffer);
        }
    }
    void Reset() override {
        if (real_ != nullptr) {
            real_->Reset();
        }
    }
    int Close() override { return real_ != nullptr ? real_->Close() : 0; }
    std::string ErrorText(int code) override {
        AudioDevice* device = Real();
        if (device != nullptr) {
            return device->ErrorText(code);
        }
        return code == kNoDevice ? "Brak urządzenia odtwarzającego dźwięk" : std::string();
    }

  private:
    AudioDevice* Real() {
        if (real_ == nullptr) {
            const Module& module = LoadedModule();
            if (module.makeDevice != nullptr) {
                real_.reset(module.makeDevice());
            }
        }
        return real_.get();
    }

    std::unique_ptr<AudioDevice> real_;
};

class LazyRecorder final : public QObject, public Recorder {
  public:
    LazyRecorder(RecorderArguments arguments, QObject* parent)
        : QObject(parent), arguments_(std::move(arguments)) {}

    bool HasMicrophone() const override {
        const Recorder* recorder = Real();
        return recorder != nullptr && recorder->HasMicrophone();
    }
    std::optional<std::string> StartRecording() override {
        Recorder* recorder = Real();
        if (recorder == nullptr) {
            return std::string(kNoMicrophone) + " " + std::string(kOpenCommand);
        }
        return recorder->StartRecording();
    }
    void StopRecording(const std::string& path) override {
        if (real_ != nullptr) {
            real_->StopRecording(path);
        }
    }
    bool isRecording() const override { return real_ != nullptr && real_->isRecording(); }

  private:
    // The real recorder is this one's child: it goes with it.
    Recorder* Real() const {
        if (real_ == nullptr) {
            const Module& module = LoadedModule();
            if (module.makeRecorder != nullptr) {
                real_ = module.makeRecorder(&arguments_, const_cast<LazyRecorder*>(this));
            }
        }
        return real_;
    }

    RecorderArguments arguments_;
    mutable Recorder* real_ = nullptr;
};

}  // namespace

std::unique_ptr<AudioDevice> MakeAudioDevice() { return std::make_unique<LazyAudioDevice>(); }

Recorder* MakeRecorder(std::string programDir, std::function<void()> closeMediaPlayer,
                       std::function<void(const std::string& message)> report, QObject* parent) {
    return new LazyRecorder(
        RecorderArguments{std::move(programDir), std::move(closeMediaPlayer), std::move(report)},
        parent);
}

void PrepareAudio() {
    static std::once_flag started;
    std::call_once(started, [] { std::thread([] { LoadedModule(); }).detach(); });
}

}  // namespace dyd
