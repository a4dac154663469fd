#include "core/login.h"

#include "core/files.h"
#include "core/text.h"
#include "core/users.h"

namespace dyd {

namespace {

void Report(const LoginProgress& progress, std::string_view title, int position) {
    if (progress) {
        progress(title, position);
    }
}

void Say(LoginResult& result, std::string message) {
    if (!message.empty()) {
        result.messages.push_back(std::move(message));
    }
}

}  // namespace

std::string SkippedLinesMessage(const LoadLog& log, const AppPaths& paths) {
    const LoadProblem* first = nullptr;
    int count = 0;
    for (const LoadProblem& problem : log.problems) {
        if (problem.severity == Severity::Error) {
            first = first == nullptr ? &problem : first;
            ++count;
        }
    }
    if (count == 0) {
        return {};
    }
    std::string message = "Pominięto uszkodzone wiersze plików kursu: " + std::to_string(count) +
                          ". Pierwszy: " + first->file;
    if (first->line > 0) {
        message += ":" + std::to_string(first->line);
    }
    message += ": " + first->message + ".\nWszystkie pokaże polecenie: dydaktor-db check " +
               paths.programDir + " " + paths.databaseCode;
    return message;
}

std::string LearnerFolderNotWritableMessage(std::string_view userDir, std::string_view error) {
    return "Nie można zapisać plików ucznia w folderze " + std::string(userDir) +
           ". Wyniki tej sesji nie zostaną zachowane. (" + std::string(error) + ")";
}

namespace {

bool SameProgramPaths(const AppPaths& a, const AppPaths& b) {
    return a.programDir == b.programDir && a.languageDir == b.languageDir &&
           a.discRoot == b.discRoot;
}

}  // namespace

std::unique_ptr<LoginReading> ReadForLogin(const AppPaths& programPaths,
                                           std::string_view databaseCode,
                                           std::int32_t userNumber, const ExtraReading& extra) {
    auto reading = std::make_unique<LoginReading>();
    FileStampScope noting(reading->seen);
    reading->databaseCode = std::string(TrimView(databaseCode));
    reading->userNumber = userNumber;
    AppPaths& paths = reading->paths;
    paths = programPaths;
    paths.databaseCode = reading->databaseCode;
    paths.databaseDir = ResolvePath(paths.programDir, "db/" + paths.databaseCode + "/");
    if (!LoadDatabaseParameters(paths, reading->db, reading->log)) {
        return reading;
    }
    reading->parametersFound = true;
    reading->parameterNotices = reading->log.notices.size();
    reading->menuPicture = FileExistsUnder(paths.databaseDir, kMenuPicture);
    paths.userDir = UserDirOf(paths.programDir, userNumber);
    reading->history = ReadHistory(paths);
    LoadDatabase(paths, reading->db, reading->log);
    reading->settings = LoadSettings(paths);
    reading->packs = LoadInterludePacks(paths);
    reading->repetitionsResult =
        LoadRepetitions(paths, RepetitionFileName(paths, kLiveSuffix), false, reading->db.units,
                        reading->repetitions, reading->settings.settings);
    if (extra) {
        extra(*reading);
    }
    return reading;
}

LoginReadAhead::~LoginReadAhead() { Wait(); }

void LoginReadAhead::Wait() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

void LoginReadAhead::Start(const AppPaths& programPaths, std::string_view databaseCode,
                           std::int32_t userNumber, ExtraReading extra) {
    const std::string_view code = TrimView(databaseCode);
    if (started_ && code == code_ && userNumber == userNumber_ &&
        SameProgramPaths(programPaths, programPaths_)) {
        return;
    }
    Wait();
    reading_.reset();
    started_ = !code.empty();
    if (!started_) {
        return;
    }
    programPaths_ = programPaths;
    code_ = std::string(code);
    userNumber_ = userNumber;
    worker_ = std::thread([this, paths = programPaths_, wanted = code_, userNumber,
                           extra = std::move(extra)] {
        try {
            reading_ = ReadForLogin(paths, wanted, userNumber, extra);
        } catch (...) {
            // The login reads the files itself.
            reading_.reset();
        }
    });
}

std::unique_ptr<LoginReading> LoginReadAhead::Take(const AppPaths& programPaths,
                                                   std::string_view databaseCode,
                                                   std::int32_t userNumber) {
    Wait();
    const bool wanted = started_ && TrimView(databaseCode) == code_ &&
                        userNumber == userNumber_ && SameProgramPaths(programPaths, programPaths_);
    started_ = false;
    std::unique_ptr<LoginReading> reading = std::move(reading_);
    if (!wanted || reading == nullptr || !reading->seen.Unchanged()) {
        return nullptr;
    }
    return reading;
}

LoginResult Login(const AppPaths& programPaths, std::string_view databaseCode,
                  std::int32_t userNumber, std::string_view userName, const Clock& clock,
                  LearnerSession& session, const LoginProgress& progress, LoginReadAhead* ahead) {
    LoginResult result;
    const std::string_view code = TrimView(databaseCode);
    if (code.empty()) {
        result.status = LoginStatus::NoDatabase;
        return result;
    }
    std::unique_ptr<LoginReading> reading =
        ahead != nullptr ? ahead->Take(programPaths, code, userNumber) : nullptr;
    if (reading == nullptr) {
        reading = ReadForLogin(programPaths, code, userNumber);
    }
    AppPaths& paths = session.paths;
    paths = reading->paths;
    paths.userDir.clear();
    if (!reading->parametersFound) {
        result.status = LoginStatus::ParametersMissing;
        result.log = std::move(reading->log);
        Say(result, std::string(kParametersMissingMessage));
        return result;
    }
    for (std::size_t i = 0; i < reading->parameterNotices; ++i) {
        Say(result, NoticeText(reading->log.notices[i], paths.recordingsDir));
    }
    const DatabaseParameters& params = reading->db.params;
    result.menuPicture = reading->menuPicture;
    if (!result.menuPicture) {
        result.menuLabel = params.title + "\n\r" + params.author;
    }

    session.userName = Trim(userName);
    session.userNumber = userNumber;
    const EnsureUserDirResult folder = EnsureUserDir(paths.programDir, userNumber);
    if (!folder.ok()) {
        result.status = LoginStatus::UserFolderFailed;
        Say(result, folder.error);
        return result;
    }
    paths.userDir = folder.userDir;

    Report(progress, kReadingTitle, 5);
    Report(progress, kReadingTitle, 7);
    const int language = params.language;
    LoginHistoryResult history =
        OpenHistoryAtLogin(paths, language, clock.Now(), session.history, &reading->history);
    // A learner folder that takes no file is said once, with where and why.
    std::string notWritten = history.error;
    if (history.profileCreated && notWritten.empty()) {
        Report(progress, kCreatingProfileText, 9);
        // A new learner starts with the shipped sets in his catalogue; his store is empty, so
        // nothing is lost by building it.
        const BuildCatalogueResult catalogue =
            BuildShippedCatalogue(paths, language, clock.Now(), session.history);
        notWritten = catalogue.error;
        if (!catalogue.saved && notWritten.empty()) {
            Say(result, catalogue.message);
        }
        if (notWritten.empty()) {
            history = OpenHistoryAtLogin(paths, language, clock.Now(), session.history);
            notWritten = history.error;
        }
        Report(progress, kCreatingProfileText, 11);
    }
    if (!notWritten.empty()) {
        Say(result, LearnerFolderNotWritableMessage(paths.userDir, notWritten));
    }
    Say(result, history.message);
    if (session.history.damaged) {
        result.historyCopyDate = GoodHistoryCopyDate(paths);
    }

    Report(progress, kReadingTitle, 15);
    session.db = std::move(reading->db);
    result.log = std::move(reading->log);
    for (std::size_t i = reading->parameterNotices; i < result.log.notices.size(); ++i) {
        Say(result, NoticeText(result.log.notices[i], paths.recordingsDir));
    }
    Say(result, SkippedLinesMessage(result.log, paths));

    const LoadedSettings& settings = reading->settings;
    session.settings = settings.settings;
    session.settingsUnreadable = !settings.unreadableFile.empty();
    if (session.settingsUnreadable) {
        Say(result, SettingsUnreadableMessage(settings.unreadableFile));
    }
    // One message for the whole file, however many lines it had to repair.
    Say(result, RepairsMessage(settings.repairs));
    session.packs = std::move(reading->packs);

    session.repetitions = std::move(reading->repetitions);
    result.extra = std::move(reading->extra);
    Say(result, reading->repetitionsResult.message);
    if (session.repetitions.damaged) {
        result.repetitionCopy = NewestGoodRepetitionCopy(paths, session.db.units);
    }
    return result;
}

}  // namespace dyd
