#include "exchange/exchange.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/learner_files.h"
#include "support.h"

namespace dyd {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr ExchangeFormat kFormats[] = {ExchangeFormat::Kvtml, ExchangeFormat::Tsv,
                                       ExchangeFormat::Csv};

const char* NameOf(ExchangeFormat f) {
    return f == ExchangeFormat::Kvtml ? "kvtml" : f == ExchangeFormat::Tsv ? "tsv" : "csv";
}

// An empty learner's database of a course language in a temporary folder.
struct Course {
    TempDir dir;
    AppPaths paths;
    CourseDatabase db;

    explicit Course(int language = 1, int charsetIndex = 1) {
        paths.programDir = dir.path();
        paths.databaseDir = dir.path() + "db/own/";
        paths.databaseCode = "own";
        std::filesystem::create_directories(paths.databaseDir);
        db.params.language = language;
        db.params.charsetIndex = charsetIndex;
        db.params.userIdLow = 90000;
        db.params.userIdHigh = 99000;
        db.groups.push_back(DefaultGroup());
        Group mine;
        mine.groupId = 60;
        mine.listed = 1;
        mine.name = *FromUtf8("Moje słówka", CodePage::Cp1250);
        db.groups.push_back(mine);
    }

    // The units from number first on, as entries.
    ExchangeList EntriesFrom(int first) const {
        std::vector<int> numbers;
        for (int n = first; n <= db.units.unitCount(); ++n) {
            numbers.push_back(n);
        }
        return EntriesOfUnits(db, numbers);
    }
};

ExchangeEntry Word(std::string foreign, std::string native) {
    ExchangeEntry e;
    e.foreign = std::move(foreign);
    e.native = std::move(native);
    e.partOfSpeech = kOtherPart;
    e.level = 2;
    e.group = "Własne...";
    return e;
}

// The entries that a round trip must keep, field by field (where a file was read from aside).
void ExpectSameEntries(const std::vector<ExchangeEntry>& got,
                       const std::vector<ExchangeEntry>& want, const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < got.size(); ++i) {
        const ExchangeEntry& g = got[i];
        const ExchangeEntry& w = want[i];
        const std::string at = what + " entry " + std::to_string(i);
        EXPECT_EQ(g.kind, w.kind) << at;
        EXPECT_EQ(g.partOfSpeech, w.partOfSpeech) << at;
        EXPECT_EQ(g.foreign, w.foreign) << at;
        EXPECT_EQ(g.native, w.native) << at;
        EXPECT_EQ(g.plural, w.plural) << at;
        EXPECT_EQ(g.synonyms, w.synonyms) << at;
        EXPECT_EQ(g.hint, w.hint) << at;
        EXPECT_EQ(g.comment, w.comment) << at;
        EXPECT_EQ(g.extraTranslation, w.extraTranslation) << at;
        EXPECT_EQ(g.recording, w.recording) << at;
        EXPECT_EQ(g.answerRecording, w.answerRecording) << at;
        EXPECT_EQ(g.group, w.group) << at;
    }
}

std::vector<ExchangeEntry> SampleEntries() {
    std::vector<ExchangeEntry> entries;
    ExchangeEntry dog = Word("dog", "pies");
    dog.partOfSpeech = kNoun;
    dog.plural = "dogs";
    dog.comment = "zwierzę domowe, \"najlepszy\" przyjaciel";
    dog.recording = "pies_żółty.wav";
    dog.synonyms = "hound";
    dog.group = "Moje słówka";
    entries.push_back(dog);
    ExchangeEntry quick = Word("quick; fast", "szybki, prędki");
    quick.partOfSpeech = kAdjective;
    quick.hint = "tab\tin\\the hint";
    entries.push_back(quick);
    ExchangeEntry sentence = Word("I see a <tree>.", "drzewo");
    sentence.kind = kSentenceUnit;
    sentence.partOfSpeech = kSentencePart;
    sentence.synonyms = "Widzę drzewo.";
    sentence.hint = "bush#flower";
    entries.push_back(sentence);
    ExchangeEntry qa = Word("How old are you?", "Mam 20 lat.");
    qa.kind = kQaUnit;
    qa.plural = "Ile masz lat?";
    qa.recording = "pytanie.wav";
    qa.answerRecording = "odpowiedź.wav";
    qa.extraTranslation = "Mam dwadzieścia lat.";
    entries.push_back(qa);
    return entries;
}

TEST(Exchange, RoundTripKeepsTextsPluralsCommentsAndRecordings) {
    for (const ExchangeFormat format : kFormats) {
        SCOPED_TRACE(NameOf(format));
        ExchangeList list;
        list.title = "Mój kurs";
        list.language = 1;
        list.entries = SampleEntries();
        const std::string bytes = WriteExchange(list, format);
        const ExchangeReadResult read = ReadExchange(bytes, format, "plik");
        ASSERT_TRUE(read.errors.empty()) << ExchangeErrorText(read.errors.front());
        ExpectSameEntries(read.list.entries, list.entries, "read back");
        if (format == ExchangeFormat::Kvtml) {
            EXPECT_EQ(read.list.title, "Mój kurs");
            EXPECT_EQ(read.list.language, 1);
        }

        // Into the learner's units, through the learner-units file and out again.
        Course c;
        const ExchangeImportResult imported =
            ImportEntries(read.list, "plik", c.db, 90001, c.db.params.userIdHigh, {});
        ASSERT_TRUE(imported.errors.empty()) << ExchangeErrorText(imported.errors.front());
        EXPECT_EQ(imported.imported, 4);
        EXPECT_EQ(imported.firstUnit, 1);
        EXPECT_EQ(c.db.units.unit(1).unitId, 90001);
        EXPECT_EQ(c.db.units.unit(1).groupId, 60);
        EXPECT_EQ(c.db.units.unit(2).groupId, 99);
        EXPECT_EQ(c.db.units.unit(3).searchText, "i see a tree.");
        ASSERT_TRUE(SaveLearnerUnits(c.paths, c.db.units).written);
        CourseDatabase back;
        back.params = c.db.params;
        back.groups = c.db.groups;
        LoadLog log;
        LoadDatabase(c.paths, back, log);
        std::vector<int> numbers = {1, 2, 3, 4};
        ExpectSameEntries(EntriesOfUnits(back, numbers).entries, list.entries, "reloaded");
        // A second export of what was imported is the same file.
        ExchangeList again = EntriesOfUnits(back, numbers);
        again.title = list.title;
        EXPECT_EQ(WriteExchange(again, format), bytes);
    }
}

TEST(Exchange, ForeignTextsTakeTheCoursesCodePage) {
    // A Russian course: foreign texts in Windows-1251, the Polish ones in Windows-1250.
    Course c(6, 2);
    ASSERT_EQ(c.db.params.foreignCodePage(), CodePage::Cp1251);
    ExchangeList list;
    list.entries = {Word("собака", "pies żółty")};
    // The plural is typed in Windows-1250, which has no Cyrillic letters.
    list.entries[0].plural = "собаки";
    ExchangeImportResult r = ImportEntries(list, "ru.kvtml", c.db, 90001, 99000, {});
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(ExchangeErrorText(r.errors[0]),
              "ru.kvtml: liczba mnoga: znaku \"с\" nie ma w kodowaniu środkowoeuropejskim (1250) "
              "tego kursu");
    list.entries[0].plural = "psy";
    r = ImportEntries(list, "ru.kvtml", c.db, 90001, 99000, {});
    ASSERT_TRUE(r.errors.empty()) << ExchangeErrorText(r.errors.front());
    EXPECT_EQ(c.db.units.unit(1).foreignText, "\xF1\xEE\xE1\xE0\xEA\xE0");
    EXPECT_EQ(c.db.units.unit(1).nativeText, "pies \xBF\xF3\xB3ty");
    EXPECT_EQ(c.EntriesFrom(1).entries[0].foreign, "собака");
}

TEST(Exchange, BadFilesSayFileAndLineAndImportNothing) {
    struct Case {
        const char* what;
        ExchangeFormat format;
        std::string bytes;
        std::string error;  // the whole first message, or its beginning when it ends in "..."
    };
    const std::string header = "obcy\tpolski\tpoziom\trodzaj\n";
    const std::string kvtmlHead =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kvtml version=\"2.0\">\n<entries>\n";
    const auto kvtmlEntry = [](int id, const std::string& foreign, const std::string& native) {
        return "<entry id=\"" + std::to_string(id) + "\">\n<translation id=\"0\"><text>" + foreign +
               "</text></translation>\n<translation id=\"1\"><text>" + native +
               "</text></translation>\n</entry>\n";
    };
    const Case cases[] = {
        {"a tag left open", ExchangeFormat::Kvtml,
         kvtmlHead + kvtmlEntry(0, "dog", "pies") + "<entry id=\"1\">\n</entries>\n</kvtml>\n",
         "f:9: błąd XML: ..."},
        {"not KVTML", ExchangeFormat::Kvtml, "<?xml version=\"1.0\"?>\n<html/>\n",
         "f:2: to nie jest plik KVTML (główny element to <html>)"},
        {"the first version", ExchangeFormat::Kvtml, "<?xml version=\"1.0\"?>\n<kvtml>\n</kvtml>\n",
         "f:2: plik KVTML w wersji 1; czytam tylko wersję 2"},
        {"an empty file", ExchangeFormat::Kvtml, " \n", "f: plik jest pusty"},
        {"an entry number twice", ExchangeFormat::Kvtml,
         kvtmlHead + kvtmlEntry(0, "dog", "pies") + kvtmlEntry(0, "cat", "kot") +
             "</entries>\n</kvtml>\n",
         "f:8: numer wpisu 0 powtarza się"},
        {"a letter the course cannot hold, after a good entry", ExchangeFormat::Kvtml,
         kvtmlHead + kvtmlEntry(0, "dog", "pies") + kvtmlEntry(1, "łódź", "łódź") +
             "</entries>\n</kvtml>\n",
         "f:8: tekst obcy: znaku \"ł\" nie ma w kodowaniu zachodnioeuropejskim (1252) tego "
         "kursu"},
        {"\"=\" in a text", ExchangeFormat::Tsv, header + "dog\tpies\t\t\ncat\tkot = mruczek\t\t\n",
         "f:3: Niedozwolony znak \"=\" !"},
        {"no meaning", ExchangeFormat::Tsv, header + "dog\t\t\t\n", "f:2: Brak znaczenia!"},
        {"a line break in a text", ExchangeFormat::Tsv, header + "dog\tpies\\nkot\t\t\n",
         "f:2: Tej jednostki nie można zapisać w pliku jednostek ucznia: tekst jednostki "
         "zawiera znak \"=\", koniec wiersza albo odstępy na brzegach."},
        {"a level that is no digit", ExchangeFormat::Tsv, header + "dog\tpies\tdwa\t\n",
         "f:2: poziom musi być cyfrą od 1 do 9, a jest \"dwa\""},
        {"an unknown kind", ExchangeFormat::Tsv, header + "dog\tpies\t\tfiszka\n",
         "f:2: nieznany rodzaj jednostki \"fiszka\" (słówko, zdanie albo tryb QA)"},
        {"a quote never closed", ExchangeFormat::Csv,
         "obcy,polski\ndog,pies\n\"cat,kot\nmouse,mysz\n",
         "f:3: cudzysłów otwarty w tym wierszu nie został zamknięty"},
        {"text after a closing quote", ExchangeFormat::Csv, "obcy,polski\n\"cat\"x,kot\n",
         "f:2: po cudzysłowie zamykającym pole może stać tylko \",\" albo koniec wiersza"},
        {"only a header", ExchangeFormat::Csv, "obcy,polski\r\n",
         "f: plik nie zawiera żadnej jednostki"},
        {"invalid UTF-8", ExchangeFormat::Tsv, header + "dog\tpi\xC3\n",
         "f:2: tekst polski: tekst nie jest poprawnym tekstem UTF-8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Course course;
        ExchangeImportResult r;
        ExchangeReadResult read = ReadExchange(c.bytes, c.format, "f");
        if (read.errors.empty()) {
            r = ImportEntries(read.list, "f", course.db, 90001, 99000, {});
        } else {
            EXPECT_TRUE(read.list.entries.empty());
            r.errors = read.errors;
        }
        ASSERT_FALSE(r.errors.empty());
        const std::string text = ExchangeErrorText(r.errors.front());
        if (c.error.size() > 3 && c.error.substr(c.error.size() - 3) == "...") {
            EXPECT_EQ(text.substr(0, c.error.size() - 3), c.error.substr(0, c.error.size() - 3));
        } else {
            EXPECT_EQ(text, c.error);
        }
        EXPECT_EQ(course.db.units.unitCount(), 0);
        EXPECT_EQ(r.imported, 0);
    }
}

TEST(Exchange, EveryBadEntryIsListed) {
    Course c;
    const ExchangeReadResult read =
        ReadExchange("obcy\tpolski\na\tb\nc=\td\ne\t\n", ExchangeFormat::Tsv, "x.tsv");
    ASSERT_TRUE(read.errors.empty());
    const ExchangeImportResult r = ImportEntries(read.list, "x.tsv", c.db, 90001, 99000, {});
    ASSERT_EQ(r.errors.size(), 2u);
    EXPECT_EQ(ExchangeErrorText(r.errors[0]), "x.tsv:3: Niedozwolony znak \"=\" !");
    EXPECT_EQ(ExchangeErrorText(r.errors[1]), "x.tsv:4: Brak znaczenia!");
    EXPECT_EQ(c.db.units.unitCount(), 0);
}

TEST(Exchange, NewIdsPassOverKeptAndTakenIdsAndStopAtTheRangeEnd) {
    Course c;
    Unit taken;
    taken.unitId = 90002;
    taken.foreignText = "x";
    c.db.units.Append(taken);
    ExchangeList list;
    list.entries = {Word("a", "b"), Word("c", "d"), Word("e", "f")};
    c.db.units.wordUnitCount = 1;
    const std::int32_t kept[] = {90001, 90004};
    ExchangeImportResult r = ImportEntries(list, "f", c.db, 90001, 99000, kept);
    ASSERT_TRUE(r.errors.empty());
    // The sentences of a course begin after its word rows; new units do not move that.
    EXPECT_EQ(c.db.units.wordUnitCount, 1);
    EXPECT_EQ(c.db.units.unit(2).unitId, 90003);
    EXPECT_EQ(c.db.units.unit(3).unitId, 90005);
    EXPECT_EQ(c.db.units.unit(4).unitId, 90006);
    // Two more ids would cross the range's end: nothing is added.
    r = ImportEntries(list, "f", c.db, 98998, 99000, {});
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(ExchangeErrorText(r.errors[0]),
              "f: Brak wolnych kodów dla nowych jednostek w tej bazie. Import został przerwany.");
    EXPECT_EQ(c.db.units.unitCount(), 4);
}

TEST(Exchange, ReadsKvtmlAsOtherTrainersWriteIt) {
    // Polish as the first identifier, nested lessons, a plural under a gender, word types by
    // their special names, elements this program does not use.
    const std::string kvtml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE kvtml PUBLIC "kvtml2.dtd" "http://edu.kde.org/kvtml/kvtml2.dtd">
<kvtml version="2.0">
 <information><generator>other</generator><title>Tiere</title></information>
 <identifiers>
  <identifier id="0"><name>Polnisch</name><locale>pl</locale></identifier>
  <identifier id="1"><name>Deutsch</name><locale>de</locale></identifier>
 </identifiers>
 <entries>
  <entry id="7">
   <translation id="0"><text>pies</text><comment>uwaga</comment></translation>
   <translation id="1"><text>Hund</text><grade><currentgrade>2</currentgrade></grade>
    <declension><masculine><plural><nominative><text>Hunde</text></nominative></plural></masculine></declension>
    <sound>hund.ogg</sound></translation>
  </entry>
  <entry id="9">
   <translation id="1"><text>laufen</text></translation>
   <translation id="0"><text>biegać</text></translation>
  </entry>
 </entries>
 <lessons>
  <container><name>Zwierzęta</name>
   <container><name>Psy</name><entry id="7"/></container>
   <entry id="9"/>
  </container>
 </lessons>
 <wordtypes>
  <container><name>Substantiv</name><specialwordtype>noun</specialwordtype>
   <entry id="7"><translation id="1"/></entry></container>
  <container><name>Verb</name><specialwordtype>verb</specialwordtype>
   <entry id="9"><translation id="1"/></entry></container>
 </wordtypes>
</kvtml>
)";
    const ExchangeReadResult r = ReadExchange(kvtml, ExchangeFormat::Kvtml, "t.kvtml");
    ASSERT_TRUE(r.errors.empty()) << ExchangeErrorText(r.errors.front());
    EXPECT_EQ(r.list.title, "Tiere");
    EXPECT_EQ(r.list.language, 2);
    ASSERT_EQ(r.list.entries.size(), 2u);
    const ExchangeEntry& dog = r.list.entries[0];
    EXPECT_EQ(dog.line, 10);
    EXPECT_EQ(dog.foreign, "Hund");
    EXPECT_EQ(dog.native, "pies");
    EXPECT_EQ(dog.plural, "Hunde");
    EXPECT_EQ(dog.comment, "uwaga");
    EXPECT_EQ(dog.recording, "hund.ogg");
    EXPECT_EQ(dog.group, "Psy");
    EXPECT_EQ(dog.partOfSpeech, kNoun);
    const ExchangeEntry& run = r.list.entries[1];
    EXPECT_EQ(run.foreign, "laufen");
    EXPECT_EQ(run.native, "biegać");
    EXPECT_EQ(run.group, "Zwierzęta");
    EXPECT_EQ(run.partOfSpeech, kVerb);
}

TEST(Exchange, TablesAreReadAsRfc4180AndEscapedTabs) {
    using Records = std::vector<std::vector<std::string>>;
    struct Case {
        const char* what;
        ExchangeFormat format;
        std::string bytes;
        Records records;
        std::vector<int> lines;
    };
    const Case cases[] = {
        {"plain CSV with CR LF",
         ExchangeFormat::Csv,
         "a,b\r\nc,d\r\n",
         {{"a", "b"}, {"c", "d"}},
         {1, 2}},
        {"no line end at the end",
         ExchangeFormat::Csv,
         "a,b\nc,d",
         {{"a", "b"}, {"c", "d"}},
         {1, 2}},
        {"quoted comma, doubled quote, empty fields",
         ExchangeFormat::Csv,
         "\"a,1\",\"say \"\"hi\"\"\",,\"\"\n",
         {{"a,1", "say \"hi\"", "", ""}},
         {1}},
        {"a line break inside quotes moves the next record's line",
         ExchangeFormat::Csv,
         "\"two\r\nlines\",x\nnext,y\n",
         {{"two\r\nlines", "x"}, {"next", "y"}},
         {1, 3}},
        {"a quote inside a plain field stays",
         ExchangeFormat::Csv,
         "5\" disk,x\n",
         {{"5\" disk", "x"}},
         {1}},
        {"semicolons when the first line has no comma",
         ExchangeFormat::Csv,
         "obcy;polski\n\"a;b\";c,d\n",
         {{"obcy", "polski"}, {"a;b", "c,d"}},
         {1, 2}},
        {"a blank line is a record of one empty field",
         ExchangeFormat::Csv,
         "a\n\nb\n",
         {{"a"}, {""}, {"b"}},
         {1, 2, 3}},
        {"TSV escapes",
         ExchangeFormat::Tsv,
         "a\\tb\tc\\\\d\\ne\r\nf\\x\n",
         {{"a\tb", "c\\d\ne"}, {"f\\x"}},
         {1, 2}},
        {"TSV keeps commas and quotes", ExchangeFormat::Tsv, "\"a,b\"\t\n", {{"\"a,b\"", ""}}, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TableReadResult r = ReadTable(c.bytes, c.format);
        ASSERT_FALSE(r.error.has_value()) << r.error->message;
        Records got;
        std::vector<int> lines;
        for (const TableRecord& record : r.records) {
            got.push_back(record.fields);
            lines.push_back(record.line);
        }
        EXPECT_EQ(got, c.records);
        EXPECT_EQ(lines, c.lines);
    }
    // Fields are written so that they read back.
    for (const std::string text :
         {"plain", "a,b", "say \"hi\"", " edge ", "x;y", "l1\r\nl2", "t\tb\\n"}) {
        for (const ExchangeFormat format : {ExchangeFormat::Csv, ExchangeFormat::Tsv}) {
            const TableReadResult r = ReadTable(TableField(text, format) + "\n", format);
            ASSERT_EQ(r.records.size(), 1u) << text;
            EXPECT_EQ(r.records[0].fields, std::vector<std::string>{text}) << text;
        }
    }
}

TEST(Exchange, TableWithoutHeaderTakesForeignAndPolishFromTheFirstColumns) {
    const ExchangeReadResult r = ReadExchange(
        "\xEF\xBB\xBF"
        "dog\tpies\textra\ncat\tkot\n",
        ExchangeFormat::Tsv, "f");
    ASSERT_TRUE(r.errors.empty());
    ASSERT_EQ(r.list.entries.size(), 2u);
    EXPECT_EQ(r.list.entries[0].foreign, "dog");
    EXPECT_EQ(r.list.entries[0].native, "pies");
    EXPECT_EQ(r.list.entries[1].line, 2);
}

TEST(Exchange, FileImportIntoTheDatabaseRefusesUnknownAndMissingFiles) {
    Course c;
    RepetitionStore store{10};
    WriteBytes(c.dir.path() + "a.tsv", "obcy\tpolski\ndog\tpies\n");
    ExchangeImportResult r = ImportExchangeFileIntoDatabase(c.dir.path() + "a.tsv", c.db, store);
    ASSERT_TRUE(r.errors.empty());
    EXPECT_EQ(r.imported, 1);
    EXPECT_EQ(c.db.units.unit(1).unitId, 90001);
    EXPECT_EQ(ExchangeImportedText(r.imported), "Zaimportowano: 1 jednostek!");
    r = ImportExchangeFileIntoDatabase(c.dir.path() + "a.doc", c.db, store);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_NE(r.errors[0].message.find(".kvtml, .tsv albo .csv"), std::string::npos);
    r = ImportExchangeFileIntoDatabase(c.dir.path() + "none.csv", c.db, store);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].message, "Plik nie istnieje!");
    EXPECT_EQ(c.db.units.unitCount(), 1);
}

}  // namespace
}  // namespace dyd
