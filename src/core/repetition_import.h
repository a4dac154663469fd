#pragma once

// Taking over the repetition records of another account: of an earlier edition (2001 and 4.0,
// whose accounts keep 60-byte records in "p.b") or of this edition (5.0, the 64-byte records of
// code + ".p"), matched to the units of the open database by their ids; and taking over the
// learner units of an earlier installation. The installation folder is given by the caller.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/paths.h"
#include "core/repetitions.h"
#include "core/unit_table.h"

namespace dyd {

enum class Edition { E2001, E40, E50 };

inline constexpr std::size_t kEarlierRecordSize = 60;
inline constexpr int kEarlierMarkedKinds = 15;

// ---- Accounts --------------------------------------------------------------------------------

struct ImportAccount {
    std::int32_t number = 0;
    std::string name;  // trimmed, as read
};

// The accounts of a "usr.t": every line with "=" whose text before the first "=" is a positive
// number; the name is the rest of the line, trimmed. Every such line is listed. Takes any bytes.
std::vector<ImportAccount> ParseImportAccounts(std::string_view bytes);
// The accounts of sourceFolder + "usr.t"; empty when there is no such file.
std::vector<ImportAccount> ReadImportAccounts(std::string_view sourceFolder);

// A folder as typed: trimmed, "\" as "/", with a "/" at the end.
std::string NormalizeSourceFolder(std::string_view typed);

// "Nie wykryto kont użytkownika w programie Dydaktor 2001!" (4.0, 5.0 alike).
std::string NoAccountsMessage(Edition edition);
inline constexpr std::string_view kChooseAccountPrompt = "Wybierz konto użytkownika:";
// The question when no installation of an earlier edition is known: "Nie wykryto
// zainstalowanego programu Dydaktor 2001 - Słownictwo! Czy chcesz podać ścieżkę dostępu?"
std::string NoInstallationQuestion(Edition edition);
// The title of the folder question: "Podaj ścieżkę dostępu do programu w wersji 2001".
std::string FolderPrompt(Edition edition);
inline constexpr std::string_view kImportWindowTitle = "Import powtórek";
inline constexpr std::string_view kImportWarning =
    "Uwaga! W zależności od ustwień Import powtórek może wykasować istniejące powtórki "
    "zalogowanego użytkownika.";

// The repetition file of an account: for 5.0 sourceFolder + number + "/" + databaseCode + ".p",
// for the earlier editions sourceFolder + number + "/p.b" (letter case aside).
std::string AccountRepetitionFile(Edition edition, std::string_view sourceFolder,
                                  std::int32_t accountNumber, std::string_view databaseCode);

// ---- Records ---------------------------------------------------------------------------------

struct ImportCounts {
    int imported = 0;          // records taken over whose interval is above 0
    int kept = 0;              // learnt units left as they were (keep on)
    int missing = 0;           // records of units the database does not hold
    std::string missingList;   // " - " + id for each of them, in file order
    int notLearnt = 0;         // records with unitId 0 or below: nothing to take over
    std::size_t cutBytes = 0;  // a last, incomplete record
    // Records that no edition writes (a date outside the years 1..9999, a flag other than 0 or
    // 1) and a cut last record: none of them is taken over.
    int damaged = 0;
};

// The records of a repetition file, read whole before anything is taken over.
struct ImportSource {
    Edition edition = Edition::E50;
    // The learnt, plausible records in file order, in the current layout: for the earlier
    // editions the flags come from their own offsets, byte 60 is 0 and only the marks of the
    // first 15 kinds mean anything.
    std::vector<RepetitionRecord> records;
    ImportCounts counts;  // notLearnt, cutBytes and damaged
};
ImportSource ReadImportSource(std::string_view bytes, Edition edition);

// Reports the share of the records taken over so far, 0..100, after every
// kImportProgressStep-th record.
using ImportProgress = std::function<void(int position)>;
inline constexpr int kImportProgressStep = 500;

// Takes the records into the store. Without keep every record is reset first and
// recordHighWater starts at 0; with keep a unit that is already learnt stays as it is.
ImportCounts ApplyImportSource(const ImportSource& source, bool keep, const UnitTable& units,
                               RepetitionStore& store, const ImportProgress& progress = {});

// Both steps over a repetition file's bytes. Takes any bytes.
ImportCounts ImportRepetitionRecords(std::string_view bytes, Edition edition, bool keep,
                                     const UnitTable& units, RepetitionStore& store);

inline constexpr std::string_view kImportingTitle = "Importuję powtórki...";
inline constexpr std::string_view kMissingReportHeading =
    "Kody jednostek nie odnalezionych w bazie (podczas importu powtórek)";

// The report of missing units in userDir: "import_powtorek_50_kody_brakujacych_" + code +
// ".txt" for 5.0, "..._40_..." for the earlier editions.
std::string MissingReportFileName(Edition edition, std::string_view databaseCode);
// Its two lines (Windows-1250, CR LF).
std::string FormatMissingReport(std::string_view missingList);

struct ImportResult {
    // false: the file is missing, unreadable or holds no record to take over, and nothing
    // changed
    bool done = false;
    ImportCounts counts;
    std::string message;      // for the message box (UTF-8)
    std::string reportError;  // when the report of missing units could not be written (UTF-8)
};

// The record import of one account's repetition file: the whole file is read and checked
// first, so that a file that cannot be read changes nothing. The records reach the learner's
// own repetition file with the next save of the store. Without keep the import takes the place
// of every record, so a store found damaged at login counts as whole again.
ImportResult ImportRepetitionFile(const std::string& path, Edition edition, bool keep,
                                  const AppPaths& paths, const UnitTable& units,
                                  RepetitionStore& store, const ImportProgress& progress = {});

// ---- Learner units ---------------------------------------------------------------------------

struct LearnerUnitsImport {
    int added = 0;
    int alreadyPresent = 0;  // a unit with the same id is in the table already
    int noRoom = 0;          // the table was full
    int skipped = 0;         // lines that are no unit
    bool saved = false;      // sbusr.txt of the open database rewritten
    std::string error;       // (UTF-8) when it could not be written
};

// Appends the units of a learner-units file's bytes (5.0: the current line format, earlier
// editions: the older one) to the table. Takes any bytes.
LearnerUnitsImport AppendEarlierLearnerUnits(std::string_view bytes, Edition edition,
                                             UnitTable& units);

// Reads folder + "sbusr.txt", appends its units and, when any was added, rewrites the learner
// units of the open database.
LearnerUnitsImport ImportLearnerUnits(std::string_view folder, Edition edition,
                                      const AppPaths& paths, UnitTable& units);

}  // namespace dyd
