#include "core/database_list.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "core/files.h"
#include "core/text.h"

namespace dyd {

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const std::string la = LowerAZ(a);
    const std::string lb = LowerAZ(b);
    return la != lb ? la < lb : a < b;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !DirectoryExists(folder + name)) {
            continue;
        }
        names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

std::size_t Utf8Length(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

}  // namespace

DatabaseList BuildDatabaseList(std::string_view programDir) {
    DatabaseList list;
    const std::string db = ResolvePath(programDir, "db/");
    for (const std::string& name : FolderNames(db)) {
        if (name.size() < 3) {
            continue;
        }
        const std::optional<std::string> bytes =
            ReadFileBytes(ResolvePath(db + name + "/", kParametersFile));
        if (!bytes) {
            continue;
        }
        const std::vector<std::string_view> lines = SplitLines(*bytes);
        if (lines.empty() || lines[0].empty()) {
            continue;
        }
        if (static_cast<int>(list.entries.size()) >= kMaxDatabases) {
            ++list.skipped;
            continue;
        }
        list.entries.push_back({std::string(lines[0]), name});
    }
    list.entries.push_back({std::string(kNewDatabaseTitle), {}});
    return list;
}

std::string_view CodeCheckMessage(CodeCheck check) {
    switch (check) {
        case CodeCheck::Ok:
            return {};
        case CodeCheck::TitleEmpty:
            return "Proszę wprowadzić nazwę bazy.";
        case CodeCheck::BadLength:
            return "Proszę wprowadzić poprawny kod bazy (od 3 do 15 znaków).";
        case CodeCheck::Exists:
            return "Baza o podanym kodzie już istnieje.";
        case CodeCheck::HasBlank:
            return "Kod bazy nie może zawierać spacji.";
        case CodeCheck::BadCharacter:
            break;
    }
    return "Kod bazy może składa się tylko z liter i cyfr.";
}

CodeCheck CheckNewDatabase(std::string_view programDir, std::string_view title,
                           std::string_view code) {
    if (TrimView(title).empty()) {
        return CodeCheck::TitleEmpty;
    }
    const std::string_view trimmed = TrimView(code);
    const std::size_t length = Utf8Length(trimmed);
    if (length < 3 || length > 15) {
        return CodeCheck::BadLength;
    }
    const std::string db = ResolvePath(programDir, "db/");
    for (const std::string& name : FolderNames(db)) {
        if (EqualsIgnoreCaseAZ(name, trimmed)) {
            return CodeCheck::Exists;
        }
    }
    if (trimmed.find(' ') != std::string_view::npos) {
        return CodeCheck::HasBlank;
    }
    // Besides ".", "-" and "_", nothing that would make the code a path or a hidden name.
    for (const char c : trimmed) {
        if (c == '.' || c == '-' || c == '_' || c == '/' || c == '\\' ||
            static_cast<unsigned char>(c) < 32) {
            return CodeCheck::BadCharacter;
        }
    }
    return CodeCheck::Ok;
}

bool CreateDatabaseFolder(std::string_view programDir, std::string_view code) {
    const std::string db = ResolvePath(programDir, "db/");
    if (!DirectoryExists(db) && ::mkdir(db.c_str(), 0777) != 0) {
        return false;
    }
    return ::mkdir((db + std::string(TrimView(code))).c_str(), 0777) == 0;
}

DatabaseParameters NewDatabaseParameters() {
    DatabaseParameters p;
    p.learnerMade = true;
    p.userIdLow = 1;
    p.userIdHigh = 99000;
    return p;
}

CreateResult CreateDatabase(std::string_view programDir, std::string_view code,
                            const DatabaseParameters& params, CodeCheck* check,
                            std::string* error) {
    const CodeCheck checked = CheckNewDatabase(programDir, params.title, code);
    if (check != nullptr) {
        *check = checked;
    }
    if (checked != CodeCheck::Ok) {
        return CreateResult::Refused;
    }
    if (!CreateDatabaseFolder(programDir, code)) {
        return CreateResult::FolderFailed;
    }
    AppPaths paths;
    paths.programDir = std::string(programDir);
    paths.databaseCode = std::string(TrimView(code));
    if (!SaveDatabaseParameters(paths, params, error)) {
        ::rmdir(ResolvePath(programDir, "db/" + paths.databaseCode).c_str());
        return CreateResult::WriteFailed;
    }
    return CreateResult::Created;
}

}  // namespace dyd
