#include "content/browser.h"

#include <algorithm>

#include "content/unit_editor.h"
#include "core/datetime.h"
#include "core/exercise_sets.h"
#include "core/history.h"
#include "core/learner_files.h"
#include "core/text.h"

namespace dyd {
namespace {

std::string Polish(std::string_view bytes) { return ToUtf8(bytes, CodePage::Cp1250); }

bool OtherAccepts(const Unit& unit, const RepetitionRecord& r, OtherFilter other) {
    switch (other) {
        case OtherFilter::Any:
            return true;
        case OtherFilter::Own:
            return unit.recordingSource == 1;
        case OtherFilter::InTrash:
            return r.unitId > 0 && r.inTrash != 0;
        case OtherFilter::MoreThan5:
            return r.unitId > 0 && r.repetitionNo > 5;
        case OtherFilter::MoreThan10:
            return r.unitId > 0 && r.repetitionNo > 10;
        case OtherFilter::LongInterval:
            return r.unitId > 0 && r.interval > 10;
    }
    return true;
}

constexpr std::string_view kPartLabels[] = {"Rzeczownik", "Przymiotnik", "Czasownik",
                                            "Różne",      "Zdanie",      "Przyimek"};
constexpr std::string_view kKindLabels[] = {", typ: Słówka", ", typ: Zdania", ", typ: tryb QA"};

}  // namespace

// ---- Filter -------------------------------------------------------------------------------------

bool FilterAccepts(const Unit& unit, const RepetitionRecord& record, const BrowserFilter& filter) {
    if (filter.level > 0 && unit.level != filter.level) {
        return false;
    }
    if (filter.partOfSpeech > 0 && unit.partOfSpeech != filter.partOfSpeech) {
        return false;
    }
    if (filter.unitKind > 0 && unit.unitKind != filter.unitKind) {
        return false;
    }
    if (!OtherAccepts(unit, record, filter.other)) {
        return false;
    }
    if (filter.groupId > 0 && unit.groupId != filter.groupId) {
        return false;
    }
    switch (filter.learnt) {
        case LearntFilter::Any:
            return true;
        case LearntFilter::Yes:
            return record.unitId > 0;
        case LearntFilter::No:
            return record.unitId == 0;
    }
    return true;
}

std::vector<int> FilterUnits(const UnitTable& units, const RepetitionStore& store,
                             const BrowserFilter& filter) {
    std::vector<int> out;
    const std::span<const Unit> rows = units.rows();
    const int count = std::min(static_cast<int>(rows.size()), store.capacity());
    const RepetitionRecord empty;
    out.reserve(rows.size());
    for (int n = 1; n <= static_cast<int>(rows.size()); ++n) {
        const RepetitionRecord& r = n <= count ? store.record(n) : empty;
        if (FilterAccepts(rows[static_cast<std::size_t>(n - 1)], r, filter)) {
            out.push_back(n);
        }
    }
    return out;
}

std::vector<int> AllUnits(const UnitTable& units) {
    std::vector<int> out(static_cast<std::size_t>(units.unitCount()));
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<int>(i) + 1;
    }
    return out;
}

// ---- Texts --------------------------------------------------------------------------------------

std::string GridCountText(int count, bool searched, std::string_view queryUtf8, int language) {
    if (!searched) {
        return std::to_string(count) + " jednostek";
    }
    std::string text = "Szukaj - słowo ";
    if (language <= 2) {
        text += '"';
        text += queryUtf8;
        text += "\" ";
    }
    text += "wystąpiło " + std::to_string(count);
    text += count == 1 ? " raz." : " razy.";
    return text;
}

std::string UnitDescription(const CourseDatabase& db, const RepetitionStore& store, int n) {
    const Unit& unit = db.units.unit(n);
    std::string text = Polish(unit.sentenceTranslation.empty() ? unit.nativeText
                                                               : unit.sentenceTranslation);
    text += '\n';
    if (unit.partOfSpeech >= 1 && unit.partOfSpeech <= 6) {
        text += kPartLabels[unit.partOfSpeech - 1];
    }
    if (unit.unitKind >= 1 && unit.unitKind <= 3) {
        text += kKindLabels[unit.unitKind - 1];
    }
    text += ", poziom: " + std::to_string(unit.level) + ", Id: " + std::to_string(unit.unitId) +
            ", grupa: " + Polish(GroupName(db.groups, unit.groupId)) + " \n";
    if (n <= store.capacity()) {
        const RepetitionRecord& r = store.record(n);
        if (r.repetitionNo >= 1) {
            text += "Powtórki: " + std::to_string(r.repetitionNo) +
                    ", interwał: " + std::to_string(r.interval) +
                    ", pierwsza nauka: " + FormatDate(r.firstDate);
            if (r.inTrash != 0) {
                text += " [Kosz]";
            }
            text += '\n';
        }
    }
    text += Polish(unit.userComment);
    return text;
}

RepetitionButtons RepetitionButtonsFor(const RepetitionRecord& record) {
    RepetitionButtons buttons;
    buttons.reset = record.repetitionNo >= 1;
    buttons.restore = buttons.reset && record.inTrash != 0;
    return buttons;
}

std::string ClipboardText(const UnitTable& units, std::span<const int> composed,
                          CodePage foreignPage) {
    std::string text(kClipboardNotice);
    text += "\r\n";
    for (const int n : composed) {
        if (n < 1 || n > units.unitCount()) {
            continue;
        }
        const Unit& unit = units.unit(n);
        text += ToUtf8(unit.foreignText, foreignPage);
        text += " = ";
        text += Polish(unit.nativeText);
        text += "\r\n";
    }
    return text;
}

// ---- Composing ----------------------------------------------------------------------------------

ComposeResult AddToComposed(const UnitTable& units, std::span<const int> selected,
                            std::vector<int>& composed) {
    ComposeResult result;
    for (const int n : selected) {
        if (n < 1 || n > units.unitCount() ||
            std::find(composed.begin(), composed.end(), n) != composed.end()) {
            continue;
        }
        if (static_cast<int>(composed.size()) >= kMaxComposedUnits) {
            result.limitHit = true;
            continue;
        }
        if (units.unit(n).unitId > 0) {
            composed.push_back(n);
            ++result.added;
        }
    }
    return result;
}

// ---- Saving the composed units -----------------------------------------------------------------

void PutComposedIntoSet(const UnitTable& units, const std::vector<int>& composed, CurrentSet& set) {
    const CurrentSet made = SetOfUnits(units, composed);
    set.count = made.count;
    set.codes = made.codes;
    set.unitNumbers = made.unitNumbers;
}

SaveAgainResult SaveComposedAgain(const AppPaths& paths, int language, const UnitTable& units,
                                  const std::vector<int>& composed, CurrentSet& set,
                                  ExerciseHistory& history, double now) {
    SaveAgainResult result;
    PutComposedIntoSet(units, composed, set);
    const SaveSetResult saved = SaveSet(paths, language, set, set.name, set.setKey, SaveSetMode::Save);
    if (saved.status != SaveSetStatus::Written) {
        result.message = saved.message.empty() ? std::string(kSetNotSavedMessage) : saved.message;
        return result;
    }
    SyncUserSets(paths, language, now, history);
    result.saved = true;
    result.message = SetSavedText(set.name);
    return result;
}

// ---- The learner's own units --------------------------------------------------------------------

DeleteResult DeleteOwnUnit(CourseDatabase& db, RepetitionStore& store, int n) {
    DeleteResult result;
    if (n < 1 || n > db.units.unitCount()) {
        return result;
    }
    db.units.SetUnitId(n, 0);
    Unit& unit = db.units.unit(n);
    unit.foreignText.clear();
    unit.nativeText.clear();
    // Its comment line would be written under id 0 and its record keep the old id: a later unit
    // given the freed id would inherit them at the next login.
    if (!unit.userComment.empty() || unit.userKindOverride > 0) {
        unit.userComment.clear();
        unit.userKindOverride = 0;
        db.commentsDirty = true;
        result.commentsChanged = true;
    }
    if (n <= store.capacity() && !(store.record(n) == RepetitionRecord{})) {
        store.record(n) = RepetitionRecord{};
        result.repetitionsChanged = true;
    }
    return result;
}

// ---- Closing ------------------------------------------------------------------------------------

std::vector<std::string> SaveBrowserChanges(LearnerSession& session, const BrowserChanges& changes,
                                            const Clock& clock) {
    std::vector<std::string> messages;
    if (changes.repetitions) {
        const SaveRepetitionsResult saved =
            SaveLiveRepetitions(session.paths, session.db.units, session.repetitions,
                                session.settings, clock);
        if (!saved.error.empty()) {
            messages.push_back(saved.error);
        }
    }
    if (changes.userUnits) {
        const std::string problem =
            LearnerUnitsSaveProblem(SaveLearnerUnits(session.paths, session.db.units));
        if (!problem.empty()) {
            messages.push_back(problem);
        }
    }
    if (session.db.commentsDirty) {
        std::string error;
        if (!SaveComments(session.paths, session.db, &error)) {
            messages.push_back("Nie udało się zapisać komentarzy: " + error);
        }
    }
    return messages;
}

}  // namespace dyd
