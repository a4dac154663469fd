#include "core/session_plan.h"

#include <utility>

namespace dyd {

std::string_view KindName(int kind) {
    switch (kind) {
        case kRecognitionByEar:
            return "Rozpoznawanie ze słuchu";
        case kTextComprehension:
            return "Rozumienie tekstu";
        case kListeningComprehension:
        case kSentenceListening:
            return "Rozumienie ze słuchu";
        case kTranslationChoice:
            return "Wybór tłumaczenia";
        case kDictation:
            return "Dyktando";
        case kTypingTranslation:
            return "Wpisywanie tłumaczenia";
        case kArticleChoice:
            return "Wybór rodzajnika";
        case kTypingPlural:
            return "Wpisywanie l.mnogiej";
        case kPronunciation:
            return "Ćwiczenie wymowy";
        case kSentenceChoice:
            return "Wybór";
        case kPhraseTranslation:
            return "Tłumaczenie zwrotu";
        case kGapFilling:
            return "Uzupełnianie luk";
        case kTranslationToPolish:
            return "Tłumaczenie (->pl)";
        case kTranslationFromPolish:
            return "Tłumaczenie (pl->)";
        case kSelfAssessment:
            return "Samoocena";
        case kQaMode:
            return "Tryb QA";
        case kSentenceSelfAssessment:
            return "Samoocena (zdania)";
        default:
            return {};
    }
}

void SessionPlan::SwapRows(int i, int j) {
    if (i != j) {
        std::swap(row(i), row(j));
    }
}

}  // namespace dyd
