#include "session/summary.h"

#include <algorithm>

#include "core/codepage.h"

namespace dyd {
namespace {

constexpr std::string_view kTrashTag = " (kosz) ";
constexpr int kEnglish = 1;  // database language numbers
constexpr int kGerman = 2;

bool ValidUnitNumber(const UnitTable& units, int n) {
    return n >= 1 && n <= units.unitCount();
}

// foreign " = " meaning of every answered row, UTF-8.
std::vector<std::string> PairLines(const SessionPlan& plan, const CourseDatabase& db) {
    std::vector<std::string> lines;
    const CodePage foreign = db.params.foreignCodePage();
    for (const PlanRow& row : plan.rows) {
        if (!RowWasAnswered(row) || !ValidUnitNumber(db.units, row.unitNumber)) {
            continue;
        }
        const Unit& unit = db.units.unit(row.unitNumber);
        lines.push_back(ToUtf8(unit.foreignText, foreign) + " = " +
                        ToUtf8(unit.nativeText, CodePage::Cp1250));
    }
    return lines;
}

}  // namespace

bool SummaryShowsMeaning(int language) {
    return language == kEnglish || language == kGerman;
}

bool RowWasAnswered(const PlanRow& row) {
    return std::any_of(row.cells.begin() + 1, row.cells.end(),
                       [](const PlanEntry& cell) { return cell.attempts > 0; });
}

std::vector<SummaryItem> BuildSummaryItems(const SessionPlan& plan, const CourseDatabase& db,
                                           const RepetitionStore& store) {
    std::vector<SummaryItem> items;
    const bool meaning = SummaryShowsMeaning(db.params.language);
    for (const PlanRow& row : plan.rows) {
        if (!RowWasAnswered(row) || !ValidUnitNumber(db.units, row.unitNumber)) {
            continue;
        }
        const Unit& unit = db.units.unit(row.unitNumber);
        SummaryItem item;
        item.unitNumber = row.unitNumber;
        item.foreignText = unit.foreignText;
        item.inTrash = store.record(row.unitNumber).inTrash == 1;
        if (meaning) {
            item.nativeText = unit.nativeText;
            item.tag = item.inTrash ? std::string(kTrashTag) : std::string(" ");
        }
        items.push_back(std::move(item));
        if (static_cast<int>(items.size()) == kMaxPlanRows) {
            break;
        }
    }
    return items;
}

std::string SummaryDetail(const RepetitionRecord& record) {
    // "Powtórka nr: ", ", interwał: " in Windows-1250.
    return "Powt\xF3rka nr: " + std::to_string(record.repetitionNo) +
           ", interwa\xB3: " + std::to_string(record.interval);
}

std::string SummaryClipboardText(const SessionPlan& plan, const CourseDatabase& db) {
    std::string text(kSummaryNotice);
    text += "\r\n";
    for (const std::string& line : PairLines(plan, db)) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> SummaryPrintLines(const SessionPlan& plan, const CourseDatabase& db) {
    std::vector<std::string> lines{"", "", "   " + std::string(kSummaryNotice), ""};
    for (const std::string& pair : PairLines(plan, db)) {
        lines.push_back("   " + pair);
    }
    return lines;
}

}  // namespace dyd
