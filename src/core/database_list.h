#pragma once

// The list of course databases under db/ and the checks for the code of a new database.

#include <string>
#include <string_view>
#include <vector>

#include "core/database.h"

namespace dyd {

inline constexpr int kMaxDatabases = 50;
inline constexpr std::string_view kNewDatabaseTitle = "Nowa baza";

struct DatabaseEntry {
    std::string title;  // line 1 of dyda_s.txt, untrimmed (Windows-1250)
    std::string code;   // the folder name; empty for the "Nowa baza" entry
};

struct DatabaseList {
    std::vector<DatabaseEntry> entries;  // the databases, then "Nowa baza"
    int skipped = 0;                     // databases beyond the first kMaxDatabases
};

// Every folder of programDir + "db/" whose name has at least 3 characters and whose dyda_s.txt
// has a non-empty first line, sorted by name (letter case aside), at most kMaxDatabases, then the
// entry "Nowa baza" without a code.
DatabaseList BuildDatabaseList(std::string_view programDir);

enum class CodeCheck {
    Ok,
    TitleEmpty,    // "Proszę wprowadzić nazwę bazy."
    BadLength,     // "Proszę wprowadzić poprawny kod bazy (od 3 do 15 znaków)."
    Exists,        // "Baza o podanym kodzie już istnieje."
    HasBlank,      // "Kod bazy nie może zawierać spacji."
    BadCharacter,  // "Kod bazy może składa się tylko z liter i cyfr."
};

// The message of a check (UTF-8); empty for Ok.
std::string_view CodeCheckMessage(CodeCheck check);

// The checks of a new database's title and code (both as typed, UTF-8), in the order the
// window makes them. The code is trimmed; its length counts characters.
CodeCheck CheckNewDatabase(std::string_view programDir, std::string_view title,
                           std::string_view code);

inline constexpr std::string_view kCannotCreateFolderMessage = "Nie mogę utworzyc katalogu!";

// Creates programDir + "db/" + code; false when it cannot be created.
bool CreateDatabaseFolder(std::string_view programDir, std::string_view code);

// The parameters a new database starts with: learner-made, user ids 1..99000.
DatabaseParameters NewDatabaseParameters();

enum class CreateResult { Created, Refused, FolderFailed, WriteFailed };

// Creates a learner-made database: checks title and code, creates the folder and writes its
// dyda_s.txt. Nothing is left behind when a step fails. On Refused, check says why.
CreateResult CreateDatabase(std::string_view programDir, std::string_view code,
                            const DatabaseParameters& params, CodeCheck* check = nullptr,
                            std::string* error = nullptr);

}  // namespace dyd
