#pragma once

// The list of units a learner worked on in a session, shown when the session ends: one item per
// plan row with an answer in any kind, the detail of the selected unit's record, and the texts
// that go to the clipboard and the printer.

#include <string>
#include <vector>

#include "core/database.h"
#include "core/repetitions.h"
#include "core/session_plan.h"

namespace dyd {

// The notice that heads the clipboard text and the printout (UTF-8).
inline constexpr std::string_view kSummaryNotice = "Dydaktor 5.0 - Słownictwo";
inline constexpr std::string_view kCopiedMessage = "Skopiowano do schowka.";
inline constexpr std::string_view kPrintedMessage = "Słówka/zdania przesłano do drukarki.";

// English and German databases show the Polish meaning beside the foreign text, mark units in
// the trash and offer the clipboard and the printer.
bool SummaryShowsMeaning(int language);

struct SummaryItem {
    int unitNumber = 0;
    std::string foreignText;  // database code page
    // Windows-1250; empty when the database language shows the foreign text alone.
    std::string nativeText;
    // " (kosz) " for a unit in the trash, " " otherwise; empty without the meaning.
    std::string tag;
    bool inTrash = false;
};

// True when a row holds an answer in any kind.
bool RowWasAnswered(const PlanRow& row);

// The items of the answered rows, in row order (at most one per row).
std::vector<SummaryItem> BuildSummaryItems(const SessionPlan& plan, const CourseDatabase& db,
                                           const RepetitionStore& store);

// "Powtórka nr: " + repetitionNo + ", interwał: " + interval, Windows-1250.
std::string SummaryDetail(const RepetitionRecord& record);

// The clipboard text (UTF-8): the notice, then foreign " = " meaning per answered row, each line
// ended by CR LF. Grows with the list; nothing is cut.
std::string SummaryClipboardText(const SessionPlan& plan, const CourseDatabase& db);

// The printed lines (UTF-8, no line ends): two empty lines, the notice indented by three blanks,
// one empty line, then "   " + foreign " = " meaning per answered row.
std::vector<std::string> SummaryPrintLines(const SessionPlan& plan, const CourseDatabase& db);

}  // namespace dyd
