#include "content/unit_editor.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/files.h"
#include "core/learner_files.h"
#include "core/markup.h"
#include "core/text.h"
#include "core/user_ids.h"

namespace dyd {

int FieldLength(EditorField field) {
    return field == EditorField::Plural || field == EditorField::ExtraTranslation
               ? kLongFieldLength
               : kShortFieldLength;
}

EditorCaptions CaptionsOf(int kind, int language) {
    EditorCaptions c;
    switch (kind) {
        case kSentenceUnit:
            c.foreign = "Zdanie:";
            c.native = "Znaczenie (wyróżnienia w znakach < >):";
            c.synonyms = "Tłumaczenie całego zdania:";
            c.hint = "Inne odp. do testu wyboru (niepoprawne):";
            c.synonymsShown = true;
            c.hintShown = true;
            break;
        case kQaUnit:
            c.foreign = "Pytanie (słówko):";
            c.native = "Odpowiedź (znaczenie):";
            break;
        default:
            c.foreign = "Słówko:";
            c.native = "Znaczenie:";
            c.synonyms = "Synonimy:";
            c.hint = "Podpowiedź:";
            c.synonymsShown = true;
            c.hintShown = true;
            c.pluralShown = language != 1;
            if (c.pluralShown) {
                c.plural = "Liczba mnoga rzeczownika:";
            }
            break;
    }
    return c;
}

CodePage FieldCodePage(EditorField field, int kind, const DatabaseParameters& params) {
    if (field == EditorField::Foreign ||
        (field == EditorField::Synonyms && kind != kSentenceUnit && kind != kQaUnit)) {
        return params.foreignCodePage();
    }
    return CodePage::Cp1250;
}

EditorFields FieldsOfUnit(const Unit& unit) {
    EditorFields f;
    f.kind = unit.unitKind == kSentenceUnit || unit.unitKind == kQaUnit ? unit.unitKind : kWordUnit;
    f[EditorField::Foreign] = unit.foreignText;
    f[EditorField::Native] = unit.nativeText;
    f[EditorField::Synonyms] = f.kind == kSentenceUnit ? unit.sentenceTranslation : unit.synonyms;
    f[EditorField::Plural] = f.kind == kQaUnit ? unit.sentenceTranslation : unit.plural;
    f[EditorField::Hint] = f.kind == kSentenceUnit ? unit.distractors : unit.hint;
    f[EditorField::Comment] = unit.comment;
    f[EditorField::ExtraTranslation] = unit.extraTranslation;
    f.groupId = unit.groupId;
    f.level = unit.level;
    f.partOfSpeech = unit.partOfSpeech;
    f.recording = unit.recording;
    return f;
}

void StoreFields(const EditorFields& f, Unit& unit) {
    const auto field = [&f](EditorField which) { return Trim(f[which]); };
    const bool word = f.kind != kSentenceUnit && f.kind != kQaUnit;
    unit.foreignText = field(EditorField::Foreign);
    unit.nativeText = field(EditorField::Native);
    unit.comment = field(EditorField::Comment);
    unit.extraTranslation = field(EditorField::ExtraTranslation);
    unit.unitKind = word ? kWordUnit : f.kind;
    if (unit.userKindOverride != 0 && unit.fileKind != 0) {
        unit.fileKind = unit.unitKind;  // the file takes the kind the learner chose here
    }
    unit.synonyms = word ? field(EditorField::Synonyms) : std::string();
    unit.plural = word ? field(EditorField::Plural) : std::string();
    unit.hint = word ? field(EditorField::Hint) : std::string();
    unit.distractors = f.kind == kSentenceUnit ? field(EditorField::Hint) : std::string();
    unit.sentenceTranslation.clear();
    if (f.kind == kSentenceUnit) {
        unit.sentenceTranslation = field(EditorField::Synonyms);
    } else if (f.kind == kQaUnit) {
        unit.sentenceTranslation = field(EditorField::Plural);
    }
    unit.groupId = f.groupId;
    unit.level = f.level;
    unit.partOfSpeech = f.partOfSpeech;
    unit.recording = Trim(f.recording);
}

// ---- Checks -------------------------------------------------------------------------------------

std::string GapPairText() {
    return "Każdemu oznaczeniu otwierającemu \"<\" musi odpowiadać zamykające \">\".";
}

std::vector<std::string> CheckGapMarkers(std::string_view sentence) {
    std::vector<std::string> messages;
    int depth = 0;
    int opened = 0;
    for (std::size_t i = 0; i < sentence.size(); ++i) {
        if (sentence[i] == '<') {
            ++depth;
            ++opened;
        } else if (sentence[i] == '>') {
            --depth;
        } else {
            continue;
        }
        if (depth < 0 || depth > 1) {
            messages.push_back("Błędny znak (numer:" + std::to_string(i + 1) + "). " +
                               GapPairText());
            break;
        }
    }
    if (depth != 0) {
        messages.push_back("Błąd! " + GapPairText());
    }
    if (opened > 3) {
        messages.emplace_back(kTooManyGapsMessage);
    }
    return messages;
}

std::vector<std::string> CheckFields(const EditorFields& f) {
    if (f.kind == kSentenceUnit) {
        std::vector<std::string> gaps = CheckGapMarkers(f[EditorField::Foreign]);
        if (!gaps.empty()) {
            return gaps;
        }
    }
    std::vector<std::string> messages;
    if (std::any_of(f.text.begin(), f.text.end(),
                    [](const std::string& t) { return t.find('=') != std::string::npos; })) {
        messages.emplace_back(kEqualsSignMessage);
    }
    if (TrimView(f[EditorField::Foreign]).empty()) {
        messages.emplace_back(kNoForeignTextMessage);
    }
    const bool noNative = TrimView(f[EditorField::Native]).empty();
    if (f.kind == kSentenceUnit) {
        if (noNative && TrimView(f[EditorField::Synonyms]).empty()) {
            messages.emplace_back(kNoSentenceMeaningMessage);
        }
    } else if (noNative) {
        messages.emplace_back(kNoMeaningMessage);
    }
    return messages;
}

// ---- Groups -------------------------------------------------------------------------------------

std::int32_t NewGroupId(const std::vector<Group>& groups) {
    std::int32_t highest = kFirstLearnerGroup - 1;
    for (const Group& g : groups) {
        if (g.groupId >= kFirstLearnerGroup && g.groupId <= kLastLearnerGroup) {
            highest = std::max(highest, g.groupId);
        }
    }
    return highest >= kLastLearnerGroup ? 0 : highest + 1;
}

AddGroupResult AddGroup(const AppPaths& paths, std::vector<Group>& groups, std::string_view name) {
    AddGroupResult result;
    const std::string trimmed = Trim(name);
    if (trimmed.empty()) {
        return result;
    }
    const auto refuse = [&result](std::string_view message) {
        result.message = message;
        return result;
    };
    if (std::any_of(groups.begin(), groups.end(),
                    [&trimmed](const Group& g) { return g.name == trimmed; })) {
        return refuse(kGroupExistsMessage);
    }
    if (trimmed.find('=') != std::string::npos) {
        return refuse(kGroupNameEqualsMessage);
    }
    if (static_cast<int>(groups.size()) >= kMaxGroups) {
        return refuse(kGroupsFullMessage);
    }
    const std::int32_t id = NewGroupId(groups);
    if (id == 0) {
        return refuse(kGroupIdsUsedMessage);
    }
    Group group;
    group.groupId = id;
    group.listed = 1;
    group.name = trimmed;
    groups.push_back(group);
    std::string error;
    if (!SaveGroups(paths, groups, &error)) {
        groups.pop_back();
        return refuse(std::string(kGroupsNotSavedMessage) + error);
    }
    // Every group is written as listed; the table says so too.
    for (Group& g : groups) {
        g.listed = 1;
    }
    result.added = true;
    result.groupId = id;
    return result;
}

// ---- The editor ---------------------------------------------------------------------------------

std::string RecordingFolder(const AppPaths& paths) {
    std::string folder = ResolvePath(paths.databaseDir, "wav");
    folder += '/';
    return folder;
}

UnitEditor::UnitEditor(const AppPaths& paths, CourseDatabase& db, const RepetitionStore& store,
                       std::vector<int>& composed)
    : paths_(paths), db_(db), store_(store), composed_(composed) {}

void UnitEditor::Open(int editedUnit) {
    composed_.clear();
    // The drop-downs start as the window does: the default group when there is one, else the
    // first, level 2, part of speech "inne", a word.
    fields_ = EditorFields();
    fields_.groupId = 0;
    for (const Group& g : db_.groups) {
        if (g.groupId == 0) {
            continue;
        }
        if (fields_.groupId == 0 || g.groupId == kDefaultGroupId) {
            fields_.groupId = g.groupId;
        }
        if (g.groupId == kDefaultGroupId) {
            break;
        }
    }
    if (editedUnit > 0 && editedUnit <= db_.units.unitCount()) {
        editedUnit_ = editedUnit;
        const Unit& unit = db_.units.unit(editedUnit);
        fields_ = FieldsOfUnit(unit);
        preparedId_ = unit.unitId;
        return;
    }
    editedUnit_ = 0;
    PrepareNew();
}

void UnitEditor::PrepareNew() {
    editedUnit_ = 0;
    for (std::string& text : fields_.text) {
        text.clear();
    }
    fields_.recording.clear();
    preparedId_ = NextUserId(db_, store_) + 1;
}

std::string UnitEditor::RecordingTarget() const {
    return RecordingFolder(paths_) + std::to_string(preparedId_) + ".wav";
}

UnitEditor::StoreResult UnitEditor::Store(const EditorFields& fields) {
    StoreResult result;
    result.messages = CheckFields(fields);
    if (!result.messages.empty()) {
        return result;
    }
    UnitTable& units = db_.units;
    const bool adding = editedUnit_ <= 0;
    if (adding) {
        if (units.unitCount() >= kMaxUnits) {
            result.messages.emplace_back(kAddUnitNoRoomMessage);
            return result;
        }
        if (!UserIdFits(db_.params, preparedId_) || units.IndexOfUnitId(preparedId_) != -1) {
            result.messages.emplace_back(kNoIdsLeftMessage);
            return result;
        }
    }
    Unit unit;
    if (adding) {
        unit.unitId = preparedId_;
        unit.recordingSource = 1;
    } else {
        unit = units.unit(editedUnit_);
    }
    StoreFields(fields, unit);
    // Sentences are found by the example search through their search copy.
    unit.searchText = unit.unitKind == kSentenceUnit ? SearchTextOf(unit.foreignText) : std::string();
    if (unit.recordingSource == 1) {
        LearnerLineProblem problem = LearnerLineProblem::None;
        if (!FormatLearnerUnitLine(unit, &problem)) {
            result.messages.push_back(std::string(kUnitNotWritableMessage) +
                                      LearnerLineProblemText(problem) + ".");
            return result;
        }
    }
    if (adding) {
        units.Append(std::move(unit));
        result.unitNumber = units.unitCount();
        if (static_cast<int>(composed_.size()) < kMaxComposed) {
            composed_.push_back(result.unitNumber);
            result.composedGrew = true;
        }
    } else {
        result.unitNumber = editedUnit_;
        units.unit(editedUnit_) = std::move(unit);
    }
    fields_ = fields;
    editedUnit_ = -1;
    result.stored = true;
    return result;
}

// ---- Recordings ---------------------------------------------------------------------------------

std::string LowSpaceMessage(std::string_view programDir) {
    return "Za mało wolnego miejsca na dysku twardym (" + std::string(programDir.substr(0, 3)) +
           ").";
}

std::optional<std::uint64_t> FreeBytesOf(const std::string& folder) {
    std::error_code error;
    const std::filesystem::space_info info = std::filesystem::space(folder, error);
    if (error) {
        return std::nullopt;
    }
    return info.available;
}

AttachResult AttachRecordingFile(const AppPaths& paths, const std::string& source,
                                 const AttachHooks& hooks) {
    AttachResult result;
    const auto stop = [&result](AttachStatus status, std::string message) {
        result.status = status;
        result.message = std::move(message);
        return result;
    };
    const std::optional<std::uint64_t> free =
        hooks.freeBytes ? hooks.freeBytes(paths.programDir) : FreeBytesOf(paths.programDir);
    if (free && *free < kMinFreeBytes) {
        return stop(AttachStatus::Refused, LowSpaceMessage(paths.programDir));
    }
    const std::string folder = RecordingFolder(paths);
    if (!DirectoryExists(folder)) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error || !DirectoryExists(folder)) {
            return stop(AttachStatus::Refused, std::string(kCannotCreateDirectory));
        }
    }
    if (hooks.playable && !hooks.playable(source)) {
        return stop(AttachStatus::Refused, std::string(kUnreadableSoundMessage));
    }
    const std::string name = std::filesystem::path(source).filename().string();
    const std::string target = folder + name;
    std::error_code same;
    const bool itself = std::filesystem::equivalent(source, target, same);
    if (!itself && FileExists(target) && hooks.confirmReplace && !hooks.confirmReplace()) {
        return stop(AttachStatus::Declined, {});
    }
    if (!itself) {
        const std::optional<std::string> bytes = ReadFileBytes(source);
        std::string error;
        if (!bytes) {
            return stop(AttachStatus::Failed,
                        std::string(kCopyFailedMessage) + SystemErrorText(ENOENT));
        }
        if (!WriteFileAtomically(target, *bytes, &error)) {
            return stop(AttachStatus::Failed, std::string(kCopyFailedMessage) + error);
        }
    }
    result.status = AttachStatus::Attached;
    result.name = name;
    result.message = kRecordingCopiedMessage;
    return result;
}

std::string LearnerUnitsSaveProblem(const SaveLearnerUnitsResult& result) {
    if (!result.written) {
        return "Nie udało się zapisać jednostek ucznia (" + std::string(kLearnerUnitsFile) +
               "): " + result.error;
    }
    if (result.refused.empty()) {
        return {};
    }
    const RefusedUnit& first = result.refused.front();
    return "Nie zapisano " + std::to_string(result.refused.size()) +
           " jednostek ucznia (pierwsza: id " + std::to_string(first.unitId) + ", " +
           LearnerLineProblemText(first.problem) + ").";
}

// ---- Saving the added units as a set ----------------------------------------------------------

std::string SetSavedText(std::string_view name) {
    return "Ćwiczenie \"" + ToUtf8(name, CodePage::Cp1250) + "\" zapisano.";
}

std::string SaveAsKey(std::int32_t groupId, int level) {
    return "2" + ZeroPad(2, groupId) + "-" + std::to_string(level);
}

CurrentSet SetOfUnits(const UnitTable& units, const std::vector<int>& unitNumbers) {
    CurrentSet set;
    for (const int n : unitNumbers) {
        if (set.count >= kMaxSetUnits || n < 1 || n > units.unitCount()) {
            continue;
        }
        set.unitNumbers[static_cast<std::size_t>(set.count)] = n;
        set.codes[static_cast<std::size_t>(set.count)] = units.unit(n).unitId;
        ++set.count;
    }
    return set;
}

SaveComposedResult SaveComposedAsSet(const AppPaths& paths, int language, const UnitTable& units,
                                     const std::vector<int>& composed, std::string_view name,
                                     std::int32_t groupId, int level,
                                     const std::function<bool()>& confirmOverwrite,
                                     ExerciseHistory& history, double now) {
    SaveComposedResult result;
    const std::string trimmed = Trim(name);
    if (trimmed.empty()) {
        return result;
    }
    const std::string key = SaveAsKey(groupId, level);
    const CurrentSet set = SetOfUnits(units, composed);
    SaveSetMode mode = SaveSetMode::Save;
    if (SetNameExists(paths, language, trimmed)) {
        if (!confirmOverwrite || !confirmOverwrite()) {
            SyncUserSets(paths, language, now, history);
            result.message = kSetNotSavedMessage;
            return result;
        }
        mode = SaveSetMode::Overwrite;
    }
    const SaveSetResult saved = SaveSet(paths, language, set, trimmed, key, mode);
    if (saved.status != SaveSetStatus::Written) {
        result.message = saved.message.empty() ? std::string(kSetNotSavedMessage) : saved.message;
        return result;
    }
    SyncUserSets(paths, language, now, history);
    result.saved = true;
    result.message = SetSavedText(trimmed);
    return result;
}

}  // namespace dyd
