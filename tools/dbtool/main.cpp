// dydaktor-db: the course author's tool. Shows what the program reads from a course database,
// lists what an author must fix, and prepares the scrambled companion files.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <nlohmann/json.hpp>
#include "core/codepage.h"
#include "core/database.h"
#include "core/database_check.h"
#include "core/database_list.h"
#include "core/datetime.h"
#include "core/exercise_sets.h"
#include "core/files.h"
#include "core/history.h"
#include "core/install_layer.h"
#include "core/learner_files.h"
#include "core/markup.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/scheduling.h"
#include "core/session_plan.h"
#include "core/settings.h"
#include "core/single_instance.h"
#include "core/text.h"
#include "core/user_ids.h"
#include "core/users.h"
#include "exchange/exchange.h"

namespace {

using namespace dyd;
// Objects keep their keys in the order they are written.
using Json = nlohmann::ordered_json;

// One JSON object on a line.
std::string Line(const Json& object) {
    std::string line = object.dump(-1, ' ', false, Json::error_handler_t::replace);
    line += '\n';
    return line;
}

// A number with a fraction in its shortest exact form; a whole number without one, and null for
// what JSON cannot hold.
Json Real(double value) {
    if (!std::isfinite(value)) {
        return nullptr;
    }
    if (value == std::trunc(value) && std::fabs(value) < 9.0e15) {
        return static_cast<std::int64_t>(value);
    }
    return value;
}

constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUnusable = 2;

void Usage() {
    std::fputs(
        "Użycie:\n"
        "  dydaktor-db list INSTALL_DIR              bazy instalacji\n"
        "  dydaktor-db dump INSTALL_DIR DBCODE [--tables]\n"
        "                                            jednostki (i tabele) jako wiersze JSON\n"
        "  dydaktor-db check INSTALL_DIR DBCODE      problemy do poprawienia w bazie\n"
        "  dydaktor-db learner INSTALL_DIR DBCODE USER\n"
        "                                            ustawienia, powtórki i historia ucznia "
        "(JSON)\n"
        "  dydaktor-db due INSTALL_DIR DBCODE USER [--today RRRR-MM-DD]\n"
        "                                            jednostki do powtórki (JSON)\n"
        "  USER to numer ucznia (nazwa jego katalogu) albo jego nazwa z usr.t\n"
        "  INSTALL_DIR tylko do odczytu (np. /usr/share/dydaktor) jest czytany przez katalog\n"
        "  danych użytkownika ($XDG_DATA_HOME/dydaktor), w którym program zapisuje uczniów\n"
        "  dydaktor-db export INSTALL_DIR DBCODE FILE [--set ID] [--format F]\n"
        "                                            jednostki bazy (albo ćwiczenia ID) do pliku\n"
        "  dydaktor-db import INSTALL_DIR DBCODE FILE [--format F]\n"
        "                                            jednostki z pliku jako jednostki ucznia\n"
        "                                            (sbusr.txt bazy); wszystkie albo żadna\n"
        "  F to kvtml, tsv albo csv; bez --format decyduje rozszerzenie pliku (.kvtml, .tsv,\n"
        "  .txt, .csv); FILE \"-\" przy eksporcie to standardowe wyjście (domyślnie KVTML)\n"
        "  dydaktor-db scramble FILE                 wiersze zwykłe -> zakodowane\n"
        "  dydaktor-db unscramble FILE               wiersze zakodowane -> zwykłe\n",
        stderr);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "dydaktor-db: %s\n", message.c_str());
    return kExitUnusable;
}

void Write(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

std::string ProgramDirOf(std::string_view installDir) {
    std::string dir(installDir);
    if (dir.empty()) {
        dir = ".";
    }
    if (dir.back() != '/') {
        dir.push_back('/');
    }
    return dir;
}

// The installed package's data folder beside this tool (bin/../share/dydaktor).
std::string PackageDataFolder() {
    std::error_code ignored;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ignored);
    if (self.empty()) {
        return {};
    }
    return self.parent_path().string() + "/" + std::string(PackageDataFromProgram());
}

// Opens the installation and its database as the login does (without a learner). An installation
// that cannot be written, and the package's data folder, are read through the user's folder over
// them, where the program keeps the learners and everything else it writes. On failure returns
// the one-line message.
bool OpenInstallation(std::string_view installDir, std::string* error, AppPaths& paths) {
    paths.programDir = ProgramDirOf(installDir);
    if (!DirectoryExists(paths.programDir)) {
        *error = "nie ma katalogu instalacji " + std::string(installDir);
        return false;
    }
    if (!FileExistsUnder(paths.programDir, kInstallMarker)) {
        *error = "w katalogu " + std::string(installDir) +
                 " nie ma pliku ds50.ini: to nie jest instalacja programu";
        return false;
    }
    const WorkFolder work = WorkFolderFor(
        {paths.programDir, !SameFolder(paths.programDir, PackageDataFolder())});
    if (work.dir.empty()) {
        *error = work.error;
        return false;
    }
    paths.programDir = work.dir;
    const std::optional<std::string> ini =
        ReadFileBytes(ResolvePath(paths.programDir, kInstallMarker));
    if (!ini) {
        *error = "w katalogu " + std::string(installDir) +
                 " nie ma pliku ds50.ini: to nie jest instalacja programu";
        return false;
    }
    paths.discRoot = ParseDs50Ini(*ini).discRoot;
    paths.languageDir = std::string(kLanguageDir);
    return true;
}

bool OpenDatabase(std::string_view installDir, std::string_view code, std::string* error,
                  AppPaths& paths, CourseDatabase& db, LoadLog& log) {
    if (!OpenInstallation(installDir, error, paths)) {
        return false;
    }
    const std::string folder = ResolvePath(paths.programDir, "db/" + std::string(code) + "/");
    if (code.empty() || !DirectoryExists(folder)) {
        *error = "nie ma bazy " + std::string(code) + " w katalogu " + paths.programDir + "db";
        return false;
    }
    std::string name = folder.substr(0, folder.size() - 1);
    name = name.substr(name.rfind('/') + 1);
    paths.databaseCode = name;
    paths.databaseDir = folder;
    if (!LoadDatabaseParameters(paths, db, log)) {
        *error = "baza " + name + ": brak pliku dyda_s.txt (" +
                 std::string(kParametersMissingMessage) + ")";
        return false;
    }
    LoadDatabase(paths, db, log);
    return true;
}

int List(std::string_view installDir) {
    AppPaths paths;
    std::string error;
    if (!OpenInstallation(installDir, &error, paths)) {
        return Fail(error);
    }
    const DatabaseList list = BuildDatabaseList(paths.programDir);
    for (const DatabaseEntry& entry : list.entries) {
        if (entry.code.empty()) {
            continue;
        }
        AppPaths dbPaths;
        CourseDatabase db;
        LoadLog log;
        std::string dbError;
        std::string line = entry.code + "\t" + ToUtf8(entry.title, CodePage::Cp1250);
        if (OpenDatabase(installDir, entry.code, &dbError, dbPaths, db, log)) {
            line += "\tjęzyk " + std::to_string(db.params.language) + ", jednostek " +
                    std::to_string(db.units.unitCount()) + " (słówek " +
                    std::to_string(db.units.wordUnitCount) + "), relacji " +
                    std::to_string(db.relations.size()) + ", grup " +
                    std::to_string(db.groups.size());
        }
        Write(line + "\n");
    }
    if (list.skipped > 0) {
        std::fprintf(stderr, "dydaktor-db: %d baz ponad %d nie zmieściło się na liście\n",
                     list.skipped, kMaxDatabases);
    }
    return kExitOk;
}

void DumpUnits(const CourseDatabase& db) {
    const CodePage foreign = db.params.foreignCodePage();
    const auto polish = [](const std::string& text) { return ToUtf8(text, CodePage::Cp1250); };
    std::string out;
    out.reserve(1 << 20);
    for (int n = 1; n <= db.units.unitCount(); ++n) {
        const Unit& u = db.units.unit(n);
        out += Line({{"number", n},
                     {"unitId", u.unitId},
                     {"unitKind", u.unitKind},
                     {"partOfSpeech", u.partOfSpeech},
                     {"level", u.level},
                     {"groupId", u.groupId},
                     {"recordingSource", u.recordingSource},
                     {"recording", polish(u.recording)},
                     {"answerRecording", polish(u.answerRecording)},
                     {"foreignText", ToUtf8(u.foreignText, foreign)},
                     {"nativeText", polish(u.nativeText)},
                     {"plural", polish(u.plural)},
                     {"synonyms", ToUtf8(u.synonyms, foreign)},
                     {"comment", polish(u.comment)},
                     {"hint", polish(u.hint)},
                     {"extraTranslation", polish(u.extraTranslation)},
                     {"sentenceTranslation", polish(u.sentenceTranslation)},
                     {"distractors", polish(u.distractors)},
                     {"searchText", ToUtf8(u.searchText, foreign)},
                     {"userKindOverride", u.userKindOverride}});
        if (out.size() > (1 << 20)) {
            Write(out);
            out.clear();
        }
    }
    Write(out);
}

void DumpTables(const AppPaths& paths, const CourseDatabase& db) {
    const CodePage foreign = db.params.foreignCodePage();
    const auto polish = [](const std::string& text) { return ToUtf8(text, CodePage::Cp1250); };
    std::string out;
    for (const Group& g : db.groups) {
        out += Line({{"table", "groups"},
                     {"groupId", g.groupId},
                     {"listed", g.listed},
                     {"tag", polish(g.tag)},
                     {"name", polish(g.name)},
                     {"extra", polish(g.extra)}});
    }
    for (const Relation& r : db.relations) {
        out += Line({{"table", "relations"},
                     {"unitId", r.unitId},
                     {"relatedId", r.relatedId},
                     {"flag", r.flag}});
    }
    for (const Substitution& s : db.substitutions) {
        out += Line({{"table", "substitutions"},
                     {"key", ToUtf8(s.key, foreign)},
                     {"value", ToUtf8(s.value, foreign)}});
    }
    const DatabaseParameters& p = db.params;
    out += Line({{"table", "parameters"},
                 {"title", polish(p.title)},
                 {"language", p.language},
                 {"pluralExercises", p.pluralExercises},
                 {"subtitle", polish(p.subtitle)},
                 {"caseSensitive", p.caseSensitive},
                 {"learnerMade", p.learnerMade},
                 {"dictionaryTitle", polish(p.dictionaryTitle)},
                 {"databaseCode", polish(p.databaseCode)},
                 {"recordingsPath", polish(p.recordingsPath)},
                 {"author", polish(p.author)},
                 {"freeText", polish(p.freeText)},
                 {"nativeLanguage", p.nativeLanguage},
                 {"learningMode2", p.learningMode2},
                 {"userIdLow", p.userIdLow},
                 {"userIdHigh", p.userIdHigh},
                 {"charsetIndex", p.charsetIndex},
                 {"charset", p.charset()},
                 {"extraNumber", p.extraNumber},
                 {"discRootPrefix", p.discRootPrefix},
                 {"recordingsDir", polish(paths.recordingsDir)},
                 {"unitCount", db.units.unitCount()},
                 {"wordUnitCount", db.units.wordUnitCount}});
    Write(out);
}

int Dump(std::string_view installDir, std::string_view code, bool tables) {
    AppPaths paths;
    CourseDatabase db;
    LoadLog log;
    std::string error;
    if (!OpenDatabase(installDir, code, &error, paths, db, log)) {
        return Fail(error);
    }
    DumpUnits(db);
    if (tables) {
        DumpTables(paths, db);
    }
    return kExitOk;
}

int Check(std::string_view installDir, std::string_view code) {
    AppPaths paths;
    CourseDatabase db;
    LoadLog log;
    std::string error;
    if (!OpenDatabase(installDir, code, &error, paths, db, log)) {
        return Fail(error);
    }
    int errors = 0;
    int warnings = 0;
    std::string out;
    for (const LoadProblem& problem : AllProblems(paths, db, log)) {
        const bool isError = problem.severity == Severity::Error;
        (isError ? errors : warnings) += 1;
        out += problem.file.empty() ? paths.databaseDir : problem.file;
        if (problem.line > 0) {
            out += ":" + std::to_string(problem.line);
        }
        out += isError ? ": błąd: " : ": ostrzeżenie: ";
        out += problem.message;
        out += '\n';
    }
    out += "Błędów: " + std::to_string(errors) + ", ostrzeżeń: " + std::to_string(warnings) +
           " (jednostek: " + std::to_string(db.units.unitCount()) +
           ", relacji: " + std::to_string(db.relations.size()) + ")\n";
    Write(out);
    return errors > 0 ? kExitProblems : kExitOk;
}

// ---- A learner's files -------------------------------------------------------------------

struct OpenedLearner {
    AppPaths paths;
    CourseDatabase db;
    LoadLog log;
    Settings settings;
    RepetitionStore repetitions;
    ExerciseHistory history;
};

// The learner's number: USER itself when it names a learner folder, otherwise the number of the
// learner of that name in usr.t (letter case of A-Z aside). 0 when there is none.
std::int32_t FindLearner(const std::string& programDir, std::string_view user) {
    if (const std::optional<std::int32_t> number = ParseInt(user)) {
        if (*number > 0 && DirectoryExists(UserDirOf(programDir, *number))) {
            return *number;
        }
    }
    const std::optional<std::string> name = FromUtf8(TrimView(user), CodePage::Cp1250);
    if (!name) {
        return 0;
    }
    for (const UserEntry& entry : LoadUserList(programDir).users) {
        if (EqualsIgnoreCaseAZ(entry.name, *name)) {
            return entry.number;
        }
    }
    return 0;
}

// Reads the database, the settings, the repetition records and the exercise history of a
// learner the way the login does, without writing anything.
bool OpenLearner(std::string_view installDir, std::string_view code, std::string_view user,
                 std::string* error, OpenedLearner& o) {
    if (!OpenInstallation(installDir, error, o.paths)) {
        return false;
    }
    const std::int32_t number = FindLearner(o.paths.programDir, user);
    if (number < 1) {
        *error = "nie ma ucznia " + std::string(user) + " w instalacji " + o.paths.programDir;
        return false;
    }
    o.paths.userDir = UserDirOf(o.paths.programDir, number);
    if (!OpenDatabase(installDir, code, error, o.paths, o.db, o.log)) {
        return false;
    }
    // The settings as they stand in the file (the login would count one more start).
    const std::string name = SettingsFileName(o.paths.databaseCode);
    std::optional<std::string> bytes = ReadFileBytes(ResolvePath(o.paths.userDir, name));
    if (!bytes) {
        bytes = ReadFileBytes(ResolvePath(o.paths.databaseDir, name));
    }
    o.settings = bytes ? ParseSettings(*bytes) : Settings{};
    Settings counted = o.settings;
    LoadRepetitions(o.paths, RepetitionFileName(o.paths, kLiveSuffix), false, o.db.units,
                    o.repetitions, counted);
    LoadHistory(o.paths, o.history);
    return true;
}

template <typename T, std::size_t N>
Json JsonArray(const std::array<T, N>& values, std::size_t first, std::size_t last) {
    Json out = Json::array();
    for (std::size_t i = first; i <= last; ++i) {
        out.push_back(values[i]);
    }
    return out;
}

std::string SettingsLine(const Settings& s) {
    Json kinds = Json::array();
    for (int t = 1; t <= 4; ++t) {
        kinds.push_back(JsonArray(s.learningKinds[static_cast<std::size_t>(t)], 1, kKindSlots));
    }
    return Line({{"table", "settings"},
                 {"determiningKindWords", s.determiningKindWords},
                 {"repetitionKindRule", JsonArray(s.repetitionKindRule, 1, kKindSlots)},
                 {"intensity", s.intensity},
                 {"interludeEnabled", JsonArray(s.interludeEnabled, 1, kInterludePacks)},
                 {"interludePosition", JsonArray(s.interludePosition, 1, kInterludePacks)},
                 {"determiningKindSentences", s.determiningKindSentences},
                 {"showStatistics", s.showStatistics},
                 {"proposeSentenceExercises", s.proposeSentenceExercises},
                 {"frequencyFactor", Real(s.frequencyFactor)},
                 {"searchOptions", JsonArray(s.searchOptions, 1, 4)},
                 {"helpHintShown", s.helpHintShown},
                 {"f5HintShown", s.f5HintShown},
                 {"intensityOneInRepetitions", s.intensityOneInRepetitions},
                 {"masteredInterval", s.masteredInterval},
                 {"interludesAtEndOnly", s.interludesAtEndOnly},
                 {"startCounter", s.startCounter},
                 {"savedRecordCount", s.savedRecordCount},
                 {"knownInterval", s.knownInterval},
                 {"showSummary", s.showSummary},
                 {"learningKinds", kinds},
                 {"learningMode", s.learningMode},
                 {"newUnitsCountIndex", s.newUnitsCountIndex},
                 {"filterLevel", s.filterLevel},
                 {"filterWordClass", s.filterWordClass},
                 {"filterUnitType", s.filterUnitType},
                 {"filterLearned", s.filterLearned},
                 {"presentationNextDelay", s.presentationNextDelay},
                 {"presentationTranslationDelay", s.presentationTranslationDelay},
                 {"presentationBackground", s.presentationBackground},
                 {"groupIndex", s.groupIndex}});
}

int Learner(std::string_view installDir, std::string_view code, std::string_view user) {
    OpenedLearner o;
    std::string error;
    if (!OpenLearner(installDir, code, user, &error, o)) {
        return Fail(error);
    }
    std::string out = SettingsLine(o.settings);
    const int last = std::min(o.repetitions.recordHighWater, o.db.units.unitCount());
    for (int n = 1; n <= last; ++n) {
        const RepetitionRecord& r = o.repetitions.record(n);
        if (r.unitId <= 0) {
            continue;
        }
        const KindFlags& chosen = o.repetitions.chosenKinds[static_cast<std::size_t>(n)];
        std::array<bool, kMarkedKinds> chosenMarked{};
        for (int k = 1; k <= kMarkedKinds; ++k) {
            chosenMarked[static_cast<std::size_t>(k - 1)] = chosen[static_cast<std::size_t>(k)];
        }
        out += Line({{"number", n},
                     {"unitId", r.unitId},
                     {"firstDate", Real(r.firstDate)},
                     {"lastDate", Real(r.lastDate)},
                     {"repetitionNo", r.repetitionNo},
                     {"interval", r.interval},
                     {"previousInterval", r.previousInterval},
                     {"factor", Real(r.factor)},
                     {"kindMarks", JsonArray(r.kindMarks, 0, kMarkedKinds - 1)},
                     {"chosenKinds", JsonArray(chosenMarked, 0, kMarkedKinds - 1)},
                     {"knownFlag", r.knownFlag},
                     {"inTrash", r.inTrash}});
    }
    const CodePage page = o.db.params.foreignCodePage();
    for (int i = 1; i <= o.history.count(); ++i) {
        const HistoryRecord& h = o.history.records[static_cast<std::size_t>(i - 1)];
        out += Line({{"table", "history"},
                     {"number", i},
                     {"id", ToUtf8(h.id, page)},
                     {"name", ToUtf8(h.name, page)},
                     {"kind", h.kind},
                     {"key", h.key},
                     {"level", h.level},
                     {"when", Real(h.when)},
                     {"percent", h.percent},
                     {"count", h.count},
                     {"complete", h.complete},
                     {"group", ToUtf8(h.group, page)}});
    }
    Write(out);
    return kExitOk;
}

int Due(std::string_view installDir, std::string_view code, std::string_view user,
        std::string_view todayText) {
    double today = SystemClock().Today();
    if (!todayText.empty()) {
        const std::optional<double> parsed = ParseDate(todayText);
        if (!parsed) {
            return Fail("zła data " + std::string(todayText) + " (potrzebna RRRR-MM-DD)");
        }
        today = *parsed;
    }
    OpenedLearner o;
    std::string error;
    if (!OpenLearner(installDir, code, user, &error, o)) {
        return Fail(error);
    }
    const DueUnits due = CollectDueUnits(o.repetitions, today);
    Json units = Json::array();
    for (const int unit : due.units) {
        units.push_back(unit);
    }
    const DueHistogram histogram = BuildDueHistogram(o.repetitions, today);
    Json days = Json::object();
    for (std::size_t d = 0; d < histogram.size(); ++d) {
        if (histogram[d] != 0) {
            days[std::to_string(d)] = histogram[d];
        }
    }
    Write(Line(
        {{"today", FormatDate(today)}, {"due", units}, {"total", due.total}, {"histogram", days}}));
    return kExitOk;
}

// ---- Exchange with other trainers ---------------------------------------------------------

std::optional<ExchangeFormat> FormatOf(std::string_view file, std::string_view word,
                                       std::string* error) {
    const std::optional<ExchangeFormat> format =
        !word.empty() ? ExchangeFormatOfWord(word)
        : file == "-" ? std::optional<ExchangeFormat>(ExchangeFormat::Kvtml)
                      : ExchangeFormatOfName(file);
    if (!format) {
        *error = word.empty() ? "nie wiem, jaki to rodzaj pliku: " + std::string(file) +
                                    " (potrzebne rozszerzenie .kvtml, .tsv albo .csv, "
                                    "albo --format)"
                              : "nieznany format " + std::string(word) + " (kvtml, tsv albo csv)";
    }
    return format;
}

int Export(std::string_view installDir, std::string_view code, std::string_view file,
           std::string_view setId, std::string_view formatWord) {
    std::string error;
    const std::optional<ExchangeFormat> format = FormatOf(file, formatWord, &error);
    if (!format) {
        return Fail(error);
    }
    AppPaths paths;
    CourseDatabase db;
    LoadLog log;
    if (!OpenDatabase(installDir, code, &error, paths, db, log)) {
        return Fail(error);
    }
    ExchangeList list;
    if (setId.empty()) {
        list = EntriesOfDatabase(db);
    } else {
        CurrentSet set;
        SessionPlan plan;
        LoadSet(paths, db.params.language, setId, set, plan);
        if (set.count == 0) {
            return Fail("w bazie " + paths.databaseCode + " nie ma ćwiczenia " +
                        std::string(setId));
        }
        std::vector<int> numbers;
        for (int i = 0; i < set.count; ++i) {
            const int n = db.units.IndexOfUnitId(set.codes[static_cast<std::size_t>(i)]);
            if (n > 0) {
                numbers.push_back(n);
            }
        }
        list = EntriesOfUnits(db, numbers);
        // The set's name becomes the file's title.
        const std::string setFile = setId.front() == '2'
                                        ? UserSetFilePath(paths, db.params.language)
                                        : ShippedSetFilePath(paths, db.params.language);
        const std::string setBytes =
            setFile.empty() ? std::string() : ReadFileBytes(setFile).value_or(std::string());
        for (const std::string_view line : SplitLines(setBytes)) {
            SetLine fields;
            if (ParseSetLine(line, fields) &&
                EqualsIgnoreCaseAZ(fields.identifier, TrimView(setId))) {
                list.title = ToUtf8(fields.name, CodePage::Cp1250);
                break;
            }
        }
    }
    const std::string bytes = WriteExchange(list, *format);
    if (file == "-") {
        Write(bytes);
        return kExitOk;
    }
    if (!WriteFileAtomically(std::string(file), bytes, &error)) {
        return Fail("nie zapisałem pliku " + std::string(file) + ": " + error);
    }
    Write("Zapisano jednostek: " + std::to_string(list.entries.size()) + " do " +
          std::string(file) + "\n");
    return kExitOk;
}

// The ids that kept repetition records or comments of any learner of the installation still
// name: a unit the import adds must take none of them, whoever logs in next.
std::vector<std::int32_t> KeptIdsOfAllLearners(const AppPaths& databasePaths, CourseDatabase& db) {
    // Learners listed in usr.t and learner folders on disk (a folder whose learner left the
    // list still holds his records).
    std::vector<std::int32_t> learners;
    for (const UserEntry& entry : LoadUserList(databasePaths.programDir).users) {
        learners.push_back(entry.number);
    }
    std::error_code ignored;
    for (const auto& item :
         std::filesystem::directory_iterator(databasePaths.programDir, ignored)) {
        const std::string name = item.path().filename().string();
        if (const std::optional<std::int32_t> number = ParseInt(name);
            number && *number > 0 && item.is_directory(ignored)) {
            learners.push_back(*number);
        }
    }
    std::sort(learners.begin(), learners.end());
    learners.erase(std::unique(learners.begin(), learners.end()), learners.end());
    std::vector<std::int32_t> ids;
    for (const std::int32_t learner : learners) {
        AppPaths paths = databasePaths;
        paths.userDir = UserDirOf(paths.programDir, learner);
        if (!DirectoryExists(paths.userDir)) {
            continue;
        }
        LoadLog log;
        db.keptCommentLines.clear();
        LoadComments(paths, db, log);
        RepetitionStore store;
        Settings settings;
        LoadRepetitions(paths, RepetitionFileName(paths, kLiveSuffix), false, db.units, store,
                        settings);
        const std::vector<std::int32_t> kept = KeptUnitIds(db, store);
        ids.insert(ids.end(), kept.begin(), kept.end());
    }
    db.keptCommentLines.clear();
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

int Import(std::string_view installDir, std::string_view code, std::string_view file,
           std::string_view formatWord) {
    std::string error;
    const std::optional<ExchangeFormat> format = FormatOf(file, formatWord, &error);
    if (!format) {
        return Fail(error);
    }
    AppPaths paths;
    CourseDatabase db;
    LoadLog log;
    if (!OpenDatabase(installDir, code, &error, paths, db, log)) {
        return Fail(error);
    }
    // A running copy would write its own table of learner units over the file at its next
    // save: the import waits until no copy runs.
    bool alone = true;
    const std::unique_ptr<InstallationLock> lock = InstallationLock::Take(paths.programDir, &alone);
    if (lock && !alone) {
        return Fail(
            "program działa na tej instalacji: zamknij go przed importem, bo przy "
            "zapisie nadpisałby zaimportowane jednostki");
    }
    const std::vector<std::int32_t> kept = KeptIdsOfAllLearners(paths, db);
    const std::int32_t low = db.params.userIdLow;
    const std::int32_t high = db.params.userIdHigh;
    std::int32_t firstId = ComputeNextUserId(db.units, low, high);
    for (const std::int32_t id : kept) {
        if (id > low && id < high && id >= firstId) {
            firstId = id + 1;
        }
    }
    const ExchangeImportResult result =
        ImportExchangeFile(std::string(file), format, db, kept, firstId);
    if (!result.errors.empty()) {
        std::string out;
        for (const ExchangeError& e : result.errors) {
            out += ExchangeErrorText(e) + "\n";
        }
        std::fputs(out.c_str(), stderr);
        std::fprintf(stderr, "dydaktor-db: nic nie zaimportowano (błędów: %zu)\n",
                     result.errors.size());
        return kExitProblems;
    }
    const SaveLearnerUnitsResult saved = SaveLearnerUnits(paths, db.units);
    if (!saved.written) {
        return Fail("nie zapisałem pliku " + paths.databaseDir + std::string(kLearnerUnitsFile) +
                    ": " + saved.error);
    }
    const Unit& first = db.units.unit(result.firstUnit);
    const Unit& last = db.units.unit(result.firstUnit + result.imported - 1);
    Write(ExchangeImportedText(result.imported) + " (kody " + std::to_string(first.unitId) + "-" +
          std::to_string(last.unitId) + ", plik " + paths.databaseDir +
          std::string(kLearnerUnitsFile) + ")\n");
    return kExitOk;
}

int Scramble(std::string_view file, bool scramble) {
    const std::optional<std::string> bytes = ReadFileBytes(std::string(file));
    if (!bytes) {
        return Fail("nie mogę odczytać pliku " + std::string(file));
    }
    std::string out;
    out.reserve(bytes->size() * 2 + 64);
    for (const std::string_view line : SplitLines(*bytes)) {
        out += scramble ? ScrambleLine(line) : UnscrambleLine(line);
        out += "\r\n";
    }
    Write(out);
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    bool tables = false;
    std::string_view today;
    bool todayMissing = false;
    std::string_view setId;
    std::string_view formatWord;
    bool valueMissing = false;
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] == "--tables") {
            tables = true;
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (args[i] == "--today") {
            todayMissing = i + 1 >= args.size();
            today = todayMissing ? std::string_view() : args[i + 1];
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                       args.begin() + static_cast<std::ptrdiff_t>(std::min(i + 2, args.size())));
        } else if (args[i] == "--set" || args[i] == "--format") {
            valueMissing = valueMissing || i + 1 >= args.size();
            (args[i] == "--set" ? setId : formatWord) =
                i + 1 < args.size() ? args[i + 1] : std::string_view();
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                       args.begin() + static_cast<std::ptrdiff_t>(std::min(i + 2, args.size())));
        } else if (args[i].rfind("--today=", 0) == 0) {
            today = args[i].substr(8);
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    if (todayMissing || valueMissing) {
        Usage();
        return kExitUnusable;
    }
    if (args.empty() || args[0] == "-h" || args[0] == "--help") {
        Usage();
        return args.empty() ? kExitUnusable : kExitOk;
    }
    const std::string_view command = args[0];
    int result = -1;
    if ((!setId.empty() || !formatWord.empty()) && command != "export" && command != "import") {
        Usage();
        return kExitUnusable;
    }
    if (command == "list" && args.size() == 2) {
        result = List(args[1]);
    } else if (command == "dump" && args.size() == 3) {
        result = Dump(args[1], args[2], tables);
    } else if (command == "check" && args.size() == 3 && !tables && today.empty()) {
        result = Check(args[1], args[2]);
    } else if (command == "learner" && args.size() == 4 && !tables && today.empty()) {
        result = Learner(args[1], args[2], args[3]);
    } else if (command == "due" && args.size() == 4 && !tables) {
        result = Due(args[1], args[2], args[3], today);
    } else if (command == "export" && args.size() == 4 && !tables && today.empty()) {
        result = Export(args[1], args[2], args[3], setId, formatWord);
    } else if (command == "import" && args.size() == 4 && !tables && today.empty() &&
               setId.empty()) {
        result = Import(args[1], args[2], args[3], formatWord);
    } else if ((command == "scramble" || command == "unscramble") && args.size() == 2 && !tables) {
        result = Scramble(args[1], command == "scramble");
    }
    if (result < 0) {
        Usage();
        return kExitUnusable;
    }
    std::fflush(stdout);
    return std::ferror(stdout) ? kExitUnusable : result;
}
