#include "session/settings_screen.h"

#include <cmath>

#include "core/session_plan.h"
#include "core/unit_table.h"

namespace dyd {
namespace {

constexpr int kGerman = 2;  // the database language whose words take kinds 7 and 8

constexpr std::array<std::string_view, kRepetitionRules> kRuleTexts{
    "nie zaakceptowane", "wszystkie", "żadne", "oznaczone", "oznaczone lub nie zaakceptowane"};

// The field texts are trimmed as the files' lines are: every character 32 and below goes.
std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) {
        text.remove_suffix(1);
    }
    return text;
}

std::string IntervalMessage(std::string_view field, int min, int max) {
    return "W pole \"" + std::string(field) + "\" należy wpisać wartość od " + std::to_string(min) +
           " do " + std::to_string(max) + ".";
}

}  // namespace

int FrequencyPosition(double factor) {
    if (!(factor > 1.0)) {
        return 0;
    }
    const double position = std::nearbyint((factor - 1.0) * 10.0);
    if (!(position < kFrequencyItems - 1)) {
        return kFrequencyItems - 1;
    }
    return static_cast<int>(position);
}

double FrequencyFactorAt(int position) {
    // (10 + position) / 10 is the nearest double to the item's decimal, as the file writes it.
    return static_cast<double>(10 + position) / 10.0;
}

int WordsDeterminingPosition(int kind) {
    for (std::size_t i = 0; i < kWordsDeterminingKinds.size(); ++i) {
        if (kWordsDeterminingKinds[i] == kind) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int SentencesDeterminingPosition(int kind) {
    for (std::size_t i = 0; i < kSentencesDeterminingKinds.size(); ++i) {
        if (kSentencesDeterminingKinds[i] == kind) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int WordsDeterminingKind(int position) {
    if (position >= 0 && position < static_cast<int>(kWordsDeterminingKinds.size())) {
        return kWordsDeterminingKinds[static_cast<std::size_t>(position)];
    }
    return position == 2 ? kQaMode : 0;
}

int SentencesDeterminingKind(int position) {
    if (position >= 0 && position < static_cast<int>(kSentencesDeterminingKinds.size())) {
        return kSentencesDeterminingKinds[static_cast<std::size_t>(position)];
    }
    return 0;
}

std::vector<int> ListedLearningKinds(int table, int language) {
    switch (table) {
        case kWordUnit: {
            std::vector<int> kinds{1, 2, 3, 4, 5, 6};
            if (language == kGerman) {
                kinds.push_back(kArticleChoice);
                kinds.push_back(kTypingPlural);
            }
            kinds.push_back(9);
            kinds.push_back(16);
            return kinds;
        }
        case kSentenceUnit:
            return {10, 11, 12, 13, 14, 15, 18};
        case kQaUnit:
            return {kQaMode};
        default:
            return {};
    }
}

std::string LearningKindItem(int kind) {
    return std::to_string(kind) + " " + std::string(KindName(kind));
}

std::string_view RepetitionRuleText(int rule) {
    const int position = RepetitionRulePosition(rule);
    return position < 0 ? std::string_view() : kRuleTexts[static_cast<std::size_t>(position)];
}

int RepetitionRulePosition(int rule) {
    return rule >= 0 && rule < kRepetitionRules ? rule : -1;
}

std::string RepetitionRuleItem(int kind, int rule) {
    return std::string(KindName(kind)) + " - " + std::string(RepetitionRuleText(rule));
}

std::optional<int> ParseIntervalField(std::string_view text, int min, int max) {
    const std::string_view digits = Trimmed(text);
    // Longer than any value in range: refused before it could overflow.
    if (digits.empty() || digits.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

std::string MasteredIntervalMessage() {
    return IntervalMessage("słówko umiesz gdy interwał...", kMasteredMin, kMasteredMax);
}

std::string KnownIntervalMessage() {
    return IntervalMessage("Przycisk Już umiem! zmienia interwał...", kKnownMin, kKnownMax);
}

SettingsScreenValues ScreenValuesFrom(const Settings& settings) {
    SettingsScreenValues values;
    values.intensity = settings.intensity;
    values.intensityOneInRepetitions = settings.intensityOneInRepetitions;
    values.wordsPosition = WordsDeterminingPosition(settings.determiningKindWords);
    values.sentencesPosition = SentencesDeterminingPosition(settings.determiningKindSentences);
    values.frequencyPosition = FrequencyPosition(settings.frequencyFactor);
    values.showStatistics = settings.showStatistics;
    values.proposeSentenceExercises = settings.proposeSentenceExercises;
    values.interludesAtEndOnly = settings.interludesAtEndOnly;
    values.showSummary = settings.showSummary;
    values.masteredInterval = std::to_string(settings.masteredInterval);
    values.knownInterval = std::to_string(settings.knownInterval);
    values.learningKinds = settings.learningKinds;
    values.interludeEnabled = settings.interludeEnabled;
    return values;
}

std::string ApplyScreenValues(const SettingsScreenValues& values,
                              const SettingsScreenValues& shown, const std::vector<int>& listedPacks,
                              Settings& settings) {
    const std::optional<int> mastered =
        ParseIntervalField(values.masteredInterval, kMasteredMin, kMasteredMax);
    if (!mastered) {
        return MasteredIntervalMessage();
    }
    const std::optional<int> known = ParseIntervalField(values.knownInterval, kKnownMin, kKnownMax);
    if (!known) {
        return KnownIntervalMessage();
    }

    settings.intensity = values.intensity;
    settings.intensityOneInRepetitions = values.intensityOneInRepetitions;
    if (values.wordsPosition != shown.wordsPosition) {
        if (const int kind = WordsDeterminingKind(values.wordsPosition); kind != 0) {
            settings.determiningKindWords = kind;
        }
    }
    if (values.sentencesPosition != shown.sentencesPosition) {
        if (const int kind = SentencesDeterminingKind(values.sentencesPosition); kind != 0) {
            settings.determiningKindSentences = kind;
        }
    }
    settings.showStatistics = values.showStatistics;
    settings.proposeSentenceExercises = values.proposeSentenceExercises;
    settings.interludesAtEndOnly = values.interludesAtEndOnly;
    settings.showSummary = values.showSummary;
    settings.masteredInterval = *mastered;
    settings.knownInterval = *known;
    settings.learningKinds = values.learningKinds;
    for (const int pack : listedPacks) {
        if (pack >= 1 && pack <= kInterludePacks) {
            settings.interludeEnabled[static_cast<std::size_t>(pack)] =
                values.interludeEnabled[static_cast<std::size_t>(pack)];
        }
    }
    if (values.frequencyPosition != shown.frequencyPosition && values.frequencyPosition >= 0 &&
        values.frequencyPosition < kFrequencyItems) {
        settings.frequencyFactor = FrequencyFactorAt(values.frequencyPosition);
    }
    return {};
}

DeleteAllResult DeleteAllRepetitionsKeepingCopy(const AppPaths& paths, const UnitTable& units,
                                                RepetitionStore& store, Settings& settings,
                                                const Clock& clock) {
    DeleteAllResult result;
    bool learnt = !store.orphans.empty();
    for (int u = 1; u <= store.capacity() && !learnt; ++u) {
        learnt = store.record(u).unitId > 0;
    }
    if (learnt) {
        const SaveRepetitionsResult backup = SaveRepetitions(
            paths, RepetitionFileName(paths, kDeletionBackupSuffix), units, store, settings, clock);
        if (!backup.written) {
            result.message = "Nie udało się zapisać kopii powtórek, więc nic nie skasowano. " +
                             backup.error;
            return result;
        }
        result.backupWritten = true;
        result.message = backup.error;  // the copy is on disk, the list may not name it
    }
    DeleteAllRepetitions(store);
    result.deleted = true;
    const SaveRepetitionsResult live = SaveLiveRepetitions(paths, units, store, settings, clock);
    if (!live.error.empty()) {
        result.message += result.message.empty() ? live.error : "\n" + live.error;
    }
    return result;
}

}  // namespace dyd
