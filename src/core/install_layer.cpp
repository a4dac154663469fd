#include "core/install_layer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <optional>

#include "core/files.h"
#include "core/paths.h"
#include "core/text.h"

#ifndef DYDAKTOR_PACKAGE_DATA
#define DYDAKTOR_PACKAGE_DATA "../share/dydaktor"
#endif

namespace dyd {

namespace {

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') {
        dir.push_back('/');
    }
    return dir;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder as the system names it (symbolic links and ".." resolved), ending in "/"; the path
// itself when it cannot be resolved.
std::string RealFolder(const std::string& dir) {
    if (char* real = ::realpath(dir.c_str(), nullptr)) {
        std::string out(real);
        std::free(real);
        return WithSlash(out);
    }
    return WithSlash(dir);
}

std::string Failure(std::string_view what, const std::string& path, int code) {
    return std::string(what) + " " + path + ": " + SystemErrorText(code);
}

// What an installation holds: relative paths, folders ending in "/", in sorted order.
using Listing = std::map<std::string, bool>;  // path -> is a folder

void ListFolder(const std::string& root, const std::string& relative, Listing& out) {
    DIR* dir = ::opendir((root + relative).c_str());
    if (dir == nullptr) {
        return;
    }
    std::vector<std::pair<std::string, bool>> entries;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        // Hidden entries are the running program's own (locks, temporary files of a write).
        if (name.empty() || name.front() == '.' ||
            name.find_first_of("\r\n") != std::string_view::npos) {
            continue;
        }
        bool folder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            folder = IsFolder(root + relative + std::string(name));
        }
        entries.emplace_back(std::string(name), folder);
    }
    ::closedir(dir);
    for (const auto& [name, folder] : entries) {
        if (folder) {
            out.emplace(relative + name + "/", true);
            ListFolder(root, relative + name + "/", out);
        } else {
            out.emplace(relative + name, false);
        }
    }
}

struct Manifest {
    std::string install;
    Listing entries;
};

std::optional<Manifest> ReadManifest(const std::string& path) {
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        return std::nullopt;
    }
    const std::vector<std::string_view> lines = SplitLines(*bytes);
    if (lines.empty()) {
        return std::nullopt;
    }
    Manifest manifest;
    manifest.install = std::string(TrimView(lines[0]));
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            manifest.entries.emplace(std::string(line), line.back() == '/');
        }
    }
    return manifest;
}

std::string FormatManifest(const std::string& install, const Listing& entries) {
    std::string out = install + "\r\n";
    for (const auto& [path, folder] : entries) {
        out += path;
        out += "\r\n";
    }
    return out;
}

std::optional<std::string> LinkTarget(const std::string& path) {
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<std::size_t>(n) >= target.size()) {
        return std::nullopt;
    }
    target.resize(static_cast<std::size_t>(n));
    return target;
}

}  // namespace

std::string_view PackageDataFromProgram() {
    return DYDAKTOR_PACKAGE_DATA;
}

InstallationPlace FindInstallation(std::string_view programFolder, std::string_view packageData) {
    const std::string folder = WithSlash(std::string(programFolder));
    if (FileExistsUnder(folder, kInstallMarker)) {
        return {folder, true};
    }
    if (!packageData.empty()) {
        const std::string data =
            packageData.front() == '/' ? std::string(packageData) : folder + std::string(packageData);
        if (FileExistsUnder(data, kInstallMarker)) {
            return {RealFolder(data), false};
        }
    }
    return {};
}

bool FolderWritable(const std::string& folder) {
    const char* forced = std::getenv(kReadOnlyInstallVariable);
    if (forced != nullptr && std::string_view(forced) == "1") {
        return false;
    }
    std::string probe = WithSlash(folder) + ".dydaktor-zapis.XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

std::string UserDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return WithSlash(xdg) + "dydaktor/";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return WithSlash(home) + ".local/share/dydaktor/";
    }
    return {};
}

LayerSync SyncUserLayer(const std::string& installDir, const std::string& layerDir) {
    LayerSync sync;
    const std::string install = WithSlash(installDir);
    const std::string layer = WithSlash(layerDir);
    const auto fail = [&sync](std::string message) {
        sync.ok = false;
        if (sync.error.empty()) {
            sync.error = std::move(message);
        }
    };

    // The user's folder and the folders above it.
    std::string made;
    for (std::size_t slash = layer.find('/', 1); slash != std::string::npos;
         slash = layer.find('/', slash + 1)) {
        made = layer.substr(0, slash);
        if (::mkdir(made.c_str(), 0755) != 0 && errno != EEXIST) {
            fail(Failure("Nie można utworzyć katalogu", made, errno));
            return sync;
        }
    }
    if (!IsFolder(layer)) {
        fail(Failure("Nie można utworzyć katalogu", layer, ENOTDIR));
        return sync;
    }

    Listing now;
    ListFolder(install, "", now);
    const std::string manifestPath = layer + std::string(kLayerManifest);
    const std::optional<Manifest> before = ReadManifest(manifestPath);
    const bool moved = before && before->install != install;
    static const Listing kNothing;
    const Listing& was = before ? before->entries : kNothing;

    // Links of files that left the installation, or that point to where it was before.
    for (auto it = was.rbegin(); it != was.rend(); ++it) {
        const auto& [path, folder] = *it;
        const std::string at = layer + path;
        const bool stays = now.count(path) != 0;
        if (folder) {
            if (!stays) {
                ::rmdir(at.c_str());  // only when the user keeps nothing in it
            }
            continue;
        }
        if (stays && !moved) {
            continue;
        }
        const std::optional<std::string> target = LinkTarget(at);
        if (!target || *target != before->install + path) {
            continue;  // the user's own file, or a link of his
        }
        if (stays) {
            // The installation moved: the link follows it.
            const std::string temp = layer + (path.rfind('/') == std::string::npos
                                                  ? std::string()
                                                  : path.substr(0, path.rfind('/') + 1)) +
                                     ".dydaktor-link";
            ::unlink(temp.c_str());
            if (::symlink((install + path).c_str(), temp.c_str()) != 0 ||
                ::rename(temp.c_str(), at.c_str()) != 0) {
                fail(Failure("Nie można utworzyć dowiązania", at, errno));
                ::unlink(temp.c_str());
            }
            continue;
        }
        if (::unlink(at.c_str()) == 0) {
            ++sync.removed;
        }
    }

    // What the installation gained: its folders as real folders, its files as links, wherever
    // the user's folder has nothing of that name yet.
    for (const auto& [path, folder] : now) {
        if (was.count(path) != 0 && !moved) {
            continue;  // known before: what the user did with it stays
        }
        const std::string at = layer + path;
        struct stat st {};
        if (::lstat((folder ? at.substr(0, at.size() - 1) : at).c_str(), &st) == 0) {
            continue;
        }
        if (folder) {
            if (::mkdir(at.c_str(), 0755) != 0 && errno != EEXIST) {
                fail(Failure("Nie można utworzyć katalogu", at, errno));
                continue;
            }
        } else if (::symlink((install + path).c_str(), at.c_str()) != 0 && errno != EEXIST) {
            fail(Failure("Nie można utworzyć dowiązania", at, errno));
            continue;
        }
        ++sync.linked;
    }

    if (sync.ok) {
        const std::string manifest = FormatManifest(install, now);
        const std::optional<std::string> old = ReadFileBytes(manifestPath);
        std::string error;
        if ((!old || *old != manifest) && !WriteFileAtomically(manifestPath, manifest, &error)) {
            fail(error);
        }
    }
    return sync;
}

WorkFolder ChooseWorkFolder(std::string_view programFolder, std::string_view packageData) {
    return WorkFolderFor(FindInstallation(programFolder, packageData));
}

bool SameFolder(const std::string& a, const std::string& b) {
    return IsFolder(a) && IsFolder(b) && RealFolder(a) == RealFolder(b);
}

WorkFolder WorkFolderFor(const InstallationPlace& place) {
    WorkFolder work;
    if (place.dir.empty()) {
        return work;
    }
    work.installDir = place.dir;
    if (place.besideProgram && FolderWritable(place.dir)) {
        work.dir = place.dir;
        return work;
    }
    const std::string user = UserDataFolder();
    if (user.empty()) {
        work.error = "Nie można ustalić katalogu danych użytkownika: brak zmiennych HOME i "
                     "XDG_DATA_HOME.";
        return work;
    }
    if (SameFolder(user, place.dir)) {
        // The package went to the user's own data folder: it is his to write.
        if (FolderWritable(place.dir)) {
            work.dir = place.dir;
            return work;
        }
        work.error = "Katalog danych " + user + " jest tylko do odczytu.";
        return work;
    }
    const LayerSync sync = SyncUserLayer(place.dir, user);
    if (!sync.ok) {
        work.error = sync.error;
        return work;
    }
    work.dir = user;
    work.layered = true;
    return work;
}

std::string ProgramFileInWorkFolder(std::string_view programFile, std::string_view packageData,
                                    std::string* error) {
    const std::string file = SlashPath(programFile);
    const std::size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "./" : file.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    const WorkFolder work = ChooseWorkFolder(folder, packageData);
    if (work.installDir.empty()) {
        return file;
    }
    if (work.dir.empty()) {
        if (error != nullptr) {
            *error = work.error;
        }
        return {};
    }
    return work.dir + name;
}

}  // namespace dyd
