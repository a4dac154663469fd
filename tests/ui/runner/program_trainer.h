#pragma once

// The program with all its windows wired by the start-up, on a copy of the sample installation,
// with a learner of the English course logged in: the runner is driven as a learner would, keys
// going to the control that has the focus.

#include <QApplication>
#include <QSize>
#include <QStringList>
#include <QTest>
#include <vector>

#include "core/clock.h"
#include "core/login.h"
#include "core/session_plan.h"
#include "runner_driving.h"
#include "sample_installation.h"
#include "support.h"
#include "ui/runner/runner_window.h"
#include "ui/shell/startup.h"

namespace dyd::test {

struct ProgramTrainer {
    explicit ProgramTrainer(double today) : clock(today), program(clock) {
        LinkInstallation(DYD_SAMPLE, dir.path());
        program.SetRandom(&random);
        ui::StartupEnvironment environment;
        environment.programFile = dir.path() + "dydaktor";
        environment.screenSize = QSize(1024, 768);
        environment.changeCurrentFolder = false;
        environment.standardBox = [this](const QString& text) { boxes.append(text); };
        ok = program.Start(environment) && LogIn();
    }

    // Logs Ewa in (again), with no hints and interludes only at the end of a run.
    bool LogIn() {
        const bool in =
            Login(program.context().programPaths, "angielski", 1, "Ewa", clock, session()).status ==
            LoginStatus::Opened;
        session().settings.f5HintShown = true;
        session().settings.interludesAtEndOnly = true;
        return in;
    }

    LearnerSession& session() { return program.context().session; }
    ui::RunnerWindow* runner() { return program.runnerWindow(); }

    // A learning plan of these units, each needing one answer in kind.
    void Plan(int kind, const std::vector<int>& units) { PlanUnits(session().plan, kind, units); }

    bool Start(int kind) { return OpenRun(runner(), kind); }

    // A key as the learner presses it: to the control that has the focus.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target != nullptr && runner()->isAncestorOf(target) ? target : runner(),
                        key, modifiers);
    }

    TempDir dir;
    FixedClock clock;
    SeededRandom random{7};
    ui::Program program;
    QStringList boxes;
    bool ok = false;
};

}  // namespace dyd::test
