// Where a unit's recording lies, for every recording source.

#include "core/recording_path.h"

#include <gtest/gtest.h>

#include "support.h"

namespace dyd {
namespace {

TEST(RecordingPath, EverySource) {
    AppPaths paths;
    paths.databaseDir = "/inst/db/en/";
    paths.recordingsDir = "/disc/rec/";
    const struct {
        int source;
        const char* recording;
        const char* expected;
    } cases[] = {
        {1, "hello.mp3", "/inst/db/en/wav/hello.mp3"},
        {1, "  ", ""},
        {3, "u12", "/inst/db/en/wav_3/u12.wav"},
        {3, "", ""},
        {4, "28656", "/disc/rec/D_28/dd_286/28656.ogg"},
        {4, "812", "/disc/rec/D_00/dd_008/00812.ogg"},
        {4, "1234567", "/disc/rec/D_12/dd_123/1234567.ogg"},
        {4, "", ""},
        {4, "0", ""},
        {4, "abc", ""},
        {0, "99999", "/disc/rec/D_99/dd_999/99999.wav"},
        {2, "12345", "/disc/rec/D_12/dd_123/12345.wav"},
        {7, "5", "/disc/rec/D_00/dd_000/00005.wav"},
        {0, "-3", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.source) + " " + c.recording);
        Unit unit;
        unit.recordingSource = static_cast<std::uint8_t>(c.source);
        unit.recording = c.recording;
        EXPECT_EQ(RecordingPath(paths, unit), c.expected);
    }
}

TEST(RecordingPath, FoldersAndAnswerRecordingsAreFoundInAnyLetterCase) {
    test::TempDir dir;
    test::WriteBytes(dir.path() + "Rec/d_28/DD_286/28656.ogg", "x");
    test::WriteBytes(dir.path() + "db/WAV/Answer.WAV", "x");
    AppPaths paths;
    paths.databaseDir = dir.path() + "db/";
    paths.recordingsDir = dir.path() + "Rec/";
    Unit unit;
    unit.recordingSource = 4;
    unit.recording = "28656";
    EXPECT_EQ(RecordingPath(paths, unit), dir.path() + "Rec/d_28/DD_286/28656.ogg");
    unit.answerRecording = "answer.wav";
    EXPECT_EQ(AnswerRecordingPath(paths, unit), dir.path() + "db/WAV/Answer.WAV");
    unit.answerRecording = "";
    EXPECT_EQ(AnswerRecordingPath(paths, unit), "");
}

}  // namespace
}  // namespace dyd
