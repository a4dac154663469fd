#pragma once

// The sample sources of one course as a person writes them: UTF-8 text, course.txt with
// "key: value" lines and tab-separated tables with a header line. Reading checks everything the
// course files cannot hold and reports it as "file:line: message" in Polish.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dyd::samplegen {

// Where a unit's base line goes: the language's own file, the scrambled companion file or the
// plain companion file.
enum class TargetFile { Main, Scrambled, Companion };

// The recording format a unit asks for; None: the unit names no recording.
enum class AudioFormat { Ogg, Wav, Mp3, None };

struct CourseInfo {
    std::string code;  // database folder name
    std::string title;
    std::string subtitle;
    std::string author;
    int language = 1;
    bool pluralExercises = false;
    int charsetIndex = 0;
    int userIdLow = 90000;
    int userIdHigh = 99000;
    int nativeLanguage = 7;
};

struct SourceGroup {
    int group = 0;
    std::string name;
    std::string tag;
};

struct SourceWord {
    int line = 0;
    int id = 0;
    int group = 0;
    int level = 0;
    int part = 0;
    std::string foreign, polish, plural, synonyms, hint, comment, extra;
    std::string spoken;  // what the recording says when not the foreign text
    TargetFile file = TargetFile::Main;
    AudioFormat audio = AudioFormat::Ogg;
};

struct SourceSentence {
    int line = 0;
    int id = 0;
    int group = 0;
    int level = 0;
    std::string foreign, polish, translation, wrong, gapSynonyms;
    TargetFile file = TargetFile::Main;
    AudioFormat audio = AudioFormat::Ogg;
};

struct SourceQa {
    int line = 0;
    int id = 0;
    int group = 0;
    int level = 0;
    std::string question, answer, questionPl, answerPl;
    TargetFile file = TargetFile::Main;
    AudioFormat audio = AudioFormat::Ogg;
};

struct SourceSet {
    int category = 7;  // 7 word set, 8 sentence set
    int group = 0;
    int level = 0;
    std::string name;
    std::vector<int> ids;
};

enum class PackKind { Quotes, Facts, Pictures1, Pictures2, Matching };

struct SourcePack {
    int pack = 0;
    std::string title;
    std::string kindWord;  // as the pack file names it: sent1, wiesz, zd1, zd2, koj
    PackKind kind = PackKind::Quotes;
    std::string content;  // content file name, empty for matching
    int period = 1;
};

struct SourceQuote {
    std::string text, translation, description;
};

struct SourcePicture {
    std::string name;  // six characters "aabbcc"
    std::string description;
    std::string motif;
};

struct SourceCourse {
    std::string folder;  // the source folder, for messages
    CourseInfo info;
    std::vector<SourceGroup> groups;
    std::vector<SourceWord> words;
    std::vector<SourceSentence> sentences;
    std::vector<SourceQa> qa;
    std::vector<SourceSet> sets;
    std::vector<std::string> substitutions;  // "key=value" lines as written
    std::vector<SourcePack> packs;
    std::vector<SourceQuote> quotes;
    std::vector<std::string> facts;
    std::vector<SourcePicture> pictures1;
    std::vector<SourcePicture> pictures2;
    // The relations word -> sentence when they are given; without them the words are linked to
    // the sentences that contain them.
    std::optional<std::vector<std::pair<int, int>>> relations;
};

struct SourceProblem {
    std::string file;  // relative to the sample folder, e.g. "en/words.tsv"
    int line = 0;      // 0 when no line applies
    std::string message;
};

std::string FormatProblem(const SourceProblem& problem);

// The database code of a language number when course.txt names none.
std::string DefaultCodeOfLanguage(int language);

// Reads the course in folder (sampleRoot + "/" + name). Problems are appended; the result is
// usable only when none were added.
SourceCourse ReadCourse(const std::string& sampleRoot, const std::string& name,
                        std::vector<SourceProblem>& problems);

}  // namespace dyd::samplegen
