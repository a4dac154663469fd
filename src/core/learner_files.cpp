#include "core/learner_files.h"

#include "core/codepage.h"
#include "core/files.h"
#include "core/text.h"

namespace dyd {

std::vector<std::string_view> CutFields(std::string_view text, int count) {
    std::vector<std::string_view> fields(static_cast<std::size_t>(count));
    std::size_t start = 0;
    for (int i = 0; i < count && start <= text.size(); ++i) {
        const std::size_t eq = text.find('=', start);
        if (eq == std::string_view::npos) {
            fields[static_cast<std::size_t>(i)] = text.substr(start);
            break;
        }
        fields[static_cast<std::size_t>(i)] = text.substr(start, eq - start);
        start = eq + 1;
    }
    return fields;
}

namespace {

constexpr std::string_view kCrLf = "\r\n";

}  // namespace

// ---- Learner units -------------------------------------------------------------------------

std::string LearnerLineProblemText(LearnerLineProblem problem) {
    switch (problem) {
        case LearnerLineProblem::None:
            return {};
        case LearnerLineProblem::IdTooLarge:
            return "identyfikator jednostki jest większy niż 99999";
        case LearnerLineProblem::GroupOutOfRange:
            return "numer grupy tematycznej musi być liczbą od 0 do 99";
        case LearnerLineProblem::LevelOutOfRange:
            return "poziom musi być cyfrą od 1 do 9";
        case LearnerLineProblem::PartOutOfRange:
            return "część mowy musi być cyfrą od 1 do 9";
        case LearnerLineProblem::TextBreaksLine:
            break;
    }
    return "tekst jednostki zawiera znak \"=\", koniec wiersza albo odstępy na brzegach";
}

namespace {

// The kind a learner unit is written with: its own, not a learner's switch.
std::int32_t WrittenKind(const Unit& u) {
    const std::int32_t kind = u.userKindOverride != 0 && u.fileKind != 0 ? u.fileKind : u.unitKind;
    return kind == kSentenceUnit || kind == kQaUnit ? kind : kWordUnit;
}

// Appends the pieces of a line in place: a line of a few hundred bytes is built without the
// temporaries of a chain of additions.
template <typename... Pieces>
void Append(std::string& line, const Pieces&... pieces) {
    (line.append(pieces), ...);
}

std::string LineText(const Unit& u) {
    std::string line;
    line.reserve(64 + u.foreignText.size() + u.nativeText.size() + u.sentenceTranslation.size() +
                 u.plural.size() + u.synonyms.size() + u.comment.size() + u.recording.size() +
                 u.answerRecording.size() + u.distractors.size() + u.hint.size() +
                 u.extraTranslation.size());
    Append(line, ZeroPad(2, u.groupId), " 1", ZeroPad(5, u.unitId), " ", std::to_string(u.level),
           std::to_string(u.partOfSpeech), " ", u.foreignText, " = ", u.nativeText, " =");
    switch (WrittenKind(u)) {
        case kSentenceUnit:
            Append(line, u.sentenceTranslation, "= ", u.synonyms, "= ", u.comment, " =",
                   u.recording, " =", u.answerRecording, " =", u.distractors, "= z = ",
                   u.extraTranslation, " =");
            break;
        case kQaUnit:
            Append(line, u.sentenceTranslation, "= ", u.synonyms, "= ", u.comment, " =",
                   u.recording, " =", u.answerRecording, " =", u.hint, "= q =",
                   u.extraTranslation, " =");
            break;
        default:
            Append(line, u.plural, "= ", u.synonyms, "= ", u.comment, " =", u.recording, " =",
                   u.answerRecording, " =", u.hint, "= n = =");
            break;
    }
    return line;
}

bool ReadsBackTheSame(const Unit& u, const Unit& r) {
    const int kind = WrittenKind(u);
    bool same = r.unitId == u.unitId && r.groupId == u.groupId && r.level == u.level &&
                r.partOfSpeech == u.partOfSpeech && r.recordingSource == 1 && r.unitKind == kind &&
                r.foreignText == u.foreignText && r.nativeText == u.nativeText &&
                r.synonyms == u.synonyms && r.comment == u.comment && r.recording == u.recording &&
                r.answerRecording == u.answerRecording;
    switch (kind) {
        case kSentenceUnit:
            same = same && r.sentenceTranslation == u.sentenceTranslation &&
                   r.distractors == u.distractors && r.extraTranslation == u.extraTranslation;
            break;
        case kQaUnit:
            same = same && r.sentenceTranslation == u.sentenceTranslation && r.hint == u.hint &&
                   r.extraTranslation == u.extraTranslation;
            break;
        default:
            same = same && r.plural == u.plural && r.hint == u.hint;
            break;
    }
    return same;
}

}  // namespace

std::optional<std::string> FormatLearnerUnitLine(const Unit& unit, LearnerLineProblem* problem) {
    LearnerLineProblem found = LearnerLineProblem::None;
    if (unit.unitId >= 100000) {
        found = LearnerLineProblem::IdTooLarge;
    } else if (unit.groupId < 0 || unit.groupId >= 100) {
        found = LearnerLineProblem::GroupOutOfRange;
    } else if (unit.level < 1 || unit.level > 9) {
        found = LearnerLineProblem::LevelOutOfRange;
    } else if (unit.partOfSpeech < 1 || unit.partOfSpeech > 9) {
        found = LearnerLineProblem::PartOutOfRange;
    }
    std::string line;
    if (found == LearnerLineProblem::None) {
        line = LineText(unit);
        Unit back;
        const std::string_view trimmed = TrimView(line);
        if (trimmed.size() != line.size() ||
            ParseBaseLine(trimmed, BaseLineFormat::Current, back) != BaseLineResult::Row ||
            !ReadsBackTheSame(unit, back) || line.find('\n') != std::string::npos ||
            line.find('\r') != std::string::npos) {
            found = LearnerLineProblem::TextBreaksLine;
        }
    }
    if (problem != nullptr) {
        *problem = found;
    }
    if (found != LearnerLineProblem::None) {
        return std::nullopt;
    }
    return line;
}

std::string FormatLearnerUnits(const UnitTable& units, std::vector<RefusedUnit>* refused) {
    // The whole file in one allocation: a growing megabyte would be copied into fresh pages at
    // every doubling.
    std::size_t size = 0;
    for (int n = 1; n <= units.unitCount(); ++n) {
        const Unit& u = units.unit(n);
        if (u.recordingSource == 1) {
            size += 64 + u.foreignText.size() + u.nativeText.size() +
                    u.sentenceTranslation.size() + u.plural.size() + u.synonyms.size() +
                    u.comment.size() + u.recording.size() + u.answerRecording.size() +
                    u.distractors.size() + u.hint.size() + u.extraTranslation.size();
        }
    }
    std::string out;
    out.reserve(size);
    for (int n = 1; n <= units.unitCount(); ++n) {
        const Unit& unit = units.unit(n);
        if (unit.recordingSource != 1 || unit.unitId <= 0 || unit.foreignText.empty()) {
            continue;
        }
        LearnerLineProblem problem = LearnerLineProblem::None;
        if (const std::optional<std::string> line = FormatLearnerUnitLine(unit, &problem)) {
            out += *line;
            out += kCrLf;
        } else if (refused != nullptr) {
            refused->push_back({n, unit.unitId, problem});
        }
    }
    return out;
}

SaveLearnerUnitsResult SaveLearnerUnits(const AppPaths& paths, const UnitTable& units) {
    SaveLearnerUnitsResult result;
    const std::string content = FormatLearnerUnits(units, &result.refused);
    result.written = WriteFileAtomically(ResolvePath(paths.databaseDir, kLearnerUnitsFile), content,
                                         &result.error);
    return result;
}

// ---- Groups ----------------------------------------------------------------------------------

std::vector<Group> ParseGroups(std::string_view bytes, LoadLog* log, std::string_view fileName) {
    std::vector<Group> groups;
    int lineNumber = 0;
    for (const std::string_view raw : SplitLines(bytes)) {
        ++lineNumber;
        const std::string_view line = TrimView(raw);
        if (line.size() < 8) {
            if (!line.empty()) {
                AddLoadProblem(log, fileName, lineNumber, Severity::Warning,
                               "wiersz krótszy niż 8 znaków pominięto");
            }
            continue;
        }
        if (groups.size() >= static_cast<std::size_t>(kMaxGroups)) {
            AddLoadProblem(log, fileName, lineNumber, Severity::Error,
                           "więcej niż 100 grup; dalsze wiersze pominięto");
            break;
        }
        const std::vector<std::string_view> fields = CutFields(line, 5);
        const std::optional<std::int32_t> id = IntOrZero(fields[0]);
        if (!id) {
            AddLoadProblem(log, fileName, lineNumber, Severity::Error,
                           "wiersz pominięto: numer grupy nie jest liczbą: \"" +
                               ToUtf8(TrimView(fields[0]), CodePage::Cp1250) + "\"");
            continue;
        }
        const std::optional<std::int32_t> listed = IntOrZero(fields[1]);
        if (!listed) {
            AddLoadProblem(log, fileName, lineNumber, Severity::Error,
                           "wiersz pominięto: znacznik widoczności nie jest liczbą: \"" +
                               ToUtf8(TrimView(fields[1]), CodePage::Cp1250) + "\"");
            continue;
        }
        Group group;
        group.groupId = *id;
        group.listed = static_cast<std::uint8_t>(*listed);
        group.tag = Trim(fields[2]);
        group.name = Trim(fields[3]);
        group.extra = Trim(fields[4]);
        groups.push_back(std::move(group));
    }
    return groups;
}

std::string FormatGroups(const std::vector<Group>& groups) {
    std::string out;
    for (const Group& group : groups) {
        out += std::to_string(group.groupId);
        out += "= 1 =";
        out += group.tag;
        out += '=';
        out += group.name;
        out += '=';
        out += kCrLf;
    }
    return out;
}

void LoadGroups(const AppPaths& paths, CourseDatabase& db, LoadLog& log) {
    const std::string file = ResolvePath(paths.databaseDir, kGroupsFile);
    const std::optional<std::string> bytes = ReadFileBytes(file);
    if (!bytes) {
        db.groups = {DefaultGroup()};
        return;
    }
    const std::string relative = RelativeToProgram(paths, file);
    log.files.push_back(relative);
    db.groups = ParseGroups(*bytes, &log, relative);
}

bool SaveGroups(const AppPaths& paths, const std::vector<Group>& groups, std::string* error) {
    return WriteFileAtomically(ResolvePath(paths.databaseDir, kGroupsFile), FormatGroups(groups),
                               error);
}

// ---- Comments --------------------------------------------------------------------------------

std::string CommentsFileName(std::string_view databaseCode) {
    return std::string(databaseCode) + "kom.txt";
}

namespace {

// The unit of an id field of a comments or corrections line; 0 when the line is skipped.
int UnitOfIdField(std::string_view field, const UnitTable& units, LoadLog* log,
                  std::string_view fileName, int lineNumber) {
    const std::string_view idText = TrimView(field);
    if (idText.empty()) {
        return 0;
    }
    const std::optional<std::int32_t> id = ParseInt(idText);
    if (!id) {
        AddLoadProblem(log, fileName, lineNumber, Severity::Error,
                       "wiersz pominięto: identyfikator nie jest liczbą: \"" +
                           ToUtf8(idText, CodePage::Cp1250) + "\"");
        return 0;
    }
    const int n = units.IndexOfUnitId(*id);
    return n < 1 ? 0 : n;
}

}  // namespace

void ParseComments(std::string_view bytes, CourseDatabase& db, LoadLog* log,
                   std::string_view fileName) {
    const std::vector<std::string_view> lines = SplitLines(bytes);
    const std::size_t limit = static_cast<std::size_t>(db.units.unitCount()) + 1;
    db.keptCommentLines.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        const std::string_view line = TrimView(lines[i]);
        if (line.size() < 4) {
            continue;
        }
        const std::vector<std::string_view> fields = CutFields(line, 3);
        const std::optional<std::int32_t> id = ParseInt(TrimView(fields[0]));
        if (id && *id > 0 && db.units.IndexOfUnitId(*id) < 1) {
            db.keptCommentLines.emplace_back(line);
            continue;
        }
        if (i >= limit) {
            continue;
        }
        const int n = UnitOfIdField(fields[0], db.units, log, fileName, lineNumber);
        if (n == 0) {
            continue;
        }
        Unit& unit = db.units.unit(n);
        // "#" in the file stands for "=", which separates its fields.
        unit.userComment = EscapeEquals(Trim(fields[1]), 0);
        unit.userKindOverride = 0;
        const std::optional<std::int32_t> kind = IntOrZero(fields[2]);
        if (kind && (*kind == kWordUnit || *kind == kQaUnit)) {
            if (unit.fileKind == 0) {
                unit.fileKind = unit.unitKind;
            }
            unit.userKindOverride = *kind;
            unit.unitKind = *kind;
        }
    }
    db.commentsDirty = false;
}

std::string FormatComments(const UnitTable& units, const std::vector<std::string>& keptLines) {
    std::string out;
    for (const Unit& unit : units.rows()) {
        if (!unit.userComment.empty() || unit.userKindOverride > 0) {
            out += std::to_string(unit.unitId);
            out += '=';
            out += EscapeEquals(unit.userComment, 1);
            out += '=';
            out += std::to_string(unit.userKindOverride);
            out += '=';
            out += kCrLf;
        }
    }
    for (const std::string& line : keptLines) {
        out += line;
        out += kCrLf;
    }
    return out;
}

void LoadComments(const AppPaths& paths, CourseDatabase& db, LoadLog& log) {
    if (paths.userDir.empty()) {
        return;
    }
    const std::string file = ResolvePath(paths.userDir, CommentsFileName(paths.databaseCode));
    if (const std::optional<std::string> bytes = ReadFileBytes(file)) {
        const std::string relative = RelativeToProgram(paths, file);
        log.files.push_back(relative);
        ParseComments(*bytes, db, &log, relative);
    }
    db.commentsDirty = false;
}

bool SaveComments(const AppPaths& paths, CourseDatabase& db, std::string* error) {
    const bool written =
        WriteFileAtomically(ResolvePath(paths.userDir, CommentsFileName(paths.databaseCode)),
                            FormatComments(db.units, db.keptCommentLines), error);
    if (written) {
        db.commentsDirty = false;
    }
    return written;
}

// ---- Corrections -----------------------------------------------------------------------------

void ParseCorrections(std::string_view bytes, UnitTable& units, LoadLog* log,
                      std::string_view fileName) {
    const std::vector<std::string_view> lines = SplitLines(bytes);
    const std::size_t limit = static_cast<std::size_t>(units.unitCount()) + 1;
    for (std::size_t i = 0; i < lines.size() && i < limit; ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        const std::string_view line = TrimView(lines[i]);
        if (line.size() < 4) {
            continue;
        }
        const std::vector<std::string_view> fields = CutFields(line, 5);
        const int n = UnitOfIdField(fields[0], units, log, fileName, lineNumber);
        if (n == 0) {
            continue;
        }
        Unit& unit = units.unit(n);
        unit.correctionNote = Trim(fields[1]);
        unit.correctionHint = Trim(fields[3]);
        unit.corrected = 1;
        const std::string_view flags = TrimView(fields[2]);
        for (std::size_t k = 0; k < 4; ++k) {
            unit.correctionFlags[k] = k < flags.size() && flags[k] == '1' ? 1 : 0;
        }
    }
}

std::string FormatCorrections(const UnitTable& units) {
    std::string out;
    for (const Unit& unit : units.rows()) {
        if (unit.corrected == 0) {
            continue;
        }
        out += std::to_string(unit.unitId);
        out += " = ";
        out += unit.correctionNote;
        out += " = ";
        for (const std::uint8_t flag : unit.correctionFlags) {
            out += flag != 0 ? '1' : '0';
        }
        out += " =";
        out += unit.correctionHint;
        out += '=';
        out += kCrLf;
    }
    return out;
}

void LoadCorrections(const AppPaths& paths, CourseDatabase& db, LoadLog& log) {
    const std::string file = ResolvePath(paths.databaseDir, kCorrectionsFile);
    if (const std::optional<std::string> bytes = ReadFileBytes(file)) {
        const std::string relative = RelativeToProgram(paths, file);
        log.files.push_back(relative);
        ParseCorrections(*bytes, db.units, &log, relative);
    }
}

bool SaveCorrections(const AppPaths& paths, const UnitTable& units, std::string* error) {
    return WriteFileAtomically(ResolvePath(paths.databaseDir, kCorrectionsFile),
                               FormatCorrections(units), error);
}

}  // namespace dyd
