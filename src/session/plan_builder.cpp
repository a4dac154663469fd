#include "session/plan_builder.h"

#include <algorithm>

#include "core/scheduling.h"
#include "core/text.h"
#include "session/new_material.h"

namespace dyd {
namespace {

// Kinds that have an exercise; slots 19 and 20 exist only in the tables and are never planned.
constexpr int kLastExerciseKind = 18;
constexpr int kGermanLanguage = 2;

bool ValidUnit(const UnitTable& units, int u) {
    return u >= 1 && u <= units.unitCount();
}

// learningKinds of the unit's type holds kind k.
bool LearningKind(const Settings& settings, int type, int k) {
    return type >= 1 && type <= kLearningKindTables &&
           settings.learningKinds[static_cast<std::size_t>(type)][static_cast<std::size_t>(k)];
}

// The repetition rule of kind k admits unit u.
bool RuleAdmits(const Settings& settings, const RepetitionStore& store, int u, int k) {
    const bool unaccepted =
        static_cast<std::size_t>(u) < store.records.size() && store.record(u).mark(k) == 1;
    const bool chosen = static_cast<std::size_t>(u) < store.chosenKinds.size() &&
                        store.chosenKinds[static_cast<std::size_t>(u)][static_cast<std::size_t>(k)];
    switch (settings.repetitionKindRule[static_cast<std::size_t>(k)]) {
        case 0:
            return unaccepted;
        case 1:
            return true;
        case 3:
            return chosen;
        case 4:
            return chosen || unaccepted;
        default:
            return false;
    }
}

void FillLearning(PlanRow& row, const UnitTable& units, const Settings& settings, int steps) {
    if (!ValidUnit(units, row.unitNumber)) {
        return;
    }
    const int type = units.unit(row.unitNumber).unitKind;
    for (int k = 1; k <= kLastExerciseKind; ++k) {
        if (LearningKind(settings, type, k)) {
            row.cells[static_cast<std::size_t>(k)].remaining = steps;
        }
    }
}

void FillRepetition(PlanRow& row, const UnitTable& units, const Settings& settings,
                    const RepetitionStore& store, int steps) {
    if (!ValidUnit(units, row.unitNumber)) {
        return;
    }
    const int type = units.unit(row.unitNumber).unitKind;
    if (type == kQaUnit) {
        row.cells[kQaMode].remaining = steps;
        return;
    }
    if (type != kWordUnit && type != kSentenceUnit) {
        return;
    }
    const int deciding =
        type == kWordUnit ? settings.determiningKindWords : settings.determiningKindSentences;
    for (int k = 1; k <= kLastExerciseKind; ++k) {
        if (k == deciding || RuleAdmits(settings, store, row.unitNumber, k)) {
            row.cells[static_cast<std::size_t>(k)].remaining = steps;
        }
    }
}

void FillRepetitionKindOrder(const Settings& settings, SessionPlan& plan) {
    const int words = settings.determiningKindWords;
    const int sentences = settings.determiningKindSentences;
    int slot = 1;
    auto place = [&](int kind) {
        if (slot <= kKindSlots) {
            plan.kindOrder[static_cast<std::size_t>(slot)] = kind;
        }
        ++slot;
    };
    place(words);
    place(sentences);
    place(kQaMode);
    if (words != kSelfAssessment) {
        place(kSelfAssessment);
    }
    if (sentences != kSentenceSelfAssessment) {
        place(kSentenceSelfAssessment);
    }
    for (int k = 1; k <= kKindSlots; ++k) {
        if (settings.repetitionKindRule[static_cast<std::size_t>(k)] == 2) {
            continue;
        }
        const bool placedAlready = k == words || k == sentences || k == kSelfAssessment ||
                                   k == kQaMode || k == kSentenceSelfAssessment;
        place(placedAlready ? 0 : k);
    }
}

bool StartsWithArticle(const std::string& foreignText) {
    const std::string head = LowerAZ(std::string_view(foreignText).substr(0, 3));
    return head == "der" || head == "die" || head == "das";
}

}  // namespace

std::span<const std::int32_t> SelectedUnits(const CurrentSet& set) {
    const int count = std::clamp(set.count, 0, kMaxSetUnits);
    return {set.unitNumbers.data(), static_cast<std::size_t>(count)};
}

std::string PlanInfoText(std::span<const std::int32_t> selection, const UnitTable& units) {
    int words = 0;
    int sentences = 0;
    int qa = 0;
    for (const int u : selection) {
        if (!ValidUnit(units, u)) {
            continue;
        }
        switch (units.unit(u).unitKind) {
            case kWordUnit:
                ++words;
                break;
            case kSentenceUnit:
                ++sentences;
                break;
            case kQaUnit:
                ++qa;
                break;
            default:
                break;
        }
    }
    std::string text = "Wybrano " + std::to_string(selection.size()) + " w tym:";
    text += kLabelBreak;
    if (words > 0) {
        text += "słówka: " + std::to_string(words) + std::string(kLabelBreak);
    }
    if (qa > 0) {
        text += "tryb QA: " + std::to_string(qa) + std::string(kLabelBreak);
    }
    if (sentences > 0) {
        text += "zdania: " + std::to_string(sentences);
    }
    return text;
}

bool KindAvailable(int kind, const Unit& unit, const DatabaseParameters& params) {
    switch (kind) {
        case kRecognitionByEar:
        case kListeningComprehension:
        case kPronunciation:
            return !unit.recording.empty();
        case kDictation:
            return !unit.recording.empty() && unit.unitKind != kSentenceUnit;
        case kArticleChoice:
            return params.language == kGermanLanguage && unit.partOfSpeech == kNoun &&
                   StartsWithArticle(unit.foreignText);
        case kTypingPlural:
            return params.pluralExercises && !unit.plural.empty();
        case kSentenceChoice:
            return !unit.distractors.empty();
        case kPhraseTranslation:
        case kGapFilling:
            return unit.foreignText.find('<') != std::string::npos;
        case kTranslationToPolish:
        case kTranslationFromPolish:
            return !unit.sentenceTranslation.empty();
        case kSentenceListening:
            return !TrimView(unit.recording).empty() && !unit.sentenceTranslation.empty();
        case kSelfAssessment:
            return unit.unitKind == kWordUnit;
        case kQaMode:
            return unit.unitKind == kQaUnit;
        default:
            return true;
    }
}

std::string BuildPlan(std::span<const std::int32_t> selection, SessionMode mode,
                      const UnitTable& units, const DatabaseParameters& params,
                      const Settings& settings, const RepetitionStore& store, SessionPlan& plan) {
    const std::size_t count = std::min(selection.size(), static_cast<std::size_t>(kMaxPlanRows));
    selection = selection.first(count);
    const int steps = StepCount(mode, settings);

    plan.mode = mode;
    plan.rows.assign(count, PlanRow{});
    plan.kindOrder.fill(0);
    plan.list.clear();
    for (std::size_t i = 0; i < count; ++i) {
        PlanRow& row = plan.rows[i];
        row.unitNumber = selection[i];
        if (mode == SessionMode::Learning) {
            FillLearning(row, units, settings, steps);
        } else {
            FillRepetition(row, units, settings, store, steps);
        }
    }
    if (mode == SessionMode::Learning) {
        for (int s = 1; s <= kKindSlots; ++s) {
            plan.kindOrder[static_cast<std::size_t>(s)] = s;
        }
    } else {
        FillRepetitionKindOrder(settings, plan);
    }

    for (PlanRow& row : plan.rows) {
        if (!ValidUnit(units, row.unitNumber)) {
            continue;
        }
        const Unit& unit = units.unit(row.unitNumber);
        for (int k = 1; k <= kKindSlots; ++k) {
            if (KindAvailable(k, unit, params)) {
                continue;
            }
            PlanEntry& cell = row.cells[static_cast<std::size_t>(k)];
            cell.remaining = 0;
            if (k >= kTranslationToPolish && k <= kQaMode) {
                cell.attempts = 0;
                cell.done = 0;
            }
        }
        // Every unit gets at least one step of a kind its type can take.
        bool anyLearningKind = false;
        for (int k = 1; k <= kKindSlots && !anyLearningKind; ++k) {
            anyLearningKind = row.cells[static_cast<std::size_t>(k)].remaining > 0 &&
                              LearningKind(settings, unit.unitKind, k);
        }
        if (!anyLearningKind) {
            const int kind = unit.unitKind == kSentenceUnit ? kSentenceSelfAssessment
                             : unit.unitKind == kQaUnit     ? kQaMode
                                                            : kSelfAssessment;
            row.cells[static_cast<std::size_t>(kind)].remaining = steps;
        }
        if (unit.unitKind == kSentenceUnit) {
            row.cells[kTypingTranslation].remaining = 0;
        }
    }
    plan.currentKind = 0;
    return PlanInfoText(selection, units);
}

const std::array<int, kKindSlots>& ListSlotOrder() {
    static const std::array<int, kKindSlots> order = {1,  2,  3,  4,  5,  6,  7,  8,  9,  16,
                                                      17, 10, 11, 12, 13, 14, 15, 18, 19, 20};
    return order;
}

std::string PlanItemText(const PlanListItem& item) {
    return " - " + std::string(KindName(item.kind)) + " (" + std::to_string(item.rowsToDo) + ")";
}

PlanListView RefreshPlanList(SessionPlan& plan) {
    PlanListView view;
    plan.list.clear();
    for (const int slot : ListSlotOrder()) {
        const int kind = plan.kindOrder[static_cast<std::size_t>(slot)];
        if (kind <= 0 || kind > kKindSlots) {
            continue;
        }
        int count = 0;
        bool answered = false;
        for (const PlanRow& row : plan.rows) {
            const PlanEntry& cell = row.cells[static_cast<std::size_t>(kind)];
            count += cell.remaining > 0 ? 1 : 0;
            answered = answered || cell.attempts > 0;
        }
        if (count > 0 || answered) {
            plan.list.push_back({kind, count});
        }
    }
    for (std::size_t i = 0; i < plan.list.size(); ++i) {
        if (plan.list[i].rowsToDo > 0) {
            view.selected = static_cast<int>(i);
            break;
        }
    }
    view.startVisible = CanStart(plan, view.selected);
    view.presentationVisible = !plan.list.empty() && plan.mode == SessionMode::Learning;
    view.finished = plan.list.empty();
    view.allDone = !view.finished && view.selected < 0;
    view.title = view.finished ? "Koniec!" : "Rodzaje ćwiczeń";
    return view;
}

bool CanStart(const SessionPlan& plan, int itemIndex) {
    return itemIndex >= 0 && itemIndex < static_cast<int>(plan.list.size()) &&
           plan.list[static_cast<std::size_t>(itemIndex)].rowsToDo > 0;
}

bool StartKind(SessionPlan& plan, int itemIndex, int& stepId) {
    if (!CanStart(plan, itemIndex) || plan.rows.empty()) {
        return false;
    }
    const int kind = plan.list[static_cast<std::size_t>(itemIndex)].kind;
    if (kind <= 0) {
        return false;
    }
    plan.currentKind = kind;
    stepId = kind;
    return true;
}

bool StartPresentation(const SessionPlan& plan, int& stepId) {
    stepId = kPresentationStep;
    return !plan.rows.empty();
}

bool PlanHasWorkLeft(const SessionPlan& plan) {
    return std::any_of(plan.rows.begin(), plan.rows.end(), [](const PlanRow& row) {
        return std::any_of(row.cells.begin() + 1, row.cells.end(),
                           [](const PlanEntry& cell) { return cell.remaining >= 1; });
    });
}

bool PlanHasAttempts(const SessionPlan& plan) {
    return std::any_of(plan.rows.begin(), plan.rows.end(), [](const PlanRow& row) {
        return std::any_of(row.cells.begin() + 1, row.cells.end(),
                           [](const PlanEntry& cell) { return cell.attempts > 0; });
    });
}

SessionEndResult EndSession(const SessionPlan& plan, bool noRepetitions, const UnitTable& units,
                            RepetitionStore& store, const Settings& settings, double today) {
    SessionEndResult result;
    if (plan.mode == SessionMode::Learning && noRepetitions) {
        return result;
    }
    SessionEndUpdate(plan, units, store, settings, today);
    result.updated = true;
    result.showSummary = settings.showSummary && PlanHasAttempts(plan);
    return result;
}

}  // namespace dyd
