#include "core/history.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <unordered_map>

#include "core/datetime.h"
#include "core/exercise_sets.h"
#include "core/files.h"
#include "core/repetitions.h"
#include "core/session_plan.h"
#include "core/text.h"

namespace dyd {

namespace {

// Field offsets of a record.
constexpr std::size_t kIdAt = 0;
constexpr std::size_t kNameAt = 26;
constexpr std::size_t kKindAt = 92;
constexpr std::size_t kKeyAt = 93;
constexpr std::size_t kLevelAt = 94;
constexpr std::size_t kWhenAt = 96;
constexpr std::size_t kPercentAt = 104;
constexpr std::size_t kCountAt = 108;
constexpr std::size_t kCompleteAt = 112;
constexpr std::size_t kGroupAt = 113;

using Image = std::array<std::uint8_t, kHistoryRecordSize>;

std::string ReadShortString(const std::uint8_t* bytes, std::size_t at, std::size_t max) {
    const std::size_t length = std::min<std::size_t>(bytes[at], max);
    return std::string(reinterpret_cast<const char*>(bytes + at + 1), length);
}

void WriteShortString(Image& image, std::size_t at, std::size_t max, std::string_view text) {
    const std::size_t length = std::min(text.size(), max);
    image[at] = static_cast<std::uint8_t>(length);
    std::memcpy(image.data() + at + 1, text.data(), length);
}

std::uint64_t ReadLe(const std::uint8_t* bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    }
    return value;
}

void WriteLe(Image& image, std::size_t at, int size, std::uint64_t value) {
    for (int i = 0; i < size; ++i) {
        image[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

HistoryRecord DecodeRecord(const std::uint8_t* bytes) {
    HistoryRecord r;
    std::memcpy(r.image.data(), bytes, kHistoryRecordSize);
    r.id = ReadShortString(bytes, kIdAt, kHistoryIdMax);
    r.name = ReadShortString(bytes, kNameAt, kHistoryNameMax);
    r.kind = bytes[kKindAt];
    r.key = bytes[kKeyAt];
    r.level = bytes[kLevelAt];
    r.when = std::bit_cast<double>(ReadLe(bytes, kWhenAt, 8));
    r.percent = bytes[kPercentAt];
    r.count = static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadLe(bytes, kCountAt, 4)));
    r.complete = bytes[kCompleteAt];
    r.group = ReadShortString(bytes, kGroupAt, kHistoryGroupMax);
    return r;
}

std::string Cut(std::string_view text, std::size_t max) {
    return std::string(text.substr(0, std::min(text.size(), max)));
}

// The form in which ids are stored and compared.
std::string StoredId(std::string_view id) {
    return Cut(LowerAZ(TrimView(id)), kHistoryIdMax);
}

bool IsUserSetId(std::string_view id) {
    return !id.empty() && id.front() == '2';
}

void Blank(HistoryRecord& r) {
    r.id.clear();
    r.group.clear();
    r.key = 0;
}

void DropBlankRecords(ExerciseHistory& history) {
    std::erase_if(history.records, [](const HistoryRecord& r) { return r.blank(); });
}

// Room for `wanted` more records, dropping blank records first when the store is short of it.
// Returns how many of them fit.
int MakeRoom(ExerciseHistory& history, int wanted) {
    if (history.count() + wanted > kMaxHistoryRecords) {
        DropBlankRecords(history);
    }
    return std::clamp(kMaxHistoryRecords - history.count(), 0, wanted);
}

std::string ReadOptionalFile(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    std::optional<std::string> bytes = ReadFileBytes(path);
    return bytes ? std::move(*bytes) : std::string();
}

// The working file is written only when its bytes change: a login that merges nothing leaves the
// file as it is, without paying for a write flushed to disk. stored, when given, holds the file's
// bytes as they are.
void SaveWorkingFile(const AppPaths& paths, const ExerciseHistory& history,
                     HistorySaveResult& result, const std::string* stored = nullptr) {
    const std::string path = HistoryFilePath(paths);
    const std::string content = FormatHistory(history);
    std::optional<std::string> read;
    if (stored == nullptr) {
        read = ReadFileBytes(path);
        stored = read ? &*read : nullptr;
    }
    if (stored != nullptr && *stored == content) {
        result.saved = true;
        return;
    }
    result.saved = WriteFileAtomically(path, content, &result.error);
}

void AppendMessage(std::string& message, std::string_view text) {
    if (!message.empty()) {
        message += '\n';
    }
    message += text;
}

// Kinds 1..18 for results, the categories for catalogue entries; dates of years 1..9999.
bool PlausibleRecord(const HistoryRecord& r) {
    const bool kind =
        (r.kind >= 1 && r.kind <= 18) || (r.kind >= kFirstCategory && r.kind <= kUserSetCategory);
    return kind && r.percent <= 100 && r.complete <= 1 && r.when >= -693593.0 && r.when < 2958466.0;
}

}  // namespace

std::string CatalogueBuiltText(int count) {
    return "Zbudowano cw_info, jest " + std::to_string(count) + " cwiczen.";
}

std::string HistoryFilePath(const AppPaths& paths) {
    return ResolvePath(paths.userDir, paths.databaseCode);
}

std::string HistoryCopyFilePath(const AppPaths& paths) {
    return ResolvePath(paths.userDir, paths.databaseCode + ".cwinfok");
}

ExerciseHistory ParseHistory(std::string_view bytes, HistoryParseReport* report) {
    ExerciseHistory history;
    HistoryParseReport local;
    const std::size_t whole = bytes.size() / kHistoryRecordSize;
    history.records.reserve(std::min<std::size_t>(whole, kMaxHistoryRecords));
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t i = 0; i < whole; ++i) {
        HistoryRecord record = DecodeRecord(data + i * kHistoryRecordSize);
        if (record.blank()) {
            ++local.blankRecords;
        } else if (!PlausibleRecord(record)) {
            ++local.implausibleRecords;
        }
        if (history.count() < kMaxHistoryRecords) {
            history.records.push_back(std::move(record));
        } else {
            ++local.overflowRecords;
            history.records.back() = std::move(record);
        }
    }
    local.partialTailBytes = bytes.size() % kHistoryRecordSize;
    if (report != nullptr) {
        *report = local;
    }
    return history;
}

std::array<std::uint8_t, kHistoryRecordSize> EncodeHistoryRecord(const HistoryRecord& r) {
    Image image = r.image;
    WriteShortString(image, kIdAt, kHistoryIdMax, r.id);
    WriteShortString(image, kNameAt, kHistoryNameMax, r.name);
    image[kKindAt] = r.kind;
    image[kKeyAt] = r.key;
    image[kLevelAt] = r.level;
    WriteLe(image, kWhenAt, 8, std::bit_cast<std::uint64_t>(r.when));
    image[kPercentAt] = r.percent;
    WriteLe(image, kCountAt, 4, static_cast<std::uint32_t>(r.count));
    image[kCompleteAt] = r.complete;
    WriteShortString(image, kGroupAt, kHistoryGroupMax, r.group);
    return image;
}

std::string FormatHistory(const ExerciseHistory& history) {
    std::string out;
    out.reserve(history.records.size() * kHistoryRecordSize);
    for (const bool userSets : {false, true}) {
        for (const HistoryRecord& r : history.records) {
            if (!r.blank() && IsUserSetId(r.id) == userSets) {
                const Image image = EncodeHistoryRecord(r);
                out.append(reinterpret_cast<const char*>(image.data()), image.size());
            }
        }
    }
    return out;
}

HistoryLoadResult LoadHistory(const AppPaths& paths, ExerciseHistory& history) {
    HistoryReading read = ReadHistory(paths);
    history = std::move(read.history);
    return read.load;
}

HistoryReading ReadHistory(const AppPaths& paths) {
    HistoryReading read;
    const std::string path = HistoryFilePath(paths);
    if (!FileExists(path)) {
        return read;
    }
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        read.load.state = HistoryFileState::Unreadable;
        return read;
    }
    read.load.state = HistoryFileState::Loaded;
    read.history = ParseHistory(*bytes, &read.load.report);
    read.bytes = std::move(*bytes);
    return read;
}

bool SaveHistory(const std::string& path, const ExerciseHistory& history, std::string* error) {
    return WriteFileAtomically(path, FormatHistory(history), error);
}

std::uint8_t LevelOfSetId(std::string_view id, std::uint8_t whenShort) {
    if (id.size() < 5) {
        return whenShort;
    }
    const char c = id[4];
    return c >= '0' && c <= '9' ? static_cast<std::uint8_t>(c - '0') : 0;
}

HistoryRecord MakeCatalogueEntry(std::string_view id, std::string_view name, std::uint8_t category,
                                 double now) {
    HistoryRecord r;
    r.id = StoredId(id);
    r.name = Cut(TrimView(name), kHistoryNameMax);
    r.kind = category;
    r.level = LevelOfSetId(r.id, category == kUserSetCategory ? 1 : 0);
    r.when = now;
    r.group = r.id.size() > 1 ? r.id.substr(1, 2) : std::string();
    return r;
}

SyncUserSetsResult MergeUserSets(std::string_view userSetFileBytes, double now,
                                 ExerciseHistory& history) {
    SyncUserSetsResult result;
    std::unordered_map<std::string, bool> seen;  // user set id -> listed in the file
    for (const HistoryRecord& r : history.records) {
        if (IsUserSetId(r.id)) {
            seen.emplace(r.id, false);
        }
    }
    std::vector<HistoryRecord> fresh;
    for (const std::string_view line : SplitLines(userSetFileBytes)) {
        SetLine fields;
        if (!ParseSetLine(TrimView(line), fields)) {
            result.damagedLines += TrimView(line).empty() ? 0 : 1;
            continue;
        }
        // Only user identifiers: a line of another origin could never be found again among the
        // user sets and would be added anew at every merge.
        HistoryRecord entry =
            MakeCatalogueEntry(fields.identifier, fields.name, kUserSetCategory, now);
        if (!IsUserSetId(entry.id)) {
            continue;
        }
        const auto [it, inserted] = seen.emplace(entry.id, true);
        if (!inserted) {
            it->second = true;
            continue;
        }
        fresh.push_back(std::move(entry));
    }
    for (HistoryRecord& r : history.records) {
        if (result.damagedLines == 0 && IsUserSetId(r.id) && !seen.at(r.id)) {
            Blank(r);
            ++result.removed;
        }
    }
    const int room = MakeRoom(history, static_cast<int>(fresh.size()));
    for (int i = 0; i < room; ++i) {
        history.records.push_back(std::move(fresh[static_cast<std::size_t>(i)]));
    }
    result.added = room;
    result.refused = static_cast<int>(fresh.size()) - room;
    if (result.refused > 0) {
        result.message = kHistoryFullForSetsMessage;
    }
    return result;
}

namespace {

SyncUserSetsResult SyncUserSetsWith(const AppPaths& paths, int language, double now,
                                    ExerciseHistory& history, const std::string* stored);

}  // namespace

SyncUserSetsResult SyncUserSets(const AppPaths& paths, int language, double now,
                                ExerciseHistory& history) {
    return SyncUserSetsWith(paths, language, now, history, nullptr);
}

namespace {

SyncUserSetsResult SyncUserSetsWith(const AppPaths& paths, int language, double now,
                                    ExerciseHistory& history, const std::string* stored) {
    const std::string file = UserSetFilePath(paths, language);
    SyncUserSetsResult result = MergeUserSets(ReadOptionalFile(file), now, history);
    if (result.damagedLines > 0) {
        AppendMessage(result.message, "Pominięto uszkodzone wiersze pliku zestawów " + file + ": " +
                                          std::to_string(result.damagedLines) +
                                          ". Wyniki zestawów, których w nim nie ma, zostają.");
    }
    SaveWorkingFile(paths, history, result, stored);
    return result;
}

}  // namespace

BuildCatalogueResult CatalogueFromShippedSets(std::string_view shippedSetFileBytes, double now,
                                              ExerciseHistory& history) {
    BuildCatalogueResult result;
    history.records.clear();
    bool full = false;
    for (const std::string_view line : SplitLines(shippedSetFileBytes)) {
        SetLine fields;
        if (!ParseSetLine(TrimView(line), fields)) {
            continue;
        }
        HistoryRecord entry = MakeCatalogueEntry(
            fields.identifier, fields.name,
            fields.category == "7" ? kWordSetCategory : kSentenceSetCategory, now);
        if (entry.blank()) {
            continue;
        }
        if (history.count() >= kMaxHistoryRecords) {
            full = true;
            break;
        }
        history.records.push_back(std::move(entry));
    }
    result.count = history.count();
    result.message = CatalogueBuiltText(result.count);
    if (full) {
        AppendMessage(result.message, kHistoryFullForSetsMessage);
    }
    return result;
}

BuildCatalogueResult BuildShippedCatalogue(const AppPaths& paths, int language, double now,
                                           ExerciseHistory& history) {
    BuildCatalogueResult result = CatalogueFromShippedSets(
        ReadOptionalFile(ShippedSetFilePath(paths, language)), now, history);
    SaveWorkingFile(paths, history, result);
    return result;
}

LoginHistoryResult OpenHistoryAtLogin(const AppPaths& paths, int language, double now,
                                      ExerciseHistory& history, HistoryReading* read) {
    LoginHistoryResult result;
    HistoryReading readNow;
    if (read == nullptr) {
        readNow = ReadHistory(paths);
        read = &readNow;
    }
    result.load = read->load;
    history = std::move(read->history);
    // A working file cut, filled with other bytes or emptied while its copy holds results is
    // damaged; the copy is kept for the learner to restore.
    history.damaged = result.load.state == HistoryFileState::Unreadable ||
                      result.load.report.damaged() ||
                      (result.load.state == HistoryFileState::Loaded && history.count() == 0 &&
                       GoodHistoryCopyDate(paths).has_value());
    if (result.load.state == HistoryFileState::Unreadable) {
        // Saving now would replace the learner's results with an empty store.
        result.message = std::string(kHistoryUnreadableMessage) + HistoryFilePath(paths);
        return result;
    }
    if (result.load.report.overflowRecords > 0) {
        result.message = kHistoryTooLargeMessage;
    } else if (history.damaged) {
        result.message = std::string(kHistoryDamagedMessage) + HistoryFilePath(paths);
    }
    if (history.count() == 0) {
        result.profileCreated = true;
        if (!SaveHistory(HistoryFilePath(paths), history, &result.error)) {
            return result;
        }
    }
    std::string message = std::move(result.message);
    // The file holds the bytes read unless the empty store was just saved over it.
    const bool storedKnown = result.load.state == HistoryFileState::Loaded && !result.profileCreated;
    SyncUserSetsResult sync =
        SyncUserSetsWith(paths, language, now, history, storedKnown ? &read->bytes : nullptr);
    AppendMessage(message, sync.message);
    static_cast<SyncUserSetsResult&>(result) = std::move(sync);
    result.message = std::move(message);
    return result;
}

std::optional<std::string> GoodHistoryCopyDate(const AppPaths& paths) {
    const std::string path = HistoryCopyFilePath(paths);
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        return std::nullopt;
    }
    HistoryParseReport report;
    const ExerciseHistory copy = ParseHistory(*bytes, &report);
    if (copy.count() == 0 || report.damaged()) {
        return std::nullopt;
    }
    const std::optional<double> modified = FileModifiedDay(path);
    if (!modified) {
        return std::nullopt;
    }
    return FormatDateTime(*modified);
}

std::string HistoryRestoreQuestion(std::string_view dateTime) {
    return "Wczytać historię ćwiczeń z kopii z " + std::string(dateTime) + "?";
}

RestoreHistoryResult RestoreHistoryCopy(const AppPaths& paths, ExerciseHistory& history) {
    RestoreHistoryResult result;
    const std::optional<std::string> bytes = ReadFileBytes(HistoryCopyFilePath(paths));
    HistoryParseReport report;
    ExerciseHistory copy = bytes ? ParseHistory(*bytes, &report) : ExerciseHistory{};
    if (!bytes || report.damaged()) {
        result.message =
            "Kopia historii ćwiczeń jest niedostępna lub uszkodzona: " + HistoryCopyFilePath(paths);
        return result;
    }
    std::string error;
    if (!SaveHistory(HistoryFilePath(paths), copy, &error)) {
        result.message = "Nie udało się zapisać historii ćwiczeń (" + error + ").";
        return result;
    }
    history = std::move(copy);
    result.restored = true;
    result.message =
        "Wczytano historię ćwiczeń z kopii: " + std::to_string(history.count()) + " wpisów.";
    return result;
}

StoreResultStatus StoreSetResult(ExerciseHistory& history, double now, int percent,
                                 std::string_view setId, int stepId, std::uint8_t key,
                                 bool complete) {
    const std::string id = StoredId(setId);
    if (id.empty() || stepId < 1 || stepId >= kFirstCategory) {
        return StoreResultStatus::NoSuchSet;
    }
    const auto kind = static_cast<std::uint8_t>(stepId);
    const auto fill = [&](HistoryRecord& r) {
        r.when = now;
        r.percent = static_cast<std::uint8_t>(std::clamp(percent, 0, 100));
        r.complete = complete ? 1 : 0;
    };
    auto& records = history.records;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        if (it->id == id && it->kind == kind && it->key == key) {
            fill(*it);
            if (it->count < std::numeric_limits<std::int32_t>::max()) {
                ++it->count;
            }
            return StoreResultStatus::Updated;
        }
    }
    const auto last = std::find_if(records.rbegin(), records.rend(),
                                   [&](const HistoryRecord& r) { return r.id == id; });
    if (last == records.rend()) {
        return StoreResultStatus::NoSuchSet;
    }
    const bool append = !last->catalogueEntry();
    if (append && MakeRoom(history, 1) == 0) {
        return StoreResultStatus::Full;
    }
    // Every record of the set moves to the end, in its order, so that the set forms one run
    // after its latest result.
    const auto ofSet = [&](const HistoryRecord& r) { return r.id == id; };
    const auto first = std::find_if(records.begin(), records.end(), ofSet);
    std::vector<HistoryRecord> run;
    std::copy_if(first, records.end(), std::back_inserter(run), ofSet);
    records.erase(std::remove_if(first, records.end(), ofSet), records.end());
    std::move(run.begin(), run.end(), std::back_inserter(records));
    if (append) {
        const HistoryRecord& from = records.back();
        HistoryRecord r;
        r.id = from.id;
        r.name = from.name;
        r.level = from.level;
        r.group = from.group;
        records.push_back(std::move(r));
    }
    HistoryRecord& r = records.back();
    r.kind = kind;
    r.key = key;
    fill(r);
    r.count = 1;
    return StoreResultStatus::Added;
}

std::string_view StoreResultMessage(StoreResultStatus status) {
    return status == StoreResultStatus::Full ? kHistoryFullMessage : std::string_view();
}

std::optional<int> ExerciseResultPercent(int right, int wrong, int stepCount, int planned,
                                         int finished) {
    if (!(finished > 1 || (finished == 1 && planned == 1))) {
        return std::nullopt;
    }
    const long double total =
        static_cast<long double>(stepCount) * planned + static_cast<long double>(wrong);
    if (total <= 0) {
        return std::nullopt;
    }
    // Extended precision, rounded half to even, as the percentages have always been computed.
    const long double percent = static_cast<long double>(right) / total * 100.0L;
    return static_cast<int>(std::nearbyint(std::clamp(percent, -1.0e9L, 1.0e9L)));
}

std::string LatestResultText(const ExerciseHistory& history, std::string_view setId) {
    const std::string id = StoredId(setId);
    std::string text;
    double latest = -std::numeric_limits<double>::infinity();
    for (const HistoryRecord& r : history.records) {
        // Dates outside years 1..9999 cannot be shown; such a record is damaged.
        if (r.blank() || r.id != id || r.count <= 0 || !(r.when >= -693593.0) ||
            !(r.when < 2958466.0) || r.when < latest) {
            continue;
        }
        latest = r.when;
        text = "Ostatnio: " + FormatDate(r.when) + " " + std::string(KindName(r.kind)) + " " +
               std::to_string(r.percent) + " %" + (r.complete != 1 ? "!" : "") + " ";
    }
    return text;
}

}  // namespace dyd
