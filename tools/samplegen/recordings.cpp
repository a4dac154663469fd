#include "recordings.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <thread>

#include "core/files.h"

namespace dyd::samplegen {

namespace {

using namespace Qt::StringLiterals;

// Part of every key: changing how recordings are made makes them all again.
constexpr std::string_view kRecipe = "espeak-ng -s 150; oggenc -q 3 -s; lame -b 48";

constexpr int kTimeoutMs = 60000;

const char* FormatName(AudioFormat format) {
    switch (format) {
        case AudioFormat::Wav:
            return "wav";
        case AudioFormat::Mp3:
            return "mp3";
        case AudioFormat::Ogg:
        case AudioFormat::None:
            break;
    }
    return "ogg";
}

std::string KeyOf(const RecordingJob& job) {
    return Digest(std::string(kRecipe) + "\x1f" + job.voice + "\x1f" + FormatName(job.format) +
                  "\x1f" + job.text);
}

bool Run(const QString& program, const QStringList& arguments, const std::string& input,
         std::string* error) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(kTimeoutMs)) {
        *error = program.toStdString() + ": nie mogę uruchomić";
        return false;
    }
    if (!input.empty()) {
        process.write(input.data(), static_cast<qint64>(input.size()));
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(kTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        *error = program.toStdString() +
                 " zakończył się błędem: " + process.readAll().trimmed().toStdString();
        return false;
    }
    return true;
}

// The Ogg stream serial number, fixed per file so that the same input gives the same bytes.
QString SerialOf(const std::string& path) {
    quint32 h = 2166136261u;
    for (const char c : path) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return QString::number(h & 0x7FFFFFFF);
}

bool Make(const RecordingJob& job, const std::string& work, std::string* bytes,
          std::string* error) {
    const QString wav = QString::fromStdString(work + "speech.wav");
    if (!Run(u"espeak-ng"_s,
             {u"-v"_s, QString::fromStdString(job.voice), u"-s"_s, u"150"_s, u"-w"_s, wav,
              u"--stdin"_s},
             job.text + "\n", error)) {
        return false;
    }
    QString encoded = wav;
    if (job.format == AudioFormat::Ogg) {
        encoded = QString::fromStdString(work + "speech.ogg");
        if (!Run(u"oggenc"_s,
                 {u"-Q"_s, u"-q"_s, u"3"_s, u"-s"_s, SerialOf(job.path), u"-o"_s, encoded, wav}, {},
                 error)) {
            return false;
        }
    } else if (job.format == AudioFormat::Mp3) {
        encoded = QString::fromStdString(work + "speech.mp3");
        if (!Run(u"lame"_s, {u"--quiet"_s, u"-b"_s, u"48"_s, wav, encoded}, {}, error)) {
            return false;
        }
    }
    auto read = ReadFileBytes(encoded.toStdString());
    if (!read || read->empty()) {
        *error = encoded.toStdString() + ": brak wyniku";
        return false;
    }
    *bytes = std::move(*read);
    return true;
}

}  // namespace

std::vector<std::string> MissingTools() {
    std::vector<std::string> missing;
    for (const auto& [program, package] :
         {std::pair{"espeak-ng", "espeak-ng"}, {"oggenc", "vorbis-tools"}, {"lame", "lame"}}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            missing.push_back(std::string(program) + " (pakiet " + package + ")");
        }
    }
    return missing;
}

RecordingReport MakeRecordings(Output& output, const std::vector<RecordingJob>& jobs, int workers,
                               const std::function<void(const std::string&)>& progress) {
    RecordingReport report;
    std::vector<std::size_t> todo;
    std::vector<std::string> keys(jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        keys[i] = KeyOf(jobs[i]);
        if (output.Keep(jobs[i].path, keys[i])) {
            ++report.kept;
        } else {
            todo.push_back(i);
        }
    }
    if (todo.empty()) {
        return report;
    }
    const std::string workRoot = output.installDir() + ".samplegen-tmp/";
    std::atomic<std::size_t> next{0};
    std::atomic<int> done{0};
    std::mutex mutex;
    const auto worker = [&](int number) {
        const std::string work = workRoot + std::to_string(number) + "/";
        std::error_code ec;
        std::filesystem::create_directories(work, ec);
        while (true) {
            const std::size_t slot = next++;
            if (slot >= todo.size()) {
                return;
            }
            const RecordingJob& job = jobs[todo[slot]];
            std::string bytes;
            std::string error;
            const bool made = Make(job, work, &bytes, &error) &&
                              output.WriteMade(job.path, bytes, keys[todo[slot]], &error);
            std::lock_guard lock(mutex);
            if (made) {
                ++report.made;
            } else {
                report.errors.push_back(job.path + ": " + error);
            }
            const int count = ++done;
            if (count % 100 == 0) {
                progress("Nagrania: " + std::to_string(count) + " z " +
                         std::to_string(todo.size()));
            }
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < std::max(1, workers); ++i) {
        threads.emplace_back(worker, i);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::error_code ec;
    std::filesystem::remove_all(workRoot, ec);
    return report;
}

}  // namespace dyd::samplegen
