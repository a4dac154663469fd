#include "core/exercise_sets.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "core/files.h"
#include "core/text.h"

namespace dyd {

namespace {

constexpr std::string_view kUserLineCategory = "9";
// "Ćwiczenie usera [" in Windows-1250.
constexpr std::string_view kSavedAgainPrefix = "\xC6wiczenie usera [";

std::string PathIn(const AppPaths& paths, std::string_view name) {
    return name.empty() ? std::string() : ResolvePath(paths.databaseDir, name);
}

std::string ReadOptionalFile(const std::string& path, bool* exists = nullptr) {
    std::optional<std::string> bytes;
    if (!path.empty() && FileExists(path)) {
        bytes = ReadFileBytes(path);
    }
    if (exists != nullptr) {
        *exists = bytes.has_value();
    }
    return bytes ? std::move(*bytes) : std::string();
}

bool Holds(const CurrentSet& set, std::int32_t code) {
    return std::find(set.codes.begin(), set.codes.begin() + set.count, code) !=
           set.codes.begin() + set.count;
}

void AppendCode(CurrentSet& set, std::int32_t code) {
    if (set.count < kMaxSetUnits) {
        set.codes[static_cast<std::size_t>(set.count++)] = code;
    } else {
        set.codes[kMaxSetUnits - 1] = code;
    }
}

// The identifier of a line (field 2, trimmed and lower-cased); false when the line has no
// field 2.
bool LineIdentifier(const EqualsFields& fields, std::string& id) {
    if (fields.count() < 2) {
        return false;
    }
    id = LowerAZ(fields.trimmed(1));
    return true;
}

bool EndsWithIgnoreCaseAZ(std::string_view text, std::string_view suffix) {
    return text.size() > suffix.size() &&
           EqualsIgnoreCaseAZ(text.substr(text.size() - suffix.size()), suffix);
}

void AddFolder(const std::string& folder, std::string_view extension,
               std::vector<Background>& entries) {
    std::error_code ec;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.empty() || name.front() == '.' || !it->is_regular_file(typeError) ||
            !EndsWithIgnoreCaseAZ(name, extension)) {
            continue;
        }
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (entries.size() >= kMaxBackgrounds) {
            return;
        }
        entries.push_back({folder + name, false});
    }
}

}  // namespace

std::string_view ShippedSetFileName(int language) {
    switch (language) {
        case 1:
            return "cwa_s.txt";
        case 2:
            return "cwn_s.txt";
        case 3:
            return "cwf_s.txt";
        case 4:
            return "cwh_s.txt";
        case 5:
            return "cww_s.txt";
        case 6:
            return "cwr_s.txt";
        default:
            return {};
    }
}

std::string_view UserSetFileName(int language) {
    switch (language) {
        case 1:
            return "cwa_su.txt";
        case 2:
            return "cwn_su.txt";
        case 3:
            return "cwf_su.txt";
        case 4:
            return "cwh_su.txt";
        case 5:
            return "cww_su.txt";
        case 6:
            return "cwr_su.txt";
        default:
            return "cw_su.txt";
    }
}

std::string ShippedSetFilePath(const AppPaths& paths, int language) {
    return PathIn(paths, ShippedSetFileName(language));
}

std::string UserSetFilePath(const AppPaths& paths, int language) {
    return PathIn(paths, UserSetFileName(language));
}

std::string_view SetCategoryName(int category) {
    switch (category) {
        case 80:
            return "Słówka - ćwiczenia";
        case 81:
            return "Zdania - ćwiczenia";
        case 82:
            return "Ćwiczenie użytkownika";
        default:
            return {};
    }
}

bool ParseSetLine(std::string_view line, SetLine& out) {
    const EqualsFields fields(line, 3);
    if (fields.count() < 3) {
        return false;
    }
    out.category = fields.trimmed(0);
    out.identifier = fields.trimmed(1);
    out.name = fields.trimmed(2);
    const std::string_view rest = fields.rest();
    out.codes = line.substr(line.size() - rest.size() - 1);
    return true;
}

bool FindSetCodes(std::string_view fileBytes, std::string_view key, CurrentSet& set) {
    set.count = 0;
    const std::string wanted = LowerAZ(TrimView(key));
    for (const std::string_view line : SplitLines(fileBytes)) {
        const EqualsFields fields(line, 3);
        std::string id;
        if (!LineIdentifier(fields, id) || id != wanted) {
            continue;
        }
        if (fields.count() < 3) {
            return true;  // the line holds no codes
        }
        // From the third "=" on: "=" and five digits per code.
        std::string_view codes = line.substr(line.size() - fields.rest().size() - 1);
        while (!codes.empty() && set.count < kMaxSetUnits) {
            const std::optional<std::int32_t> code =
                ParseInt(TrimView(codes.substr(1, std::min<std::size_t>(5, codes.size() - 1))));
            if (code) {
                set.codes[static_cast<std::size_t>(set.count++)] = *code;
            }
            codes.remove_prefix(std::min<std::size_t>(6, codes.size()));
        }
        return true;
    }
    return false;
}

void LoadSet(const AppPaths& paths, int language, std::string_view identifier, CurrentSet& set,
             SessionPlan& plan) {
    plan.currentKind = 0;
    set.count = 0;
    const std::string_view id = TrimView(identifier);
    const std::string path = !id.empty() && id.front() == '2' ? UserSetFilePath(paths, language)
                                                              : ShippedSetFilePath(paths, language);
    bool exists = false;
    const std::string bytes = ReadOptionalFile(path, &exists);
    if (exists) {
        FindSetCodes(bytes, id, set);
    }
}

bool SetNameExistsIn(std::string_view fileBytes, std::string_view name) {
    for (const std::string_view line : SplitLines(fileBytes)) {
        const EqualsFields fields(line, 3);
        if (fields.count() == 3 && fields.trimmed(2) == name) {
            return true;
        }
    }
    return false;
}

bool SetNameExists(const AppPaths& paths, int language, std::string_view name) {
    return SetNameExistsIn(ReadOptionalFile(UserSetFilePath(paths, language)), name);
}

std::string SavedAgainName(std::string_view name) {
    // A set loaded back from the catalogue already carries the wrapping; saving it again keeps
    // it once rather than nesting it deeper at every save.
    if (name.size() > kSavedAgainPrefix.size() && name.starts_with(kSavedAgainPrefix) &&
        name.back() == ']') {
        return std::string(name);
    }
    return std::string(kSavedAgainPrefix) + std::string(name) + "]";
}

std::int64_t SetSerial(std::string_view identifier) {
    identifier = TrimView(identifier);
    std::size_t start = identifier.size();
    while (start > 0 && identifier[start - 1] >= '0' && identifier[start - 1] <= '9') {
        --start;
    }
    std::int64_t serial = 0;
    for (std::size_t i = start; i < identifier.size(); ++i) {
        if (serial > (std::int64_t{1} << 56)) {
            break;  // far beyond any serial given out; keeps the sum in range
        }
        serial = serial * 10 + (identifier[i] - '0');
    }
    return serial;
}

std::string RewriteUserSets(std::string_view fileBytes, bool fileExists, const CurrentSet& set,
                            std::string_view name, std::string_view key, SaveSetMode mode,
                            SaveSetResult& result) {
    result = {};
    name = TrimView(name);
    const auto refuse = [&](SaveSetStatus status, std::string_view message) {
        result.status = status;
        result.message = message;
        return std::string(fileBytes);
    };
    if (mode != SaveSetMode::Delete) {
        if (set.count <= 0) {
            return refuse(SaveSetStatus::EmptySet, kEmptySetMessage);
        }
        if (std::any_of(name.begin(), name.end(),
                        [](char c) { return c == '=' || static_cast<unsigned char>(c) < 32; })) {
            return refuse(SaveSetStatus::BadName, kBadSetNameMessage);
        }
    }
    std::string codes;
    for (int i = 0; i < std::min(set.count, kMaxSetUnits); ++i) {
        const std::int32_t code = set.codes[static_cast<std::size_t>(i)];
        if (code < 0 || code > 99999) {
            return refuse(SaveSetStatus::BadCode, kBadSetCodeMessage);
        }
        codes += '=';
        codes += ZeroPad(5, code);
    }
    const auto setLine = [&](std::string_view id, std::string_view lineName) {
        std::string line(kUserLineCategory);
        line += '=';
        line += id;
        line += '=';
        line += lineName;
        line += codes;
        line += "\r\n";
        return line;
    };
    const std::string prefix = std::string(key) + "-";

    if (!fileExists) {
        if (mode != SaveSetMode::Save) {
            result.status = SaveSetStatus::Unchanged;
            return {};
        }
        return setLine(prefix + ZeroPad(4, 1), name);
    }

    const std::vector<std::string_view> lines = SplitLines(fileBytes);
    std::int64_t serial = 0;
    int setLines = 0;
    for (const std::string_view line : lines) {
        const EqualsFields fields(line, 3);
        if (fields.count() >= 2) {
            serial = std::max(serial, SetSerial(fields.raw(1)));
        }
        setLines += fields.count() == 3 ? 1 : 0;
    }
    const std::string matchKey = LowerAZ(TrimView(key));
    std::string out;
    out.reserve(fileBytes.size() + codes.size() + 64);
    bool matched = false;
    for (const std::string_view line : lines) {
        const EqualsFields fields(line, 3);
        std::string id;
        if (LineIdentifier(fields, id) && id == matchKey) {
            matched = true;
            if (mode == SaveSetMode::Save) {
                out += setLine(key, " " + SavedAgainName(name));
            }
        } else if (mode != SaveSetMode::Delete && fields.count() == 3 &&
                   fields.trimmed(2) == name) {
            matched = true;
            out += setLine(prefix + ZeroPad(4, ++serial), name);
        } else {
            out += line;
            out += "\r\n";
        }
    }
    if (mode == SaveSetMode::Save && !matched) {
        if (setLines >= kMaxUserSets) {
            return refuse(SaveSetStatus::TooManySets, kTooManySetsMessage);
        }
        out += setLine(prefix + ZeroPad(4, ++serial), name);
    }
    return out;
}

SaveSetResult SaveSet(const AppPaths& paths, int language, const CurrentSet& set,
                      std::string_view name, std::string_view key, SaveSetMode mode) {
    const std::string path = UserSetFilePath(paths, language);
    bool exists = false;
    const std::string before = ReadOptionalFile(path, &exists);
    SaveSetResult result;
    const std::string after = RewriteUserSets(before, exists, set, name, key, mode, result);
    if (result.status != SaveSetStatus::Written) {
        return result;
    }
    std::string error;
    if (!WriteFileAtomically(path, after, &error)) {
        result.status = SaveSetStatus::WriteFailed;
        result.message = std::string(kSetNotWrittenMessage) + path;
    }
    return result;
}

bool WantsRelatedSentences(const Settings& settings, bool attachExampleSentences) {
    return settings.learningMode == 2 ? settings.proposeSentenceExercises : attachExampleSentences;
}

void PrepareSetForSession(CurrentSet& set, const UnitTable& units,
                          const std::vector<Relation>& relations, bool addRelatedSentences,
                          SessionPlan& plan) {
    set.count = std::clamp(set.count, 0, kMaxSetUnits);
    if (addRelatedSentences) {
        // The related ids of every word code, in relation-table order.
        std::unordered_map<std::int32_t, std::vector<std::int32_t>> related;
        for (int i = 0; i < set.count; ++i) {
            const std::int32_t code = set.codes[static_cast<std::size_t>(i)];
            if (code < 60000) {
                related.try_emplace(code);
            }
        }
        for (const Relation& relation : relations) {
            const auto it = related.find(relation.unitId);
            if (it != related.end()) {
                it->second.push_back(relation.relatedId);
            }
        }
        std::vector<std::int32_t> collected;
        for (int i = 0; i < set.count; ++i) {
            const auto it = related.find(set.codes[static_cast<std::size_t>(i)]);
            if (it == related.end()) {
                continue;
            }
            for (const std::int32_t id : it->second) {
                if (collected.size() < kMaxSetUnits) {
                    collected.push_back(id);
                } else {
                    collected.back() = id;
                }
            }
        }
        for (const std::int32_t code : collected) {
            if (!Holds(set, code)) {
                AppendCode(set, code);
            }
        }
    }
    for (int i = 0; i < set.count; ++i) {
        const int n = units.IndexOfUnitId(set.codes[static_cast<std::size_t>(i)]);
        set.unitNumbers[static_cast<std::size_t>(i)] = n > 0 ? n : 0;
    }
    // Drop the unresolved entries: the last resolved entries move into the holes.
    auto& u = set.unitNumbers;
    int j = 0;
    int n = set.count - 1;  // 0-based index of the last entry
    while (j < n) {
        if (u[static_cast<std::size_t>(j)] != 0) {
            ++j;
            continue;
        }
        if (u[static_cast<std::size_t>(n)] != 0) {
            u[static_cast<std::size_t>(j)] = u[static_cast<std::size_t>(n)];
        }
        u[static_cast<std::size_t>(n)] = 0;
        --n;
    }
    if (n >= 0 && u[static_cast<std::size_t>(n)] == 0) {
        --n;
    }
    set.count = n + 1;
    set.ready = true;
    plan.mode = SessionMode::Learning;
}

void ParseCodeList(std::string_view bytes, CurrentSet& set) {
    set.count = 0;
    const std::vector<std::string_view> lines = SplitLines(bytes);
    for (std::size_t i = 10; i < lines.size() && set.count < kMaxSetUnits; ++i) {
        const std::optional<std::int32_t> code = IntOrZero(lines[i]);
        if (code && *code > 0 && !Holds(set, *code)) {
            AppendCode(set, *code);
        }
    }
}

void ReadCodeList(const std::string& path, CurrentSet& set, SessionPlan& plan) {
    plan.currentKind = 0;
    ParseCodeList(ReadOptionalFile(path), set);
}

void BuildBackgroundList(const AppPaths& paths, Random& random, BackgroundList& list) {
    list.entries.clear();
    const std::string programFolder = ResolvePath(paths.programDir, "cw_tla_s") + "/";
    AddFolder(programFolder, ".jpg", list.entries);
    AddFolder(programFolder, ".bmp", list.entries);
    if (!paths.discRoot.empty()) {
        std::string root = paths.discRoot;
        if (root.back() != '\\' && root.back() != '/') {
            root += '\\';
        }
        const std::string discFolder = NativeFolder(paths.programDir, root + "cw_tla_s");
        std::error_code ec;
        if (!std::filesystem::equivalent(discFolder, programFolder, ec)) {
            AddFolder(discFolder, ".bmp", list.entries);
        }
    }
    const int n = static_cast<int>(list.entries.size());
    list.current = n > 0 ? random.Below(n) + 1 : 0;
}

}  // namespace dyd
