#include "core/recording_path.h"

#include "core/text.h"

namespace dyd {

std::string RecordingPath(const AppPaths& paths, const Unit& unit) {
    switch (unit.recordingSource) {
        case 1:
            if (TrimView(unit.recording).empty()) {
                return {};
            }
            return ResolvePath(paths.databaseDir, "wav/" + unit.recording);
        case 3:
            if (TrimView(unit.recording).empty()) {
                return {};
            }
            return ResolvePath(paths.databaseDir, "wav_3/" + unit.recording + ".wav");
        default:
            break;
    }
    const std::optional<std::int32_t> number = IntOrZero(unit.recording);
    if (!number || *number < 1) {
        return {};
    }
    const std::string digits = ZeroPad(5, *number);
    const std::string relative = "D_" + digits.substr(0, 2) + "/dd_" + digits.substr(0, 3) + "/" +
                                 digits + (unit.recordingSource == 4 ? ".ogg" : ".wav");
    return ResolvePath(paths.recordingsDir, relative);
}

std::string AnswerRecordingPath(const AppPaths& paths, const Unit& unit) {
    if (TrimView(unit.answerRecording).empty()) {
        return {};
    }
    return ResolvePath(paths.databaseDir, "wav/" + unit.answerRecording);
}

}  // namespace dyd
