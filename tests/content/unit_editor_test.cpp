#include "content/unit_editor.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/learner_files.h"
#include "core/qa_import.h"
#include "core/user_ids.h"
#include "support.h"

namespace dyd {
namespace {

using test::CrLf;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::string Cp1250(std::string_view utf8) {
    return *FromUtf8(utf8, CodePage::Cp1250);
}

std::string Pair() {
    return GapPairText();
}

TEST(UnitEditorChecks, GapMarkers) {
    struct Case {
        const char* sentence;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"I <am> here", {}},
        {"<a> <b> <c>", {}},
        {"I <am here", {"Błąd! " + Pair()}},
        {"<a> <b> <c> <d>", {std::string(kTooManyGapsMessage)}},
        // The scan stops at the faulty character, whose own position is given.
        {"I <<am>> here", {"Błędny znak (numer:4). " + Pair(), "Błąd! " + Pair()}},
        {"I am> here", {"Błędny znak (numer:5). " + Pair(), "Błąd! " + Pair()}},
        {"<a>> <b>", {"Błędny znak (numer:4). " + Pair(), "Błąd! " + Pair()}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckGapMarkers(c.sentence), c.messages) << c.sentence;
    }
    EXPECT_EQ(Pair(), "Każdemu oznaczeniu otwierającemu \"<\" musi odpowiadać zamykające \">\".");
}

TEST(UnitEditorChecks, MessagesInTheirOrder) {
    struct Case {
        const char* what;
        int kind;
        std::vector<std::pair<EditorField, std::string>> texts;
        std::vector<std::string> messages;
    };
    const std::string eq(kEqualsSignMessage);
    const std::string noMeaning(kNoMeaningMessage);
    const Case cases[] = {
        {"a word with its meaning", kWordUnit, {{EditorField::Native, "pies"}}, {}},
        {"\"=\" in the meaning, nothing else", kWordUnit, {{EditorField::Native, "a=b"}}, {eq}},
        {"\"=\" and no meaning", kWordUnit, {{EditorField::Comment, "x=y"}}, {eq, noMeaning}},
        {"a blank meaning", kQaUnit, {{EditorField::Native, "  "}}, {noMeaning}},
        {"a sentence with its translation only",
         kSentenceUnit,
         {{EditorField::Synonyms, "Jestem tu."}},
         {}},
        {"a sentence without any meaning",
         kSentenceUnit,
         {},
         {std::string(kNoSentenceMeaningMessage)}},
        {"bad markers stop the checks",
         kSentenceUnit,
         {{EditorField::Foreign, "I <am here"}, {EditorField::Hint, "a=b"}},
         {"Błąd! " + Pair()}},
        {"\"=\" in a hidden field", kWordUnit,
         {{EditorField::Native, "pies"}, {EditorField::ExtraTranslation, "="}}, {eq}},
        {"no foreign text", kWordUnit,
         {{EditorField::Foreign, " "}, {EditorField::Native, "pies"}},
         {std::string(kNoForeignTextMessage)}},
    };
    for (const Case& c : cases) {
        EditorFields f;
        f.kind = c.kind;
        f[EditorField::Foreign] = c.kind == kSentenceUnit ? "I <am> here" : "dog";
        for (const auto& [field, text] : c.texts) {
            f[field] = text;
        }
        EXPECT_EQ(CheckFields(f), c.messages) << c.what;
    }
}

TEST(UnitEditorFields, CaptionsPerKind) {
    const EditorCaptions word = CaptionsOf(kWordUnit, 2);
    EXPECT_EQ(word.foreign, "Słówko:");
    EXPECT_EQ(word.plural, "Liczba mnoga rzeczownika:");
    EXPECT_TRUE(word.pluralShown && word.synonymsShown && word.hintShown);
    EXPECT_FALSE(CaptionsOf(kWordUnit, 1).pluralShown);  // English has no plural field
    const EditorCaptions sentence = CaptionsOf(kSentenceUnit, 2);
    EXPECT_EQ(sentence.native, "Znaczenie (wyróżnienia w znakach < >):");
    EXPECT_EQ(sentence.synonyms, "Tłumaczenie całego zdania:");
    EXPECT_EQ(sentence.hint, "Inne odp. do testu wyboru (niepoprawne):");
    EXPECT_FALSE(sentence.pluralShown);
    const EditorCaptions qa = CaptionsOf(kQaUnit, 2);
    EXPECT_EQ(qa.foreign, "Pytanie (słówko):");
    EXPECT_EQ(qa.native, "Odpowiedź (znaczenie):");
    EXPECT_FALSE(qa.synonymsShown || qa.pluralShown || qa.hintShown);

    DatabaseParameters russian;
    russian.charsetIndex = 2;
    ASSERT_EQ(russian.foreignCodePage(), CodePage::Cp1251);
    EXPECT_EQ(FieldCodePage(EditorField::Synonyms, kWordUnit, russian), CodePage::Cp1251);
    EXPECT_EQ(FieldCodePage(EditorField::Synonyms, kSentenceUnit, russian), CodePage::Cp1250);
    EXPECT_EQ(FieldCodePage(EditorField::Native, kWordUnit, russian), CodePage::Cp1250);
}

// A learner's database in a temporary folder: user ids 1..99000, the default group.
struct Course {
    TempDir dir;
    AppPaths paths;
    CourseDatabase db;
    RepetitionStore store{100};
    std::vector<int> composed;
    UnitEditor editor{paths, db, store, composed};

    Course() {
        paths.programDir = dir.path();
        paths.databaseDir = dir.path() + "db/own/";
        paths.userDir = dir.path() + "1/";
        paths.databaseCode = "own";
        std::filesystem::create_directories(paths.databaseDir);
        std::filesystem::create_directories(paths.userDir);
        db.params.language = 2;
        db.params.userIdLow = 1;
        db.params.userIdHigh = 99000;
        db.groups.push_back(DefaultGroup());
    }

    UnitEditor::StoreResult Add(int kind, std::initializer_list<std::pair<EditorField, std::string>> texts,
                                int level = 2, int part = kOtherPart) {
        EditorFields f = editor.fields();
        f.kind = kind;
        f.level = level;
        f.partOfSpeech = part;
        for (const auto& [field, text] : texts) {
            f[field] = text;
        }
        UnitEditor::StoreResult r = editor.Store(f);
        if (r.stored) {
            editor.PrepareNew();
        }
        return r;
    }
};

TEST(UnitEditor, NewUnitsAreWrittenAsTheLearnerUnitsFileSays) {
    Course c;
    c.editor.Open(0);
    EXPECT_EQ(c.editor.fields().groupId, 99);
    // The next user id is raised by one more: the first unit of an empty range gets 3.
    EXPECT_EQ(c.editor.preparedId(), 3);
    EXPECT_EQ(c.editor.RecordingTarget(), c.paths.databaseDir + "wav/3.wav");
    EditorFields word = c.editor.fields();
    word[EditorField::Foreign] = " dog ";
    word[EditorField::Native] = "pies";
    word[EditorField::Plural] = "dogs";
    word.recording = "3.wav";
    ASSERT_TRUE(c.editor.Store(word).stored);
    c.editor.PrepareNew();
    EXPECT_EQ(c.editor.preparedId(), 5);
    ASSERT_TRUE(c.Add(kSentenceUnit,
                      {{EditorField::Foreign, "I <am> here"},
                       {EditorField::Native, "jestem"},
                       {EditorField::Synonyms, "Jestem tutaj."},
                       {EditorField::Hint, "is/are"}},
                      2, 5)
                    .stored);
    ASSERT_TRUE(c.Add(kQaUnit,
                      {{EditorField::Foreign, "capital of France?"},
                       {EditorField::Native, "Paris"},
                       {EditorField::Comment, "geo"}},
                      1, 4)
                    .stored);
    EXPECT_EQ(c.composed, (std::vector<int>{1, 2, 3}));

    const SaveLearnerUnitsResult saved = SaveLearnerUnits(c.paths, c.db.units);
    ASSERT_TRUE(saved.written) << saved.error;
    EXPECT_EQ(ReadBytes(c.paths.databaseDir + "sbusr.txt"),
              CrLf({"99 100003 24 dog = pies =dogs= =  =3.wav = == n = =",
                    "99 100005 25 I <am> here = jestem =Jestem tutaj.= =  = = =is/are= z =  =",
                    "99 100007 14 capital of France? = Paris == = geo = = == q = ="}));

    // Read back, the units are the ones stored.
    CourseDatabase back;
    back.params = c.db.params;
    LoadLog log;
    LoadDatabase(c.paths, back, log);
    ASSERT_EQ(back.units.unitCount(), 3);
    EXPECT_EQ(back.units.unit(2).distractors, "is/are");
    EXPECT_EQ(back.units.unit(2).sentenceTranslation, "Jestem tutaj.");
    EXPECT_EQ(back.units.unit(3).unitKind, kQaUnit);
    EXPECT_EQ(back.units.unit(1).recording, "3.wav");
}

TEST(UnitEditor, EditingASentenceKeepsItsWrongAnswers) {
    Course c;
    Unit sentence;
    sentence.unitId = 40;
    sentence.recordingSource = 1;
    sentence.unitKind = kSentenceUnit;
    sentence.level = 3;
    sentence.partOfSpeech = 5;
    sentence.groupId = 99;
    sentence.foreignText = "I <am> here";
    sentence.nativeText = "jestem";
    sentence.sentenceTranslation = sentence.plural = "Jestem tu.";
    sentence.distractors = sentence.hint = "is/are";
    sentence.comment = "k";
    c.db.units.Append(sentence);
    c.editor.Open(1);
    EXPECT_TRUE(c.editor.editMode());
    EXPECT_EQ(c.editor.fields()[EditorField::Hint], "is/are");
    EXPECT_EQ(c.editor.fields()[EditorField::Synonyms], "Jestem tu.");
    EXPECT_EQ(c.editor.RecordingTarget(), c.paths.databaseDir + "wav/40.wav");
    const UnitEditor::StoreResult r = c.editor.Store(c.editor.fields());
    ASSERT_TRUE(r.stored);
    EXPECT_EQ(r.unitNumber, 1);
    EXPECT_EQ(c.db.units.unitCount(), 1);
    EXPECT_TRUE(c.composed.empty());
    EXPECT_EQ(c.editor.editedUnit(), -1);
    const Unit& u = c.db.units.unit(1);
    EXPECT_EQ(u.distractors, "is/are");
    EXPECT_EQ(u.sentenceTranslation, "Jestem tu.");
    EXPECT_EQ(u.level, 3);
    EXPECT_EQ(u.comment, "k");
}

TEST(UnitEditor, RefusesWhatWouldNotBeWrittenBack) {
    Course c;
    c.editor.Open(0);
    // A line break cannot be written into a line.
    const UnitEditor::StoreResult broken =
        c.Add(kWordUnit, {{EditorField::Foreign, "do\ng"}, {EditorField::Native, "pies"}});
    EXPECT_FALSE(broken.stored);
    ASSERT_EQ(broken.messages.size(), 1U);
    EXPECT_EQ(broken.messages[0].rfind(kUnitNotWritableMessage, 0), 0U) << broken.messages[0];
    EXPECT_EQ(c.db.units.unitCount(), 0);

    // Ids at the end of the range are refused, never given twice.
    c.db.params.userIdHigh = 12;
    Unit last;
    last.unitId = 10;
    last.foreignText = "x";
    c.db.units.Append(last);
    c.editor.PrepareNew();
    EXPECT_EQ(c.editor.preparedId(), 12);
    const UnitEditor::StoreResult noId =
        c.Add(kWordUnit, {{EditorField::Foreign, "dog"}, {EditorField::Native, "pies"}});
    EXPECT_EQ(noId.messages, std::vector<std::string>{std::string(kNoIdsLeftMessage)});
    EXPECT_EQ(c.db.units.unitCount(), 1);

    // A full table.
    c.db.params.userIdHigh = 99000;
    while (c.db.units.unitCount() < kMaxUnits) {
        Unit u;
        u.unitId = 50000 + c.db.units.unitCount();
        c.db.units.Append(u);
    }
    c.editor.PrepareNew();
    EXPECT_EQ(c.Add(kWordUnit, {{EditorField::Foreign, "dog"}, {EditorField::Native, "pies"}})
                  .messages,
              std::vector<std::string>{"Brak miejsca (maksymalna liczba jednostek to 25000)!"});
}

TEST(UnitEditor, NewIdsPassOverKeptRecordsAndComments) {
    Course c;
    Unit own;
    own.unitId = 81002;
    own.foreignText = "a";
    c.db.params.userIdLow = 81000;
    c.db.units.Append(own);
    RepetitionRecord kept;
    kept.unitId = 81005;  // a unit the learner-units file did not bring back
    c.store.orphans.push_back(kept);
    c.db.keptCommentLines.push_back("81003=komentarz=0=");
    EXPECT_EQ(KeptUnitIds(c.db, c.store), (std::vector<std::int32_t>{81003, 81005}));
    EXPECT_EQ(NextUserId(c.db, c.store), 81006);
    c.editor.Open(0);
    EXPECT_EQ(c.editor.preparedId(), 81007);

    // The QA import counts from the same id, and passes over kept ids met on the way.
    TempDir files;
    WriteBytes(files.path() + "qa.txt", CrLf({"Q: a", "A: b", "Q: c", "A: d"}));
    const QaImportResult imported = ImportQaFileIntoDatabase(files.path() + "qa.txt", c.db, c.store);
    ASSERT_EQ(imported.imported, 2);
    EXPECT_EQ(c.db.units.unit(2).unitId, 81006);
    EXPECT_EQ(c.db.units.unit(3).unitId, 81007);
    const std::vector<std::int32_t> keptIds{11};
    UnitTable table;
    ASSERT_EQ(ImportQaBytes(CrLf({"Q: a", "Q:", "", "Q: b"}), table, 10, 99000, keptIds).imported, 2);
    EXPECT_EQ(table.unit(2).unitId, 12);
}

TEST(UnitEditorGroups, NewGroupIds) {
    const auto groups = [](std::initializer_list<std::int32_t> ids) {
        std::vector<Group> out;
        for (const std::int32_t id : ids) {
            out.push_back(Group{id, 1, "", "g" + std::to_string(id), ""});
        }
        return out;
    };
    EXPECT_EQ(NewGroupId(groups({})), 60);
    EXPECT_EQ(NewGroupId(groups({5, 99})), 60);
    EXPECT_EQ(NewGroupId(groups({60, 61, 99, 70, 59})), 71);
    EXPECT_EQ(NewGroupId(groups({97})), 98);
    EXPECT_EQ(NewGroupId(groups({98})), 0);
}

TEST(UnitEditorGroups, AddingWritesTheGroupFile) {
    Course c;
    Group hidden{7, 0, "Tag", "Stara", "extra"};
    c.db.groups.insert(c.db.groups.begin(), hidden);
    const std::string name = Cp1250("Zwierzęta");
    AddGroupResult r = AddGroup(c.paths, c.db.groups, " " + name + " ");
    ASSERT_TRUE(r.added) << r.message;
    EXPECT_EQ(r.groupId, 60);
    EXPECT_EQ(ReadBytes(c.paths.databaseDir + "gt_s.txt"),
              CrLf({"7= 1 =Tag=Stara=", "99= 1 =Users=" + Cp1250("Własne...") + "=",
                    "60= 1 ==" + name + "="}));

    struct Case {
        const char* what;
        std::string name;
        std::string message;
    };
    const Case refused[] = {
        {"empty", "  ", ""},
        {"taken", name, std::string(kGroupExistsMessage)},
        {"with =", "a=b", std::string(kGroupNameEqualsMessage)},
    };
    for (const Case& k : refused) {
        r = AddGroup(c.paths, c.db.groups, k.name);
        EXPECT_FALSE(r.added) << k.what;
        EXPECT_EQ(r.message, k.message) << k.what;
    }
    EXPECT_EQ(c.db.groups.size(), 3U);

    // A group file that cannot be written leaves the table as it was.
    AppPaths gone = c.paths;
    gone.databaseDir = c.dir.path() + "missing/";
    r = AddGroup(gone, c.db.groups, "Nowa");
    EXPECT_FALSE(r.added);
    EXPECT_EQ(r.message.rfind(kGroupsNotSavedMessage, 0), 0U);
    EXPECT_EQ(c.db.groups.size(), 3U);

    while (c.db.groups.size() < 100) {
        c.db.groups.push_back(Group{1, 1, "", "n" + std::to_string(c.db.groups.size()), ""});
    }
    EXPECT_EQ(AddGroup(c.paths, c.db.groups, "Ostatnia").message, kGroupsFullMessage);
}

TEST(UnitEditorRecordings, AttachingAFile) {
    Course c;
    TempDir elsewhere;
    const std::string source = elsewhere.path() + "kot.wav";
    WriteBytes(source, std::string("RIFF\0\1\2\3WAVE", 12));
    int asked = 0;
    AttachHooks hooks;
    hooks.freeBytes = [](const std::string&) { return std::optional<std::uint64_t>(5000000); };
    hooks.playable = [](const std::string&) { return true; };
    bool replace = false;
    hooks.confirmReplace = [&] {
        ++asked;
        return replace;
    };
    AttachResult r = AttachRecordingFile(c.paths, source, hooks);
    ASSERT_EQ(r.status, AttachStatus::Attached) << r.message;
    EXPECT_EQ(r.name, "kot.wav");
    EXPECT_EQ(r.message, kRecordingCopiedMessage);
    const std::string target = c.paths.databaseDir + "wav/kot.wav";
    EXPECT_EQ(ReadBytes(target), ReadBytes(source));
    EXPECT_EQ(asked, 0);

    // An existing file is replaced only when the learner says so.
    WriteBytes(source, "RIFF-new");
    r = AttachRecordingFile(c.paths, source, hooks);
    EXPECT_EQ(r.status, AttachStatus::Declined);
    EXPECT_EQ(ReadBytes(target), std::string("RIFF\0\1\2\3WAVE", 12));
    replace = true;
    EXPECT_EQ(AttachRecordingFile(c.paths, source, hooks).status, AttachStatus::Attached);
    EXPECT_EQ(ReadBytes(target), "RIFF-new");
    EXPECT_EQ(asked, 2);

    // Refusals change nothing.
    hooks.playable = [](const std::string&) { return false; };
    r = AttachRecordingFile(c.paths, elsewhere.path() + "kot.wav", hooks);
    EXPECT_EQ(r.status, AttachStatus::Refused);
    EXPECT_EQ(r.message, kUnreadableSoundMessage);
    hooks.freeBytes = [](const std::string&) { return std::optional<std::uint64_t>(999999); };
    r = AttachRecordingFile(c.paths, source, hooks);
    EXPECT_EQ(r.message, "Za mało wolnego miejsca na dysku twardym (" + c.paths.programDir.substr(0, 3) + ").");
    hooks.freeBytes = {};
    hooks.playable = {};
    AppPaths blocked = c.paths;
    blocked.databaseDir = c.dir.path() + "plik/";
    WriteBytes(c.dir.path() + "plik", "x");
    r = AttachRecordingFile(blocked, source, hooks);
    EXPECT_EQ(r.message, kCannotCreateDirectory);
    EXPECT_EQ(ReadBytes(target), "RIFF-new");
}

TEST(UnitEditorSets, AddedUnitsSavedAsASet) {
    Course c;
    c.editor.Open(0);
    for (const char* word : {"dog", "cat", "cow"}) {
        ASSERT_TRUE(c.Add(kWordUnit, {{EditorField::Foreign, word}, {EditorField::Native, "x"}})
                        .stored);
    }
    ExerciseHistory history;
    c.db.params.language = 1;
    c.paths.databaseCode = "ang";
    SaveComposedResult r = SaveComposedAsSet(c.paths, 1, c.db.units, c.composed, "Moje", 99, 3,
                                             nullptr, history, 45000);
    ASSERT_TRUE(r.saved) << r.message;
    EXPECT_EQ(r.message, "Ćwiczenie \"Moje\" zapisano.");
    const std::string file = UserSetFilePath(c.paths, 1);
    EXPECT_EQ(ReadBytes(file), CrLf({"9=299-3-0001=Moje=00003=00005=00007"}));
    ASSERT_FALSE(history.records.empty());

    // The same name again: kept unless the learner agrees to replace it.
    r = SaveComposedAsSet(c.paths, 1, c.db.units, {1}, "Moje", 99, 1, [] { return false; },
                          history, 45000);
    EXPECT_FALSE(r.saved);
    EXPECT_EQ(r.message, kSetNotSavedMessage);
    EXPECT_EQ(ReadBytes(file), CrLf({"9=299-3-0001=Moje=00003=00005=00007"}));
    r = SaveComposedAsSet(c.paths, 1, c.db.units, {1}, "Moje", 99, 1, [] { return true; },
                          history, 45000);
    EXPECT_TRUE(r.saved);
    EXPECT_EQ(ReadBytes(file), CrLf({"9=299-1-0002=Moje=00003"}));
}

}  // namespace
}  // namespace dyd
