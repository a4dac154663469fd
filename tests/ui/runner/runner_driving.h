#pragma once

// What the runner tests share: a runner window over a learner of the sample course, a plan of
// units in one kind, a run opened as the plan window opens it, and the record button read as the
// learner sees it.

#include <QLabel>
#include <QTest>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/session_plan.h"
#include "core/unit_table.h"
#include "find_control.h"
#include "sample_installation.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/runner/runner_window.h"
#include "ui/shell/dialogs.h"

namespace dyd::test {

// The learner "Ewa" logged into a course of a linked copy of the sample installation, and a
// runner window with its dialogs; statistics, the F5 hint and interludes between steps stay out
// of the way.
struct SampleRunner {
    explicit SampleRunner(const char* course = "angielski", std::uint64_t seed = 7)
        : random(seed), context(clock) {
        LinkInstallation(DYD_SAMPLE, dir.path());
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        ok = Login(context.programPaths, course, 1, "Ewa", clock, context.session).status ==
             LoginStatus::Opened;
        context.session.settings.showStatistics = false;
        context.session.settings.f5HintShown = true;
        context.session.settings.interludesAtEndOnly = true;
        window = std::make_unique<ui::RunnerWindow>(context);
        window->SetRandom(random);
        window->SetDialogs(new ui::MessageBox(context, window.get()),
                           new ui::ConfirmationDialog(context, window.get()));
    }

    TempDir dir;
    FixedClock clock{45000.0};
    SeededRandom random;
    ui::AppContext context;
    bool ok = false;
    std::unique_ptr<ui::RunnerWindow> window;
};

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
