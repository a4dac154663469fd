#pragma once

// Import of a QA file: a plain text file of questions ("Q:"), answers ("A:") and recordings
// ("W:"), each question becoming a question/answer unit of the learner's own.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/database.h"
#include "core/repetitions.h"
#include "core/unit_table.h"

namespace dyd {

enum class QaImportStatus {
    Done,           // the whole file was read
    FileMissing,    // kQaFileMissingMessage; nothing imported
    FirstLineNotQ,  // kQaFirstLineMessage; nothing imported
    TableFull,      // kAddUnitNoRoomMessage; the units read before stay
    NoIdsLeft,      // kQaNoIdsLeftMessage; the units read before stay
};

inline constexpr std::string_view kQaFileMissingMessage = "Plik nie istnieje!";
inline constexpr std::string_view kQaFirstLineMessage =
    "Błąd w pliku QA. Pierwszy wiersz musi zawierać pytanie!";
inline constexpr std::string_view kQaNoIdsLeftMessage =
    "Brak wolnych kodów dla nowych jednostek w tej bazie. Import został przerwany.";

struct QaImportResult {
    QaImportStatus status = QaImportStatus::Done;
    int imported = 0;     // units added to the table
    std::string message;  // the error to show first (UTF-8), empty when none
};

// "Zaimportowano: " + count + " jednostek!", shown after every import.
std::string QaImportedText(int count);

// Adds the units of a QA file's bytes to the table. The ids run from firstId (the learner's next
// free id) upward, passing over keptIds (sorted: ids that kept repetition records or comments
// still name), and must stay below idLimit (the upper end of the database's range for the
// learner's units; ids of 100000 and more never fit the learner-units file).
QaImportResult ImportQaBytes(std::string_view bytes, UnitTable& units, std::int32_t firstId,
                             std::int32_t idLimit, std::span<const std::int32_t> keptIds = {});

// The same from a file.
QaImportResult ImportQaFile(const std::string& path, UnitTable& units, std::int32_t firstId,
                            std::int32_t idLimit, std::span<const std::int32_t> keptIds = {});

// The import as the program runs it: into the open database, from its next user id (NextUserId)
// up to the end of its user id range, never reusing an id that a kept record or comment names.
QaImportResult ImportQaFileIntoDatabase(const std::string& path, CourseDatabase& db,
                                        const RepetitionStore& store);

}  // namespace dyd
