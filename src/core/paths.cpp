#include "core/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "core/file_stamps.h"
#include "core/files.h"
#include "core/text.h"

namespace dyd {

std::string SlashPath(std::string_view path) {
    std::string out(path);
    for (char& c : out) {
        if (c == '\\') {
            c = '/';
        }
    }
    return out;
}

namespace {

bool Exists(const std::string& path) {
    NoteFileLookedAt(path);
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// The name of the entry of folder that equals name letter case aside, or empty.
std::string FindEntry(const std::string& folder, std::string_view name) {
    NoteFileLookedAt(folder.empty() ? "." : folder);
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return {};
    }
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (EqualsIgnoreCaseAZ(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

}  // namespace

std::string ResolvePath(std::string_view base, std::string_view relative) {
    std::string path(base);
    if (!path.empty() && path.back() != '/') {
        path.push_back('/');
    }
    const std::string rel = SlashPath(relative);
    const std::string direct = path + rel;
    if (Exists(direct)) {
        return direct;
    }
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    const std::string_view view(rel);
    while (start <= view.size()) {
        const std::size_t slash = view.find('/', start);
        const std::size_t end = slash == std::string_view::npos ? view.size() : slash;
        if (end > start) {
            parts.push_back(view.substr(start, end - start));
        }
        if (slash == std::string_view::npos) {
            break;
        }
        start = slash + 1;
    }
    bool resolving = true;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string_view part = parts[i];
        std::string next = path + std::string(part);
        if (resolving && !Exists(next)) {
            const std::string entry = FindEntry(path.empty() ? "." : path, part);
            if (!entry.empty()) {
                next = path + entry;
            } else {
                resolving = false;
            }
        }
        path = next;
        if (i + 1 < parts.size() || (!rel.empty() && rel.back() == '/')) {
            path.push_back('/');
        }
    }
    return path;
}

bool FileExistsUnder(std::string_view base, std::string_view relative) {
    return FileExists(ResolvePath(base, relative));
}

std::string NativeFolder(std::string_view programDir, std::string_view specPath) {
    std::string path = SlashPath(specPath);
    if (path.empty()) {
        return path;
    }
    if (path.back() != '/') {
        path.push_back('/');
    }
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        std::string rest = path.substr(2);
        while (!rest.empty() && rest.front() == '/') {
            rest.erase(0, 1);
        }
        return ResolvePath(programDir, rest);
    }
    if (path.front() == '/') {
        return ResolvePath("/", path.substr(1));
    }
    return ResolvePath(programDir, path);
}

Ds50Ini ParseDs50Ini(std::string_view bytes) {
    Ds50Ini ini;
    const std::vector<std::string_view> lines = SplitLines(bytes);
    if (lines.size() >= 2) {
        const std::string_view second = TrimView(lines[1]);
        if (second.size() >= 4) {
            ini.discRoot = std::string(second.substr(3, 3));
        }
    }
    return ini;
}

ProgramPathsResult ComputeProgramPaths(std::string_view programFile, bool changeCurrentFolder) {
    ProgramPathsResult result;
    std::string file = SlashPath(programFile);
    // programDir is the full path: a relative one would name another folder once the current
    // folder has been changed to it.
    if (!file.empty() && file.front() != '/') {
        if (char* cwd = ::getcwd(nullptr, 0)) {
            std::string absolute(cwd);
            std::free(cwd);
            if (absolute.empty() || absolute.back() != '/') {
                absolute.push_back('/');
            }
            file = absolute + file;
        }
    }
    const std::size_t slash = file.rfind('/');
    result.paths.programDir = slash == std::string::npos ? "./" : file.substr(0, slash + 1);
    if (changeCurrentFolder && ::chdir(result.paths.programDir.c_str()) != 0) {
        result.status = ProgramPathsStatus::CannotSetFolder;
    }
    const std::string marker = ResolvePath(result.paths.programDir, kInstallMarker);
    const std::optional<std::string> bytes = ReadFileBytes(marker);
    if (!bytes) {
        result.status = ProgramPathsStatus::MarkerMissing;
        return result;
    }
    result.paths.discRoot = ParseDs50Ini(*bytes).discRoot;
    result.paths.languageDir = std::string(kLanguageDir);
    return result;
}

}  // namespace dyd
