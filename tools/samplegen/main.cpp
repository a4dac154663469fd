// dydaktor-samplegen: builds the sample installation from the readable sources in data/sample.
//
//   dydaktor-samplegen [--full [--units N] [--today YYYY-MM-DD]] SAMPLE_DIR INSTALL_DIR
//
// SAMPLE_DIR holds one folder per course (each with course.txt) and the help pages in help/.
// With --full the installation also gets the full course "pelny" (the English course filled to
// N units, 25000 by default) and its learner "Pełny" with his repetitions due around today.
// Exit status: 0 done, 1 the sources have problems (listed as file:line: message), 2 wrong
// arguments, a missing program or a file that cannot be written.

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <set>
#include <thread>

#include "core/clock.h"
#include "core/codepage.h"
#include "core/datetime.h"
#include "core/files.h"
#include "core/text.h"
#include "course_files.h"
#include "full_course.h"
#include "full_installation.h"
#include "output.h"
#include "pictures.h"
#include "recordings.h"
#include "sources.h"
#include "tones.h"

namespace fs = std::filesystem;
using namespace dyd;
using namespace dyd::samplegen;

namespace {

constexpr std::string_view kGfx = "Lang_s/0/gfx_s/";

struct FullOptions {
    bool enabled = false;
    int units = kMaxUnits;
    double today = 0;
};

class Generator {
  public:
    Generator(std::string sampleDir, std::string installDir, FullOptions full = {})
        : sampleDir_(std::move(sampleDir)), output_(std::move(installDir)), full_(full) {}

    int Run() {
        QElapsedTimer timer;
        timer.start();
        std::vector<SourceProblem> problems;
        std::vector<SourceCourse> courses = ReadCourses(problems);
        if (!problems.empty()) {
            for (const SourceProblem& problem : problems) {
                std::cerr << FormatProblem(problem) << "\n";
            }
            std::cerr << "Źródła mają błędy: " << problems.size()
                      << "; instalacja nie została zmieniona.\n";
            return 1;
        }
        std::vector<CourseOutput> outputs;
        std::vector<RecordingJob> recordings;
        for (const SourceCourse& course : courses) {
            outputs.push_back(BuildCourse(course));
            problems.insert(problems.end(), outputs.back().problems.begin(),
                            outputs.back().problems.end());
            recordings.insert(recordings.end(), outputs.back().recordings.begin(),
                              outputs.back().recordings.end());
        }
        if (!problems.empty()) {
            for (const SourceProblem& problem : problems) {
                std::cerr << FormatProblem(problem) << "\n";
            }
            return 1;
        }
        if (!recordings.empty()) {
            if (const auto missing = MissingTools(); !missing.empty()) {
                for (const std::string& tool : missing) {
                    std::cerr << "Brak programu " << tool << "\n";
                }
                return 2;
            }
        }

        // Recordings take longest: they are made on worker threads while the pictures are drawn.
        RecordingReport recordingReport;
        const int workers = std::max(1, QThread::idealThreadCount());
        std::thread speaker([&] {
            recordingReport =
                MakeRecordings(output_, recordings, workers,
                               [](const std::string& line) { std::cout << line << std::endl; });
        });
        Installation(courses);
        for (std::size_t i = 0; i < courses.size(); ++i) {
            Course(courses[i], outputs[i]);
        }
        speaker.join();
        for (const std::string& error : recordingReport.errors) {
            errors_.push_back(error);
        }
        if (full_.enabled && errors_.empty()) {
            FullInstallation(courses, recordings);
        }
        std::string error;
        if (!output_.Finish(&error)) {
            errors_.push_back(error);
        }
        for (const std::string& e : errors_) {
            std::cerr << e << "\n";
        }
        std::cout << "Instalacja: " << output_.installDir() << "\n"
                  << "Bazy: " << courses.size() << ", nagrania: " << recordings.size() << " (nowe "
                  << recordingReport.made << ", bez zmian " << recordingReport.kept << ")\n"
                  << "Pliki zapisane: " << output_.written()
                  << ", bez zmian: " << output_.unchanged() << ", usunięte: " << output_.removed()
                  << "\n"
                  << "Czas: " << timer.elapsed() / 1000.0 << " s" << std::endl;
        return errors_.empty() ? 0 : 2;
    }

  private:
    std::vector<SourceCourse> ReadCourses(std::vector<SourceProblem>& problems) {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(sampleDir_, ec)) {
            if (entry.is_directory() && fs::exists(entry.path() / "course.txt")) {
                names.push_back(entry.path().filename().string());
            }
        }
        if (ec) {
            problems.push_back({sampleDir_, 0, "nie mogę odczytać katalogu: " + ec.message()});
        }
        std::sort(names.begin(), names.end());
        std::vector<SourceCourse> courses;
        std::set<std::string> codes;
        std::set<int> languages;
        for (const std::string& name : names) {
            SourceCourse course = ReadCourse(sampleDir_, name, problems);
            if (!codes.insert(course.info.code).second) {
                problems.push_back({name + "/course.txt", 0,
                                    "kod bazy \"" + course.info.code + "\" ma już inny kurs"});
            }
            if (!course.substitutions.empty() && !languages.insert(course.info.language).second) {
                problems.push_back({name + "/substitutions.txt", 0,
                                    "plik ss_" + std::to_string(course.info.language) +
                                        " ma już inny kurs tego języka"});
            }
            courses.push_back(std::move(course));
        }
        return courses;
    }

    void Write(const std::string& path, std::string_view bytes) {
        std::string error;
        if (!output_.Write(path, bytes, &error)) {
            errors_.push_back(error);
        }
    }

    void Bmp(const std::string& path, const QImage& image) {
        Write(path, EncodeImage(image, "BMP"));
    }
    void Jpg(const std::string& path, const QImage& image) {
        Write(path, EncodeImage(image, "JPG"));
    }

    void Installation(const std::vector<SourceCourse>& courses) {
        Write("ds50.ini",
              *FromUtf8("Dydaktor - instalacja przykładowa\r\ncd=\r\n0\r\n", CodePage::Cp1250));
        std::set<std::string> buttons;
        for (const ButtonSpec& spec : ButtonList()) {
            if (buttons.insert(spec.file).second) {
                Bmp("but_s/" + spec.file, ButtonStrip(spec));
            }
        }
        const std::string gfx(kGfx);
        Bmp(gfx + "menu_slow.bmp", MenuBackground({}, {}, {}));
        for (const WindowSpec& spec : WindowList()) {
            Bmp(gfx + spec.file, WindowBackground(spec));
        }
        for (const HoverSpec& spec : HoverList()) {
            Bmp(gfx + "m_" + std::to_string(spec.tag) + ".bmp", HoverPicture(spec));
        }
        Bmp(gfx + "cw_pasek.bmp", ExerciseStrip());
        Jpg(gfx + "kojarzenie1.jpg", MatchingBackground(1));
        Jpg(gfx + "kojarzenie2.jpg", MatchingBackground(2));
        Bmp(gfx + "prezentacja1.bmp", PresentationBackground(1));
        Bmp(gfx + "prezentacja2.bmp", PresentationBackground(2));
        for (int level = 1; level <= 4; ++level) {
            Bmp(gfx + "poziom" + std::to_string(level) + ".bmp", LevelMark(level));
        }
        Bmp(gfx + "cw_zrobione.bmp", DoneMark(true));
        Bmp(gfx + "cw_niezrobione.bmp", DoneMark(false));
        Bmp(gfx + "powtorka.bmp", RepetitionBanner());
        for (const BackgroundSpec& spec : BackgroundList()) {
            const QImage image = ExerciseBackground(spec);
            if (spec.file.ends_with(".bmp")) {
                Bmp("cw_tla_s/" + spec.file, image);
            } else {
                Jpg("cw_tla_s/" + spec.file, image);
            }
        }
        for (const SignalSound& sound : ProgramSounds()) {
            Write(sound.name, ToneWav(sound.tones));
        }
        Help();
        (void)courses;
    }

    // The help pages are copied as they are.
    void Help() {
        const fs::path help = fs::path(sampleDir_) / "help";
        std::error_code ec;
        if (!fs::is_directory(help, ec)) {
            return;
        }
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(help, ec)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            const auto bytes = ReadFileBytes(file.string());
            if (!bytes) {
                errors_.push_back(file.string() + ": nie mogę odczytać");
                continue;
            }
            Write("htm_s/" + fs::relative(file, help).generic_string(), *bytes);
        }
    }

    void Course(const SourceCourse& course, const CourseOutput& out) {
        for (const auto& [path, bytes] : out.files) {
            Write(path, bytes);
        }
        const QString title = QString::fromStdString(course.info.title);
        Bmp(out.databaseDir + "menu_slow.bmp",
            MenuBackground(title, QString::fromStdString(course.info.subtitle),
                           QString::fromStdString(course.info.author)));
        Write(out.databaseDir + "b2.wav", ToneWav(InterludeCue()));
        for (const PictureJob& job : out.pictures) {
            Jpg(job.path, InterludePicture(job.picture));
        }
    }

    // The English sample filled to capacity, with the recordings the sample made for the same
    // texts, and its learner.
    void FullInstallation(const std::vector<SourceCourse>& courses,
                          const std::vector<RecordingJob>& made) {
        const auto english =
            std::find_if(courses.begin(), courses.end(),
                         [](const SourceCourse& c) { return c.info.language == 1; });
        if (english == courses.end()) {
            errors_.push_back(sampleDir_ +
                              ": pełny kurs powstaje z kursu angielskiego, a go nie ma");
            return;
        }
        SourceCourse full = *english;
        full.info.code = std::string(kFullCourseCode);
        full.info.title = std::string(kFullCourseTitle);
        full.info.subtitle =
            "Kurs o pełnej pojemności: " + std::to_string(full_.units) + " jednostek";
        FillCourse(full, FullCourseSizeOf(full_.units), true);
        const CourseOutput out = BuildCourse(full);
        for (const SourceProblem& problem : out.problems) {
            errors_.push_back(FormatProblem(problem));
        }
        Course(full, out);
        const int linked = LinkRecordings(output_, out.recordings, made, errors_);
        if (!errors_.empty()) {
            return;
        }
        const FullLearnerReport learner = WriteFullLearner(
            output_.installDir(), kFullCourseCode, FullLearnerRecordsOf(full_.units),
            FullHistoryRecordsOf(full_.units), full_.today, errors_);
        std::cout << "Pełny kurs " << kFullCourseCode << ": jednostek " << full_.units
                  << ", nagrań dowiązanych " << linked << "; uczeń " << kFullLearnerName
                  << " (katalog " << learner.number << "): powtórek " << learner.records << " (na "
                  << FormatDate(full_.today) << " " << learner.due << "), historii "
                  << learner.history << "\n";
    }

    std::string sampleDir_;
    Output output_;
    FullOptions full_;
    std::vector<std::string> errors_;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    FullOptions full;
    full.today = SystemClock().Today();
    std::vector<std::string> folders;
    bool wrong = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--full") {
            full.enabled = true;
        } else if (args[i] == "--units" && i + 1 < args.size()) {
            const std::optional<std::int32_t> units = ParseInt(args[++i]);
            wrong = wrong || !units || *units < 1 || *units > kMaxUnits;
            full.units = units.value_or(kMaxUnits);
        } else if (args[i] == "--today" && i + 1 < args.size()) {
            const std::optional<double> today = ParseDate(args[++i]);
            wrong = wrong || !today;
            full.today = today.value_or(full.today);
        } else if (args[i].starts_with("--")) {
            wrong = true;
        } else {
            folders.push_back(args[i]);
        }
    }
    if (wrong || folders.size() != 2) {
        std::cerr << "Użycie: dydaktor-samplegen [--full [--units N] [--today RRRR-MM-DD]] "
                     "KATALOG_ŹRÓDEŁ KATALOG_INSTALACJI\n"
                     "  N od 1 do "
                  << kMaxUnits << " (bez --units " << kMaxUnits << ")\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    return Generator(folders[0], folders[1], full).Run();
}
