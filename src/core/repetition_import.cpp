#include "core/repetition_import.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/codepage.h"
#include "core/database.h"
#include "core/files.h"
#include "core/learner_files.h"
#include "core/text.h"

namespace dyd {

namespace {

std::string_view EditionName(Edition edition) {
    switch (edition) {
        case Edition::E2001:
            return "2001";
        case Edition::E40:
            return "4.0";
        case Edition::E50:
            return "5.0";
    }
    return {};
}

}  // namespace

// ---- Accounts --------------------------------------------------------------------------------

std::vector<ImportAccount> ParseImportAccounts(std::string_view bytes) {
    std::vector<ImportAccount> accounts;
    for (const std::string_view raw : SplitLines(bytes)) {
        const std::string_view line = TrimView(raw);
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            continue;
        }
        // Only a number can name the account's folder: anything else is skipped.
        const std::optional<std::int32_t> number = ParseInt(TrimView(line.substr(0, eq)));
        if (!number || *number <= 0) {
            continue;
        }
        accounts.push_back({*number, Trim(line.substr(eq + 1))});
    }
    return accounts;
}

std::vector<ImportAccount> ReadImportAccounts(std::string_view sourceFolder) {
    const std::optional<std::string> bytes = ReadFileBytes(ResolvePath(sourceFolder, "usr.t"));
    return bytes ? ParseImportAccounts(*bytes) : std::vector<ImportAccount>{};
}

std::string NormalizeSourceFolder(std::string_view typed) {
    std::string folder = SlashPath(TrimView(typed));
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string NoAccountsMessage(Edition edition) {
    return "Nie wykryto kont użytkownika w programie Dydaktor " +
           std::string(EditionName(edition)) + "!";
}

std::string NoInstallationQuestion(Edition edition) {
    return "Nie wykryto zainstalowanego programu Dydaktor " + std::string(EditionName(edition)) +
           " - Słownictwo! Czy chcesz podać ścieżkę dostępu?";
}

std::string FolderPrompt(Edition edition) {
    return "Podaj ścieżkę dostępu do programu w wersji " + std::string(EditionName(edition));
}

std::string AccountRepetitionFile(Edition edition, std::string_view sourceFolder,
                                  std::int32_t accountNumber, std::string_view databaseCode) {
    const std::string account = std::to_string(accountNumber) + "/";
    if (edition == Edition::E50) {
        return ResolvePath(sourceFolder, account + std::string(databaseCode) + ".p");
    }
    return ResolvePath(sourceFolder, account + "p.b");
}

// ---- Records ---------------------------------------------------------------------------------

ImportSource ReadImportSource(std::string_view bytes, Edition edition) {
    ImportSource source;
    source.edition = edition;
    ImportCounts& counts = source.counts;
    const bool current = edition == Edition::E50;
    const std::size_t size = current ? kRecordSize : kEarlierRecordSize;
    const std::size_t whole = bytes.size() / size;
    counts.cutBytes = bytes.size() % size;
    if (counts.cutBytes > 0) {
        ++counts.damaged;
    }
    source.records.reserve(whole);
    for (std::size_t i = 0; i < whole; ++i) {
        // The first 40 bytes (unitId to factor) have the same layout in both editions.
        char buffer[kRecordSize] = {};
        std::memcpy(buffer, bytes.data() + i * size, size);
        RepetitionRecord read = DecodeRecord(buffer);
        if (read.unitId <= 0) {
            ++counts.notLearnt;
            continue;
        }
        if (!current) {
            read.knownFlag = static_cast<std::uint8_t>(buffer[55]);
            read.inTrash = static_cast<std::uint8_t>(buffer[56]);
            read.reserved[0] = 0;
        }
        if (!PlausibleRecord(read)) {
            ++counts.damaged;
            continue;
        }
        source.records.push_back(read);
    }
    return source;
}

namespace {

int ProgressPosition(std::size_t done, std::size_t total) {
    // Halves to even, as every rounding of the program.
    return static_cast<int>(std::nearbyint(100.0 * static_cast<double>(done) /
                                           static_cast<double>(total)));
}

}  // namespace

ImportCounts ApplyImportSource(const ImportSource& source, bool keep, const UnitTable& units,
                               RepetitionStore& store, const ImportProgress& progress) {
    ImportCounts counts = source.counts;
    if (!keep) {
        ResetAllRepetitions(store);
        store.recordHighWater = 0;
    }
    const int marked = source.edition == Edition::E50 ? kMarkedKinds : kEarlierMarkedKinds;
    const std::size_t total = source.records.size();
    for (std::size_t i = 0; i < total; ++i) {
        if (progress && i > 0 && i % kImportProgressStep == 0) {
            progress(ProgressPosition(i, total));
        }
        const RepetitionRecord& read = source.records[i];
        const int u = units.IndexOfUnitId(read.unitId);
        if (u < 1 || u > store.capacity()) {
            ++counts.missing;
            counts.missingList += " - " + std::to_string(read.unitId);
            continue;
        }
        store.recordHighWater = std::max(store.recordHighWater, u);
        RepetitionRecord& r = store.record(u);
        if (keep && r.unitId >= 1) {
            ++counts.kept;
            continue;
        }
        r.unitId = read.unitId;
        r.firstDate = read.firstDate;
        r.lastDate = read.lastDate;
        r.repetitionNo = read.repetitionNo;
        r.interval = read.interval;
        r.previousInterval = read.previousInterval;
        r.factor = read.factor;
        for (int k = 0; k < marked; ++k) {
            r.kindMarks[static_cast<std::size_t>(k)] = read.kindMarks[static_cast<std::size_t>(k)];
        }
        r.knownFlag = read.knownFlag;
        r.inTrash = read.inTrash;
        r.reserved[0] = read.reserved[0];
        if (r.interval > 0) {
            ++counts.imported;
        }
        KindFlags& chosen = store.chosenKinds[static_cast<std::size_t>(u)];
        for (int k = 1; k <= marked; ++k) {
            std::uint8_t& mark = r.kindMarks[static_cast<std::size_t>(k - 1)];
            chosen[static_cast<std::size_t>(k)] = mark >= kChosenMarkOffset;
            if (mark >= kChosenMarkOffset) {
                mark = static_cast<std::uint8_t>(mark - kChosenMarkOffset);
            }
        }
    }
    if (progress && total > 0) {
        progress(100);
    }
    return counts;
}

ImportCounts ImportRepetitionRecords(std::string_view bytes, Edition edition, bool keep,
                                     const UnitTable& units, RepetitionStore& store) {
    return ApplyImportSource(ReadImportSource(bytes, edition), keep, units, store);
}

std::string MissingReportFileName(Edition edition, std::string_view databaseCode) {
    return std::string(edition == Edition::E50 ? "import_powtorek_50_kody_brakujacych_"
                                               : "import_powtorek_40_kody_brakujacych_") +
           std::string(databaseCode) + ".txt";
}

std::string FormatMissingReport(std::string_view missingList) {
    // The heading is plain Polish text; it always converts.
    std::string out = FromUtf8(kMissingReportHeading, CodePage::Cp1250).value_or(std::string{});
    out += "\r\n";
    out += missingList;
    out += "\r\n";
    return out;
}

ImportResult ImportRepetitionFile(const std::string& path, Edition edition, bool keep,
                                  const AppPaths& paths, const UnitTable& units,
                                  RepetitionStore& store, const ImportProgress& progress) {
    ImportResult result;
    if (!FileExists(path)) {
        result.message = "Brak pliku z powtórkami [" + path + "].";
        return result;
    }
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        result.message = "Nie można odczytać pliku z powtórkami [" + path + "].";
        return result;
    }
    const ImportSource source = ReadImportSource(*bytes, edition);
    if (source.records.empty()) {
        // Without a single record to take over, an import would only delete the learner's own.
        result.counts = source.counts;
        result.message = source.counts.damaged > 0
                             ? "Plik z powtórkami [" + path +
                                   "] jest uszkodzony i nie zawiera żadnej powtórki do "
                                   "zaimportowania. Powtórki nie zostały zmienione."
                             : "Plik z powtórkami [" + path +
                                   "] nie zawiera żadnych powtórek. Powtórki nie zostały "
                                   "zmienione.";
        return result;
    }
    result.done = true;
    result.counts = ApplyImportSource(source, keep, units, store, progress);
    if (!keep) {
        store.liveFileUnreadable = false;
        store.damaged = false;
    }
    const ImportCounts& c = result.counts;
    result.message = "Zaimportowano powtórki: " + std::to_string(c.imported) +
                     " jednostek, pozostawiono nienadpisanych: " + std::to_string(c.kept) +
                     " jednostek.";
    if (c.damaged > 0) {
        result.message +=
            " Pominięto uszkodzone rekordy pliku z powtórkami: " + std::to_string(c.damaged) + ".";
    }
    if (c.missing > 0) {
        std::string error;
        if (!WriteFileAtomically(
                ResolvePath(paths.userDir, MissingReportFileName(edition, paths.databaseCode)),
                FormatMissingReport(c.missingList), &error)) {
            result.reportError =
                "Nie udało się zapisać listy nieodnalezionych jednostek (" + error + ").";
        }
        result.message += " Indeksy (kody) nieodnalezionych jednostek (" +
                          std::to_string(c.missing) +
                          ") znajdują się w pliku, w katalogu: " + paths.userDir;
    }
    return result;
}

// ---- Learner units ---------------------------------------------------------------------------

LearnerUnitsImport AppendEarlierLearnerUnits(std::string_view bytes, Edition edition,
                                             UnitTable& units) {
    LearnerUnitsImport result;
    const BaseLineFormat format =
        edition == Edition::E50 ? BaseLineFormat::Current : BaseLineFormat::OlderLearner;
    for (const std::string_view raw : SplitLines(bytes)) {
        const std::string_view line = TrimView(raw);
        if (line.size() < 8) {
            continue;
        }
        Unit unit;
        if (ParseBaseLine(line, format, unit) != BaseLineResult::Row) {
            ++result.skipped;
            continue;
        }
        // The older format keeps a level or part of speech of 0, which the current one cannot
        // write: the unit gets what the current format reads for 0, so that it is written to
        // the learner units and is still there at the next login.
        if (unit.level == 0) {
            unit.level = 2;
        }
        if (unit.partOfSpeech == 0) {
            unit.partOfSpeech = kOtherPart;
        }
        // Taking the same units over twice must not give them two rows.
        if (units.IndexOfUnitId(unit.unitId) >= 1) {
            ++result.alreadyPresent;
            continue;
        }
        if (!units.Append(std::move(unit))) {
            ++result.noRoom;
        } else {
            ++result.added;
        }
    }
    return result;
}

LearnerUnitsImport ImportLearnerUnits(std::string_view folder, Edition edition,
                                      const AppPaths& paths, UnitTable& units) {
    const std::optional<std::string> bytes = ReadFileBytes(ResolvePath(folder, kLearnerUnitsFile));
    if (!bytes) {
        return {};
    }
    LearnerUnitsImport result = AppendEarlierLearnerUnits(*bytes, edition, units);
    if (result.added > 0) {
        const SaveLearnerUnitsResult saved = SaveLearnerUnits(paths, units);
        result.saved = saved.written;
        if (!saved.written) {
            result.error = "Nie udało się zapisać słówek użytkownika (" + saved.error + ").";
        } else if (!saved.refused.empty()) {
            result.error = "Nie zapisano " + std::to_string(saved.refused.size()) +
                           " słówek użytkownika, których nie da się zapisać w pliku.";
        }
    }
    return result;
}

}  // namespace dyd
