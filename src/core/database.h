#pragma once

// A course database: its parameters file dyda_s.txt, the base, relation and substitution files,
// and the loading that fills the unit, group, relation and substitution tables.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/codepage.h"
#include "core/paths.h"
#include "core/unit_table.h"

namespace dyd {

inline constexpr std::string_view kParametersFile = "dyda_s.txt";

// The 18 lines of dyda_s.txt.
struct DatabaseParameters {
    std::string title;                // 1, not trimmed
    std::int32_t language = 1;        // 2, 1..8
    bool pluralExercises = false;     // 3
    std::string subtitle;             // 4
    bool caseSensitive = false;       // 5
    bool learnerMade = false;         // 6
    std::string dictionaryTitle;      // 7
    std::string databaseCode;         // 8, as written in the file (the folder name is what counts)
    std::string recordingsPath;       // 9
    std::string author;               // 10
    std::string freeText;             // 11
    std::int32_t nativeLanguage = 6;  // 12
    bool learningMode2 = false;       // 13
    std::int32_t userIdLow = 0;       // 14
    std::int32_t userIdHigh = 0;      // 15
    std::int32_t charsetIndex = 0;    // 16
    std::int32_t extraNumber = 0;     // 17
    bool discRootPrefix = false;      // 18

    // The character set of the foreign texts: 238, 0 or 204, from charsetIndex.
    int charset() const;
    CodePage foreignCodePage() const { return CodePageOfCharset(charset()); }
};

int CharsetOfIndex(std::int32_t charsetIndex);

enum class Severity { Warning, Error };

// Something a loader met that a course author should know about.
struct LoadProblem {
    std::string file;  // file name relative to the installation
    int line = 0;      // 1-based; 0 when no line applies
    Severity severity = Severity::Error;
    std::string message;  // UTF-8
};

// Messages that the program shows while a database opens.
enum class LoadNotice {
    UserIdRangeNarrow,        // "Proszę sprawdzić ograniczenie kodów nowych słówek!"
    RecordingsFolderMissing,  // "Nie mogę znaleźć katalogu z nagraniami dźwiękowymi (...)..."
    RecordingsDiscMissing,    // "Brak płyty z nagraniami dźwiękowymi. ..."
};

inline constexpr std::string_view kParametersMissingMessage =
    "Brak plików systemowych programu (parametry bazy) !";

// The text shown for a notice (UTF-8); recordingsFolder completes the folder message.
std::string NoticeText(LoadNotice notice, std::string_view recordingsFolder);

// Where a unit row came from.
struct UnitOrigin {
    std::int32_t file = -1;  // index into LoadLog::files
    std::int32_t line = 0;
};

struct LoadLog {
    std::vector<LoadNotice> notices;
    std::vector<LoadProblem> problems;
    std::vector<std::string> files;           // the files read, relative to programDir
    std::vector<UnitOrigin> origins;          // per unit number n at n - 1
    std::vector<UnitOrigin> relationOrigins;  // per relation
    bool unitCapacityReached = false;
    bool relationCapacityReached = false;
};

void AddLoadProblem(LoadLog* log, std::string_view file, int line, Severity severity,
                    std::string message);

// A file name relative to programDir, for messages.
std::string RelativeToProgram(const AppPaths& paths, const std::string& full);

struct CourseDatabase {
    DatabaseParameters params;
    UnitTable units;
    std::vector<Group> groups;
    std::vector<Relation> relations;
    std::vector<Substitution> substitutions;
    bool correctionMode = false;
    bool commentsDirty = false;
    // Lines of the comments file whose unit the database does not hold (its learner units could
    // not be read, say), as read. They are written back after the others, so that a comment
    // comes back with its unit instead of vanishing at the next save.
    std::vector<std::string> keptCommentLines;
};

// The parameters from the bytes of dyda_s.txt; problems with numbers are added to log.
DatabaseParameters ParseDatabaseParameters(std::string_view bytes, LoadLog* log = nullptr,
                                           std::string_view fileName = kParametersFile);
// The 18 lines, CR LF after each.
std::string FormatDatabaseParameters(const DatabaseParameters& params,
                                     std::string_view databaseCode);

// The recordings folder (native, ending in "/") and the disc root with its separator.
std::string FormRecordingsDir(const AppPaths& paths, const DatabaseParameters& params,
                              std::string* discRoot = nullptr);

// Reads dyda_s.txt of paths.databaseDir, forms paths.recordingsDir and checks its p.txt (not for
// a learner-made database), loads the groups and the substitution pairs. False when the
// parameters file is missing: the program must end with kParametersMissingMessage.
bool LoadDatabaseParameters(AppPaths& paths, CourseDatabase& db, LoadLog& log);

// Writes the 18 lines to programDir + "db/" + databaseCode + "/dyda_s.txt" (atomically).
bool SaveDatabaseParameters(const AppPaths& paths, const DatabaseParameters& params,
                            std::string* error = nullptr);

// Fills the unit and relation tables from the base files, the learner units and the relation
// files, with the searchText of the sentence rows (as BuildSearchTexts gives it); then the
// learner's comments (when paths.userDir is set) and, in correction mode (korekta_panel.cfg in
// programDir), the corrections.
void LoadDatabase(const AppPaths& paths, CourseDatabase& db, LoadLog& log);

// The base files of a language: word file, sentence file, relation file; empty for 7, 8 and
// numbers without files.
struct LanguageFiles {
    std::string_view words;
    std::string_view sentences;
    std::string_view relations;
};
LanguageFiles LanguageBaseFiles(std::int32_t language);

// ---- Base lines --------------------------------------------------------------------------

enum class BaseLineFormat {
    Current,      // ten fields, kind markers n / z / q / qs
    OlderLearner  // learner units of an earlier edition: eight fields, "s" in field 9 for QA
};

enum class BaseLineResult {
    Row,      // the unit is filled and takes a row
    NoRow,    // its id is below 1: the line takes no row
    Skipped,  // a numeric column is not a number (why says which)
};

// Fills unit from one trimmed, plain base line of at least 8 characters.
BaseLineResult ParseBaseLine(std::string_view line, BaseLineFormat format, Unit& unit,
                             std::string* why = nullptr);

// The scrambling of b_sb_50s.txt and b_sb_50z.txt.
inline constexpr unsigned char kScrambleOffset = 7;
std::string UnscrambleLine(std::string_view storedLine);
// The same into a buffer the caller keeps (no allocation per line).
void UnscrambleLineInto(std::string_view storedLine, std::string& plain);
// A stored line that unscrambles to exactly plainLine (deterministic).
std::string ScrambleLine(std::string_view plainLine);

// The relation entry of a trimmed con-file line of at least 8 characters.
bool ParseRelationLine(std::string_view line, Relation& relation, std::string* why = nullptr);

// The substitution pairs of an ss_ file (at most kMaxSubstitutions).
std::vector<Substitution> ParseSubstitutions(std::string_view bytes);

}  // namespace dyd
