#pragma once

// Where the recording of a unit lies.

#include <string>

#include "core/paths.h"
#include "core/unit_table.h"

namespace dyd {

// The full file name of the unit's recording, with the folders and the name matched without
// regard to letter case where they exist; empty when the unit has no recording (source 1 or 3
// with a blank recording, sources 0, 2 and 4 with a number below 1).
//   source 1: databaseDir + "wav/" + recording
//   source 3: databaseDir + "wav_3/" + recording + ".wav"
//   source 4: recordingsDir + "D_" + 2 digits + "/dd_" + 3 digits + "/" + 5 digits + ".ogg"
//   others:   the same numbered folders with ".wav"
std::string RecordingPath(const AppPaths& paths, const Unit& unit);

// The second recording of a QA item: databaseDir + "wav/" + answerRecording (empty when blank).
std::string AnswerRecordingPath(const AppPaths& paths, const Unit& unit);

}  // namespace dyd
