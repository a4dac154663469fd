#pragma once

// Opening a course database and a learner, in the fixed order of the login: database parameters
// with the groups and substitution pairs, the exercise history, the units with their relations,
// comments and corrections (and the search texts), the settings, the interlude packs and, last,
// the repetition records, which are checked against the record count of the settings.

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/clock.h"
#include "core/database.h"
#include "core/exercise_sets.h"
#include "core/file_stamps.h"
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
    // The extra of a reading taken from ahead; empty when the files were read at Enter.
    std::any extra;
};

// Said once at a login that skipped damaged lines of the course's files (UTF-8): how many, the
// first with its place, and the command that lists them all; empty when none was skipped.
std::string SkippedLinesMessage(const LoadLog& log, const AppPaths& paths);

// Said once at a login whose learner folder takes no file (UTF-8): where, and the reason.
std::string LearnerFolderNotWritableMessage(std::string_view userDir, std::string_view error);

// Reports the progress window's title (UTF-8) and position 0..100 as the login goes on.
using LoginProgress = std::function<void(std::string_view title, int position)>;

// What a login reads without writing anything: the course with its parameters, and the learner's
// exercise history, settings, interlude packs and repetition records. It can be read ahead, while the login window
// waits for the learner, and is then taken only when the files it looked at are as they were.
struct LoginReading {
    std::string databaseCode;  // trimmed
    std::int32_t userNumber = 0;
    // programDir, languageDir and discRoot as given, the database's folders, and the learner's
    // folder as the login makes it.
    AppPaths paths;
    bool parametersFound = false;
    std::size_t parameterNotices = 0;  // the first notices of log come with the parameters
    bool menuPicture = false;
    CourseDatabase db;
    LoadLog log;
    HistoryReading history;
    LoadedSettings settings;  // with the record count the repetitions brought
    InterludePacks packs;
    RepetitionStore repetitions;
    LoadRepetitionsResult repetitionsResult;
    // What the caller's own step of the reading adds (the login window: the course's menu
    // picture, decoded); its files are stamped with the others.
    std::any extra;
    FileStamps seen;
};

using ExtraReading = std::function<void(LoginReading& reading)>;

std::unique_ptr<LoginReading> ReadForLogin(const AppPaths& programPaths,
                                           std::string_view databaseCode,
                                           std::int32_t userNumber,
                                           const ExtraReading& extra = {});

// Reads ahead, on a thread of its own, for the course and learner chosen in the login window.
class LoginReadAhead {
  public:
    LoginReadAhead() = default;
    ~LoginReadAhead();
    LoginReadAhead(const LoginReadAhead&) = delete;
    LoginReadAhead& operator=(const LoginReadAhead&) = delete;

    // Starts reading for them, unless that reading is already under way or done; a reading for
    // another choice is waited for and dropped. extra runs last, on the same thread.
    void Start(const AppPaths& programPaths, std::string_view databaseCode,
               std::int32_t userNumber, ExtraReading extra = {});
    // The reading for them (waiting for it if it is still under way) when its files are still
    // as it found them; nothing when none was started for them or a file has changed since.
    std::unique_ptr<LoginReading> Take(const AppPaths& programPaths,
                                       std::string_view databaseCode, std::int32_t userNumber);
    // Waits until the reading under way, if any, is done.
    void Wait();

  private:

    std::thread worker_;
    AppPaths programPaths_;
    std::string code_;
    std::int32_t userNumber_ = 0;
    bool started_ = false;
    std::unique_ptr<LoginReading> reading_;
};

// Opens database code for learner number / name (trimmed, Windows-1250) under programDir (the
// folder strings of programPaths other than programDir, languageDir and discRoot are set here).
// A new learner starts with the catalogue of the shipped exercise sets.
// What ahead has read for them is taken when it is still good; otherwise the files are read now.
LoginResult Login(const AppPaths& programPaths, std::string_view databaseCode,
                  std::int32_t userNumber, std::string_view userName, const Clock& clock,
                  LearnerSession& session, const LoginProgress& progress = {},
                  LoginReadAhead* ahead = nullptr);

}  // namespace dyd
