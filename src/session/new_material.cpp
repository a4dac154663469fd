#include "session/new_material.h"

#include <algorithm>

#include "core/datetime.h"
#include "core/scheduling.h"
#include "core/session_plan.h"

namespace dyd {
namespace {

bool InGroup(const Unit& unit, int groupId) {
    return groupId == 0 || unit.groupId == groupId;
}

const RepetitionRecord* RecordOf(const RepetitionStore& store, int u) {
    return u >= 0 && static_cast<std::size_t>(u) < store.records.size() ? &store.record(u)
                                                                        : nullptr;
}

bool IsSentence(const UnitTable& units, int u) {
    return units.unit(u).unitKind == kSentenceUnit;
}

}  // namespace

int EffectiveLearningMode(const Settings& settings) {
    const int mode = settings.learningMode;
    return mode >= 0 && mode <= 2 ? mode : 0;
}

int BatchSizeOfIndex(int index) {
    return index >= 0 && index < static_cast<int>(kBatchSizes.size())
               ? kBatchSizes[static_cast<std::size_t>(index)]
               : kDefaultBatchSize;
}

NewMaterialCounts CountNewMaterial(const UnitTable& units, const RepetitionStore& store,
                                   int groupId) {
    NewMaterialCounts counts;
    std::array<std::vector<int>, 5> byLevel;  // [1..4]
    for (int u = 1; u <= units.unitCount(); ++u) {
        const Unit& unit = units.unit(u);
        if (!InGroup(unit, groupId)) {
            continue;
        }
        ++counts.totalInGroup;
        const RepetitionRecord* record = RecordOf(store, u);
        if (record != nullptr && record->unitId > 0 && record->repetitionNo > 0) {
            if (record->inTrash != 0) {
                ++counts.inTrash;
            } else {
                ++counts.learnt;
            }
            continue;
        }
        if (unit.unitKind >= 1 && unit.unitKind <= 3) {
            ++counts.newByType[static_cast<std::size_t>(unit.unitKind)];
        } else {
            ++counts.newOtherType;
        }
        const int level = unit.level >= 1 && unit.level <= 4 ? unit.level : 1;
        auto& list = byLevel[static_cast<std::size_t>(level)];
        if (static_cast<int>(list.size()) < kMaxCandidates) {
            list.push_back(u);
        }
    }
    for (int level = 1; level <= 4; ++level) {
        for (const int u : byLevel[static_cast<std::size_t>(level)]) {
            if (static_cast<int>(counts.levelOrdered.size()) == kMaxCandidates) {
                return counts;
            }
            counts.levelOrdered.push_back(u);
        }
    }
    return counts;
}

UnitFilter FilterOfSettings(const Settings& settings) {
    return {settings.filterLevel, settings.filterWordClass, settings.filterUnitType};
}

FilterMatches CountFilterMatches(const UnitTable& units, const RepetitionStore& store, int groupId,
                                 const UnitFilter& filter, std::vector<int>* candidates) {
    FilterMatches result;
    if (candidates != nullptr) {
        candidates->clear();
    }
    for (int u = 1; u <= units.unitCount(); ++u) {
        const Unit& unit = units.unit(u);
        if (!InGroup(unit, groupId)) {
            continue;
        }
        ++result.totalInGroup;
        const RepetitionRecord* record = RecordOf(store, u);
        const bool matches = (filter.level == 0 || unit.level == filter.level) &&
                             (filter.wordClass == 0 || unit.partOfSpeech == filter.wordClass) &&
                             (filter.unitType == 0 || unit.unitKind == filter.unitType) &&
                             (record == nullptr || record->unitId == 0);
        if (!matches) {
            continue;
        }
        ++result.matches;
        if (candidates != nullptr) {
            if (static_cast<int>(candidates->size()) < kMaxCandidates) {
                candidates->push_back(u);
            } else {
                candidates->back() = u;
            }
        }
    }
    return result;
}

std::string FilterMatchesText(const FilterMatches& matches) {
    return "Wybrano: " + std::to_string(matches.matches) + " z " +
           std::to_string(matches.totalInGroup);
}

Candidates BuildCandidates(const UnitTable& units, const RepetitionStore& store,
                           const Settings& settings, const NewMaterialCounts& counts, int groupId,
                           bool sentencesOnly, bool& attachExampleSentences) {
    Candidates result;
    switch (EffectiveLearningMode(settings)) {
        case 1:
            CountFilterMatches(units, store, groupId, FilterOfSettings(settings), &result.units);
            result.modeText = "Tryb nauki: filtr" + std::string(kLabelBreak);
            break;
        case 2:
            for (const int u : counts.levelOrdered) {
                if (!IsSentence(units, u)) {
                    result.units.push_back(u);
                }
            }
            if (result.units.empty()) {
                for (const int u : counts.levelOrdered) {
                    if (IsSentence(units, u)) {
                        result.units.push_back(u);
                    }
                }
            }
            attachExampleSentences = true;
            result.modeText = "Tryb: słówka i przykładowe zdania" + std::string(kLabelBreak);
            break;
        default:
            for (const int u : counts.levelOrdered) {
                if (IsSentence(units, u) == sentencesOnly) {
                    result.units.push_back(u);
                }
            }
            attachExampleSentences = false;
            break;
    }
    return result;
}

DrawResult DrawBatch(const std::vector<int>& candidates, int batchSize, const UnitTable& units,
                     Settings& settings, Random& random, CurrentSet& set) {
    DrawResult result;
    set.name.clear();
    set.setKey.clear();
    set.count = 0;
    set.ready = false;
    const int mode = EffectiveLearningMode(settings);
    const int n = std::min(batchSize > 0 ? batchSize : kDefaultBatchSize, kMaxSetUnits);
    const int available = static_cast<int>(candidates.size());
    auto append = [&](int u) {
        if (set.count < kMaxSetUnits && u >= 1 && u <= units.unitCount()) {
            set.codes[static_cast<std::size_t>(set.count++)] = units.unit(u).unitId;
        }
    };
    if (n >= available) {
        for (const int u : candidates) {
            append(u);
        }
    } else {
        // Modes 0 and 2 draw from the head of the level-ordered list: easy, early units first.
        const int pool = mode == 1 ? available : std::min(available, 3 * n);
        std::vector<bool> taken(static_cast<std::size_t>(pool), false);
        for (int i = 0; i < n; ++i) {
            bool picked = false;
            for (int attempt = 0; attempt < kMaxPicks && !picked; ++attempt) {
                const int position = random.Below(pool);
                if (position >= 0 && position < pool &&
                    !taken[static_cast<std::size_t>(position)]) {
                    taken[static_cast<std::size_t>(position)] = true;
                    append(candidates[static_cast<std::size_t>(position)]);
                    picked = true;
                }
            }
            if (!picked) {
                ++result.failedPicks;
                result.messages.emplace_back(kDrawProblemMessage);
            }
        }
    }
    result.count = set.count;
    if (mode == 2) {
        settings.proposeSentenceExercises = true;
    }
    if (result.count == 0) {
        result.status = std::string(mode == 1 ? kNoMaterialFilterMessage : kNoMaterialMessage);
        result.startVisible = false;
    } else {
        result.status = "Wybrano do nauki: " + std::to_string(result.count);
        if (mode == 1) {
            result.status += std::string(kLabelBreak) + std::string(kFilterModeStatus);
        }
        result.startVisible = true;
    }
    return result;
}

std::string StatisticsText(const NewMaterialCounts& counts, bool groupChosen) {
    if (counts.newTotal() == 0) {
        return std::string(kLabelBreak) + "Brak nowego materiału do nauki!";
    }
    std::string text = "Uczysz się: " + std::to_string(counts.learnt) + " z " +
                       std::to_string(counts.totalInGroup);
    if (groupChosen) {
        text += " w tym dziale";
    }
    text += kLabelBreak;
    text += "Do nauki: " + std::to_string(counts.newTotal()) +
            " (słówka: " + std::to_string(counts.newByType[1] + counts.newByType[3]) +
            ", zdania: " + std::to_string(counts.newByType[2]) + ")";
    if (counts.inTrash > 0) {
        text += std::string(kLabelBreak) + "W koszu: " + std::to_string(counts.inTrash);
    }
    return text;
}

DrawButtons DrawButtonsFor(int learningMode, const NewMaterialCounts& counts) {
    DrawButtons buttons;
    const int mode = learningMode >= 0 && learningMode <= 2 ? learningMode : 0;
    if (mode == 0) {
        buttons.drawWordsPicture = true;
        buttons.drawVisible = counts.newByType[1] + counts.newByType[3] > 0;
        buttons.sentenceDrawVisible = counts.newByType[2] > 0;
    } else {
        buttons.drawVisible = counts.newTotal() > 0;
    }
    if (mode == 1) {
        buttons.status = kFilterModeStatus;
        buttons.filterOffVisible = true;
    } else if (mode == 2) {
        buttons.status = "Tryb: słówka i przykładowe zdania";
    }
    return buttons;
}

std::string LearningGoesOnText(int units) {
    return "Trwa nauka " + std::to_string(units) + " jednostek.";
}

RepetitionPanel RepetitionPanelFigures(const RepetitionStore& store, double today) {
    RepetitionPanel panel;
    const int last = std::min(store.recordHighWater, static_cast<int>(store.records.size()) - 1);
    for (int u = 1; u <= last && !panel.panelVisible; ++u) {
        panel.panelVisible = store.record(u).unitId > 0;
    }
    const DueUnits due = CollectDueUnits(store, today);
    const int n = due.total;
    panel.dueTotal = n;
    panel.title = "Powtórki na dzień: " + FormatDate(today);
    panel.dueText =
        "Do powtórzenia: " + std::to_string(n) + (n == 1 ? " jednostka." : " jednostek.");
    panel.startVisible = n > 0;
    panel.chooserVisible = n > kChooserThreshold;
    if (panel.chooserVisible) {
        const int top = std::min(n, kMaxPlanRows);
        panel.chooserEntries.push_back(10);
        for (int value = 20;; value += 20) {
            if (value >= top) {
                panel.chooserEntries.push_back(top);
                break;
            }
            panel.chooserEntries.push_back(value);
        }
    }
    return panel;
}

int RepetitionAmount(const RepetitionPanel& panel, int chosenEntry) {
    const int amount =
        panel.chooserVisible ? chosenEntry : std::min(panel.dueTotal, kChooserThreshold);
    return std::clamp(amount, 0, std::min(panel.dueTotal, kMaxPlanRows));
}

}  // namespace dyd
