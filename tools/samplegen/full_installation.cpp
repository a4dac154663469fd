#include "full_installation.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <random>
#include <tuple>

#include "core/clock.h"
#include "core/codepage.h"
#include "core/history.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/scheduling.h"
#include "core/session_plan.h"
#include "core/settings.h"
#include "core/users.h"

namespace dyd::samplegen {

namespace fs = std::filesystem;

int LinkRecordings(Output& output, const std::vector<RecordingJob>& wanted,
                   const std::vector<RecordingJob>& made, std::vector<std::string>& errors) {
    using Key = std::tuple<std::string, std::string, AudioFormat>;
    std::map<Key, std::string> madeFiles;
    for (const RecordingJob& job : made) {
        madeFiles.emplace(Key{job.text, job.voice, job.format}, job.path);
    }
    int linked = 0;
    for (const RecordingJob& job : wanted) {
        const auto found = madeFiles.find(Key{job.text, job.voice, job.format});
        if (found == madeFiles.end()) {
            errors.push_back(output.installDir() + job.path +
                             ": żadne nagranie przykładu nie ma tego tekstu: " + job.text);
            continue;
        }
        std::string error;
        if (output.Link(job.path, found->second, &error)) {
            ++linked;
        } else {
            errors.push_back(error);
        }
    }
    return linked;
}

namespace {

// The learner's files of one course: the history (named as the code), the repetition files and
// their list, the settings, the comments and the history copy.
void RemoveLearnerFiles(const std::string& userDir, std::string_view code) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(userDir, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.starts_with(code) &&
            (name.size() == code.size() || name[code.size()] == '.' ||
             name.substr(code.size()) == "kom.txt")) {
            fs::remove(entry.path(), ec);
        }
    }
}

// The record of a unit learnt some time ago. dueIn: days from today until it is due (0 or
// less: due today).
RepetitionRecord LearntRecord(const Unit& unit, double today, std::mt19937& random) {
    RepetitionRecord r;
    r.unitId = unit.unitId;
    // Most units have been repeated a few times; the first and the eighth repetition are rare.
    r.repetitionNo = static_cast<int>((random() % 8 + random() % 8) / 2) + 1;
    r.factor = 1.3 + static_cast<double>(random() % 121) / 100.0;
    r.previousInterval = r.repetitionNo == 1
                             ? 0
                             : static_cast<int>(std::pow(1.9, r.repetitionNo - 2) * 2 +
                                                static_cast<double>(random() % 3));
    r.interval = std::max(1, static_cast<int>(r.previousInterval * r.factor * 1.9)) +
                 static_cast<int>(random() % 3);
    // One in twenty-five is due today or overdue by up to two weeks; the others fall due
    // somewhere in their interval.
    const int dueIn = random() % 25 == 0 ? -static_cast<int>(random() % 15)
                                         : 1 + static_cast<int>(random() % r.interval);
    r.lastDate = today + dueIn - r.interval;
    r.firstDate = r.lastDate - static_cast<double>(random() % 500);
    const int firstKind = unit.unitKind == kSentenceUnit ? kSentenceChoice
                          : unit.unitKind == kQaUnit     ? kQaMode
                                                         : 1;
    const int kinds = unit.unitKind == kQaUnit ? 1 : 6;
    for (int k = firstKind; k < firstKind + kinds; ++k) {
        r.kindMarks[static_cast<std::size_t>(k - 1)] = static_cast<std::uint8_t>(random() % 3);
    }
    r.knownFlag = random() % 50 == 0 ? 1 : 0;
    r.inTrash = random() % 100 == 0 ? 1 : 0;
    return r;
}

// The exercise kinds a set's results are recorded in.
constexpr int kWordKinds[] = {1, 2, 3, 4, 5, 6};
constexpr int kSentenceKinds[] = {10, 11, 12, 13, 14, 15};

}  // namespace

FullLearnerReport WriteFullLearner(const std::string& installDir, std::string_view code,
                                   int records, int historyRecords, double today,
                                   std::vector<std::string>& errors) {
    FullLearnerReport report;
    const ProgramPathsResult program = ComputeProgramPaths(installDir + "/dydaktor", false);
    if (program.status == ProgramPathsStatus::MarkerMissing) {
        errors.push_back(installDir + ": brak pliku " + std::string(kInstallMarker));
        return report;
    }
    const std::string name = *FromUtf8(kFullLearnerName, CodePage::Cp1250);
    UserList users = LoadUserList(program.paths.programDir);
    for (const UserEntry& user : users.users) {
        if (user.name == name) {
            report.number = user.number;
        }
    }
    if (report.number == 0) {
        const AddUserResult added = AddUser(program.paths.programDir, users, name);
        if (!added.added()) {
            errors.push_back(program.paths.programDir + std::string(kUserListFile) + ": " +
                             added.message);
            return report;
        }
        report.number = added.number;
    }
    RemoveLearnerFiles(UserDirOf(program.paths.programDir, report.number), code);

    // The course opened as the login opens it: a new learner gets the catalogue of the sets.
    FixedClock clock(today + 0.5);
    LearnerSession session;
    const LoginResult login = Login(program.paths, code, report.number, name, clock, session);
    if (login.status != LoginStatus::Opened) {
        for (const std::string& message : login.messages) {
            errors.push_back(std::string(code) + ": " + message);
        }
        return report;
    }
    const UnitTable& units = session.db.units;
    std::mt19937 random(7000);

    // Repetitions: every unit but each fifth, as far as records go.
    RepetitionStore& store = session.repetitions;
    for (int n = 1; n <= units.unitCount() && report.records < records; ++n) {
        if (n % 5 == 0) {
            continue;
        }
        store.record(n) = LearntRecord(units.unit(n), today, random);
        report.due += IsDue(store.record(n), today) ? 1 : 0;
        ++report.records;
    }
    store.recordHighWater = units.unitCount();

    // History: results of the sets over the past year, kind after kind, until it is full.
    ExerciseHistory& history = session.history;
    std::vector<std::pair<std::string, bool>> sets;  // id, sentence set
    for (const HistoryRecord& record : history.records) {
        if (record.catalogueEntry()) {
            sets.emplace_back(record.id, record.kind == kSentenceSetCategory);
        }
    }
    const int target = std::min(historyRecords, kMaxHistoryRecords);
    const int rounds = static_cast<int>(std::size(kWordKinds));
    const double results = static_cast<double>(sets.size()) * rounds;
    int stored = 0;
    for (int round = 0; round < rounds && history.count() < target; ++round) {
        for (std::size_t i = 0; i < sets.size() && history.count() < target; ++i) {
            const auto& [id, sentences] = sets[i];
            const int kind = (sentences ? kSentenceKinds : kWordKinds)[round];
            const double when = today - 365 + 364 * stored / results + 0.3;
            const int percent = 40 + static_cast<int>(random() % 61);
            StoreSetResult(history, when, percent, id, kind, 0, random() % 5 != 0);
            ++stored;
        }
    }
    report.history = history.count();

    // Written as the program writes them at the end of a session.
    session.settings.helpHintShown = true;
    session.settings.f5HintShown = true;
    const SaveRepetitionsResult saved =
        SaveLiveRepetitions(session.paths, units, store, session.settings, clock);
    if (!saved.written) {
        errors.push_back(session.paths.userDir + ": " + saved.error);
    }
    std::string error;
    if (!SaveHistory(HistoryFilePath(session.paths), history, &error)) {
        errors.push_back(HistoryFilePath(session.paths) + ": " + error);
    }
    const SaveSettingsResult settings = SaveSettings(session.paths, session.settings, session.db);
    if (!settings.ok()) {
        errors.push_back(session.paths.userDir + ": " + settings.error);
    }
    return report;
}

}  // namespace dyd::samplegen
