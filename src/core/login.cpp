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

LoginResult Login(const AppPaths& programPaths, std::string_view databaseCode,
                  std::int32_t userNumber, std::string_view userName, const Clock& clock,
                  LearnerSession& session, const LoginProgress& progress) {
    LoginResult result;
    const std::string_view code = TrimView(databaseCode);
    if (code.empty()) {
        result.status = LoginStatus::NoDatabase;
        return result;
    }
    AppPaths& paths = session.paths;
    paths = programPaths;
    paths.databaseCode = std::string(code);
    paths.databaseDir = ResolvePath(paths.programDir, "db/" + paths.databaseCode + "/");

    if (!LoadDatabaseParameters(paths, session.db, result.log)) {
        result.status = LoginStatus::ParametersMissing;
        Say(result, std::string(kParametersMissingMessage));
        return result;
    }
    for (const LoadNotice notice : result.log.notices) {
        Say(result, NoticeText(notice, paths.recordingsDir));
    }
    const std::size_t noticesShown = result.log.notices.size();

    result.menuPicture = FileExistsUnder(paths.databaseDir, kMenuPicture);
    if (!result.menuPicture) {
        result.menuLabel = session.db.params.title + "\n\r" + session.db.params.author;
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
    const int language = session.db.params.language;
    LoginHistoryResult history = OpenHistoryAtLogin(paths, language, clock.Now(), session.history);
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
    LoadDatabase(paths, session.db, result.log);
    for (std::size_t i = noticesShown; i < result.log.notices.size(); ++i) {
        Say(result, NoticeText(result.log.notices[i], paths.recordingsDir));
    }
    Say(result, SkippedLinesMessage(result.log, paths));

    LoadedSettings settings = LoadSettings(paths);
    session.settings = settings.settings;
    session.settingsUnreadable = !settings.unreadableFile.empty();
    if (session.settingsUnreadable) {
        Say(result, SettingsUnreadableMessage(settings.unreadableFile));
    }
    // One message for the whole file, however many lines it had to repair.
    Say(result, RepairsMessage(settings.repairs));
    session.packs = LoadInterludePacks(paths);

    const LoadRepetitionsResult repetitions =
        LoadRepetitions(paths, RepetitionFileName(paths, kLiveSuffix), false, session.db.units,
                        session.repetitions, session.settings);
    Say(result, repetitions.message);
    if (session.repetitions.damaged) {
        result.repetitionCopy = NewestGoodRepetitionCopy(paths, session.db.units);
    }
    return result;
}

}  // namespace dyd
