// dydaktor-db: the course author's tool. Shows what the program reads from a course database,
// lists what an author must fix, and prepares the scrambled companion files.

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/codepage.h"
#include "core/database.h"
#include "core/database_check.h"
#include "core/database_list.h"
#include "core/datetime.h"
#include "core/files.h"
#include "core/history.h"
#include "core/markup.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/scheduling.h"
#include "core/settings.h"
#include "core/text.h"
#include "core/users.h"
#include "json.h"

namespace {

using namespace dyd;
using tool::JsonLine;

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

// Opens the installation and its database as the login does (without a learner). On failure
// returns the one-line message.
bool OpenInstallation(std::string_view installDir, std::string* error, AppPaths& paths) {
    paths.programDir = ProgramDirOf(installDir);
    if (!DirectoryExists(paths.programDir)) {
        *error = "nie ma katalogu instalacji " + std::string(installDir);
        return false;
    }
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
        out += JsonLine()
                   .Number("number", n)
                   .Number("unitId", u.unitId)
                   .Number("unitKind", u.unitKind)
                   .Number("partOfSpeech", u.partOfSpeech)
                   .Number("level", u.level)
                   .Number("groupId", u.groupId)
                   .Number("recordingSource", u.recordingSource)
                   .Text("recording", polish(u.recording))
                   .Text("answerRecording", polish(u.answerRecording))
                   .Text("foreignText", ToUtf8(u.foreignText, foreign))
                   .Text("nativeText", polish(u.nativeText))
                   .Text("plural", polish(u.plural))
                   .Text("synonyms", ToUtf8(u.synonyms, foreign))
                   .Text("comment", polish(u.comment))
                   .Text("hint", polish(u.hint))
                   .Text("extraTranslation", polish(u.extraTranslation))
                   .Text("sentenceTranslation", polish(u.sentenceTranslation))
                   .Text("distractors", polish(u.distractors))
                   .Text("searchText", ToUtf8(u.searchText, foreign))
                   .Number("userKindOverride", u.userKindOverride)
                   .Finish();
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
        out += JsonLine()
                   .Text("table", "groups")
                   .Number("groupId", g.groupId)
                   .Number("listed", g.listed)
                   .Text("tag", polish(g.tag))
                   .Text("name", polish(g.name))
                   .Text("extra", polish(g.extra))
                   .Finish();
    }
    for (const Relation& r : db.relations) {
        out += JsonLine()
                   .Text("table", "relations")
                   .Number("unitId", r.unitId)
                   .Number("relatedId", r.relatedId)
                   .Number("flag", r.flag)
                   .Finish();
    }
    for (const Substitution& s : db.substitutions) {
        out += JsonLine()
                   .Text("table", "substitutions")
                   .Text("key", ToUtf8(s.key, foreign))
                   .Text("value", ToUtf8(s.value, foreign))
                   .Finish();
    }
    const DatabaseParameters& p = db.params;
    out += JsonLine()
               .Text("table", "parameters")
               .Text("title", polish(p.title))
               .Number("language", p.language)
               .Bool("pluralExercises", p.pluralExercises)
               .Text("subtitle", polish(p.subtitle))
               .Bool("caseSensitive", p.caseSensitive)
               .Bool("learnerMade", p.learnerMade)
               .Text("dictionaryTitle", polish(p.dictionaryTitle))
               .Text("databaseCode", polish(p.databaseCode))
               .Text("recordingsPath", polish(p.recordingsPath))
               .Text("author", polish(p.author))
               .Text("freeText", polish(p.freeText))
               .Number("nativeLanguage", p.nativeLanguage)
               .Bool("learningMode2", p.learningMode2)
               .Number("userIdLow", p.userIdLow)
               .Number("userIdHigh", p.userIdHigh)
               .Number("charsetIndex", p.charsetIndex)
               .Number("charset", p.charset())
               .Number("extraNumber", p.extraNumber)
               .Bool("discRootPrefix", p.discRootPrefix)
               .Text("recordingsDir", polish(paths.recordingsDir))
               .Number("unitCount", db.units.unitCount())
               .Number("wordUnitCount", db.units.wordUnitCount)
               .Finish();
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
std::string JsonArray(const std::array<T, N>& values, std::size_t first, std::size_t last) {
    std::string out = "[";
    for (std::size_t i = first; i <= last; ++i) {
        if (i > first) {
            out += ',';
        }
        if constexpr (std::is_same_v<T, bool>) {
            out += values[i] ? "true" : "false";
        } else {
            out += std::to_string(values[i]);
        }
    }
    return out + "]";
}

std::string SettingsLine(const Settings& s) {
    std::string kinds = "[";
    for (int t = 1; t <= 4; ++t) {
        kinds += (t > 1 ? "," : "") +
                 JsonArray(s.learningKinds[static_cast<std::size_t>(t)], 1, kKindSlots);
    }
    kinds += "]";
    return JsonLine()
        .Text("table", "settings")
        .Number("determiningKindWords", s.determiningKindWords)
        .Raw("repetitionKindRule", JsonArray(s.repetitionKindRule, 1, kKindSlots))
        .Number("intensity", s.intensity)
        .Raw("interludeEnabled", JsonArray(s.interludeEnabled, 1, kInterludePacks))
        .Raw("interludePosition", JsonArray(s.interludePosition, 1, kInterludePacks))
        .Number("determiningKindSentences", s.determiningKindSentences)
        .Bool("showStatistics", s.showStatistics)
        .Bool("proposeSentenceExercises", s.proposeSentenceExercises)
        .Real("frequencyFactor", s.frequencyFactor)
        .Raw("searchOptions", JsonArray(s.searchOptions, 1, 4))
        .Bool("helpHintShown", s.helpHintShown)
        .Bool("f5HintShown", s.f5HintShown)
        .Bool("intensityOneInRepetitions", s.intensityOneInRepetitions)
        .Number("masteredInterval", s.masteredInterval)
        .Bool("interludesAtEndOnly", s.interludesAtEndOnly)
        .Number("startCounter", s.startCounter)
        .Number("savedRecordCount", s.savedRecordCount)
        .Number("knownInterval", s.knownInterval)
        .Bool("showSummary", s.showSummary)
        .Raw("learningKinds", kinds)
        .Number("learningMode", s.learningMode)
        .Number("newUnitsCountIndex", s.newUnitsCountIndex)
        .Number("filterLevel", s.filterLevel)
        .Number("filterWordClass", s.filterWordClass)
        .Number("filterUnitType", s.filterUnitType)
        .Number("filterLearned", s.filterLearned)
        .Number("presentationNextDelay", s.presentationNextDelay)
        .Number("presentationTranslationDelay", s.presentationTranslationDelay)
        .Number("presentationBackground", s.presentationBackground)
        .Number("groupIndex", s.groupIndex)
        .Finish();
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
        out += JsonLine()
                   .Number("number", n)
                   .Number("unitId", r.unitId)
                   .Real("firstDate", r.firstDate)
                   .Real("lastDate", r.lastDate)
                   .Number("repetitionNo", r.repetitionNo)
                   .Number("interval", r.interval)
                   .Number("previousInterval", r.previousInterval)
                   .Real("factor", r.factor)
                   .Raw("kindMarks", JsonArray(r.kindMarks, 0, kMarkedKinds - 1))
                   .Raw("chosenKinds", JsonArray(chosenMarked, 0, kMarkedKinds - 1))
                   .Number("knownFlag", r.knownFlag)
                   .Number("inTrash", r.inTrash)
                   .Finish();
    }
    const CodePage page = o.db.params.foreignCodePage();
    for (int i = 1; i <= o.history.count(); ++i) {
        const HistoryRecord& h = o.history.records[static_cast<std::size_t>(i - 1)];
        out += JsonLine()
                   .Text("table", "history")
                   .Number("number", i)
                   .Text("id", ToUtf8(h.id, page))
                   .Text("name", ToUtf8(h.name, page))
                   .Number("kind", h.kind)
                   .Number("key", h.key)
                   .Number("level", h.level)
                   .Real("when", h.when)
                   .Number("percent", h.percent)
                   .Number("count", h.count)
                   .Number("complete", h.complete)
                   .Text("group", ToUtf8(h.group, page))
                   .Finish();
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
    std::string units = "[";
    for (std::size_t i = 0; i < due.units.size(); ++i) {
        units += (i > 0 ? "," : "") + std::to_string(due.units[i]);
    }
    units += "]";
    const DueHistogram histogram = BuildDueHistogram(o.repetitions, today);
    std::string days = "{";
    for (std::size_t d = 0; d < histogram.size(); ++d) {
        if (histogram[d] != 0) {
            days += (days.size() > 1 ? ",\"" : "\"") + std::to_string(d) +
                    "\":" + std::to_string(histogram[d]);
        }
    }
    days += "}";
    Write(JsonLine()
              .Text("today", FormatDate(today))
              .Raw("due", units)
              .Number("total", due.total)
              .Raw("histogram", days)
              .Finish());
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
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] == "--tables") {
            tables = true;
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (args[i] == "--today") {
            todayMissing = i + 1 >= args.size();
            today = todayMissing ? std::string_view() : args[i + 1];
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                       args.begin() + static_cast<std::ptrdiff_t>(std::min(i + 2, args.size())));
        } else if (args[i].rfind("--today=", 0) == 0) {
            today = args[i].substr(8);
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    if (todayMissing) {
        Usage();
        return kExitUnusable;
    }
    if (args.empty() || args[0] == "-h" || args[0] == "--help") {
        Usage();
        return args.empty() ? kExitUnusable : kExitOk;
    }
    const std::string_view command = args[0];
    int result = -1;
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
