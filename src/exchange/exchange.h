#pragma once

// Exchange of units with other vocabulary trainers: KVTML 2 (the XML vocabulary format of the
// free desktop trainers) and tables of tab- or comma-separated values. Reading and writing work
// on UTF-8 entries; turning units into entries and entries into the learner's own units converts
// the texts to and from the course's code pages with the checks of the unit editor.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/database.h"
#include "core/repetitions.h"

namespace dyd {

enum class ExchangeFormat { Kvtml, Tsv, Csv };

// The format a file name's extension names (.kvtml, .tsv, .csv, .txt as TSV; letter case
// aside); nothing for any other.
std::optional<ExchangeFormat> ExchangeFormatOfName(std::string_view fileName);
// The format of a word of the tool's command line: "kvtml", "tsv", "csv".
std::optional<ExchangeFormat> ExchangeFormatOfWord(std::string_view word);

// One unit as exchanged. Every text is UTF-8.
struct ExchangeEntry {
    int line = 0;  // where the entry starts in the file read (1-based); 0 when made from a unit
    std::int32_t kind = kWordUnit;
    std::int32_t partOfSpeech = 0;  // 0 when the file does not say
    std::int32_t level = 0;         // 0 when the file does not say
    std::string foreign;
    std::string native;
    std::string plural;    // a word's plural; the second question field of a QA item
    std::string synonyms;  // a word's synonyms; a sentence's translation
    std::string hint;      // a word's or QA item's hint; a sentence's wrong answers
    std::string comment;
    std::string extraTranslation;
    std::string recording;        // the name of the unit's recording
    std::string answerRecording;  // the name of a QA item's answer recording
    std::string group;            // the name of the thematic group
};

struct ExchangeList {
    std::string title;          // UTF-8
    std::int32_t language = 0;  // the course language (1..8), 0 when unknown
    std::vector<ExchangeEntry> entries;
};

// A problem of a file being read: "file:line: message" (line 0 leaves the line out).
struct ExchangeError {
    std::string file;
    int line = 0;
    std::string message;  // Polish, UTF-8
};
std::string ExchangeErrorText(const ExchangeError& error);

struct ExchangeReadResult {
    ExchangeList list;
    std::vector<ExchangeError> errors;  // when not empty, the list is not to be used
};

// The file's bytes in the format. fileName only names the file in the errors.
std::string WriteExchange(const ExchangeList& list, ExchangeFormat format);
ExchangeReadResult ReadExchange(std::string_view bytes, ExchangeFormat format,
                                std::string_view fileName);

// ---- Delimited tables -------------------------------------------------------------------

// The records of a table (UTF-8 bytes), each with the line it starts on. CSV fields follow RFC
// 4180 (quotes around a field with a comma, quote or line break, a quote doubled inside); TSV
// fields are cut at tabs and take the escapes \t \n \r \\. A quote that is not closed, or text
// after a closing quote, is an error with its line.
struct TableRecord {
    int line = 0;
    std::vector<std::string> fields;
};
struct TableReadResult {
    std::vector<TableRecord> records;
    std::optional<ExchangeError> error;  // file is left empty
};
TableReadResult ReadTable(std::string_view bytes, ExchangeFormat format);
std::string TableField(std::string_view text, ExchangeFormat format);

// ---- Units -------------------------------------------------------------------------------

// The entries of the units with the given numbers (1..unitCount; others are skipped), their
// texts converted from the course's code pages.
ExchangeList EntriesOfUnits(const CourseDatabase& db, std::span<const int> unitNumbers);
// Every unit of the database.
ExchangeList EntriesOfDatabase(const CourseDatabase& db);

struct ExchangeImportResult {
    std::vector<ExchangeError> errors;  // when not empty nothing was added
    int imported = 0;
    int firstUnit = 0;  // the unit number of the first unit added
};

inline constexpr std::string_view kExchangeNothingMessage = "plik nie zawiera żadnej jednostki";

// Adds the entries as units of the learner's own, all of them or none: each entry is converted
// to the code pages of its fields and must pass the unit editor's checks and fit a line of the
// learner-units file. Ids run from firstId upward, passing over keptIds (sorted), below idLimit.
ExchangeImportResult ImportEntries(const ExchangeList& list, std::string_view fileName,
                                   CourseDatabase& db, std::int32_t firstId, std::int32_t idLimit,
                                   std::span<const std::int32_t> keptIds);

// Reads a file and imports it into the open database as ImportQaFileIntoDatabase does: from
// the next user id, never reusing an id a kept record or comment names. The format comes from
// the file's extension unless given.
ExchangeImportResult ImportExchangeFile(const std::string& path,
                                        std::optional<ExchangeFormat> format, CourseDatabase& db,
                                        std::span<const std::int32_t> keptIds,
                                        std::int32_t firstId);
ExchangeImportResult ImportExchangeFileIntoDatabase(const std::string& path, CourseDatabase& db,
                                                    const RepetitionStore& store);

// "Zaimportowano: " + count + " jednostek!" as after a QA import.
std::string ExchangeImportedText(int count);

}  // namespace dyd
