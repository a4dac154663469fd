#include "core/settings.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "core/codepage.h"
#include "core/database.h"
#include "core/datetime.h"
#include "core/files.h"
#include "core/learner_files.h"
#include "core/text.h"

namespace dyd {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kKnownIntervalWhenCut = "100";
constexpr int kKnownIntervalLine = 58;

// Hands out the lines of a settings file one by one. Past the end of the file the last text
// read comes again, except that the line of the known interval reads "100".
class LineReader {
  public:
    explicit LineReader(std::string_view bytes) : lines_(SplitLines(bytes)) {}

    bool empty() const { return lines_.empty(); }

    struct Line {
        int number = 0;
        std::string_view text;
        bool present = false;  // false when the file had already ended
    };

    Line Next() {
        ++number_;
        if (next_ < lines_.size()) {
            last_ = lines_[next_++];
            return {number_, last_, true};
        }
        if (number_ == kKnownIntervalLine) {
            last_ = kKnownIntervalWhenCut;
        }
        return {number_, last_, false};
    }

  private:
    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
    std::string_view last_;
    int number_ = 0;
};

class SettingsReader {
  public:
    SettingsReader(std::string_view bytes, std::vector<SettingsRepair>* repairs)
        : reader_(bytes), repairs_(repairs) {}

    // int: the line read as a number (empty counts as 0).
    void Int(int& value, int fallback) {
        const LineReader::Line line = reader_.Next();
        value = IntOf(line, fallback);
    }

    // flag: true exactly when the line reads as the number 1.
    void Flag(bool& value, bool fallback) {
        const LineReader::Line line = reader_.Next();
        value = IntOf(line, fallback ? 1 : 0) == 1;
    }

    // flag-if-present: an empty (trimmed) line leaves the value; otherwise the line must be "1"
    // exactly, blanks included.
    void FlagIfPresent(bool& value) {
        const LineReader::Line line = reader_.Next();
        if (!TrimView(line.text).empty()) {
            value = line.text == "1";
        }
    }

    // int-if-present: an empty line leaves the value; emptiness is judged on the trimmed line
    // when trimmedEmpty is set, on the line as it stands otherwise.
    void IntIfPresent(int& value, bool trimmedEmpty) {
        const LineReader::Line line = reader_.Next();
        const bool empty = trimmedEmpty ? TrimView(line.text).empty() : line.text.empty();
        if (!empty) {
            value = IntOf(line, value);
        }
    }

    // A decimal with "."; a line that is none is always reported, also when it is repeated
    // because the file ended.
    void Decimal(double& value, double fallback) {
        const LineReader::Line line = reader_.Next();
        if (const std::optional<double> parsed = ParseDecimal(line.text)) {
            value = *parsed;
            return;
        }
        Repair(line);
        value = fallback;
    }

    bool empty() const { return reader_.empty(); }

  private:
    int IntOf(const LineReader::Line& line, int fallback) {
        if (const std::optional<std::int32_t> parsed = IntOrZero(line.text)) {
            return *parsed;
        }
        // A repeated line was reported where it stood.
        if (line.present) {
            Repair(line);
        }
        return fallback;
    }

    void Repair(const LineReader::Line& line) {
        if (repairs_ != nullptr) {
            repairs_->push_back({line.number, std::string(line.text)});
        }
    }

    LineReader reader_;
    std::vector<SettingsRepair>* repairs_;
};

bool Outside(int value, int low, int high) {
    return value < low || value > high;
}

void AppendInt(std::string& out, int value) {
    out += std::to_string(value);
    out += kCrLf;
}

void AppendFlag(std::string& out, bool value) {
    out += value ? "1" : "0";
    out += kCrLf;
}

// "0.00" with "." whatever the locale.
void AppendFrequency(std::string& out, double value) {
    if (!std::isfinite(value)) {
        value = kDefaultFrequencyFactor;
    }
    char buffer[400];
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 2);
    out += ec == std::errc{} ? std::string_view(buffer, static_cast<std::size_t>(ptr - buffer))
                             : std::string_view("1.90");
    out += kCrLf;
}

}  // namespace

std::string RepairMessage(const SettingsRepair& repair) {
    return std::string(kRepairedLineMessage) + ToUtf8(repair.text, CodePage::Cp1250) + ".";
}

std::string RepairsMessage(const std::vector<SettingsRepair>& repairs) {
    if (repairs.size() <= 1) {
        return repairs.empty() ? std::string() : RepairMessage(repairs.front());
    }
    constexpr std::size_t kShownLines = 10;
    constexpr std::size_t kShownBytes = 60;
    std::string message =
        "Naprawiono błędy w pliku ustawień, w " + std::to_string(repairs.size()) + " liniach:";
    for (std::size_t i = 0; i < repairs.size() && i < kShownLines; ++i) {
        const std::string_view text = repairs[i].text;
        std::string shown;
        for (std::size_t b = 0; b < text.size() && b < kShownBytes; ++b) {
            const auto byte = static_cast<unsigned char>(text[b]);
            const std::string utf8 = ToUtf8(text.substr(b, 1), CodePage::Cp1250);
            if (byte < 0x20 || byte == 0x7F || utf8 == "\uFFFD") {
                static constexpr char kHex[] = "0123456789ABCDEF";
                shown += "\\x";
                shown += kHex[byte >> 4];
                shown += kHex[byte & 15];
            } else {
                shown += utf8;
            }
        }
        if (text.size() > kShownBytes) {
            shown += "…";
        }
        message += "\nlinia " + std::to_string(repairs[i].line) + ": " + shown;
    }
    if (repairs.size() > kShownLines) {
        message += "\ni " + std::to_string(repairs.size() - kShownLines) + " innych";
    }
    return message;
}

std::string SettingsFileName(std::string_view databaseCode) {
    return std::string(databaseCode) + std::string(kSettingsExtension);
}

void RepairLearningKinds(Settings& s) {
    auto& words = s.learningKinds[1];
    auto& sentences = s.learningKinds[2];
    auto& qa = s.learningKinds[3];
    if (!Outside(s.determiningKindWords, 1, kKindSlots)) {
        words[s.determiningKindWords] = true;
    }
    if (!Outside(s.determiningKindSentences, 1, kKindSlots)) {
        sentences[s.determiningKindSentences] = true;
    }
    qa[17] = true;
    for (int k = 10; k <= 15; ++k) {
        words[k] = false;
    }
    for (int k = 17; k <= kKindSlots; ++k) {
        words[k] = false;
    }
    for (int k = 1; k <= 8; ++k) {
        sentences[k] = false;
    }
    for (int k = 1; k <= kKindSlots; ++k) {
        qa[k] = k == 17;
    }
}

Settings ParseSettings(std::string_view bytes, std::vector<SettingsRepair>* repairs) {
    const Settings defaults;
    Settings s;
    SettingsReader in(bytes, repairs);
    if (in.empty()) {
        return s;
    }

    in.Int(s.determiningKindWords, defaults.determiningKindWords);  // 1
    if (Outside(s.determiningKindWords, 6, 17)) {
        s.determiningKindWords = 6;
    }
    for (int k = 1; k <= kKindSlots; ++k) {  // 2-21
        in.IntIfPresent(s.repetitionKindRule[k], false);
        if (Outside(s.repetitionKindRule[k], 0, 4)) {
            s.repetitionKindRule[k] = 0;
        }
    }
    in.Flag(s.reservedFlag22, defaults.reservedFlag22);  // 22
    in.Int(s.intensity, defaults.intensity);             // 23
    if (Outside(s.intensity, 0, 2)) {
        s.intensity = 0;
    }
    for (int n = 1; n <= kInterludePacks; ++n) {  // 24-37
        in.FlagIfPresent(s.interludeEnabled[n]);
        in.IntIfPresent(s.interludePosition[n], true);
    }
    in.Int(s.reservedNumber38, defaults.reservedNumber38);  // 38
    if (s.reservedNumber38 > 100) {
        s.reservedNumber38 = 1;
    }
    in.Int(s.determiningKindSentences, defaults.determiningKindSentences);  // 39
    if (Outside(s.determiningKindSentences, 12, 18)) {
        s.determiningKindSentences = 18;
    }
    in.Flag(s.showStatistics, defaults.showStatistics);                      // 40
    in.Flag(s.proposeSentenceExercises, defaults.proposeSentenceExercises);  // 41
    in.Int(s.reservedNumber42, defaults.reservedNumber42);                   // 42
    in.Int(s.reservedNumber42, defaults.reservedNumber42);                   // 43 wins
    if (s.reservedNumber42 > 1000) {
        s.reservedNumber42 = 1;
    }
    in.Decimal(s.frequencyFactor, kDefaultFrequencyFactor);  // 44
    in.Decimal(s.frequencyFactor, kDefaultFrequencyFactor);  // 45 wins
    if (s.frequencyFactor < 1.0) {
        s.frequencyFactor = 1.0;
    } else if (s.frequencyFactor > 4.0) {
        s.frequencyFactor = 4.0;
    }
    for (int i = 1; i <= 4; ++i) {  // 46-49
        in.Flag(s.searchOptions[i], defaults.searchOptions[i]);
    }
    in.Flag(s.helpHintShown, defaults.helpHintShown);                          // 50
    in.Flag(s.reservedFlag51, defaults.reservedFlag51);                        // 51
    in.Flag(s.f5HintShown, defaults.f5HintShown);                              // 52
    in.Flag(s.intensityOneInRepetitions, defaults.intensityOneInRepetitions);  // 53
    in.Int(s.masteredInterval, defaults.masteredInterval);                     // 54
    if (s.masteredInterval < 4) {
        s.masteredInterval = 6;
    } else if (s.masteredInterval > 200) {
        s.masteredInterval = 200;
    }
    in.Flag(s.interludesAtEndOnly, defaults.interludesAtEndOnly);  // 55
    in.Int(s.startCounter, defaults.startCounter);                 // 56
    in.Int(s.savedRecordCount, defaults.savedRecordCount);         // 57
    in.Int(s.knownInterval, defaults.knownInterval);               // 58
    if (Outside(s.knownInterval, 3, 400)) {
        s.knownInterval = 100;
    }
    in.Flag(s.showSummary, defaults.showSummary);     // 59
    for (int t = 1; t <= kLearningKindTables; ++t) {  // 60-139
        for (int k = 1; k <= kKindSlots; ++k) {
            in.Flag(s.learningKinds[t][k], defaults.learningKinds[t][k]);
        }
    }
    in.Int(s.learningMode, defaults.learningMode);  // 140
    if (Outside(s.learningMode, 0, 2)) {
        s.learningMode = 0;
    }
    in.Int(s.newUnitsCountIndex, defaults.newUnitsCountIndex);                      // 141
    in.Int(s.filterLevel, defaults.filterLevel);                                    // 142
    in.Int(s.filterWordClass, defaults.filterWordClass);                            // 143
    in.Int(s.filterUnitType, defaults.filterUnitType);                              // 144
    in.Int(s.filterLearned, defaults.filterLearned);                                // 145
    in.Int(s.presentationNextDelay, defaults.presentationNextDelay);                // 146
    in.Int(s.presentationTranslationDelay, defaults.presentationTranslationDelay);  // 147
    in.Int(s.presentationBackground, defaults.presentationBackground);              // 148
    in.Int(s.groupIndex, defaults.groupIndex);                                      // 149

    RepairLearningKinds(s);
    return s;
}

std::string FormatSettings(const Settings& s) {
    std::string out;
    out.reserve(kSettingsLines * 4);
    AppendInt(out, s.determiningKindWords);
    for (int k = 1; k <= kKindSlots; ++k) {
        AppendInt(out, s.repetitionKindRule[k]);
    }
    AppendFlag(out, s.reservedFlag22);
    AppendInt(out, s.intensity);
    for (int n = 1; n <= kInterludePacks; ++n) {
        AppendFlag(out, s.interludeEnabled[n]);
        AppendInt(out, s.interludePosition[n]);
    }
    AppendInt(out, s.reservedNumber38);
    AppendInt(out, s.determiningKindSentences);
    AppendFlag(out, s.showStatistics);
    AppendFlag(out, s.proposeSentenceExercises);
    AppendInt(out, s.reservedNumber42);
    AppendInt(out, s.reservedNumber42);
    AppendFrequency(out, s.frequencyFactor);
    AppendFrequency(out, s.frequencyFactor);
    for (int i = 1; i <= 4; ++i) {
        AppendFlag(out, s.searchOptions[i]);
    }
    AppendFlag(out, s.helpHintShown);
    AppendFlag(out, s.reservedFlag51);
    AppendFlag(out, s.f5HintShown);
    AppendFlag(out, s.intensityOneInRepetitions);
    AppendInt(out, s.masteredInterval);
    AppendFlag(out, s.interludesAtEndOnly);
    AppendInt(out, s.startCounter);
    AppendInt(out, s.savedRecordCount);
    AppendInt(out, s.knownInterval);
    AppendFlag(out, s.showSummary);
    for (int t = 1; t <= kLearningKindTables; ++t) {
        for (int k = 1; k <= kKindSlots; ++k) {
            AppendFlag(out, s.learningKinds[t][k]);
        }
    }
    AppendInt(out, s.learningMode);
    AppendInt(out, s.newUnitsCountIndex);
    AppendInt(out, s.filterLevel);
    AppendInt(out, s.filterWordClass);
    AppendInt(out, s.filterUnitType);
    AppendInt(out, s.filterLearned);
    AppendInt(out, s.presentationNextDelay);
    AppendInt(out, s.presentationTranslationDelay);
    AppendInt(out, s.presentationBackground);
    AppendInt(out, s.groupIndex);
    return out;
}

LoadedSettings LoadSettings(const AppPaths& paths) {
    LoadedSettings result;
    const std::string name = SettingsFileName(paths.databaseCode);
    std::optional<std::string> bytes;
    for (const std::string& folder : {paths.userDir, paths.databaseDir}) {
        if (folder.empty() || !FileExistsUnder(folder, name)) {
            continue;
        }
        const std::string file = ResolvePath(folder, name);
        bytes = ReadFileBytes(file);
        if (bytes) {
            result.file = file;
            break;
        }
        if (folder == paths.userDir) {
            result.unreadableFile = file;
        }
    }
    if (!bytes) {
        return result;
    }
    result.settings = ParseSettings(*bytes, &result.repairs);
    if (result.settings.startCounter < std::numeric_limits<int>::max()) {
        ++result.settings.startCounter;
    }
    return result;
}

std::string SettingsUnreadableMessage(std::string_view file) {
    return "Nie można odczytać pliku ustawień [" + std::string(file) +
           "]. Program działa na ustawieniach domyślnych i nie zapisze ich w miejsce tego "
           "pliku, dopóki nie zatwierdzisz okna Ustawienia.";
}

SaveSettingsResult SaveSettings(const AppPaths& paths, const Settings& settings,
                                const CourseDatabase& db) {
    SaveSettingsResult result;
    std::string reason;
    if (db.correctionMode) {
        result.correctionsWritten = SaveCorrections(paths, db.units, &reason);
        if (!result.correctionsWritten) {
            result.error = std::string(kCorrectionsNotSavedMessage) + " (" + reason + ")";
        }
    }
    result.settingsWritten =
        WriteFileAtomically(ResolvePath(paths.userDir, SettingsFileName(paths.databaseCode)),
                            FormatSettings(settings), &reason);
    if (!result.settingsWritten) {
        if (!result.error.empty()) {
            result.error += "\n";
        }
        result.error += std::string(kSettingsNotSavedMessage) + " (" + reason + ")";
    }
    return result;
}

}  // namespace dyd
