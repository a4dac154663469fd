// Units into exchange entries and exchange entries into the learner's own units.

#include <algorithm>

#include "content/unit_editor.h"
#include "core/codepage.h"
#include "core/files.h"
#include "core/learner_files.h"
#include "core/markup.h"
#include "core/qa_import.h"
#include "core/text.h"
#include "core/user_ids.h"
#include "exchange/exchange.h"

namespace dyd {

namespace {

constexpr std::array<EditorField, kEditorFieldCount> kFields = {
    EditorField::Foreign, EditorField::Native,  EditorField::Synonyms,        EditorField::Plural,
    EditorField::Hint,    EditorField::Comment, EditorField::ExtraTranslation};

std::string& EntryText(ExchangeEntry& e, EditorField field) {
    switch (field) {
        case EditorField::Foreign:
            return e.foreign;
        case EditorField::Native:
            return e.native;
        case EditorField::Synonyms:
            return e.synonyms;
        case EditorField::Plural:
            return e.plural;
        case EditorField::Hint:
            return e.hint;
        case EditorField::Comment:
            return e.comment;
        case EditorField::ExtraTranslation:
            break;
    }
    return e.extraTranslation;
}

const std::string& EntryText(const ExchangeEntry& e, EditorField field) {
    return EntryText(const_cast<ExchangeEntry&>(e), field);
}

// The names of the fields in the messages, as the table's columns call them.
std::string_view FieldName(EditorField field) {
    switch (field) {
        case EditorField::Foreign:
            return "tekst obcy";
        case EditorField::Native:
            return "tekst polski";
        case EditorField::Synonyms:
            return "synonimy";
        case EditorField::Plural:
            return "liczba mnoga";
        case EditorField::Hint:
            return "podpowiedź";
        case EditorField::Comment:
            return "komentarz";
        case EditorField::ExtraTranslation:
            break;
    }
    return "drugie tłumaczenie";
}

std::string CodePageWord(CodePage page) {
    switch (page) {
        case CodePage::Cp1252:
            return "zachodnioeuropejskim (1252)";
        case CodePage::Cp1251:
            return "cyrylicy (1251)";
        case CodePage::Cp1250:
            break;
    }
    return "środkowoeuropejskim (1250)";
}

// Whether the bytes are one whole UTF-8 character (FromUtf8 names the bytes where it stopped).
bool IsUtf8Character(std::string_view bytes) {
    if (bytes.empty()) {
        return false;
    }
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || bytes.size() != length) {
        return false;
    }
    return std::all_of(bytes.begin() + 1, bytes.end(),
                       [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; });
}

// The text in the code page, or the reason it cannot be.
std::optional<std::string> Convert(std::string_view utf8, CodePage page, std::string_view field,
                                   std::string* why) {
    std::string bad;
    std::optional<std::string> bytes = FromUtf8(TrimView(utf8), page, &bad);
    if (!bytes) {
        *why = !IsUtf8Character(bad)
                   ? std::string(field) + ": tekst nie jest poprawnym tekstem UTF-8"
                   : std::string(field) + ": znaku \"" + bad + "\" nie ma w kodowaniu " +
                         CodePageWord(page) + " tego kursu";
    }
    return bytes;
}

}  // namespace

ExchangeList EntriesOfUnits(const CourseDatabase& db, std::span<const int> unitNumbers) {
    ExchangeList list;
    list.title = ToUtf8(db.params.title, CodePage::Cp1250);
    list.language = db.params.language;
    list.entries.reserve(unitNumbers.size());
    for (const int n : unitNumbers) {
        if (n < 1 || n > db.units.unitCount()) {
            continue;
        }
        const Unit& unit = db.units.unit(n);
        const EditorFields fields = FieldsOfUnit(unit);
        ExchangeEntry& e = list.entries.emplace_back();
        e.kind = fields.kind;
        e.partOfSpeech = unit.partOfSpeech;
        e.level = unit.level;
        for (const EditorField field : kFields) {
            EntryText(e, field) = ToUtf8(fields[field], FieldCodePage(field, e.kind, db.params));
        }
        if (e.kind == kSentenceUnit) {
            e.plural.clear();  // a sentence's plural column repeats its translation
        }
        e.recording = ToUtf8(unit.recording, CodePage::Cp1250);
        if (e.kind == kQaUnit) {
            e.answerRecording = ToUtf8(unit.answerRecording, CodePage::Cp1250);
        }
        e.group = ToUtf8(GroupName(db.groups, unit.groupId), CodePage::Cp1250);
    }
    return list;
}

ExchangeList EntriesOfDatabase(const CourseDatabase& db) {
    std::vector<int> all(static_cast<std::size_t>(db.units.unitCount()));
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = static_cast<int>(i) + 1;
    }
    return EntriesOfUnits(db, all);
}

ExchangeImportResult ImportEntries(const ExchangeList& list, std::string_view fileName,
                                   CourseDatabase& db, std::int32_t firstId, std::int32_t idLimit,
                                   std::span<const std::int32_t> keptIds) {
    ExchangeImportResult result;
    const std::string file(fileName);
    const auto fail = [&](int line, std::string message) {
        result.errors.push_back({file, line, std::move(message)});
    };
    if (list.entries.empty()) {
        fail(0, std::string(kExchangeNothingMessage));
        return result;
    }
    UnitTable& units = db.units;
    if (units.unitCount() + static_cast<std::int64_t>(list.entries.size()) > kMaxUnits) {
        fail(0, std::string(kAddUnitNoRoomMessage) + " Plik ma " +
                    std::to_string(list.entries.size()) + " jednostek, w bazie jest miejsce na " +
                    std::to_string(kMaxUnits - units.unitCount()) + ".");
        return result;
    }
    // The group a new unit gets without a known group name: the editor's default.
    std::int32_t defaultGroup = 0;
    for (const Group& g : db.groups) {
        if (g.groupId != 0 && (defaultGroup == 0 || g.groupId == kDefaultGroupId)) {
            defaultGroup = g.groupId;
        }
    }
    const std::int32_t limit = std::min(idLimit, kLearnerIdEnd);
    std::int64_t nextId = firstId;
    std::vector<Unit> added;
    added.reserve(list.entries.size());
    for (const ExchangeEntry& e : list.entries) {
        const std::size_t errorsBefore = result.errors.size();
        EditorFields fields;
        fields.kind = e.kind == kSentenceUnit || e.kind == kQaUnit ? e.kind : kWordUnit;
        for (const EditorField field : kFields) {
            std::string why;
            if (std::optional<std::string> bytes =
                    Convert(EntryText(e, field), FieldCodePage(field, fields.kind, db.params),
                            FieldName(field), &why)) {
                fields[field] = std::move(*bytes);
            } else {
                fail(e.line, why);
            }
        }
        std::string why;
        const std::optional<std::string> recording =
            Convert(e.recording, CodePage::Cp1250, "nagranie", &why);
        if (!recording) {
            fail(e.line, why);
        }
        const std::optional<std::string> answerRecording =
            Convert(e.answerRecording, CodePage::Cp1250, "nagranie odpowiedzi", &why);
        if (!answerRecording) {
            fail(e.line, why);
        }
        fields.groupId = defaultGroup;
        if (!e.group.empty()) {
            if (const std::optional<std::string> group =
                    FromUtf8(TrimView(e.group), CodePage::Cp1250)) {
                for (const Group& g : db.groups) {
                    if (g.groupId != 0 && g.name == *group) {
                        fields.groupId = g.groupId;
                        break;
                    }
                }
            }
        }
        fields.level = e.level >= 1 && e.level <= 9 ? e.level : 2;
        fields.partOfSpeech = e.partOfSpeech >= 1 && e.partOfSpeech <= 9 ? e.partOfSpeech
                              : fields.kind == kSentenceUnit             ? kSentencePart
                                                                         : kOtherPart;
        if (recording) {
            fields.recording = *recording;
        }
        if (result.errors.size() != errorsBefore) {
            continue;
        }
        for (const std::string& message : CheckFields(fields)) {
            fail(e.line, message);
        }
        if (result.errors.size() != errorsBefore) {
            continue;
        }
        while (std::binary_search(keptIds.begin(), keptIds.end(), nextId) ||
               (nextId > 0 && nextId < limit &&
                units.IndexOfUnitId(static_cast<std::int32_t>(nextId)) != -1)) {
            ++nextId;
        }
        if (nextId < 1 || nextId >= limit || nextId <= db.params.userIdLow) {
            result.errors.clear();
            fail(0, std::string(kQaNoIdsLeftMessage));
            return result;
        }
        Unit unit;
        unit.unitId = static_cast<std::int32_t>(nextId++);
        unit.recordingSource = 1;
        StoreFields(fields, unit);
        if (unit.unitKind == kQaUnit) {
            unit.answerRecording = *answerRecording;
        }
        unit.searchText =
            unit.unitKind == kSentenceUnit ? SearchTextOf(unit.foreignText) : std::string();
        LearnerLineProblem problem = LearnerLineProblem::None;
        if (!FormatLearnerUnitLine(unit, &problem)) {
            fail(e.line,
                 std::string(kUnitNotWritableMessage) + LearnerLineProblemText(problem) + ".");
            continue;
        }
        added.push_back(std::move(unit));
    }
    if (!result.errors.empty()) {
        return result;
    }
    result.firstUnit = units.unitCount() + 1;
    units.Reserve(units.unitCount() + static_cast<int>(added.size()));
    // Appended after the course's sentences, as the editor and the QA import add units: the
    // count of the course's word rows (where its sentences begin) stays.
    for (Unit& unit : added) {
        units.Append(std::move(unit));
    }
    result.imported = static_cast<int>(added.size());
    return result;
}

ExchangeImportResult ImportExchangeFile(const std::string& path,
                                        std::optional<ExchangeFormat> format, CourseDatabase& db,
                                        std::span<const std::int32_t> keptIds,
                                        std::int32_t firstId) {
    ExchangeImportResult result;
    if (!format) {
        format = ExchangeFormatOfName(path);
    }
    if (!format) {
        result.errors.push_back(
            {path, 0, "nieznany rodzaj pliku: potrzebne rozszerzenie .kvtml, .tsv albo .csv"});
        return result;
    }
    const std::optional<std::string> bytes = FileExists(path) ? ReadFileBytes(path) : std::nullopt;
    if (!bytes) {
        result.errors.push_back({path, 0, std::string(kQaFileMissingMessage)});
        return result;
    }
    ExchangeReadResult read = ReadExchange(*bytes, *format, path);
    if (!read.errors.empty()) {
        result.errors = std::move(read.errors);
        return result;
    }
    return ImportEntries(read.list, path, db, firstId, db.params.userIdHigh, keptIds);
}

ExchangeImportResult ImportExchangeFileIntoDatabase(const std::string& path, CourseDatabase& db,
                                                    const RepetitionStore& store) {
    const std::vector<std::int32_t> kept = KeptUnitIds(db, store);
    return ImportExchangeFile(path, std::nullopt, db, kept, NextUserId(db, store));
}

std::string ExchangeImportedText(int count) {
    return "Zaimportowano: " + std::to_string(count) + " jednostek!";
}

}  // namespace dyd
