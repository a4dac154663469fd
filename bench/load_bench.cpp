// Opening a full course database at login: 25000 units and 25000 relations, compared with only
// reading and splitting the same files, and the heap that the loaded database holds.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/codepage.h"
#include "core/database.h"
#include "core/files.h"
#include "core/learner_files.h"
#include "core/markup.h"
#include "core/paths.h"
#include "core/text.h"

namespace {

namespace fs = std::filesystem;
using namespace dyd;

// ---- Course content (UTF-8 here, written as Windows-1250) ------------------------------------

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
    {"Nobody in this town", "Nikt w tym mieście"},
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

// How the 25000 units and relations are spread over the files.
constexpr int kPlainWords = 9000;
constexpr int kScrambledWords = 3000;
constexpr int kExtraWords = 1000;
constexpr int kWordUnits = kPlainWords + kScrambledWords + kExtraWords;
constexpr int kPlainSentences = 9000;
constexpr int kScrambledSentences = 2000;
constexpr int kExtraSentences = kMaxUnits - kWordUnits - kPlainSentences - kScrambledSentences;
constexpr int kLanguageRelations = 20000;
constexpr int kSecondRelations = 3000;
constexpr int kThirdRelations = kMaxRelations - kLanguageRelations - kSecondRelations;
constexpr int kComments = 100;

template <typename T, std::size_t N>
const T& Pick(const T (&items)[N], std::mt19937& random) {
    return items[random() % N];
}

// Columns 1-13 of a base line: group, blank, source, id, blank, level, part of speech, blank.
std::string LineHead(int group, int id, int level, int partOfSpeech) {
    return ZeroPad(2, group) + " 0" + ZeroPad(5, id) + " " + std::to_string(level) +
           std::to_string(partOfSpeech) + " ";
}

// The ten fields after the foreign text; the blank before the first "=" ends the text.
std::string LineFields(const std::vector<std::string_view>& fields) {
    std::string out = " =";
    for (const std::string_view field : fields) {
        out += field;
        out += '=';
    }
    return out;
}

std::string WordLine(int id, std::mt19937& random) {
    const Word& word = kWords[(static_cast<unsigned>(id) * 7919U) % std::size(kWords)];
    const std::string recording = std::to_string(id);
    const std::string hint =
        random() % 3 == 0 ? "zaczyna się na " + std::string(word.english.substr(0, 1)) : "";
    const std::string_view synonyms =
        word.partOfSpeech == 2 && random() % 2 == 0 ? "fine/nice" : "";
    const std::string_view comment = random() % 5 == 0 ? "często używane w mowie potocznej" : "";
    const std::string_view extra = random() % 4 == 0 ? word.polish : "";
    return LineHead(id % 20 + 1, id, static_cast<int>(random() % 4) + 1, word.partOfSpeech) +
           std::string(word.english) +
           LineFields(
               {word.polish, word.plural, synonyms, comment, recording, "", hint, "n", extra});
}

struct Sentence {
    std::string english;  // with "<" ">" around the verb
    std::string gapMeaning;
    std::string translation;
    std::string distractors;
};

// A sentence of 40 to 120 characters, its length drawn at random.
Sentence MakeSentence(std::mt19937& random) {
    const Piece& subject = Pick(kSubjects, random);
    const std::size_t verbIndex = random() % std::size(kVerbs);
    const Piece& verb = kVerbs[verbIndex];
    const Piece& object = Pick(kObjects, random);
    Sentence s;
    s.english = std::string(subject.english) + " <" + std::string(verb.english) + "> " +
                std::string(object.english);
    s.gapMeaning = std::string(verb.polish);
    s.translation = std::string(subject.polish) + " " + std::string(verb.polish) + " " +
                    std::string(object.polish);
    const std::size_t target = 40 + random() % 81;
    for (int tries = 0; tries < 8 && s.english.size() < target; ++tries) {
        const Piece& tail = Pick(kTails, random);
        if (s.english.size() + 1 + tail.english.size() + 1 > 120) {
            continue;
        }
        s.english += " " + std::string(tail.english);
        s.translation += " " + std::string(tail.polish);
    }
    if (s.english.size() + 1 < 40) {
        s.english += " again";
        s.translation += " znowu";
    }
    s.english += '.';
    s.translation += '.';
    for (std::size_t k = 1; k <= 3; ++k) {
        if (!s.distractors.empty()) {
            s.distractors += '/';
        }
        s.distractors += kVerbs[(verbIndex + k) % std::size(kVerbs)].english;
    }
    return s;
}

std::string SentenceLine(int id, std::mt19937& random) {
    const Sentence s = MakeSentence(random);
    const std::string recording = std::to_string(id);
    const std::string_view accepted = random() % 4 == 0 ? "had borrowed/has borrowed" : "";
    const std::string_view comment = random() % 6 == 0 ? "czas przeszły prosty" : "";
    return LineHead(id % 20 + 1, id, static_cast<int>(random() % 4) + 1, 5) + s.english +
           LineFields({s.gapMeaning, s.translation, accepted, comment, recording, "", s.distractors,
                       "z", ""});
}

// ---- The installation --------------------------------------------------------------------

struct Installation {
    fs::path root;
    AppPaths paths;                  // as the login sets them before opening the database
    std::vector<std::string> files;  // every file that opening the database reads
    std::int64_t fileBytes = 0;
    std::string error;  // empty when the installation loads as intended

    Installation() = default;
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;
    ~Installation() {
        if (!root.empty()) {
            std::error_code ignored;
            fs::remove_all(root, ignored);
        }
    }
};

// Opens the database as the login does.
bool OpenDatabase(const Installation& course, CourseDatabase& db, LoadLog& log) {
    AppPaths paths = course.paths;
    if (!LoadDatabaseParameters(paths, db, log)) {
        return false;
    }
    LoadDatabase(paths, db, log);
    return true;
}

bool WriteCourseFile(Installation& course, const fs::path& path, std::string_view utf8Lines,
                     bool readAtLogin = true) {
    const std::optional<std::string> bytes = FromUtf8(utf8Lines, CodePage::Cp1250);
    if (!bytes) {
        course.error = "cannot encode " + path.string();
        return false;
    }
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::string why;
    if (!WriteFileAtomically(path.string(), *bytes, &why)) {
        course.error = "cannot write " + path.string() + ": " + why;
        return false;
    }
    if (readAtLogin) {
        course.files.push_back(path.string());
        course.fileBytes += static_cast<std::int64_t>(bytes->size());
    }
    return true;
}

void AddLine(std::string& out, std::string_view line) {
    out += line;
    out += "\r\n";
}

void WriteInstallation(Installation& course) {
    std::string folder = (fs::temp_directory_path() / "dyd-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        course.error = "cannot create a temporary folder";
        return;
    }
    course.root = folder;
    const fs::path db = course.root / "db" / "ang";
    course.paths.programDir = folder + "/";
    course.paths.databaseCode = "ang";
    course.paths.databaseDir = (db / "").string();
    course.paths.userDir = course.paths.programDir + "1/";
    course.paths.discRoot = "D:\\";
    course.paths.languageDir = std::string(kLanguageDir);

    std::mt19937 random(20240611);
    std::string text;
    const auto write = [&](const fs::path& path, bool readAtLogin = true) {
        const bool ok = course.error.empty() && WriteCourseFile(course, path, text, readAtLogin);
        text.clear();
        return ok;
    };

    AddLine(text, "[Instalacja]");
    AddLine(text, "DR=D:\\");
    write(course.root / kInstallMarker, false);

    for (const std::string_view line :
         {"Angielski - kurs pełny", "1", "1", "poziom podstawowy i średni", "0", "0",
          "Słownik angielsko-polski", "ang", "nagrania", "Zespół autorów", "", "7", "1", "90000",
          "99999", "0", "0", "0"}) {
        AddLine(text, line);
    }
    write(db / kParametersFile);

    // The recordings folder with its marker file and the recording of unit 1.
    AddLine(text, "nagrania");
    write(course.root / "nagrania" / "p.txt", false);
    write(course.root / "nagrania" / "D_00" / "dd_000" / "00001.wav", false);

    int group = 0;
    for (const std::string_view name : kGroupNames) {
        ++group;
        AddLine(text, std::to_string(group) + "= 1 =G" + std::to_string(group) + "=" +
                          std::string(name) + "==");
    }
    write(db / kGroupsFile);

    int id = 0;
    const auto baseFile = [&](std::string_view name, int count, bool sentences, bool scrambled) {
        for (int i = 0; i < count; ++i) {
            ++id;
            const std::string line = sentences ? SentenceLine(id, random) : WordLine(id, random);
            if (!scrambled) {
                AddLine(text, line);
            } else if (const std::optional<std::string> plain = FromUtf8(line, CodePage::Cp1250)) {
                AddLine(text, ScrambleLine(*plain));
            } else {
                course.error = "cannot encode line " + std::to_string(id);
            }
        }
        if (scrambled) {
            // Already Windows-1250 bytes: write them as they are.
            std::string why;
            const fs::path path = db / name;
            if (course.error.empty() && !WriteFileAtomically(path.string(), text, &why)) {
                course.error = "cannot write " + path.string() + ": " + why;
            }
            course.files.push_back(path.string());
            course.fileBytes += static_cast<std::int64_t>(text.size());
            text.clear();
            return;
        }
        write(db / name);
    };
    const LanguageFiles language = LanguageBaseFiles(1);
    baseFile(language.words, kPlainWords, false, false);
    baseFile("b_sb_50s.txt", kScrambledWords, false, true);
    baseFile("b_sb_50ss.txt", kExtraWords, false, false);
    baseFile(language.sentences, kPlainSentences, true, false);
    baseFile("b_sb_50z.txt", kScrambledSentences, true, true);
    baseFile("b_sb_50zz.txt", kExtraSentences, true, false);

    int relation = 0;
    const auto relationFile = [&](std::string_view name, int count) {
        for (int i = 0; i < count; ++i, ++relation) {
            const int word = relation % kWordUnits + 1;
            const int sentence = kWordUnits + 1 + (relation * 37) % (kMaxUnits - kWordUnits);
            AddLine(text, std::to_string(word) + "=" + std::to_string(sentence) + "=" +
                              (relation % 5 == 0 ? "1" : "0") + "=");
        }
        write(db / name);
    };
    relationFile(language.relations, kLanguageRelations);
    relationFile("con2.txt", kSecondRelations);
    relationFile("con3.txt", kThirdRelations);

    for (int i = 1; i <= kComments; ++i) {
        AddLine(text, std::to_string(i * 97) + "=trudne, powtórzyć przed sprawdzianem=" +
                          (i % 10 == 0 ? "3" : "0") + "=");
    }
    write(fs::path(course.paths.userDir) / CommentsFileName(course.paths.databaseCode));
}

void CheckInstallation(Installation& course) {
    CourseDatabase db;
    LoadLog log;
    if (!OpenDatabase(course, db, log)) {
        course.error = "the parameters file was not found";
        return;
    }
    std::string wrong;
    const auto expect = [&wrong](std::string_view what, std::size_t got, std::size_t wanted) {
        if (got != wanted) {
            wrong += std::string(what) + " " + std::to_string(got) + " (expected " +
                     std::to_string(wanted) + "); ";
        }
    };
    expect("unitCount", static_cast<std::size_t>(db.units.unitCount()), kMaxUnits);
    expect("wordUnitCount", static_cast<std::size_t>(db.units.wordUnitCount), kWordUnits);
    expect("relations", db.relations.size(), kMaxRelations);
    expect("groups", db.groups.size(), std::size(kGroupNames));
    expect("load problems", log.problems.size(), 0);
    expect("notices", log.notices.size(), 0);
    if (!log.problems.empty()) {
        const LoadProblem& first = log.problems.front();
        wrong +=
            "first problem: " + first.file + ":" + std::to_string(first.line) + " " + first.message;
    }
    course.error = wrong;
}

const Installation& FullCourse() {
    static const std::unique_ptr<Installation> course = [] {
        auto made = std::make_unique<Installation>();
        WriteInstallation(*made);
        if (made->error.empty()) {
            CheckInstallation(*made);
        }
        return made;
    }();
    return *course;
}

// The bytes the heap holds for the program now: small blocks in the arenas and large blocks
// mapped on their own.
std::size_t HeapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// ---- Benchmarks --------------------------------------------------------------------------

// Opening a database as the login does. With the argument 1 the heap that the previous database
// left is handed back to the system first, as in a program that has just started (every page is
// new); with 0 the next load reuses it.
void BM_LoadFullDatabase(benchmark::State& state) {
    const Installation& course = FullCourse();
    if (!course.error.empty()) {
        state.SkipWithError(course.error.c_str());
        return;
    }
    const bool coldHeap = state.range(0) == 1;
    std::unique_ptr<CourseDatabase> previous;
    for (auto _ : state) {
        // Freeing the previous database is not part of opening one.
        state.PauseTiming();
        previous.reset();
        if (coldHeap) {
            ::malloc_trim(0);
        }
        state.ResumeTiming();
        auto db = std::make_unique<CourseDatabase>();
        LoadLog log;
        OpenDatabase(course, *db, log);
        benchmark::DoNotOptimize(db->units.unitCount());
        previous = std::move(db);
    }
    state.SetBytesProcessed(state.iterations() * course.fileBytes);
    state.counters["units"] = previous ? previous->units.unitCount() : 0;
}
BENCHMARK(BM_LoadFullDatabase)->ArgName("coldHeap")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ReadAndSplitBaseline(benchmark::State& state) {
    const Installation& course = FullCourse();
    if (!course.error.empty()) {
        state.SkipWithError(course.error.c_str());
        return;
    }
    for (auto _ : state) {
        std::size_t touched = 0;
        for (const std::string& file : course.files) {
            const std::optional<std::string> bytes = ReadFileBytes(file);
            if (!bytes) {
                state.SkipWithError("a course file has disappeared");
                return;
            }
            for (const std::string_view line : SplitLines(*bytes)) {
                touched += line.size() + (line.empty() ? 0 : static_cast<unsigned char>(line[0]));
            }
        }
        benchmark::DoNotOptimize(touched);
    }
    state.SetBytesProcessed(state.iterations() * course.fileBytes);
}
BENCHMARK(BM_ReadAndSplitBaseline)->Unit(benchmark::kMillisecond);

// The heap a loaded full-capacity database holds (the load log is not kept).
void BM_LoadedDatabaseMemory(benchmark::State& state) {
    const Installation& course = FullCourse();
    if (!course.error.empty()) {
        state.SkipWithError(course.error.c_str());
        return;
    }
    std::unique_ptr<CourseDatabase> db;
    std::size_t held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        db.reset();
        const std::size_t before = HeapInUse();
        state.ResumeTiming();
        db = std::make_unique<CourseDatabase>();
        {
            LoadLog log;
            OpenDatabase(course, *db, log);
        }
        state.PauseTiming();
        held = HeapInUse() - before;
        state.ResumeTiming();
    }
    const double rows = static_cast<double>(db->units.capacity() * sizeof(Unit));
    // The rows are mapped apart from the heap.
    held += db->units.capacity() * sizeof(Unit);
    state.counters["memory_MB"] = static_cast<double>(held) / 1e6;
    state.counters["rows_MB"] = rows / 1e6;
    state.counters["bytes_per_unit"] = static_cast<double>(held) / db->units.unitCount();
    state.counters["file_MB"] = static_cast<double>(course.fileBytes) / 1e6;
}
BENCHMARK(BM_LoadedDatabaseMemory)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
