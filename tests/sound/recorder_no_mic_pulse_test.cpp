// A sound server that plays but has nothing to record from (a null sink alone, whose monitor
// is no microphone): the recorder says so and never starts.

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QMediaDevices>
#include <filesystem>
#include <string>
#include <vector>

#include "sound/qt_recorder.h"
#include "support.h"

namespace dyd {
namespace {

TEST(RecorderWithoutMicrophoneTest, NothingStartsAndTheFailureNamesTheOpen) {
    ASSERT_FALSE(QMediaDevices::audioOutputs().isEmpty()) << "run through with-pulse.sh";
    test::TempDir dir;
    std::vector<std::string> reports;
    QtRecorder recorder(dir.path(), nullptr,
                        [&](const std::string& message) { reports.push_back(message); });
    EXPECT_FALSE(recorder.HasMicrophone());
    EXPECT_EQ(recorder.StartRecording(), std::string(kNoMicrophone) + " Open");
    EXPECT_FALSE(recorder.isRecording());
    recorder.StopRecording("");
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "tmp1.wav"));
}

}  // namespace
}  // namespace dyd
