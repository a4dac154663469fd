#include "session/kind_marks.h"

#include "core/session_plan.h"

namespace dyd {
namespace {
constexpr int kGerman = 2;  // the database language whose words take kinds 7 and 8
}  // namespace

std::vector<KindMarkItem> BuildKindMarkItems(const UnitTable& units, const Settings& settings,
                                             int language, const RepetitionStore& store,
                                             int unitNumber) {
    std::vector<KindMarkItem> items;
    if (unitNumber < 1 || unitNumber > units.unitCount()) {
        return items;
    }
    const int type = units.unit(unitNumber).unitKind;
    if (type < 1 || type > 2) {
        return items;
    }
    const auto& offered = settings.learningKinds[static_cast<std::size_t>(type)];
    const KindFlags& chosen = store.chosenKinds[static_cast<std::size_t>(unitNumber)];
    for (int k = 1; k <= kKindSlots; ++k) {
        if (!offered[static_cast<std::size_t>(k)]) {
            continue;
        }
        if ((k == kArticleChoice || k == kTypingPlural) && language != kGerman) {
            continue;
        }
        items.push_back({k, std::to_string(k) + " - " + std::string(KindName(k)),
                         chosen[static_cast<std::size_t>(k)]});
    }
    return items;
}

void ApplyKindMarks(const std::vector<KindMarkItem>& items, RepetitionStore& store,
                    int unitNumber) {
    if (unitNumber < 1 || unitNumber > kMaxUnits) {
        return;
    }
    KindFlags& chosen = store.chosenKinds[static_cast<std::size_t>(unitNumber)];
    for (const KindMarkItem& item : items) {
        if (item.kind >= 1 && item.kind <= kKindSlots) {
            chosen[static_cast<std::size_t>(item.kind)] = item.checked;
        }
    }
}

}  // namespace dyd
