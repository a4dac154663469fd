#include "course_files.h"

#include <QString>

#include <algorithm>

#include "core/codepage.h"
#include "core/database.h"
#include "core/learner_files.h"
#include "core/session_plan.h"
#include "core/settings.h"
#include "core/text.h"

namespace dyd::samplegen {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The source digits of the recordings: numbered Ogg files and numbered WAV files.
constexpr char kSourceOgg = '4';
constexpr char kSourceWav = '0';

const char* Extension(AudioFormat format) {
    switch (format) {
        case AudioFormat::Wav:
            return ".wav";
        case AudioFormat::Mp3:
            return ".mp3";
        case AudioFormat::Ogg:
        case AudioFormat::None:
            break;
    }
    return ".ogg";
}

class Builder {
  public:
    explicit Builder(const SourceCourse& course)
        : course_(course),
          foreign_(CodePageOfCharset(CharsetOfIndex(course.info.charsetIndex))),
          voice_(VoiceOfLanguage(course.info.language)) {
        out_.databaseDir = "db/" + course.info.code + "/";
    }

    CourseOutput Build() {
        Parameters();
        Groups();
        BaseFiles();
        Relations();
        Sets();
        Substitutions();
        Packs();
        return std::move(out_);
    }

  private:
    // Texts are written in the code page of the file; a text that does not fit was refused when
    // the sources were read, so this only guards against a gap in those checks.
    std::string Encode(std::string_view utf8, CodePage page, std::string_view where) {
        std::string bad;
        auto bytes = FromUtf8(utf8, page, &bad);
        if (!bytes) {
            out_.problems.push_back({course_.folder, 0,
                                     std::string(where) + ": znaku \"" + bad +
                                         "\" nie ma w stronie kodowej " + CodePageName(page)});
            return {};
        }
        return *bytes;
    }
    std::string Pl(std::string_view utf8, std::string_view where = "tekst polski") {
        return Encode(utf8, CodePage::Cp1250, where);
    }
    std::string Fr(std::string_view utf8, std::string_view where = "tekst obcy") {
        return Encode(utf8, foreign_, where);
    }

    std::string Db(std::string_view name) const { return out_.databaseDir + std::string(name); }

    std::string RecordingsFolder() const { return Db("nagrania/"); }

    void Parameters() {
        const CourseInfo& info = course_.info;
        DatabaseParameters p;
        p.title = Pl(info.title, "title");
        p.language = info.language;
        p.pluralExercises = info.pluralExercises;
        p.subtitle = Pl(info.subtitle, "subtitle");
        p.recordingsPath = "db\\" + info.code + "\\nagrania\\";
        p.author = Pl(info.author, "author");
        p.nativeLanguage = info.nativeLanguage;
        p.learningMode2 = true;
        p.userIdLow = info.userIdLow;
        p.userIdHigh = info.userIdHigh;
        p.charsetIndex = info.charsetIndex;
        out_.files[Db(kParametersFile)] = FormatDatabaseParameters(p, info.code);
        out_.files[RecordingsFolder() + "p.txt"] =
            "Nagrania bazy " + info.code + std::string(kCrLf);

        // The settings a new learner of the course starts with: every exercise kind a unit type
        // can have, so that a sample course shows all of them (the program's own defaults offer
        // the words' kinds 1-6 and the sentences' 10-15 only). A learner's own file replaces it.
        Settings settings;
        for (int k = 1; k <= 9; ++k) {
            settings.learningKinds[kWordUnit][k] = true;
        }
        settings.learningKinds[kWordUnit][kSelfAssessment] = true;
        for (int k = kSentenceChoice; k <= kSentenceListening; ++k) {
            settings.learningKinds[kSentenceUnit][k] = true;
        }
        settings.learningKinds[kSentenceUnit][kSentenceSelfAssessment] = true;
        RepairLearningKinds(settings);
        out_.files[Db(SettingsFileName(info.code))] = FormatSettings(settings);
    }

    void Groups() {
        std::vector<Group> groups;
        for (const SourceGroup& g : course_.groups) {
            Group group;
            group.groupId = g.group;
            group.listed = 1;
            group.tag = Pl(g.tag);
            group.name = Pl(g.name);
            groups.push_back(std::move(group));
        }
        out_.files[Db(kGroupsFile)] = FormatGroups(groups);
    }

    // The numbered recording of a unit: source digit and the job that makes the file.
    char Recording(int id, AudioFormat format, std::string_view text) {
        if (format == AudioFormat::None) {
            return kSourceOgg;
        }
        const std::string number = ZeroPad(5, id);
        // The numbered folders know Ogg and WAV files; a unit that asks for MP3 gets a WAV file
        // there (both go to the same player) and MP3 is used where names carry their extension.
        const AudioFormat numbered =
            format == AudioFormat::Ogg ? AudioFormat::Ogg : AudioFormat::Wav;
        const std::string path = RecordingsFolder() + "D_" + number.substr(0, 2) + "/dd_" +
                                 number.substr(0, 3) + "/" + number + Extension(numbered);
        AddRecording(text, numbered, path);
        return numbered == AudioFormat::Ogg ? kSourceOgg : kSourceWav;
    }

    void AddRecording(std::string_view text, AudioFormat format, std::string path) {
        if (voice_.empty()) {
            return;
        }
        out_.recordings.push_back({SpokenText(text), voice_, format, std::move(path)});
    }

    static std::string Header(int group, char source, int id, int level, int part) {
        return ZeroPad(2, group) + " " + source + ZeroPad(5, id) + " " + std::to_string(level) +
               std::to_string(part);
    }

    // The ten fields after the header, as the loader cuts them.
    struct Fields {
        std::string foreign, native, third, synonyms, comment, recording, answerRecording, eighth,
            marker, extra;
    };
    static std::string Line(const std::string& header, const Fields& f) {
        return header + " " + f.foreign + " = " + f.native + " =" + f.third + "= " + f.synonyms +
               "= " + f.comment + " =" + f.recording + " =" + f.answerRecording + " =" + f.eighth +
               "= " + f.marker + " = " + f.extra + " =";
    }

    void BaseFiles() {
        const LanguageFiles files = LanguageBaseFiles(course_.info.language);
        std::map<TargetFile, std::vector<std::string>> words;
        std::map<TargetFile, std::vector<std::string>> sentences;
        for (const SourceWord& w : course_.words) {
            Fields f;
            f.foreign = Fr(w.foreign);
            f.native = Pl(w.polish);
            f.third = Fr(w.plural);
            f.synonyms = Fr(w.synonyms);
            f.comment = Pl(w.comment);
            f.recording = w.audio == AudioFormat::None ? "" : std::to_string(w.id);
            f.eighth = Pl(w.hint);
            f.marker = "n";
            f.extra = Pl(w.extra);
            const char source = Recording(w.id, w.audio, w.spoken.empty() ? w.foreign : w.spoken);
            words[w.file].push_back(Line(Header(w.group, source, w.id, w.level, w.part), f));
        }
        for (const SourceQa& q : course_.qa) {
            Fields f;
            f.foreign = Fr(q.question);
            f.native = Fr(q.answer);
            f.third = Pl(q.questionPl);
            f.recording = std::to_string(q.id);
            f.answerRecording = "o" + ZeroPad(5, q.id) + Extension(q.audio);
            f.marker = "q";
            f.extra = Pl(q.answerPl);
            const char source = Recording(q.id, q.audio, q.question);
            AddRecording(q.answer, q.audio, Db("wav/") + f.answerRecording);
            words[q.file].push_back(Line(Header(q.group, source, q.id, q.level, kOtherPart), f));
        }
        for (const SourceSentence& s : course_.sentences) {
            Fields f;
            f.foreign = Fr(s.foreign);
            f.native = Pl(s.polish);
            f.third = Pl(s.translation);
            f.synonyms = Fr(s.gapSynonyms);
            f.recording = s.audio == AudioFormat::None ? "" : std::to_string(s.id);
            std::string wrong = s.wrong;
            std::replace(wrong.begin(), wrong.end(), '#', '/');
            f.eighth = Fr(wrong);
            f.marker = "z";
            const char source = Recording(s.id, s.audio, s.foreign);
            sentences[s.file].push_back(
                Line(Header(s.group, source, s.id, s.level, kSentencePart), f));
        }
        const auto write = [this](std::string_view name, const std::vector<std::string>& lines,
                                  bool scrambled) {
            if (name.empty() || lines.empty()) {
                return;
            }
            std::string bytes;
            for (const std::string& line : lines) {
                bytes += scrambled ? ScrambleLine(line) : line;
                bytes += kCrLf;
            }
            out_.files[Db(name)] = std::move(bytes);
        };
        write(files.words, words[TargetFile::Main], false);
        write("b_sb_50s.txt", words[TargetFile::Scrambled], true);
        write("b_sb_50ss.txt", words[TargetFile::Companion], false);
        write(files.sentences, sentences[TargetFile::Main], false);
        write("b_sb_50z.txt", sentences[TargetFile::Scrambled], true);
        write("b_sb_50zz.txt", sentences[TargetFile::Companion], false);
        if (files.words.empty() &&
            (!words[TargetFile::Main].empty() || !sentences[TargetFile::Main].empty())) {
            out_.problems.push_back({course_.folder, 0,
                                     "język " + std::to_string(course_.info.language) +
                                         " nie ma własnych plików bazy: użyj file = scrambled "
                                         "lub companion"});
        }
    }

    void Relations() {
        const std::string_view name = LanguageBaseFiles(course_.info.language).relations;
        const std::string target(name.empty() ? "con2.txt" : name);
        std::string bytes;
        const std::vector<std::pair<int, int>> links =
            course_.relations ? *course_.relations : LinkWordsToSentences(course_);
        for (const auto& [word, sentence] : links) {
            bytes += std::to_string(word) + "=" + std::to_string(sentence) + "=1=";
            bytes += kCrLf;
        }
        if (!bytes.empty()) {
            out_.files[Db(target)] = std::move(bytes);
        }
    }

    void Sets() {
        static const char* kSetFiles[] = {"",          "cwa_s.txt", "cwn_s.txt", "cwf_s.txt",
                                          "cwh_s.txt", "cww_s.txt", "cwr_s.txt"};
        const int language = course_.info.language;
        if (course_.sets.empty()) {
            return;
        }
        if (language < 1 || language > 6) {
            out_.problems.push_back(
                {course_.folder + "/sets.tsv", 0, "baza tego języka nie ma pliku zestawów"});
            return;
        }
        std::string bytes;
        int serial = 0;
        for (const SourceSet& set : course_.sets) {
            ++serial;
            bytes += std::to_string(set.category) + "=1" + ZeroPad(2, set.group) + "-" +
                     std::to_string(set.level) + "-" + ZeroPad(4, serial) + "=" + Pl(set.name);
            for (const int id : set.ids) {
                bytes += "=" + ZeroPad(5, id);
            }
            bytes += kCrLf;
        }
        out_.files[Db(kSetFiles[language])] = std::move(bytes);
    }

    void Substitutions() {
        if (course_.substitutions.empty()) {
            return;
        }
        std::string bytes;
        for (const std::string& line : course_.substitutions) {
            bytes += Fr(line, "substitutions.txt");
            bytes += kCrLf;
        }
        out_.files["ss_" + std::to_string(course_.info.language)] = std::move(bytes);
    }

    void Packs() {
        for (const SourcePack& pack : course_.packs) {
            std::string file = Pl(pack.title) + std::string(kCrLf) + pack.kindWord +
                               std::string(kCrLf) + pack.content + std::string(kCrLf) +
                               std::to_string(pack.period) + std::string(kCrLf);
            out_.files[Db("b" + std::to_string(pack.pack) + ".txt")] = std::move(file);
            std::string content;
            switch (pack.kind) {
                case PackKind::Quotes:
                    content = Quotes(pack);
                    break;
                case PackKind::Facts:
                    for (const std::string& fact : course_.facts) {
                        content += Pl(fact) + "=" + std::string(kCrLf);
                    }
                    break;
                case PackKind::Pictures1:
                    content = Pictures(pack, course_.pictures1);
                    break;
                case PackKind::Pictures2:
                    content = Pictures(pack, course_.pictures2);
                    break;
                case PackKind::Matching:
                    continue;
            }
            out_.files[Db(pack.content)] = std::move(content);
        }
    }

    // Every tenth quotation is read from an MP3 file, the others from Ogg files.
    std::string Quotes(const SourcePack& pack) {
        std::string content;
        int n = 0;
        for (const SourceQuote& quote : course_.quotes) {
            ++n;
            const AudioFormat format = n % 10 == 0 ? AudioFormat::Mp3 : AudioFormat::Ogg;
            const std::string recording =
                "s" + std::to_string(pack.pack) + ZeroPad(3, n) + Extension(format);
            AddRecording(quote.text, format, Db("bssent/d_roz.cdr/") + recording);
            content += Fr(quote.text) + "=" + recording + "=" + Pl(quote.translation) + "=" +
                       Pl(quote.description) + "=" + std::string(kCrLf);
        }
        return content;
    }

    std::string Pictures(const SourcePack& pack, const std::vector<SourcePicture>& pictures) {
        std::string content;
        for (const SourcePicture& picture : pictures) {
            const std::string& n = picture.name;
            out_.pictures.push_back(
                {Db(n.substr(0, 2) + "/" + n.substr(2, 2) + "/" + n.substr(2, 4) + ".jpg"), picture,
                 pack.title});
            content += n + "===" + Pl(picture.description) + "=" + std::string(kCrLf);
        }
        return content;
    }

    const SourceCourse& course_;
    CodePage foreign_;
    std::string voice_;
    CourseOutput out_;
};

// The forms of a word that count as the word in a sentence.
std::vector<std::vector<std::string>> FormsOf(const SourceWord& word, int language) {
    std::vector<std::vector<std::string>> forms;
    for (const std::string& text : {word.foreign, word.plural}) {
        std::vector<std::string> words = WordsOf(text);
        if (language == 2 && words.size() > 1 &&
            (words[0] == "der" || words[0] == "die" || words[0] == "das")) {
            words.erase(words.begin());
        }
        if (language == 1 && words.size() > 1 && words[0] == "to" && word.part == kVerb) {
            words.erase(words.begin());
        }
        if (!words.empty() && std::find(forms.begin(), forms.end(), words) == forms.end()) {
            forms.push_back(std::move(words));
        }
    }
    return forms;
}

bool ContainsRun(const std::vector<std::string>& words, const std::vector<std::string>& run) {
    return std::search(words.begin(), words.end(), run.begin(), run.end()) != words.end();
}

}  // namespace

std::string VoiceOfLanguage(int language) {
    static const char* kVoices[] = {"", "en-gb", "de", "fr", "es", "it", "ru"};
    return language >= 1 && language <= 6 ? kVoices[language] : "";
}

std::string SpokenText(std::string_view foreignText) {
    std::string text;
    for (const char c : foreignText) {
        if (c == '<' || c == '>' || c == '^' || c == '%') {
            continue;
        }
        if (c == '@') {
            text += ". ";
            continue;
        }
        text += c;
    }
    return Trim(text);
}

std::vector<std::string> WordsOf(std::string_view utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    std::vector<std::string> words;
    QString current;
    const auto flush = [&] {
        if (!current.isEmpty()) {
            words.push_back(current.toLower().toStdString());
            current.clear();
        }
    };
    for (const QChar c : text) {
        if (c.isLetterOrNumber() || c == QLatin1Char('\'') || c == QChar(0x2019)) {
            current += c;
        } else {
            flush();
        }
    }
    flush();
    return words;
}

std::vector<std::pair<int, int>> LinkWordsToSentences(const SourceCourse& course) {
    std::vector<std::vector<std::string>> sentenceWords;
    for (const SourceSentence& s : course.sentences) {
        sentenceWords.push_back(WordsOf(s.foreign));
    }
    std::vector<std::pair<int, int>> links;
    for (const SourceWord& word : course.words) {
        const auto forms = FormsOf(word, course.info.language);
        for (std::size_t i = 0; i < course.sentences.size(); ++i) {
            for (const auto& form : forms) {
                if (ContainsRun(sentenceWords[i], form)) {
                    links.emplace_back(word.id, course.sentences[i].id);
                    break;
                }
            }
            if (links.size() >= static_cast<std::size_t>(kMaxRelations)) {
                return links;
            }
        }
    }
    return links;
}

CourseOutput BuildCourse(const SourceCourse& course) {
    return Builder(course).Build();
}

}  // namespace dyd::samplegen
