#include "core/database_check.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "core/codepage.h"
#include "core/files.h"
#include "core/recording_path.h"
#include "core/text.h"

namespace dyd {

namespace {

const char* LanguageName(std::int32_t language) {
    static constexpr const char* kNames[] = {
        "",          "angielskiego", "niemieckiego", "francuskiego", "hiszpańskiego",
        "włoskiego", "rosyjskiego"};
    return language >= 1 && language <= 6 ? kNames[language] : "";
}

std::string Hex(unsigned char byte) {
    char buffer[8];
    std::snprintf(buffer, sizeof(buffer), "0x%02X", byte);
    return buffer;
}

class Checker {
  public:
    Checker(const AppPaths& paths, const CourseDatabase& db, const LoadLog& log)
        : paths_(paths), db_(db), log_(log) {}

    std::vector<LoadProblem> Run() {
        CheckParameters();
        CheckUnits();
        CheckRelations();
        CheckLanguageFiles();
        return std::move(problems_);
    }

  private:
    void Add(std::string file, int line, Severity severity, std::string message) {
        problems_.push_back({std::move(file), line, severity, std::move(message)});
    }

    std::string ParametersFile() const {
        return RelativeToProgram(paths_, ResolvePath(paths_.databaseDir, kParametersFile));
    }

    void UnitProblem(int n, Severity severity, std::string message) {
        const UnitOrigin origin = n - 1 < static_cast<int>(log_.origins.size())
                                      ? log_.origins[static_cast<std::size_t>(n - 1)]
                                      : UnitOrigin{};
        const std::string file =
            origin.file >= 0 && origin.file < static_cast<int>(log_.files.size())
                ? log_.files[static_cast<std::size_t>(origin.file)]
                : std::string();
        Add(file, origin.line, severity,
            "jednostka " + std::to_string(db_.units.unit(n).unitId) + ": " + std::move(message));
    }

    void CheckParameters() {
        const DatabaseParameters& p = db_.params;
        const std::string file = ParametersFile();
        for (const LoadNotice notice : log_.notices) {
            switch (notice) {
                case LoadNotice::UserIdRangeNarrow:
                    Add(file, 14, Severity::Warning,
                        "zakres identyfikatorów jednostek ucznia (" + std::to_string(p.userIdLow) +
                            ".." + std::to_string(p.userIdHigh) +
                            ") jest węższy niż 11; program pokaże: " +
                            NoticeText(notice, paths_.recordingsDir));
                    break;
                case LoadNotice::RecordingsFolderMissing:
                    Add(file, 9, Severity::Warning,
                        "w katalogu nagrań " + RelativeToProgram(paths_, paths_.recordingsDir) +
                            " nie ma pliku p.txt: program ostrzeże, że nie może go znaleźć");
                    break;
                case LoadNotice::RecordingsDiscMissing:
                    break;  // every missing recording is reported with its unit
            }
        }
        if (p.language < 1 || p.language > 8) {
            Add(file, 2, Severity::Warning,
                "nieznany numer języka " + std::to_string(p.language) +
                    " (1-8); baza czyta tylko pliki wspólne");
        }
        if (p.charsetIndex < 0 || p.charsetIndex > 2) {
            Add(file, 16, Severity::Warning,
                "nieznany indeks zestawu znaków " + std::to_string(p.charsetIndex) +
                    " (0-2); przyjęto 238");
        }
        CheckPolishText(file, 1, "tytuł", p.title);
        CheckPolishText(file, 10, "autor", p.author);
        for (std::size_t i = 0; i < db_.groups.size(); ++i) {
            const Group& g = db_.groups[i];
            CheckPolishText(RelativeToProgram(paths_, ResolvePath(paths_.databaseDir, "gt_s.txt")),
                            0, "nazwa grupy " + std::to_string(g.groupId), g.name);
        }
    }

    // Reports bytes that the code page does not define, and text that looks like UTF-8.
    bool CheckBytes(std::string_view text, CodePage page, std::string* message) {
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x80 && !IsDefinedByte(page, byte)) {
                *message =
                    "bajt " + Hex(byte) + " nie należy do strony kodowej " + CodePageName(page);
                return false;
            }
        }
        if (LooksLikeUtf8(text)) {
            *message = std::string("tekst wygląda na zapisany w UTF-8, a powinien być w ") +
                       CodePageName(page);
            return false;
        }
        return true;
    }

    void CheckPolishText(const std::string& file, int line, const std::string& what,
                         std::string_view text) {
        std::string message;
        if (!CheckBytes(text, CodePage::Cp1250, &message)) {
            Add(file, line, Severity::Error, what + ": " + message);
        }
    }

    void CheckUnits() {
        const UnitTable& units = db_.units;
        const CodePage foreign = db_.params.foreignCodePage();
        std::unordered_map<std::int32_t, bool> knownGroups;
        for (const Group& g : db_.groups) {
            knownGroups[g.groupId] = true;
        }
        for (int n = 1; n <= units.unitCount(); ++n) {
            const Unit& u = units.unit(n);
            const int first = units.IndexOfUnitId(u.unitId);
            if (first != n) {
                const UnitOrigin origin = log_.origins[static_cast<std::size_t>(first - 1)];
                UnitProblem(n, Severity::Error,
                            "identyfikator powtarza się (pierwszy raz: " +
                                log_.files[static_cast<std::size_t>(origin.file)] + ":" +
                                std::to_string(origin.line) +
                                "); program zawsze znajdzie tamtą jednostkę");
            }
            if (u.level < 1 || u.level > 4) {
                UnitProblem(n, Severity::Warning,
                            "poziom " + std::to_string(u.level) + " spoza zakresu 1-4");
            }
            if (u.partOfSpeech < 1 || u.partOfSpeech > 6) {
                UnitProblem(n, Severity::Warning,
                            "nieznany kod części mowy " + std::to_string(u.partOfSpeech));
            }
            if (u.recordingSource > 4) {
                UnitProblem(n, Severity::Warning,
                            "nieznane źródło nagrania " + std::to_string(u.recordingSource));
            }
            if (!knownGroups.contains(u.groupId)) {
                UnitProblem(n, Severity::Warning,
                            "grupy " + std::to_string(u.groupId) + " nie ma w pliku gt_s.txt");
            }
            if (n <= units.wordUnitCount && u.unitKind == kSentenceUnit && !IsLearnerUnit(n)) {
                UnitProblem(n, Severity::Warning,
                            "zdanie (znacznik z) w pliku słówek: wyszukiwanie przykładów go nie "
                            "znajdzie");
            }
            CheckUnitBytes(n, u, foreign);
            const std::string recording = RecordingPath(paths_, u);
            if (!recording.empty() && !FileExists(recording)) {
                UnitProblem(n, Severity::Warning,
                            "brak nagrania " + RelativeToProgram(paths_, recording));
            }
            const std::string answer = AnswerRecordingPath(paths_, u);
            if (!answer.empty() && !FileExists(answer)) {
                UnitProblem(n, Severity::Warning,
                            "brak nagrania odpowiedzi " + RelativeToProgram(paths_, answer));
            }
        }
    }

    // Learner units (sentences among them) are read with the word files.
    bool IsLearnerUnit(int n) const {
        const UnitOrigin origin = log_.origins[static_cast<std::size_t>(n - 1)];
        const std::string& file = log_.files[static_cast<std::size_t>(origin.file)];
        return file.size() >= 9 && file.compare(file.size() - 9, 9, "sbusr.txt") == 0;
    }

    void CheckUnitBytes(int n, const Unit& u, CodePage foreign) {
        struct Field {
            const char* name;
            const UnitText* text;
            bool isForeign;
        };
        const Field fields[] = {
            {"foreignText", &u.foreignText, true},
            {"synonyms", &u.synonyms, true},
            {"nativeText", &u.nativeText, false},
            {"plural", &u.plural, false},
            {"comment", &u.comment, false},
            {"recording", &u.recording, false},
            {"answerRecording", &u.answerRecording, false},
            {"hint", &u.hint, false},
            {"extraTranslation", &u.extraTranslation, false},
        };
        for (const Field& field : fields) {
            std::string message;
            if (!CheckBytes(*field.text, field.isForeign ? foreign : CodePage::Cp1250, &message)) {
                UnitProblem(n, Severity::Error, std::string(field.name) + ": " + message);
                return;  // one report per unit is enough to find the line
            }
        }
    }

    void CheckRelations() {
        for (std::size_t i = 0; i < db_.relations.size(); ++i) {
            const Relation& r = db_.relations[i];
            const UnitOrigin origin =
                i < log_.relationOrigins.size() ? log_.relationOrigins[i] : UnitOrigin{};
            const std::string file = origin.file >= 0
                                         ? log_.files[static_cast<std::size_t>(origin.file)]
                                         : std::string();
            for (const std::int32_t id : {r.unitId, r.relatedId}) {
                if (db_.units.IndexOfUnitId(id) < 1) {
                    Add(file, origin.line, Severity::Warning,
                        "relacja " + std::to_string(r.unitId) + " -> " +
                            std::to_string(r.relatedId) +
                            ": żadna jednostka nie ma "
                            "identyfikatora " +
                            std::to_string(id));
                    break;
                }
            }
        }
    }

    void CheckLanguageFiles() {
        for (std::int32_t language = 1; language <= 6; ++language) {
            if (language == db_.params.language) {
                continue;
            }
            const LanguageFiles files = LanguageBaseFiles(language);
            for (const std::string_view name : {files.words, files.sentences, files.relations}) {
                const std::string path = ResolvePath(paths_.databaseDir, name);
                if (FileExists(path)) {
                    Add(RelativeToProgram(paths_, path), 0, Severity::Warning,
                        std::string("plik bazy języka ") + LanguageName(language) +
                            "; ta baza (język " + std::to_string(db_.params.language) +
                            " w dyda_s.txt) go nie czyta");
                }
            }
        }
    }

    const AppPaths& paths_;
    const CourseDatabase& db_;
    const LoadLog& log_;
    std::vector<LoadProblem> problems_;
};

}  // namespace

std::vector<LoadProblem> CheckDatabase(const AppPaths& paths, const CourseDatabase& db,
                                       const LoadLog& log) {
    return Checker(paths, db, log).Run();
}

std::vector<LoadProblem> AllProblems(const AppPaths& paths, const CourseDatabase& db,
                                     const LoadLog& log) {
    std::vector<LoadProblem> all = log.problems;
    std::vector<LoadProblem> checked = CheckDatabase(paths, db, log);
    all.insert(all.end(), std::make_move_iterator(checked.begin()),
               std::make_move_iterator(checked.end()));
    std::unordered_map<std::string, std::size_t> order;
    for (std::size_t i = 0; i < log.files.size(); ++i) {
        order.emplace(log.files[i], i);
    }
    const auto rank = [&order](const std::string& file) {
        const auto found = order.find(file);
        return found == order.end() ? order.size() : found->second;
    };
    std::stable_sort(all.begin(), all.end(), [&rank](const LoadProblem& a, const LoadProblem& b) {
        const std::size_t ra = rank(a.file);
        const std::size_t rb = rank(b.file);
        if (ra != rb) {
            return ra < rb;
        }
        if (a.file != b.file) {
            return a.file < b.file;
        }
        return a.line < b.line;
    });
    return all;
}

}  // namespace dyd
