#pragma once

// Where the program finds its installation and where it writes.
//
// An installation is a folder that holds ds50.ini. The program looks for it beside its own file
// first (a build's sample installation, a copy unpacked anywhere) and then in the data folder of
// an installed package, which lies at a fixed place relative to the program's folder
// (bin/../share/dydaktor).
//
// An installation beside the program is worked in directly when it can be written. A package's
// data folder, or an installation beside the program that cannot be written, is read-only: the
// program then works in the user's data folder ($XDG_DATA_HOME/dydaktor, by default
// ~/.local/share/dydaktor), which repeats the installation's layout. Its folders are real folders,
// and each file of the installation appears there as a symbolic link to the installed file. Every
// file the program writes is replaced through a temporary file and a rename, so the first write
// of an installed file puts the user's own file in place of the link and leaves the installation
// untouched; files the installation does not have (the user list, learner folders, new databases,
// recordings) are made in the user's folder alone.
//
// Each start brings the links up to date with the installation (a package update may add or
// remove files); what it did last is kept in the user's folder (kLayerManifest), so that a file
// the user has replaced, or one that the program removed, is left as it is.

#include <string>
#include <string_view>
#include <vector>

namespace dyd {

// The list of what the installation held at the last start, in the user's folder.
inline constexpr std::string_view kLayerManifest = ".dydaktor-instalacja";
// Set to 1 to treat every installation as read-only (for tests that run as the superuser, who
// can write anywhere).
inline constexpr const char* kReadOnlyInstallVariable = "DYDAKTOR_READONLY_INSTALL";

// The data folder of an installed package relative to the program's folder, as the build was
// configured ("../share/dydaktor").
std::string_view PackageDataFromProgram();

struct InstallationPlace {
    std::string dir;          // the installation, ending in "/"; empty when none was found
    bool besideProgram = false;
};

// The installation for a program whose folder is programFolder (ending in "/"): programFolder
// itself when ds50.ini is there, else programFolder + packageData when ds50.ini is there.
InstallationPlace FindInstallation(std::string_view programFolder, std::string_view packageData);

// Whether the program may create files in folder: a file is made there and removed again (a
// permission check alone would not do for the superuser or a read-only mount). Always false when
// kReadOnlyInstallVariable is 1.
bool FolderWritable(const std::string& folder);

// $XDG_DATA_HOME/dydaktor/ when that variable holds an absolute path, else
// $HOME/.local/share/dydaktor/; empty when neither can be formed.
std::string UserDataFolder();

struct LayerSync {
    bool ok = true;
    std::string error;  // a Polish sentence with the path and the system's reason
    int linked = 0;     // links and folders made
    int removed = 0;    // links taken away because their installed file is gone
};

// Brings the user's folder layer (ending in "/") up to date with the installation install: makes
// the folders and links of what the installation gained since the last sync, removes the links
// of what it lost, and points the links elsewhere when the installation has moved. Files the user
// owns are never touched. Hidden entries (names beginning with ".") are not mirrored.
LayerSync SyncUserLayer(const std::string& install, const std::string& layer);

struct WorkFolder {
    std::string dir;          // where the program reads and writes; empty on failure
    std::string installDir;   // the installation found
    bool layered = false;     // dir is the user's folder over a read-only installation
    std::string error;        // when dir is empty and an installation was found
};

// The whole decision for a program in programFolder: the installation, and either the
// installation itself or the user's folder brought up to date with it. An installation found in
// the package data folder is always read-only: every user, the superuser too, gets a folder of
// his own (unless the data folder is the user's folder itself, as with an installation under
// ~/.local).
WorkFolder ChooseWorkFolder(std::string_view programFolder, std::string_view packageData);

// The same for an installation already found (a package's data folder when besideProgram is
// false), as the course tool, which is given the installation, decides it.
WorkFolder WorkFolderFor(const InstallationPlace& place);

// Whether two paths name the same folder (links and ".." resolved).
bool SameFolder(const std::string& a, const std::string& b);

// The program's file as ComputeProgramPaths is to see it: a name in the folder the program works
// in (ChooseWorkFolder for the program's folder), so that programDir becomes that folder.
// programFile itself when no installation is found (ComputeProgramPaths then says that the
// marker is missing); empty, with error set, when the user's folder cannot be made.
std::string ProgramFileInWorkFolder(std::string_view programFile, std::string_view packageData,
                                    std::string* error);

}  // namespace dyd
