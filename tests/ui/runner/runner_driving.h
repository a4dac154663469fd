#pragma once

// What the runner tests share: a plan of units in one kind, a run opened as the plan window opens
// it, and the record button read as the learner sees it.

#include <QLabel>
#include <QTest>
#include <cstdint>
#include <vector>

#include "core/session_plan.h"
#include "core/unit_table.h"
#include "find_control.h"
#include "ui/runner/runner_window.h"

namespace dyd::test {

// A learning plan of these unit numbers, each needing one answer in kind.
inline void PlanUnits(SessionPlan& plan, int kind, const std::vector<int>& units) {
    plan = SessionPlan{};
    plan.mode = SessionMode::Learning;
    for (const int unit : units) {
        PlanRow row;
        row.unitNumber = unit;
        row.cells[static_cast<std::size_t>(kind)].remaining = 1;
        plan.rows.push_back(row);
    }
}

// The unit numbers of these ids.
inline std::vector<int> UnitsOf(const UnitTable& table, const std::vector<std::int32_t>& ids) {
    std::vector<int> units;
    for (const std::int32_t id : ids) {
        units.push_back(table.IndexOfUnitId(id));
    }
    return units;
}

// Opens the run of kind and waits until the runner is the active window.
inline bool OpenRun(ui::RunnerWindow* runner, int kind) {
    if (!runner->Open(kind)) {
        return false;
    }
    runner->show();
    runner->activateWindow();
    return QTest::qWaitForWindowActive(runner);
}

// Whether K_nagraj shows the picture of the hidden image of that name.
inline bool RecordButtonShows(QWidget* runner, const char* picture) {
    return Find<QLabel>(runner, "K_nagraj")->pixmap().toImage() ==
           Find<QLabel>(runner, picture)->pixmap().toImage();
}

}  // namespace dyd::test
