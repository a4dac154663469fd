#pragma once

// Folder paths of an installation. Path texts given with "\" (as the data files and the program
// name them) are joined with "/" and resolved without regard to the letter case of A-Z, so that a
// folder gfx_s answers to "Gfx_s".

#include <string>
#include <string_view>

namespace dyd {

// Every folder string ends in "/" once it is complete; the folders are empty until set.
struct AppPaths {
    std::string programDir;
    std::string languageDir;  // relative to programDir: "Lang_s/0/"
    std::string discRoot;     // three characters from ds50.ini
    std::string databaseDir;  // programDir + "db/" + databaseCode + "/"
    std::string userDir;      // programDir + user number + "/"
    std::string recordingsDir;
    std::string databaseCode;
};

inline constexpr std::string_view kLanguageDir = "Lang_s/0/";
inline constexpr std::string_view kInstallMarker = "ds50.ini";

// Turns "\" into "/".
std::string SlashPath(std::string_view path);

// base (a folder, with or without a trailing "/") joined with relative, each component matched
// without regard to the case of A-Z when the exact spelling does not exist. Components that do
// not exist keep the spelling given, so the result can also name a file about to be created.
std::string ResolvePath(std::string_view base, std::string_view relative);

// Whether a file (not a folder) exists at base + relative, letter case aside.
bool FileExistsUnder(std::string_view base, std::string_view relative);

// The recordings folder from the recordings path of a database and the disc root: "\" become
// "/", a drive prefix such as "D:" is dropped and what follows it is taken under programDir (a
// disc copied into the installation), a path starting with "/" stays absolute, any other path is
// relative to programDir. The result ends in "/" (empty stays empty).
std::string NativeFolder(std::string_view programDir, std::string_view specPath);

struct Ds50Ini {
    std::string discRoot;  // characters 4 to 6 of the trimmed second line
};

// Reads the installation marker; the lines that are missing leave their values empty.
Ds50Ini ParseDs50Ini(std::string_view bytes);

enum class ProgramPathsStatus {
    Ok,
    CannotSetFolder,  // "Cannot find directory"; start-up goes on
    MarkerMissing,    // the program must end
};

struct ProgramPathsResult {
    AppPaths paths;
    ProgramPathsStatus status = ProgramPathsStatus::Ok;
};

inline constexpr std::string_view kCannotFindDirectory = "Cannot find directory";
inline constexpr std::string_view kMarkerMissingMessage =
    "Brak plików systemowych, proszę powtórzyć instalację programu!";

// Sets programDir to the folder of programFile, makes it the current folder when asked, reads
// ds50.ini and sets languageDir. The date and number formats are fixed ("yyyy-mm-dd", ".") and
// need no set-up.
ProgramPathsResult ComputeProgramPaths(std::string_view programFile, bool changeCurrentFolder);

}  // namespace dyd
