#include "session/set_chooser.h"

#include <algorithm>
#include <cstdint>

#include "core/codepage.h"
#include "core/exercise_sets.h"
#include "core/files.h"

namespace dyd {

std::string GroupKey(int groupId) {
    std::string key = std::to_string(groupId);
    if (key.size() < 2) {
        key.insert(0, "0");
    }
    return key;
}

// ---- Sets ---------------------------------------------------------------------------------------

std::vector<ChooserSection> SetSections(const ExerciseHistory& history,
                                        const std::vector<Group>& groups) {
    std::vector<ChooserSection> sections;
    // The group fields present, counted once each: the group list is then walked once.
    std::vector<std::string> present;
    for (const HistoryRecord& record : history.records) {
        if (!record.blank() &&
            std::find(present.begin(), present.end(), record.group) == present.end()) {
            present.push_back(record.group);
        }
    }
    for (const Group& group : groups) {
        if (static_cast<int>(sections.size()) >= kMaxChooserSections) {
            break;
        }
        if (group.groupId <= 0) {
            continue;
        }
        if (std::find(present.begin(), present.end(), GroupKey(group.groupId)) != present.end()) {
            sections.push_back({group.groupId, group.name});
        }
    }
    return sections;
}

std::vector<ChooserSet> SetsOfSection(const ExerciseHistory& history, std::string_view groupKey) {
    std::vector<ChooserSet> sets;
    std::int64_t sum = 0;
    int count = 0;
    const int total = history.count();
    for (int i = 0; i < total; ++i) {
        const HistoryRecord& record = history.records[static_cast<std::size_t>(i)];
        if (record.blank() || record.group != groupKey) {
            continue;
        }
        sum += record.percent;
        ++count;
        const bool runEnds =
            i + 1 == total || history.records[static_cast<std::size_t>(i + 1)].id != record.id;
        if (runEnds) {
            if (static_cast<int>(sets.size()) >= kMaxChooserSets) {
                break;
            }
            sets.push_back({i + 1, static_cast<int>(sum / count)});
            sum = 0;
            count = 0;
        }
    }
    return sets;
}

bool SetDone(const HistoryRecord& last) { return last.count >= 1; }

bool UserSetId(std::string_view id) { return !id.empty() && id.front() == '2'; }

SetProblem ProbeSet(const AppPaths& paths, int language, std::string_view id,
                    const UnitTable& units) {
    const std::string path =
        UserSetId(id) ? UserSetFilePath(paths, language) : ShippedSetFilePath(paths, language);
    if (path.empty()) {
        return SetProblem::NotInFile;
    }
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        return SetProblem::NotInFile;
    }
    CurrentSet set;
    if (!FindSetCodes(*bytes, id, set)) {
        return SetProblem::NotInFile;
    }
    for (int i = 0; i < set.count; ++i) {
        if (units.IndexOfUnitId(set.codes[static_cast<std::size_t>(i)]) > 0) {
            return SetProblem::None;
        }
    }
    return SetProblem::NoUnits;
}

std::string SetProblemText(SetProblem problem, std::string_view name1250) {
    const std::string name = ToUtf8(name1250, CodePage::Cp1250);
    switch (problem) {
        case SetProblem::None:
            return {};
        case SetProblem::NotInFile:
            return "Nie można wczytać ćwiczenia \"" + name +
                   "\": nie ma go już w pliku ćwiczeń.";
        case SetProblem::NoUnits:
            return "Nie można wczytać ćwiczenia \"" + name +
                   "\": baza nie zawiera żadnej z jego jednostek.";
    }
    return {};
}

std::string DeleteSetQuestion(std::string_view name1250) {
    return "Czy chcesz usunąć Ćwiczenie: " + ToUtf8(name1250, CodePage::Cp1250) + " ?";
}

// ---- Results ------------------------------------------------------------------------------------

namespace {

// numerator / denominator rounded to the nearest whole number, halves to even; both >= 0,
// denominator > 0.
std::int64_t DivideHalfEven(std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t quotient = numerator / denominator;
    const std::int64_t twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && quotient % 2 != 0)) {
        return quotient + 1;
    }
    return quotient;
}

void Count(CountPair& pair, bool counted) {
    ++pair.units;
    if (counted) {
        ++pair.counted;
    }
}

template <std::size_t N>
int IndexOf(const std::array<int, N>& values, int value) {
    const auto it = std::find(values.begin(), values.end(), value);
    return it == values.end() ? -1 : static_cast<int>(it - values.begin());
}

std::string CountText(const CountPair& pair) {
    return std::to_string(pair.counted) + " z " + std::to_string(pair.units);
}

}  // namespace

int WholePercent(int counted, int units) {
    if (units <= 0 || counted <= 0) {
        return 0;
    }
    return static_cast<int>(
        DivideHalfEven(static_cast<std::int64_t>(std::min(counted, units)) * 100, units));
}

int BarFill(int counted, int units, int full) {
    if (units <= 0 || counted <= 0 || full <= 0) {
        return 0;
    }
    return static_cast<int>(
        DivideHalfEven(static_cast<std::int64_t>(std::min(counted, units)) * full, units));
}

bool UnitCounts(const RepetitionRecord& record, ResultsView view, int masteredInterval) {
    const bool learnt = record.unitId > 0 && record.inTrash == 0;
    if (view == ResultsView::Learnt) {
        return learnt;
    }
    return learnt && record.interval > masteredInterval;
}

Results ComputeResults(const UnitTable& units, const std::vector<Group>& groups,
                       const RepetitionStore& store, int masteredInterval, ResultsView view) {
    Results results;
    // Group ids are small: counted by id, then listed in the group list's order.
    std::vector<CountPair> byGroup;
    const int unitCount = std::min(units.unitCount(), store.capacity());
    for (int u = 1; u <= unitCount; ++u) {
        const Unit& unit = units.unit(u);
        const bool counted = UnitCounts(store.record(u), view, masteredInterval);
        ResultsCounters& c = results.counters;
        Count(c.all, counted);
        if (unit.level >= 1 && unit.level <= 4) {
            Count(c.levels[static_cast<std::size_t>(unit.level - 1)], counted);
        }
        if (const int i = IndexOf(kPanelPartsOfSpeech, unit.partOfSpeech); i >= 0) {
            Count(c.partsOfSpeech[static_cast<std::size_t>(i)], counted);
        }
        if (const int i = IndexOf(kPanelUnitKinds, unit.unitKind); i >= 0) {
            Count(c.unitKinds[static_cast<std::size_t>(i)], counted);
        }
        if (unit.groupId > 0 && unit.groupId < 100000) {
            if (static_cast<std::size_t>(unit.groupId) >= byGroup.size()) {
                byGroup.resize(static_cast<std::size_t>(unit.groupId) + 1);
            }
            Count(byGroup[static_cast<std::size_t>(unit.groupId)], counted);
        }
    }
    for (const Group& group : groups) {
        if (static_cast<int>(results.groups.size()) >= kMaxChooserSections) {
            break;
        }
        if (group.groupId <= 0) {
            continue;
        }
        GroupResult row;
        row.groupId = group.groupId;
        row.name = group.name;
        if (group.groupId > 0 && static_cast<std::size_t>(group.groupId) < byGroup.size()) {
            row.count = byGroup[static_cast<std::size_t>(group.groupId)];
        }
        row.percent = WholePercent(row.count.counted, row.count.units);
        row.barWidth = BarFill(row.percent, 100);
        row.text = "Umiesz " + CountText(row.count) + " jednostek.";
        results.groups.push_back(std::move(row));
    }
    return results;
}

std::vector<PanelLine> PanelLines(const ResultsCounters& counters) {
    std::vector<PanelLine> lines;
    int y = 0;
    const auto add = [&lines, &y](std::string text, const CountPair& pair) {
        lines.push_back({y, std::move(text), BarFill(pair.counted, pair.units)});
        y += kPanelLineStep;
    };
    add("Wszystkich " + CountText(counters.all), counters.all);
    for (int level = 1; level <= 4; ++level) {
        const CountPair& pair = counters.levels[static_cast<std::size_t>(level - 1)];
        if (pair.units > 0) {
            add("Poziom " + std::to_string(level) + ": " + CountText(pair), pair);
        }
    }
    static constexpr std::array<const char*, 4> kPartNames = {"Rzeczowniki: ", "Przymiotniki: ",
                                                              "Przysłówki: ", "Czasowniki: "};
    static constexpr std::array<const char*, 3> kKindNames = {"Słówka: ", "Tryb QA: ",
                                                              "Zdania: "};
    const auto block = [&](const auto& names, const auto& pairs) {
        bool gapGiven = false;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            if (pairs[i].units > 0) {
                if (!gapGiven) {
                    y += kPanelGap;
                    gapGiven = true;
                }
                add(std::string(names[i]) + CountText(pairs[i]), pairs[i]);
            }
        }
    };
    block(kPartNames, counters.partsOfSpeech);
    block(kKindNames, counters.unitKinds);
    return lines;
}

}  // namespace dyd
