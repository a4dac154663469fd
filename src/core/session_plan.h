#pragma once

// The exercise kinds and the session plan: per unit and per kind, the correct answers still
// required and the answers given. The plan is the one channel between the plan window, the
// runner and the scheduling rules. It is a plain table, so it lives beside the other tables.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/settings.h"

namespace dyd {

enum ExerciseKind : int {
    kRecognitionByEar = 1,
    kTextComprehension = 2,
    kListeningComprehension = 3,
    kTranslationChoice = 4,
    kDictation = 5,
    kTypingTranslation = 6,
    kArticleChoice = 7,
    kTypingPlural = 8,
    kPronunciation = 9,
    kSentenceChoice = 10,
    kPhraseTranslation = 11,
    kGapFilling = 12,
    kTranslationToPolish = 13,
    kTranslationFromPolish = 14,
    kSentenceListening = 15,
    kSelfAssessment = 16,
    kQaMode = 17,
    kSentenceSelfAssessment = 18,
};

inline constexpr int kPresentationStep = 50;
inline constexpr int kMaxPlanRows = 300;

// The name of a kind (UTF-8); empty for any id that is not 1..18.
std::string_view KindName(int kind);

enum class SessionMode { Learning, Repetition };

struct PlanEntry {
    std::int32_t remaining = 0;  // correct answers still required; 0 = nothing planned
    std::int32_t attempts = 0;   // answers judged in this kind
    std::uint8_t done = 0;       // 1 once remaining reached 0
};

struct PlanRow {
    int unitNumber = 0;
    std::array<PlanEntry, kKindSlots + 1> cells{};  // [1..20]
};

struct PlanListItem {
    int kind = 0;
    int rowsToDo = 0;
};

struct SessionPlan {
    std::vector<PlanRow> rows;  // row i (1-based) at index i - 1, at most kMaxPlanRows
    std::array<int, kKindSlots + 1> kindOrder{};  // [1..20], 0 = empty slot
    int currentKind = 0;
    SessionMode mode = SessionMode::Learning;
    std::vector<PlanListItem> list;  // at most 20 items

    int rowCount() const { return static_cast<int>(rows.size()); }
    PlanRow& row(int i) { return rows[static_cast<std::size_t>(i - 1)]; }
    const PlanRow& row(int i) const { return rows[static_cast<std::size_t>(i - 1)]; }

    // Exchanges rows i and j whole (1-based).
    void SwapRows(int i, int j);
};

}  // namespace dyd
