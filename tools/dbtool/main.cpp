// dydaktor-db: the course author's tool. Shows what the program reads from a course database,
// lists what an author must fix, and prepares the scrambled companion files.

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/codepage.h"
#include "core/database.h"
#include "core/database_check.h"
#include "core/database_list.h"
#include "core/files.h"
#include "core/markup.h"
#include "core/paths.h"
#include "core/text.h"
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
        "  dydaktor-db scramble FILE                 wiersze zwykłe -> zakodowane\n"
        "  dydaktor-db unscramble FILE               wiersze zakodowane -> zwykłe\n",
        stderr);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "dydaktor-db: %s\n", message.c_str());
    return kExitUnusable;
}

void Write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

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
           " (jednostek: " + std::to_string(db.units.unitCount()) + ", relacji: " +
           std::to_string(db.relations.size()) + ")\n";
    Write(out);
    return errors > 0 ? kExitProblems : kExitOk;
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
    std::erase_if(args, [&tables](std::string_view a) {
        if (a == "--tables") {
            tables = true;
            return true;
        }
        return false;
    });
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
    } else if (command == "check" && args.size() == 3 && !tables) {
        result = Check(args[1], args[2]);
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
