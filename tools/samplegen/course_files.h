#pragma once

// Turns the sources of one course into the files of a course database: the parameters, groups,
// base files (plain and scrambled), relations, shipped exercise sets, substitution pairs and
// interlude packs, in the code pages and with the CR LF line ends that the program reads; and
// the list of recordings and pictures the database refers to.

#include <map>
#include <string>
#include <vector>

#include "sources.h"

namespace dyd::samplegen {

// A recording to speak: text in UTF-8, the voice of the course language, the file to make
// (relative to the installation folder).
struct RecordingJob {
    std::string text;
    std::string voice;
    AudioFormat format = AudioFormat::Ogg;
    std::string path;
};

// An interlude picture to draw (relative path of its JPEG file).
struct PictureJob {
    std::string path;
    SourcePicture picture;
    std::string packTitle;
};

struct CourseOutput {
    std::string databaseDir;                   // "db/" + code + "/"
    std::map<std::string, std::string> files;  // relative to the installation folder -> bytes
    std::vector<RecordingJob> recordings;
    std::vector<PictureJob> pictures;
    std::vector<SourceProblem> problems;  // texts that cannot be written
};

// The espeak-ng voice of a database language; empty for languages without one.
std::string VoiceOfLanguage(int language);

// The text of a unit as spoken: gap markers removed, line breaks as pauses.
std::string SpokenText(std::string_view foreignText);

// The words a sentence is made of, lowered, for linking words to example sentences.
std::vector<std::string> WordsOf(std::string_view utf8);

// The relations word -> sentence: a word is linked to every sentence that contains it or its
// plural as whole words, ignoring letter case and a leading German article.
std::vector<std::pair<int, int>> LinkWordsToSentences(const SourceCourse& course);

CourseOutput BuildCourse(const SourceCourse& course);

}  // namespace dyd::samplegen
