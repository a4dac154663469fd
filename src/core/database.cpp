#include "core/database.h"

#include <algorithm>
#include <array>

#include "core/files.h"
#include "core/learner_files.h"
#include "core/markup.h"
#include "core/recording_path.h"
#include "core/text.h"

namespace dyd {

int CharsetOfIndex(std::int32_t charsetIndex) {
    switch (charsetIndex) {
        case 1:
            return 0;
        case 2:
            return 204;
        default:
            return 238;
    }
}

int DatabaseParameters::charset() const {
    return CharsetOfIndex(charsetIndex);
}

std::string NoticeText(LoadNotice notice, std::string_view recordingsFolder) {
    switch (notice) {
        case LoadNotice::UserIdRangeNarrow:
            return "Proszę sprawdzić ograniczenie kodów nowych słówek!";
        case LoadNotice::RecordingsFolderMissing:
            return "Nie mogę znaleźć katalogu z nagraniami dźwiękowymi (" +
                   std::string(recordingsFolder) + "). Program może działać niepoprawnie.";
        case LoadNotice::RecordingsDiscMissing:
            break;
    }
    return "Brak płyty z nagraniami dźwiękowymi. Program może działać niepoprawnie!";
}

LanguageFiles LanguageBaseFiles(std::int32_t language) {
    switch (language) {
        case 1:
            return {"b_sba_50.txt", "b_zda_50.txt", "con_a.txt"};
        case 2:
            return {"b_sbn_50.txt", "b_zdn_50.txt", "con_n.txt"};
        case 3:
            return {"b_sbf_50.txt", "b_zdf_50.txt", "con_f.txt"};
        case 4:
            return {"b_sbh_50.txt", "b_zdh_50.txt", "con_h.txt"};
        case 5:
            return {"b_sbw_50.txt", "b_zdw_50.txt", "con_w.txt"};
        case 6:
            return {"b_sbr_50.txt", "b_zdr_50.txt", "con_r.txt"};
        default:
            return {};
    }
}

void AddLoadProblem(LoadLog* log, std::string_view file, int line, Severity severity,
                    std::string message) {
    if (log != nullptr) {
        log->problems.push_back({std::string(file), line, severity, std::move(message)});
    }
}

std::string RelativeToProgram(const AppPaths& paths, const std::string& full) {
    if (!paths.programDir.empty() &&
        full.compare(0, paths.programDir.size(), paths.programDir) == 0) {
        return full.substr(paths.programDir.size());
    }
    return full;
}

// ---- Parameters ----------------------------------------------------------------------------

namespace {

std::int32_t NumberLine(std::string_view text, LoadLog* log, std::string_view file, int line) {
    const std::optional<std::int32_t> value = IntOrZero(text);
    if (!value) {
        AddLoadProblem(log, file, line, Severity::Error,
                       "wiersz " + std::to_string(line) +
                           " powinien zawierać liczbę, a zawiera \"" + std::string(TrimView(text)) +
                           "\"; przyjęto 0");
        return 0;
    }
    return *value;
}

bool FlagLine(std::string_view text) {
    const std::optional<std::int32_t> value = IntOrZero(text);
    return value && *value == 1;
}

}  // namespace

DatabaseParameters ParseDatabaseParameters(std::string_view bytes, LoadLog* log,
                                           std::string_view fileName) {
    const std::vector<std::string_view> lines = SplitLines(bytes);
    std::array<std::string_view, 19> text{};
    std::string_view previous;
    for (int i = 1; i <= 18; ++i) {
        if (static_cast<std::size_t>(i) <= lines.size()) {
            previous = lines[static_cast<std::size_t>(i - 1)];
        } else if (i == 10) {
            previous = {};
        }
        text[static_cast<std::size_t>(i)] = previous;
    }
    DatabaseParameters p;
    p.title = std::string(text[1]);
    p.language = NumberLine(text[2], log, fileName, 2);
    if (p.language == 0) {
        p.language = 1;
    }
    p.pluralExercises = FlagLine(text[3]);
    p.subtitle = Trim(text[4]);
    p.caseSensitive = FlagLine(text[5]);
    p.learnerMade = FlagLine(text[6]);
    p.dictionaryTitle = Trim(text[7]);
    p.databaseCode = Trim(text[8]);
    p.recordingsPath = Trim(text[9]);
    p.author = Trim(text[10]);
    p.freeText = Trim(text[11]);
    p.nativeLanguage = NumberLine(text[12], log, fileName, 12);
    if (p.nativeLanguage == 0) {
        p.nativeLanguage = 6;
    }
    p.learningMode2 = FlagLine(text[13]);
    p.userIdLow = NumberLine(text[14], log, fileName, 14);
    p.userIdHigh = NumberLine(text[15], log, fileName, 15);
    p.charsetIndex = NumberLine(text[16], log, fileName, 16);
    p.extraNumber = NumberLine(text[17], log, fileName, 17);
    p.discRootPrefix = FlagLine(text[18]);
    return p;
}

std::string FormatDatabaseParameters(const DatabaseParameters& p, std::string_view databaseCode) {
    std::string out;
    const auto line = [&out](std::string_view value) {
        out += value;
        out += "\r\n";
    };
    const auto flag = [&line](bool value) { line(value ? "1" : "0"); };
    line(p.title);
    line(std::to_string(p.language));
    flag(p.pluralExercises);
    line(p.subtitle);
    flag(p.caseSensitive);
    flag(p.learnerMade);
    line(p.dictionaryTitle);
    line(databaseCode);
    line(p.recordingsPath);
    line(p.author);
    line(p.freeText);
    line(std::to_string(p.nativeLanguage));
    flag(p.learningMode2);
    line(std::to_string(p.userIdLow));
    line(std::to_string(p.userIdHigh));
    line(std::to_string(p.charsetIndex));
    line(std::to_string(p.extraNumber));
    flag(p.discRootPrefix);
    return out;
}

std::string FormRecordingsDir(const AppPaths& paths, const DatabaseParameters& params,
                              std::string* discRoot) {
    std::string root = paths.discRoot;
    const std::string& path = params.recordingsPath;
    const bool rootEnds = !root.empty() && (root.back() == '\\' || root.back() == '/');
    const bool pathStarts = !path.empty() && (path.front() == '\\' || path.front() == '/');
    if (!rootEnds && !pathStarts) {
        root += '\\';
    }
    std::string folder = params.discRootPrefix ? root + path : path;
    if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) {
        folder += '\\';
    }
    if (discRoot != nullptr) {
        *discRoot = root;
    }
    return NativeFolder(paths.programDir, folder);
}

bool LoadDatabaseParameters(AppPaths& paths, CourseDatabase& db, LoadLog& log) {
    const std::string file = ResolvePath(paths.databaseDir, kParametersFile);
    const std::optional<std::string> bytes = ReadFileBytes(file);
    if (!bytes) {
        AddLoadProblem(&log, RelativeToProgram(paths, file), 0, Severity::Error,
                       std::string(kParametersMissingMessage));
        return false;
    }
    const std::string name = RelativeToProgram(paths, file);
    log.files.push_back(name);
    db.params = ParseDatabaseParameters(*bytes, &log, name);
    if (!(db.params.userIdLow + 10 < db.params.userIdHigh)) {
        log.notices.push_back(LoadNotice::UserIdRangeNarrow);
    }
    std::string discRoot;
    paths.recordingsDir = FormRecordingsDir(paths, db.params, &discRoot);
    paths.discRoot = discRoot;
    if (!db.params.learnerMade && !FileExistsUnder(paths.recordingsDir, "p.txt")) {
        log.notices.push_back(LoadNotice::RecordingsFolderMissing);
    }
    LoadGroups(paths, db, log);
    db.substitutions.clear();
    const std::string ss =
        ResolvePath(paths.programDir, "ss_" + std::to_string(db.params.language));
    if (const std::optional<std::string> ssBytes = ReadFileBytes(ss)) {
        db.substitutions = ParseSubstitutions(*ssBytes);
        log.files.push_back(RelativeToProgram(paths, ss));
    }
    return true;
}

bool SaveDatabaseParameters(const AppPaths& paths, const DatabaseParameters& params,
                            std::string* error) {
    const std::string folder = ResolvePath(paths.programDir, "db/" + paths.databaseCode + "/");
    return WriteFileAtomically(ResolvePath(folder, kParametersFile),
                               FormatDatabaseParameters(params, paths.databaseCode), error);
}

// ---- Base lines ------------------------------------------------------------------------------

namespace {

char ColumnChar(std::string_view line, std::size_t column) {
    return column <= line.size() ? line[column - 1] : ' ';
}

std::string_view Columns(std::string_view line, std::size_t first, std::size_t count) {
    if (first > line.size()) {
        return {};
    }
    return line.substr(first - 1, count);
}

bool Skip(std::string* why, std::string message) {
    if (why != nullptr) {
        *why = std::move(message);
    }
    return false;
}

// One digit column: a digit gives its value, a blank gives blankValue (when allowed).
bool DigitColumn(char c, int blankValue, bool blankAllowed, int& value) {
    if (c >= '0' && c <= '9') {
        value = c - '0';
        return true;
    }
    if (IsBlankByte(c) && blankAllowed) {
        value = blankValue;
        return true;
    }
    return false;
}

// A piece of a line quoted in a message (messages are UTF-8).
std::string Quoted(std::string_view text) {
    return "\"" + ToUtf8(text, CodePage::Cp1250) + "\"";
}

}  // namespace

namespace {

// Fills a row that holds nothing yet; the row is left untouched when the line is skipped.
// With an arena the longer texts are kept in it (the table's own arena), else each owns its bytes.
BaseLineResult FillBaseLine(std::string_view line, BaseLineFormat format, Unit& unit,
                            std::string* why, TextArena* arena = nullptr) {
    const bool older = format == BaseLineFormat::OlderLearner;
    const std::string_view groupText = Columns(line, 1, 2);
    const std::optional<std::int32_t> group = IntOrZero(groupText);
    if (!group) {
        Skip(why, "numer grupy (kolumny 1-2) nie jest liczbą: " + Quoted(groupText));
        return BaseLineResult::Skipped;
    }
    int source = 0;
    if (!DigitColumn(ColumnChar(line, 4), 0, true, source)) {
        Skip(why, "źródło nagrania (kolumna 4) nie jest cyfrą: " +
                      Quoted(std::string(1, ColumnChar(line, 4))));
        return BaseLineResult::Skipped;
    }
    const std::string_view idText = Columns(line, 5, 5);
    const std::optional<std::int32_t> id = IntOrZero(idText);
    if (!id) {
        Skip(why, "identyfikator (kolumny 5-9) nie jest liczbą: " + Quoted(idText));
        return BaseLineResult::Skipped;
    }
    int level = 0;
    if (!DigitColumn(ColumnChar(line, 11), older ? 0 : 2, !older, level)) {
        Skip(why,
             "poziom (kolumna 11) nie jest cyfrą: " + Quoted(std::string(1, ColumnChar(line, 11))));
        return BaseLineResult::Skipped;
    }
    if (level == 0 && !older) {
        level = 2;
    }
    int part = 0;
    if (!DigitColumn(ColumnChar(line, 12), 0, !older, part)) {
        Skip(why, "część mowy (kolumna 12) nie jest cyfrą: " +
                      Quoted(std::string(1, ColumnChar(line, 12))));
        return BaseLineResult::Skipped;
    }
    if (part == 0 && !older) {
        part = 4;
    }

    const EqualsFields fields(line, older ? 9 : 10);
    std::string_view recording = fields.trimmed(5);
    if (source == 0 || source == 2) {
        const std::optional<std::int32_t> number = IntOrZero(recording);
        if (!number) {
            Skip(why, "numer nagrania (pole 6) nie jest liczbą: " + Quoted(recording));
            return BaseLineResult::Skipped;
        }
        if (*number <= 0) {
            recording = {};
        }
    }

    unit.groupId = *group;
    unit.recordingSource = static_cast<std::uint8_t>(source);
    unit.unitId = *id;
    unit.level = level;
    unit.partOfSpeech = part;
    const auto put = [arena](UnitText& to, std::string_view text) {
        if (arena != nullptr) {
            to.AssignKept(text, *arena);
        } else {
            to.assign(text);
        }
    };
    const std::size_t firstEq = line.find('=');
    if (firstEq != std::string_view::npos && firstEq >= 14) {
        put(unit.foreignText, TrimView(line.substr(13, firstEq - 14)));
    }
    put(unit.nativeText, fields.trimmed(1));
    put(unit.plural, fields.trimmed(2));
    put(unit.synonyms, fields.trimmed(3));
    put(unit.comment, fields.trimmed(4));
    put(unit.recording, recording);
    put(unit.answerRecording, fields.trimmed(6));
    put(unit.hint, fields.trimmed(7));
    const std::string_view marker = fields.trimmed(8);
    if (older) {
        unit.unitKind = marker == "s" ? kQaUnit : kWordUnit;
        return unit.unitId >= 1 ? BaseLineResult::Row : BaseLineResult::NoRow;
    }
    if (marker == "z") {
        unit.unitKind = kSentenceUnit;
        unit.sentenceTranslation.ShareKept(unit.plural);
        unit.distractors.ShareKept(unit.hint);
    } else if (marker == "q") {
        unit.unitKind = kQaUnit;
        unit.sentenceTranslation.ShareKept(unit.plural);
    } else if (marker == "qs") {
        unit.unitKind = kQaUnit;
    } else {
        unit.unitKind = kWordUnit;
    }
    put(unit.extraTranslation, fields.trimmed(9));
    return unit.unitId >= 1 ? BaseLineResult::Row : BaseLineResult::NoRow;
}

}  // namespace

BaseLineResult ParseBaseLine(std::string_view line, BaseLineFormat format, Unit& unit,
                             std::string* why) {
    Unit fresh;
    const BaseLineResult result = FillBaseLine(line, format, fresh, why);
    if (result != BaseLineResult::Skipped) {
        unit = std::move(fresh);
    }
    return result;
}

void UnscrambleLineInto(std::string_view storedLine, std::string& plain) {
    plain.clear();
    const std::string_view line = TrimView(storedLine);
    if (line.size() <= 14) {
        return;
    }
    const std::string_view body = line.substr(10, line.size() - 14);
    plain.resize(body.size() / 2);
    std::size_t out = 0;
    for (std::size_t i = 0; i + 1 < body.size(); i += 2) {
        const auto second = static_cast<unsigned char>(body[i + 1]);
        plain[out++] =
            body[i] == '0'
                ? static_cast<char>(second)
                : static_cast<char>(static_cast<unsigned char>(second - kScrambleOffset));
    }
}

std::string UnscrambleLine(std::string_view storedLine) {
    std::string plain;
    UnscrambleLineInto(storedLine, plain);
    return plain;
}

std::string ScrambleLine(std::string_view plainLine) {
    if (plainLine.empty()) {
        return {};
    }
    // Filler and pair leaders come from fixed alphabets, chosen by a running sum of the line so
    // that the same line always scrambles the same way.
    static constexpr std::string_view kFiller =
        "QWERTYUIOPASDFGHJKLZXCVBNMqwertyuiopasdfghjklzxcvbnm";
    static constexpr std::string_view kLeader = "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    unsigned sum = 0;
    for (const char c : plainLine) {
        sum = sum * 31 + static_cast<unsigned char>(c);
    }
    std::string out;
    out.reserve(plainLine.size() * 2 + 14);
    for (int i = 0; i < 10; ++i) {
        out.push_back(kFiller[(sum + static_cast<unsigned>(i) * 7) % kFiller.size()]);
    }
    for (std::size_t i = 0; i < plainLine.size(); ++i) {
        const auto c = static_cast<unsigned char>(plainLine[i]);
        const auto shifted = static_cast<unsigned char>(c + kScrambleOffset);
        // A shifted byte that a reader would take for a line end or trim stays plain.
        const bool keepPlain =
            shifted == '\n' || shifted == '\r' || shifted == 0x1A || shifted == 0;
        if (keepPlain) {
            out.push_back('0');
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(kLeader[(sum + i) % kLeader.size()]);
            out.push_back(static_cast<char>(shifted));
        }
    }
    for (int i = 0; i < 4; ++i) {
        out.push_back(kFiller[(sum / 3 + static_cast<unsigned>(i) * 11) % kFiller.size()]);
    }
    return out;
}

bool ParseRelationLine(std::string_view line, Relation& relation, std::string* why) {
    // The three fields as CutFields gives them, without a vector per line.
    std::array<std::string_view, 3> fields{};
    std::size_t start = 0;
    for (std::string_view& field : fields) {
        const std::size_t eq = line.find('=', start);
        if (eq == std::string_view::npos) {
            field = line.substr(start);
            break;
        }
        field = line.substr(start, eq - start);
        start = eq + 1;
    }
    const std::optional<std::int32_t> id = IntOrZero(fields[0]);
    const std::optional<std::int32_t> related = IntOrZero(fields[1]);
    const std::optional<std::int32_t> flag = IntOrZero(fields[2]);
    if (!id || !related || !flag) {
        return Skip(why, "pola relacji muszą być liczbami: " + Quoted(line));
    }
    relation.unitId = *id;
    relation.relatedId = *related;
    relation.flag = *flag == 1 ? 1 : 0;
    return true;
}

std::vector<Substitution> ParseSubstitutions(std::string_view bytes) {
    std::vector<Substitution> pairs;
    for (const std::string_view line : SplitLines(bytes)) {
        if (pairs.size() >= static_cast<std::size_t>(kMaxSubstitutions)) {
            break;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            continue;
        }
        pairs.push_back({std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))});
    }
    return pairs;
}

// ---- Loading -------------------------------------------------------------------------------

namespace {

// A base file, read before any rows are appended.
struct BaseFile {
    std::string file;
    bool scrambled = false;
    std::optional<std::string> bytes;  // nothing when the file does not exist
    std::vector<std::string_view> lines;
};

BaseFile ReadBaseFile(const AppPaths& paths, std::string_view name, bool scrambled) {
    BaseFile base;
    base.file = ResolvePath(paths.databaseDir, name);
    base.scrambled = scrambled;
    base.bytes = ReadFileBytes(base.file);
    return base;
}

// Appends the rows of one base file; nothing when the file does not exist.
void AppendBaseFile(const AppPaths& paths, const BaseFile& base, BaseLineFormat format,
                    bool sentences, CourseDatabase& db, LoadLog& log) {
    if (!base.bytes) {
        return;
    }
    const bool scrambled = base.scrambled;
    const std::string relative = RelativeToProgram(paths, base.file);
    const auto fileIndex = static_cast<std::int32_t>(log.files.size());
    log.files.push_back(relative);
    UnitTable& units = db.units;
    const std::vector<std::string_view>& lines = base.lines;
    std::string unscrambled;
    std::string why;
    int lineNumber = 0;
    for (const std::string_view raw : lines) {
        ++lineNumber;
        if (units.unitCount() >= kMaxUnits) {
            if (!log.unitCapacityReached) {
                log.unitCapacityReached = true;
                AddLoadProblem(&log, relative, lineNumber, Severity::Error,
                               "baza ma już 25000 jednostek; dalsze wiersze pominięto");
            }
            return;
        }
        std::string_view line = TrimView(raw);
        if (scrambled) {
            UnscrambleLineInto(line, unscrambled);
            line = TrimView(unscrambled);
        }
        if (line.size() < 8) {
            if (!line.empty() || (scrambled && !TrimView(raw).empty())) {
                AddLoadProblem(&log, relative, lineNumber, Severity::Warning,
                               "wiersz krótszy niż 8 znaków pominięto");
            }
            continue;
        }
        Unit* row = units.BeginAppend();
        switch (FillBaseLine(line, format, *row, &why, &units.keptTexts())) {
            case BaseLineResult::Skipped:
                units.CancelAppend();
                AddLoadProblem(&log, relative, lineNumber, Severity::Error,
                               "wiersz pominięto: " + why);
                break;
            case BaseLineResult::NoRow:
                units.CancelAppend();
                AddLoadProblem(&log, relative, lineNumber, Severity::Warning,
                               "identyfikator mniejszy niż 1: wiersz nie tworzy jednostki");
                break;
            case BaseLineResult::Row:
                if (sentences) {
                    // The search copy is made while the row is at hand; it is the same text
                    // that BuildSearchTexts gives.
                    row->searchText.AssignKept(SearchTextOf(row->foreignText),
                                               units.keptTexts());
                }
                units.CommitAppend();
                log.origins.push_back({fileIndex, lineNumber});
                break;
        }
    }
}

void AppendRelationFile(const AppPaths& paths, std::string_view name, CourseDatabase& db,
                        LoadLog& log) {
    const std::string file = ResolvePath(paths.databaseDir, name);
    const std::optional<std::string> bytes = ReadFileBytes(file);
    if (!bytes) {
        return;
    }
    const std::string relative = RelativeToProgram(paths, file);
    const auto fileIndex = static_cast<std::int32_t>(log.files.size());
    log.files.push_back(relative);
    std::string why;
    int lineNumber = 0;
    for (const std::string_view raw : SplitLines(*bytes)) {
        ++lineNumber;
        if (db.relations.size() >= static_cast<std::size_t>(kMaxRelations)) {
            if (!log.relationCapacityReached) {
                log.relationCapacityReached = true;
                AddLoadProblem(&log, relative, lineNumber, Severity::Error,
                               "baza ma już 25000 relacji; dalsze wiersze pominięto");
            }
            return;
        }
        const std::string_view line = TrimView(raw);
        if (line.size() < 8) {
            if (!line.empty()) {
                AddLoadProblem(&log, relative, lineNumber, Severity::Warning,
                               "wiersz krótszy niż 8 znaków pominięto");
            }
            continue;
        }
        Relation relation;
        if (!ParseRelationLine(line, relation, &why)) {
            AddLoadProblem(&log, relative, lineNumber, Severity::Error, "wiersz pominięto: " + why);
            continue;
        }
        db.relations.push_back(relation);
        log.relationOrigins.push_back({fileIndex, lineNumber});
    }
}

}  // namespace

void LoadDatabase(const AppPaths& paths, CourseDatabase& db, LoadLog& log) {
    db.units.Clear();
    log.origins.clear();
    log.relationOrigins.clear();
    const LanguageFiles files = LanguageBaseFiles(db.params.language);
    // Every base file is read first, so that the table makes room for all rows at once: growing
    // it file by file would move every row loaded so far (a sizeable part of the login time).
    std::vector<BaseFile> wordFiles;
    if (!files.words.empty()) {
        wordFiles.push_back(ReadBaseFile(paths, files.words, false));
    }
    wordFiles.push_back(ReadBaseFile(paths, "b_sb_50s.txt", true));
    wordFiles.push_back(ReadBaseFile(paths, "b_sb_50ss.txt", false));
    wordFiles.push_back(ReadBaseFile(paths, kLearnerUnitsFile, false));
    std::vector<BaseFile> sentenceFiles;
    if (!files.sentences.empty()) {
        sentenceFiles.push_back(ReadBaseFile(paths, files.sentences, false));
    }
    sentenceFiles.push_back(ReadBaseFile(paths, "b_sb_50z.txt", true));
    sentenceFiles.push_back(ReadBaseFile(paths, "b_sb_50zz.txt", false));
    std::size_t lineCount = 0;
    for (std::vector<BaseFile>* group : {&wordFiles, &sentenceFiles}) {
        for (BaseFile& base : *group) {
            if (base.bytes) {
                base.lines = SplitLines(*base.bytes);
                lineCount += base.lines.size();
            }
        }
    }
    db.units.Reserve(static_cast<int>(std::min<std::size_t>(kMaxUnits, lineCount)));

    for (const BaseFile& base : wordFiles) {
        AppendBaseFile(paths, base, BaseLineFormat::Current, false, db, log);
    }
    if (db.units.unitCount() > 1) {
        const std::string first = RecordingPath(paths, db.units.unit(1));
        if (!first.empty() && !FileExists(first)) {
            log.notices.push_back(LoadNotice::RecordingsDiscMissing);
        }
    }
    db.units.wordUnitCount = db.units.unitCount();
    for (const BaseFile& base : sentenceFiles) {
        AppendBaseFile(paths, base, BaseLineFormat::Current, true, db, log);
    }

    db.relations.clear();
    if (!files.relations.empty()) {
        AppendRelationFile(paths, files.relations, db, log);
    }
    AppendRelationFile(paths, "con2.txt", db, log);
    AppendRelationFile(paths, "con3.txt", db, log);

    LoadComments(paths, db, log);
    db.correctionMode = FileExistsUnder(paths.programDir, kCorrectionModeFile);
    if (db.correctionMode) {
        LoadCorrections(paths, db, log);
    }
}

}  // namespace dyd
