#include "full_course.h"

#include <algorithm>
#include <random>
#include <string>
#include <string_view>

#include "course_files.h"

namespace dyd::samplegen {

namespace {

// ---- Built-in content (UTF-8) ------------------------------------------------------------------

struct Word {
    std::string_view english;
    std::string_view polish;
    std::string_view plural;
    int partOfSpeech;
};

constexpr Word kWords[] = {
    {"dog", "pies", "dogs", 1},
    {"cat", "kot", "cats", 1},
    {"house", "dom", "houses", 1},
    {"tree", "drzewo", "trees", 1},
    {"book", "książka", "books", 1},
    {"apple", "jabłko", "apples", 1},
    {"bridge", "most", "bridges", 1},
    {"mountain", "góra", "mountains", 1},
    {"river", "rzeka", "rivers", 1},
    {"kitchen", "kuchnia", "kitchens", 1},
    {"butterfly", "motyl", "butterflies", 1},
    {"knife", "nóż", "knives", 1},
    {"child", "dziecko", "children", 1},
    {"chair", "krzesło", "chairs", 1},
    {"neighbour", "sąsiad, sąsiadka", "neighbours", 1},
    {"wedding", "ślub, wesele", "weddings", 1},
    {"sunflower", "słonecznik", "sunflowers", 1},
    {"hedgehog", "jeż", "hedgehogs", 1},
    {"spoon", "łyżka", "spoons", 1},
    {"question", "pytanie", "questions", 1},
    {"railway station", "dworzec kolejowy", "railway stations", 1},
    {"beautiful", "piękny", "", 2},
    {"difficult", "trudny", "", 2},
    {"brave", "odważny", "", 2},
    {"quiet", "cichy, spokojny", "", 2},
    {"yellow", "żółty", "", 2},
    {"sweet", "słodki", "", 2},
    {"happy", "szczęśliwy", "", 2},
    {"tired", "zmęczony", "", 2},
    {"narrow", "wąski", "", 2},
    {"to read", "czytać", "", 3},
    {"to write", "pisać", "", 3},
    {"to forget", "zapomnieć", "", 3},
    {"to swim", "pływać", "", 3},
    {"to fall asleep", "zasnąć", "", 3},
    {"to borrow", "pożyczyć (od kogoś)", "", 3},
    {"to choose", "wybierać, wybrać", "", 3},
    {"to look after", "opiekować się", "", 3},
    {"to give up", "poddać się, zrezygnować", "", 3},
    {"quickly", "szybko", "", 6},
    {"rarely", "rzadko", "", 6},
    {"carefully", "ostrożnie, starannie", "", 6},
    {"already", "już", "", 6},
    {"nevertheless", "jednakże, mimo to", "", 4},
    {"in spite of", "pomimo, wbrew", "", 4},
    {"by the way", "przy okazji, nawiasem mówiąc", "", 5},
};

struct Piece {
    std::string_view english;
    std::string_view polish;
};

constexpr Piece kSubjects[] = {
    {"My older sister", "Moja starsza siostra"},
    {"The neighbours from the third floor", "Sąsiedzi z trzeciego piętra"},
    {"Our new teacher", "Nasz nowy nauczyciel"},
    {"Somebody in this town", "Ktoś w tym mieście"},
    {"The children", "Dzieci"},
    {"His grandfather", "Jego dziadek"},
    {"The young doctor", "Młody lekarz"},
    {"Everyone at the party", "Każdy na przyjęciu"},
};

constexpr Piece kVerbs[] = {
    {"borrowed", "pożyczył"},
    {"forgot", "zapomniał"},
    {"has already chosen", "już wybrał"},
    {"was looking after", "opiekował się"},
    {"gave up", "zrezygnował z"},
    {"carefully checked", "starannie sprawdził"},
    {"will never find", "nigdy nie znajdzie"},
    {"quickly answered", "szybko odpowiedział na"},
};

constexpr Piece kObjects[] = {
    {"the old yellow bicycle", "stary żółty rower"},
    {"a long letter to her aunt", "długi list do ciotki"},
    {"the key under the doormat", "klucz pod wycieraczką"},
    {"every question in the test", "każde pytanie w teście"},
    {"the small hedgehog", "małego jeża"},
    {"a cheap ticket to Gdansk", "tani bilet do Gdańska"},
    {"the quiet room upstairs", "cichy pokój na górze"},
    {"the wedding photographs", "zdjęcia ze ślubu"},
};

constexpr Piece kTails[] = {
    {"before the storm started", "zanim zaczęła się burza"},
    {"because it was raining all day", "bo cały dzień padało"},
    {"in spite of the noise", "pomimo hałasu"},
    {"without saying a word", "bez słowa"},
    {"on a cold Sunday morning", "w zimny niedzielny poranek"},
    {"and then went home", "i potem poszedł do domu"},
    {"after a difficult week at work", "po trudnym tygodniu w pracy"},
    {"with great pleasure", "z wielką przyjemnością"},
};

constexpr std::string_view kGroupNames[] = {
    "Zwierzęta", "Dom i rodzina", "Jedzenie", "Podróże", "Praca",   "Szkoła",     "Zdrowie",
    "Sport",     "Przyroda",      "Miasto",   "Zakupy",  "Uczucia", "Czas wolny", "Pogoda",
    "Ubrania",   "Technika",      "Kultura",  "Urzędy",  "Święta",  "Różne",
};

template <typename T, std::size_t N>
const T& Pick(const T (&items)[N], std::mt19937& random) {
    return items[random() % N];
}

// A sentence of 40 to 120 characters, its length drawn at random, with the verb as its gap.
SourceSentence MakeSentence(std::mt19937& random) {
    const Piece& subject = Pick(kSubjects, random);
    const std::size_t verbIndex = random() % std::size(kVerbs);
    const Piece& verb = kVerbs[verbIndex];
    const Piece& object = Pick(kObjects, random);
    SourceSentence s;
    s.foreign = std::string(subject.english) + " <" + std::string(verb.english) + "> " +
                std::string(object.english);
    s.polish = std::string(verb.polish);
    s.translation = std::string(subject.polish) + " " + std::string(verb.polish) + " " +
                    std::string(object.polish);
    const std::size_t target = 40 + random() % 81;
    for (int tries = 0; tries < 8 && s.foreign.size() < target; ++tries) {
        const Piece& tail = Pick(kTails, random);
        if (s.foreign.size() + 1 + tail.english.size() + 1 > 120) {
            continue;
        }
        s.foreign += " " + std::string(tail.english);
        s.translation += " " + std::string(tail.polish);
    }
    if (s.foreign.size() + 1 < 40) {
        s.foreign += " again";
        s.translation += " znowu";
    }
    s.foreign += '.';
    s.translation += '.';
    for (std::size_t k = 1; k <= 3; ++k) {
        if (!s.wrong.empty()) {
            s.wrong += '#';
        }
        s.wrong += kVerbs[(verbIndex + k) % std::size(kVerbs)].english;
    }
    if (random() % 4 == 0) {
        s.gapSynonyms = "had borrowed/has borrowed";
    }
    return s;
}

// Where the i-th new unit goes: seven in ten to the language's own file, two to the scrambled
// companion file and one to the plain companion file.
TargetFile FileOf(std::size_t i) {
    switch (i % 10) {
        case 3:
        case 7:
            return TargetFile::Scrambled;
        case 5:
            return TargetFile::Companion;
        default:
            return TargetFile::Main;
    }
}

int HighestId(const SourceCourse& course) {
    int highest = 0;
    for (const SourceWord& w : course.words) {
        highest = std::max(highest, w.id);
    }
    for (const SourceSentence& s : course.sentences) {
        highest = std::max(highest, s.id);
    }
    for (const SourceQa& q : course.qa) {
        highest = std::max(highest, q.id);
    }
    return highest;
}

}  // namespace

FullCourseSize FullCourseSizeOf(int units) {
    FullCourseSize size;
    size.units = std::clamp(units, 1, kMaxUnits);
    size.sentences = size.units / 5;
    size.relations = std::min(kMaxRelations, size.units);
    return size;
}

int FullLearnerRecordsOf(int units) {
    return std::clamp(units, 1, kMaxUnits) * 4 / 5;
}

int FullHistoryRecordsOf(int units) {
    return std::clamp(units, 1, kMaxUnits) * kMaxHistoryRecords / kMaxUnits;
}

FullCourseFill FillCourse(SourceCourse& course, const FullCourseSize& size, bool withRecordings) {
    FullCourseFill fill;
    std::mt19937 random(20240611);
    if (!course.relations) {
        course.relations = LinkWordsToSentences(course);
    }
    std::vector<std::pair<int, int>>& relations = *course.relations;
    if (course.groups.empty()) {
        int group = 0;
        for (const std::string_view name : kGroupNames) {
            ++group;
            course.groups.push_back({group, std::string(name), "g" + std::to_string(group)});
        }
    }

    // The words the new ones repeat.
    std::vector<SourceWord> originals = course.words;
    const bool ownWords = !originals.empty();
    if (!ownWords) {
        int index = 0;
        for (const Word& w : kWords) {
            SourceWord word;
            word.group =
                course.groups[static_cast<std::size_t>(index) % course.groups.size()].group;
            word.level = index % 4 + 1;
            word.part = w.partOfSpeech;
            word.foreign = std::string(w.english);
            word.polish = std::string(w.polish);
            word.plural = std::string(w.plural);
            originals.push_back(std::move(word));
            ++index;
        }
    }

    const int haveUnits =
        static_cast<int>(course.words.size() + course.sentences.size() + course.qa.size());
    const int haveSentences = static_cast<int>(course.sentences.size());
    const int newSentences =
        std::clamp(size.sentences - haveSentences, 0, std::max(0, size.units - haveUnits));
    const int newWords = std::max(0, size.units - haveUnits - newSentences);
    int nextId = haveUnits > 0 ? (HighestId(course) / 1000 + 1) * 1000 + 1 : 1;

    for (int i = 0; i < newWords; ++i) {
        const SourceWord& original = originals[static_cast<std::size_t>(i) % originals.size()];
        SourceWord word = original;
        word.line = 0;
        word.id = nextId++;
        // Every text once: the repetitions of a word are numbered ("mother 2" / "matka 2"), so
        // that the choices of an exercise find as many different words as in a real course.
        const std::size_t repetition =
            static_cast<std::size_t>(i) / originals.size() + (ownWords ? 2 : 1);
        if (repetition > 1) {
            const std::string number = " " + std::to_string(repetition);
            word.spoken = original.foreign;
            word.foreign += number;
            word.polish += number;
            if (!word.plural.empty()) {
                word.plural += number;
            }
        }
        word.file = FileOf(static_cast<std::size_t>(i));
        // Every second repetition of a word, alternating from round to round over the words.
        const bool recorded = (static_cast<std::size_t>(i) / originals.size() + i) % 2 == 0;
        word.audio = withRecordings && ownWords && recorded ? original.audio : AudioFormat::None;
        if (ownWords) {
            fill.repeats[word.id] = original.id;
        }
        fill.newWordIds.push_back(word.id);
        course.words.push_back(std::move(word));
    }
    for (int i = 0; i < newSentences; ++i) {
        SourceSentence sentence = MakeSentence(random);
        sentence.id = nextId++;
        sentence.group = course.groups[static_cast<std::size_t>(i) % course.groups.size()].group;
        sentence.level = static_cast<int>(random() % 4) + 1;
        sentence.file = FileOf(static_cast<std::size_t>(i));
        sentence.audio = AudioFormat::None;
        fill.newSentenceIds.push_back(sentence.id);
        course.sentences.push_back(std::move(sentence));
    }

    // Relations: the links of the word each new word repeats, then new words with new sentences.
    const std::size_t wanted = static_cast<std::size_t>(std::max(0, size.relations));
    if (relations.size() > wanted) {
        relations.resize(wanted);
    }
    std::multimap<int, int> linksOf;
    for (const auto& [word, sentence] : relations) {
        linksOf.emplace(word, sentence);
    }
    for (const int id : fill.newWordIds) {
        const auto found = fill.repeats.find(id);
        if (found == fill.repeats.end()) {
            continue;
        }
        const auto [first, last] = linksOf.equal_range(found->second);
        for (auto it = first; it != last && relations.size() < wanted; ++it) {
            relations.emplace_back(id, it->second);
        }
    }
    const std::size_t words = fill.newWordIds.size();
    const std::size_t sentences = fill.newSentenceIds.size();
    for (std::size_t r = 0; relations.size() < wanted && words > 0 && sentences > 0; ++r) {
        relations.emplace_back(fill.newWordIds[(r * 5) % words],
                               fill.newSentenceIds[(r / words + r * 37) % sentences]);
    }

    // Exercise sets over the new units, setSize each, in the group and level of their first unit.
    const auto addSets = [&course, &size](const std::vector<int>& ids, int category,
                                          std::string_view what) {
        const std::size_t step = static_cast<std::size_t>(std::max(1, size.setSize));
        for (std::size_t start = 0; start < ids.size(); start += step) {
            SourceSet set;
            set.category = category;
            set.ids.assign(
                ids.begin() + static_cast<std::ptrdiff_t>(start),
                ids.begin() + static_cast<std::ptrdiff_t>(std::min(ids.size(), start + step)));
            set.group = course.groups[(start / step) % course.groups.size()].group;
            set.level = static_cast<int>((start / step) % 4) + 1;
            set.name = std::string(what) + " " + std::to_string(start / step + 1);
            course.sets.push_back(std::move(set));
        }
    };
    addSets(fill.newWordIds, 7, "Słówka, część");
    addSets(fill.newSentenceIds, 8, "Zdania, część");
    return fill;
}

}  // namespace dyd::samplegen
