#include "core/qa_import.h"

#include <algorithm>
#include <optional>

#include "core/files.h"
#include "core/text.h"
#include "core/user_ids.h"

namespace dyd {

namespace {

enum class LineKind { Empty, Question, Answer, Recording, Other };

LineKind KindOf(std::string_view line) {
    if (TrimView(line).empty()) {
        return LineKind::Empty;
    }
    if (line.size() < 2 || line[1] != ':') {
        return LineKind::Other;
    }
    switch (line[0]) {
        case 'Q':
        case 'q':
            return LineKind::Question;
        case 'A':
        case 'a':
            return LineKind::Answer;
        case 'W':
        case 'w':
            return LineKind::Recording;
        default:
            return LineKind::Other;
    }
}

void Join(UnitText& text, std::string_view content) {
    if (!text.empty()) {
        text += '@';
    }
    text += content;
}

}  // namespace

std::string QaImportedText(int count) {
    return "Zaimportowano: " + std::to_string(count) + " jednostek!";
}

QaImportResult ImportQaBytes(std::string_view bytes, UnitTable& units, std::int32_t firstId,
                             std::int32_t idLimit, std::span<const std::int32_t> keptIds) {
    QaImportResult result;
    const std::int32_t limit = std::min(idLimit, kLearnerIdEnd);
    const auto stop = [&](QaImportStatus status, std::string_view message) {
        result.status = status;
        result.message = message;
        return result;
    };
    bool continuing = false;  // the previous question line may go on
    std::int64_t nextId = firstId;
    for (const std::string_view line : SplitLines(bytes)) {
        const LineKind kind = KindOf(line);
        if (result.imported == 0 && kind != LineKind::Question) {
            return stop(QaImportStatus::FirstLineNotQ, kQaFirstLineMessage);
        }
        // Question, answer and recording lines are at least two characters long.
        const std::string_view content =
            kind == LineKind::Empty || kind == LineKind::Other ? "" : TrimView(line.substr(2));
        switch (kind) {
            case LineKind::Empty:
                continuing = false;
                break;
            case LineKind::Question: {
                if (continuing) {
                    UnitText& question = units.unit(units.unitCount()).foreignText;
                    question += '@';
                    question += content;
                    break;
                }
                if (units.unitCount() >= kMaxUnits) {
                    return stop(QaImportStatus::TableFull, kAddUnitNoRoomMessage);
                }
                while (std::binary_search(keptIds.begin(), keptIds.end(), nextId)) {
                    ++nextId;
                }
                const std::int64_t id = nextId++;
                if (id < 1 || id >= limit) {
                    return stop(QaImportStatus::NoIdsLeft, kQaNoIdsLeftMessage);
                }
                Unit unit;
                unit.unitId = static_cast<std::int32_t>(id);
                unit.recordingSource = 1;
                unit.unitKind = kQaUnit;
                unit.partOfSpeech = kOtherPart;
                unit.level = 1;
                unit.groupId = 1;
                unit.foreignText = std::string(content);
                units.Append(std::move(unit));
                ++result.imported;
                continuing = true;
                break;
            }
            case LineKind::Answer:
                Join(units.unit(units.unitCount()).nativeText, content);
                continuing = false;
                break;
            case LineKind::Recording:
                Join(units.unit(units.unitCount()).recording, content);
                continuing = false;
                break;
            case LineKind::Other:
                break;
        }
    }
    return result;
}

QaImportResult ImportQaFile(const std::string& path, UnitTable& units, std::int32_t firstId,
                            std::int32_t idLimit, std::span<const std::int32_t> keptIds) {
    const std::optional<std::string> bytes = FileExists(path) ? ReadFileBytes(path) : std::nullopt;
    if (!bytes) {
        QaImportResult result;
        result.status = QaImportStatus::FileMissing;
        result.message = kQaFileMissingMessage;
        return result;
    }
    return ImportQaBytes(*bytes, units, firstId, idLimit, keptIds);
}

QaImportResult ImportQaFileIntoDatabase(const std::string& path, CourseDatabase& db,
                                        const RepetitionStore& store) {
    const std::vector<std::int32_t> kept = KeptUnitIds(db, store);
    return ImportQaFile(path, db.units, NextUserId(db, store), db.params.userIdHigh, kept);
}

}  // namespace dyd
