#pragma once

// What the windows share: the folders of the installation, the learner session that the login
// fills, the clock, the sound player, the button pictures and the help viewer. The application
// owns one; every window gets it by reference.

#include <QString>
#include <functional>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "ui/widgets/image_button.h"

namespace dyd {
class SoundPlayer;
}

namespace dyd::ui {

struct AppContext {
    AppContext(const Clock& clockIn) : clock(clockIn) {}  // NOLINT(google-explicit-constructor)

    AppPaths programPaths;   // programDir, languageDir, discRoot (start-up)
    LearnerSession session;  // the database and learner the login opened
    const Clock& clock;
    SoundPlayer* sound = nullptr;  // none in tests without audio
    ImageList images;
    // Opens the help viewer on a page of the help folder ("index.html" for the start page).
    std::function<void(const QString& page)> openHelp;

    // The folders of the session once logged in, else those of the program.
    const AppPaths& paths() const {
        return session.paths.programDir.empty() ? programPaths : session.paths;
    }
};

}  // namespace dyd::ui
