#pragma once

// A course of full capacity built in memory for the runner benchmarks: 20000 words over every
// first letter and part of speech, then 5000 sentences; every fifth word has a relation to a
// sentence, so that a result finds its examples.

#include <string>

#include "core/login.h"

namespace dyd::bench {

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
    const int words = 20000;
    for (int n = 1; n <= kMaxUnits; ++n) {
        Unit u;
        u.unitId = n;
        const char first = static_cast<char>('a' + n % 26);
        if (n <= words) {
            u.unitKind = kWordUnit;
            u.partOfSpeech = 1 + n % 4;
            u.foreignText = std::string(1, first) + "word" + std::to_string(n);
            u.nativeText = "znaczenie numer " + std::to_string(n);
            if (options.longMeanings) {
                u.nativeText += " opisane tak dokladnie, ze nie miesci sie w etykiecie";
            }
        } else {
            u.unitKind = kSentenceUnit;
            u.partOfSpeech = kSentencePart;
            u.foreignText = "This is <sentence> number " + std::to_string(n);
            u.nativeText = "zdanie";
        }
        u.groupId = n % 50;
        if (options.recordings) {
            u.recordingSource = 4;
            u.recording = std::to_string(n);
        }
        u.comment = "komentarz do jednostki";
        s.db.units.Append(u);
    }
    s.db.units.wordUnitCount = words;
    for (int i = 0; i < kMaxRelations; ++i) {
        s.db.relations.push_back({1 + (i * 5) % words, words + 1 + i % 5000, 0});
    }
}

}  // namespace dyd::bench
