#pragma once

// Opening a course database and a learner, in the fixed order of the login: database parameters
// with the groups and substitution pairs, the exercise history, the units with their relations,
// comments and corrections (and the search texts), the settings, the interlude packs and, last,
// the repetition records, which are checked against the record count of the settings.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/database.h"
#include "core/exercise_sets.h"
#include "core/history.h"
#include "core/interlude_packs.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/settings.h"

namespace dyd {

// Everything a login opens; it lives for the rest of the run.
struct LearnerSession {
    AppPaths paths;
    CourseDatabase db;
    ExerciseHistory history;
    Settings settings;
    // The learner's settings file could not be read at the login: it is not written over until
    // the learner confirms the settings screen.
    bool settingsUnreadable = false;
    InterludePacks packs;
    RepetitionStore repetitions;
    std::string userName;  // Windows-1250, trimmed
    std::int32_t userNumber = 0;
    // The one exercise set the program works on and the plan of the session built from it; both
    // live for the whole run (a plan can be resumed until the next one is built).
    CurrentSet currentSet;
    SessionPlan plan;
    // The exercise backgrounds, built on the runner's first use.
    BackgroundList backgrounds;
};

inline constexpr std::string_view kReadingTitle = "Czytam...";
inline constexpr std::string_view kMenuPicture = "menu_slow.bmp";

enum class LoginStatus {
    Opened,
    NoDatabase,         // no database code: the login window stays open
    ParametersMissing,  // kParametersMissingMessage: the program ends
    UserFolderFailed,   // the learner's folder could not be created
};

struct LoginResult {
    LoginStatus status = LoginStatus::Opened;
    // Messages to show, in order (UTF-8).
    std::vector<std::string> messages;
    // The main menu: its background picture from the database folder, or, without one, the label
    // with the title, LF CR and the author (Windows-1250).
    bool menuPicture = false;
    std::string menuLabel;
    LoadLog log;
    // A damaged repetition file or history, and a good copy of it to offer the learner at once.
    std::optional<RepetitionCopyOffer> repetitionCopy;
    std::optional<std::string> historyCopyDate;
};

// Said once at a login that skipped damaged lines of the course's files (UTF-8): how many, the
// first with its place, and the command that lists them all; empty when none was skipped.
std::string SkippedLinesMessage(const LoadLog& log, const AppPaths& paths);

// Said once at a login whose learner folder takes no file (UTF-8): where, and the reason.
std::string LearnerFolderNotWritableMessage(std::string_view userDir, std::string_view error);

// Reports the progress window's title (UTF-8) and position 0..100 as the login goes on.
using LoginProgress = std::function<void(std::string_view title, int position)>;

// Opens database code for learner number / name (trimmed, Windows-1250) under programDir (the
// folder strings of programPaths other than programDir, languageDir and discRoot are set here).
// A new learner starts with the catalogue of the shipped exercise sets.
LoginResult Login(const AppPaths& programPaths, std::string_view databaseCode,
                  std::int32_t userNumber, std::string_view userName, const Clock& clock,
                  LearnerSession& session, const LoginProgress& progress = {});

}  // namespace dyd
