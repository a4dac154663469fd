#pragma once

// Speaking the recordings with espeak-ng and encoding them (oggenc for Ogg Vorbis, lame for
// MP3; WAV as espeak-ng writes it), a few at a time. A recording whose text, voice and format
// are those of the file already made is not made again.

#include <functional>
#include <string>
#include <vector>

#include "course_files.h"
#include "output.h"

namespace dyd::samplegen {

// The programs the recordings need that cannot be found, as "program (Debian package)".
std::vector<std::string> MissingTools();

struct RecordingReport {
    int made = 0;
    int kept = 0;
    std::vector<std::string> errors;
};

// progress receives a line after every hundred recordings and at the end.
RecordingReport MakeRecordings(Output& output, const std::vector<RecordingJob>& jobs, int workers,
                               const std::function<void(const std::string&)>& progress);

}  // namespace dyd::samplegen
