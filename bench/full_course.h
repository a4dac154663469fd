#pragma once

// The full-capacity course of the generator's full installation (20000 words, then 5000
// sentences, 25000 relations), made from the built-in content: its course files, and the same
// course read into memory line by line by the program's own readers.

#include <map>
#include <string>
#include <string_view>

#include "core/database.h"
#include "core/login.h"
#include "core/text.h"
#include "samplegen/course_files.h"
#include "samplegen/full_course.h"

namespace dyd::bench {

// The files of the course (relative to the installation folder -> bytes), code "ang".
inline std::map<std::string, std::string> FullCourseFiles() {
    samplegen::SourceCourse course;
    course.folder = "bench";
    course.info.code = "ang";
    course.info.title = "Angielski - kurs pełny";
    course.info.language = 1;
    samplegen::FillCourse(course, {}, false);
    return samplegen::BuildCourse(course).files;
}

struct FullCourseOptions {
    bool longMeanings =
        false;                // meanings too long for the prompt label: the sentence box draws them
    bool recordings = false;  // every unit names a recording (files that do not exist)
};

inline void FillFullCourse(LearnerSession& s, FullCourseOptions options = {}) {
    s.paths.programDir = "/nonexistent-bench/";
    s.paths.databaseDir = "/nonexistent-bench/db/x/";
    s.db.params.language = 1;
    s.settings.interludesAtEndOnly = true;
    s.db.units.Reserve(kMaxUnits);
    std::map<std::string, std::string> files = FullCourseFiles();
    const LanguageFiles language = LanguageBaseFiles(1);
    const auto read = [&](std::string_view name, bool scrambled) {
        for (const std::string_view stored : SplitLines(files["db/ang/" + std::string(name)])) {
            const std::string line = scrambled ? UnscrambleLine(stored) : std::string(stored);
            Unit u;
            if (ParseBaseLine(TrimView(line), BaseLineFormat::Current, u) != BaseLineResult::Row) {
                continue;
            }
            if (options.longMeanings && u.unitKind != kSentenceUnit) {
                u.nativeText += " opisane tak dokladnie, ze nie miesci sie w etykiecie";
            }
            if (options.recordings) {
                u.recordingSource = 4;
                u.recording = std::to_string(u.unitId);
            }
            s.db.units.Append(u);
        }
    };
    read(language.words, false);
    read("b_sb_50s.txt", true);
    read("b_sb_50ss.txt", false);
    s.db.units.wordUnitCount = s.db.units.unitCount();
    read(language.sentences, false);
    read("b_sb_50z.txt", true);
    read("b_sb_50zz.txt", false);
    for (const std::string_view line :
         SplitLines(files["db/ang/" + std::string(language.relations)])) {
        Relation r;
        if (ParseRelationLine(TrimView(line), r)) {
            s.db.relations.push_back(r);
        }
    }
}

}  // namespace dyd::bench
