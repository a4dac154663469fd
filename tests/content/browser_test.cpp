// The browser's rules without its window: the six filter boxes, the description of a unit, the
// count line, composing with its limit, the clipboard text, deleting an own unit and what
// closing saves.

#include "content/browser.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

#include "core/codepage.h"
#include "core/datetime.h"
#include "core/learner_files.h"
#include "core/login.h"
#include "core/user_ids.h"
#include "support.h"

namespace dyd {
namespace {

std::string Cp1250(std::string_view utf8) { return *FromUtf8(utf8, CodePage::Cp1250); }

Unit MakeUnit(std::int32_t id, int kind, int part, int level, int group, std::string foreign,
              std::string native, bool own = false) {
    Unit unit;
    unit.unitId = id;
    unit.unitKind = kind;
    unit.partOfSpeech = part;
    unit.level = level;
    unit.groupId = group;
    unit.foreignText = std::move(foreign);
    unit.nativeText = std::move(native);
    unit.recordingSource = own ? 1 : 0;
    return unit;
}

RepetitionRecord Learnt(std::int32_t id, int repetitions, int interval, bool trash = false) {
    RepetitionRecord r;
    r.unitId = id;
    r.firstDate = DayNumber(2024, 3, 5);
    r.lastDate = r.firstDate;
    r.repetitionNo = repetitions;
    r.interval = interval;
    r.inTrash = trash ? 1 : 0;
    return r;
}

// Six units of two groups; records on 2, 3, 4 and 5.
struct Fixture {
    CourseDatabase db;
    RepetitionStore store{100};

    Fixture() {
        db.groups = {Group{1, 1, "", Cp1250("Zwierzęta"), ""}, Group{2, 1, "", "Dom", ""}};
        db.units.Append(MakeUnit(101, kWordUnit, kNoun, 1, 1, "dog", "pies"));        // 1
        db.units.Append(MakeUnit(102, kWordUnit, kVerb, 2, 1, "run", "biec"));        // 2
        db.units.Append(MakeUnit(103, kWordUnit, kNoun, 2, 2, "house", "dom"));       // 3
        db.units.Append(MakeUnit(201, kSentenceUnit, kSentencePart, 3, 2, "I am.", "Jestem."));
        db.units.Append(MakeUnit(90001, kQaUnit, kOtherPart, 1, 1, "Q?", "A", true));  // 5
        db.units.Append(MakeUnit(90002, kWordUnit, kNoun, 1, 2, "cat", "kot", true));  // 6
        db.units.wordUnitCount = 3;
        store.record(2) = Learnt(102, 6, 11);
        store.record(3) = Learnt(103, 11, 4, true);
        store.record(4) = Learnt(201, 1, 1);
        store.record(5) = Learnt(90001, 12, 30);
    }
};

TEST(BrowserFilter, EveryBoxAndTheirCombination) {
    const Fixture f;
    struct Case {
        const char* what;
        BrowserFilter filter;
        std::vector<int> expected;
    };
    const std::vector<Case> cases = {
        {"nothing chosen", {}, {1, 2, 3, 4, 5, 6}},
        {"group", {.groupId = 2}, {3, 4, 6}},
        {"level", {.level = 1}, {1, 5, 6}},
        {"part of speech", {.partOfSpeech = kNoun}, {1, 3, 6}},
        {"unit kind", {.unitKind = kSentenceUnit}, {4}},
        {"learnt", {.learnt = LearntFilter::Yes}, {2, 3, 4, 5}},
        {"never learnt", {.learnt = LearntFilter::No}, {1, 6}},
        {"own", {.other = OtherFilter::Own}, {5, 6}},
        {"in trash", {.other = OtherFilter::InTrash}, {3}},
        {"more than 5", {.other = OtherFilter::MoreThan5}, {2, 3, 5}},
        {"more than 10", {.other = OtherFilter::MoreThan10}, {3, 5}},
        {"interval above 10", {.other = OtherFilter::LongInterval}, {2, 5}},
        {"own and never learnt", {.learnt = LearntFilter::No, .other = OtherFilter::Own}, {6}},
        {"group 1, level 2, verbs", {.groupId = 1, .level = 2, .partOfSpeech = kVerb}, {2}},
        {"nothing fits", {.groupId = 2, .unitKind = kQaUnit}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FilterUnits(f.db.units, f.store, c.filter), c.expected) << c.what;
    }
}

TEST(BrowserFilter, RecordConditionsNeedALearntRecord) {
    // A record reset to "not learnt" keeps its counters but no longer counts.
    Fixture f;
    f.store.record(3).unitId = 0;
    EXPECT_EQ(FilterUnits(f.db.units, f.store, {.other = OtherFilter::InTrash}), std::vector<int>{});
    EXPECT_EQ(FilterUnits(f.db.units, f.store, {.other = OtherFilter::MoreThan10}),
              std::vector<int>{5});
    EXPECT_EQ(FilterUnits(f.db.units, f.store, {.learnt = LearntFilter::No}),
              (std::vector<int>{1, 3, 6}));
}

TEST(BrowserTexts, CountLine) {
    struct Case {
        int count;
        bool searched;
        const char* query;
        int language;
        const char* expected;
    };
    const Case cases[] = {
        {25000, false, "", 1, "25000 jednostek"},
        {0, false, "", 3, "0 jednostek"},
        {1, true, "dog", 1, "Szukaj - słowo \"dog\" wystąpiło 1 raz."},
        {2, true, "dog", 2, "Szukaj - słowo \"dog\" wystąpiło 2 razy."},
        {0, true, "kot", 1, "Szukaj - słowo \"kot\" wystąpiło 0 razy."},
        {1, true, "chat", 3, "Szukaj - słowo wystąpiło 1 raz."},
        {5, true, "chat", 6, "Szukaj - słowo wystąpiło 5 razy."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GridCountText(c.count, c.searched, c.query, c.language), c.expected);
    }
}

TEST(BrowserTexts, DescriptionOfUnits) {
    Fixture f;
    f.db.units.unit(4).sentenceTranslation = Cp1250("Ja jestem (całe zdanie).");
    f.db.units.unit(3).userComment = Cp1250("mój dom");
    // Never learnt: no repetition line; the group name in Polish.
    EXPECT_EQ(UnitDescription(f.db, f.store, 1),
              "pies\nRzeczownik, typ: Słówka, poziom: 1, Id: 101, grupa: Zwierzęta \n");
    // A sentence shows its whole translation.
    EXPECT_EQ(UnitDescription(f.db, f.store, 4),
              "Ja jestem (całe zdanie).\nZdanie, typ: Zdania, poziom: 3, Id: 201, grupa: Dom \n"
              "Powtórki: 1, interwał: 1, pierwsza nauka: 2024-03-05\n");
    // In the trash, with a comment.
    EXPECT_EQ(UnitDescription(f.db, f.store, 3),
              "dom\nRzeczownik, typ: Słówka, poziom: 2, Id: 103, grupa: Dom \n"
              "Powtórki: 11, interwał: 4, pierwsza nauka: 2024-03-05 [Kosz]\nmój dom");
    EXPECT_EQ(UnitDescription(f.db, f.store, 5),
              "A\nRóżne, typ: tryb QA, poziom: 1, Id: 90001, grupa: Zwierzęta \n"
              "Powtórki: 12, interwał: 30, pierwsza nauka: 2024-03-05\n");
}

TEST(BrowserTexts, RepetitionButtonsFollowTheRecord) {
    const Fixture f;
    EXPECT_FALSE(RepetitionButtonsFor(f.store.record(1)).reset);
    EXPECT_TRUE(RepetitionButtonsFor(f.store.record(2)).reset);
    EXPECT_FALSE(RepetitionButtonsFor(f.store.record(2)).restore);
    EXPECT_TRUE(RepetitionButtonsFor(f.store.record(3)).restore);
}

TEST(BrowserTexts, ClipboardHasNoticeAndGrowsWithoutLimit) {
    Fixture f;
    f.db.units.unit(1).nativeText = Cp1250("pies, piesek");
    const std::vector<int> two = {3, 1};
    EXPECT_EQ(ClipboardText(f.db.units, two, CodePage::Cp1252),
              std::string(kClipboardNotice) + "\r\nhouse = dom\r\ndog = pies, piesek\r\n");
    // 300 long lines come out whole, far past any fixed buffer.
    CourseDatabase big;
    std::vector<int> all;
    for (int i = 1; i <= 300; ++i) {
        big.units.Append(MakeUnit(i, kWordUnit, kNoun, 1, 1, std::string(40, 'a'), "b"));
        all.push_back(i);
    }
    const std::string text = ClipboardText(big.units, all, CodePage::Cp1252);
    EXPECT_EQ(text.size(), kClipboardNotice.size() + 2 + 300 * (40 + 3 + 1 + 2));
    EXPECT_EQ(text.substr(text.size() - 46), std::string(40, 'a') + " = b\r\n");
}

TEST(BrowserCompose, SkipsPresentAndDeletedUnitsInOrder) {
    Fixture f;
    f.db.units.SetUnitId(4, 0);  // deleted
    std::vector<int> composed = {2, 5};
    // Five rows chosen, two already listed, one deleted: two are added, in grid order.
    const std::vector<int> selected = {1, 2, 3, 4, 5};
    const ComposeResult result = AddToComposed(f.db.units, selected, composed);
    EXPECT_EQ(result.added, 2);
    EXPECT_FALSE(result.limitHit);
    EXPECT_EQ(composed, (std::vector<int>{2, 5, 1, 3}));
}

TEST(BrowserCompose, StopsAtThreeHundred) {
    CourseDatabase db;
    for (int i = 1; i <= 305; ++i) {
        db.units.Append(MakeUnit(i, kWordUnit, kNoun, 1, 1, "w", "s"));
    }
    std::vector<int> composed;
    std::vector<int> first(298);
    for (int i = 0; i < 298; ++i) {
        first[static_cast<std::size_t>(i)] = i + 1;
    }
    EXPECT_FALSE(AddToComposed(db.units, first, composed).limitHit);
    // Two fit, three are left out; units already listed do not count as refused.
    const std::vector<int> more = {1, 299, 300, 301, 302, 303};
    const ComposeResult result = AddToComposed(db.units, more, composed);
    EXPECT_EQ(result.added, 2);
    EXPECT_TRUE(result.limitHit);
    ASSERT_EQ(composed.size(), 300u);
    EXPECT_EQ(composed.back(), 300);
    const std::vector<int> present = {5};
    EXPECT_FALSE(AddToComposed(db.units, present, composed).limitHit);
}

TEST(BrowserOwnUnits, DeletedUnitLeavesNothingForItsId) {
    Fixture f;
    f.db.params.userIdLow = 90000;
    f.db.params.userIdHigh = 99000;
    f.db.units.unit(5).userComment = "moje";
    f.db.units.unit(6).userComment = "kot";
    const DeleteResult result = DeleteOwnUnit(f.db, f.store, 5);
    EXPECT_TRUE(result.repetitionsChanged);
    EXPECT_TRUE(result.commentsChanged);
    EXPECT_TRUE(f.db.commentsDirty);
    EXPECT_EQ(f.db.units.unit(5).unitId, 0);
    EXPECT_EQ(f.db.units.unit(5).foreignText, "");
    EXPECT_EQ(f.db.units.IndexOfUnitId(90001), -1);
    // The files written at closing: the unit and its comment are gone, its record is not written.
    EXPECT_EQ(FormatComments(f.db.units), "90002=kot=0=\r\n");
    std::vector<RefusedUnit> refused;
    const std::string learnerUnits = FormatLearnerUnits(f.db.units, &refused);
    EXPECT_EQ(learnerUnits.find("Q?"), std::string::npos);
    EXPECT_NE(learnerUnits.find("cat"), std::string::npos);
    int written = 0;
    const std::string records = FormatRepetitionFile(f.store, f.db.units.unitCount(), &written);
    EXPECT_EQ(written, 3);
    // A unit that later receives the freed id inherits no record from the file.
    f.db.units.Append(MakeUnit(90001, kWordUnit, kNoun, 1, 1, "new", "nowy", true));
    RepetitionStore loaded(100);
    const RepetitionParseCounts counts = ParseRepetitionFile(records, f.db.units, loaded);
    EXPECT_EQ(counts.placed, 3);
    EXPECT_EQ(loaded.record(7).unitId, 0);
}

TEST(BrowserClosing, WritesWhatChanged) {
    test::TempDir dir;
    LearnerSession session;
    session.paths.databaseDir = dir.path() + "db/";
    session.paths.userDir = dir.path() + "1/";
    session.paths.databaseCode = "moja";
    std::filesystem::create_directories(session.paths.databaseDir);
    std::filesystem::create_directories(session.paths.userDir);
    Fixture f;
    session.db = f.db;
    session.repetitions = f.store;
    const FixedClock clock(46000.5);

    // Nothing changed: nothing written.
    EXPECT_TRUE(SaveBrowserChanges(session, {}, clock).empty());
    EXPECT_FALSE(std::filesystem::exists(session.paths.databaseDir + "sbusr.txt"));
    EXPECT_TRUE(std::filesystem::is_empty(session.paths.userDir));

    session.db.units.unit(6).userComment = "kot";
    session.db.commentsDirty = true;
    EXPECT_TRUE(SaveBrowserChanges(session, {.repetitions = true, .userUnits = true}, clock).empty());
    EXPECT_EQ(test::ReadBytes(session.paths.databaseDir + "sbusr.txt"),
              FormatLearnerUnits(session.db.units, nullptr));
    EXPECT_EQ(test::ReadBytes(session.paths.userDir + CommentsFileName("moja")),
              "90002=kot=0=\r\n");
    int written = 0;
    EXPECT_EQ(test::ReadBytes(session.paths.userDir + RepetitionFileName(session.paths, ".p")),
              FormatRepetitionFile(session.repetitions, session.db.units.unitCount(), &written));
    EXPECT_EQ(written, 4);
    EXPECT_FALSE(session.db.commentsDirty);
}

}  // namespace
}  // namespace dyd
