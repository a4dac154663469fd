#include "runner/interludes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runner/backgrounds.h"
#include "runner/scripted_random.h"
#include "support.h"

namespace dyd {
namespace {

struct Shown {
    char what;  // 'q' quotation, 'f' fact, 'p' picture, 'm' matching
    int pack;
    int item;
    bool operator==(const Shown&) const = default;
};

class RecordingShows final : public InterludeShows {
  public:
    void ShowQuotation(int pack, int item) override { log.push_back({'q', pack, item}); }
    void ShowFact(int pack, int item) override { log.push_back({'f', pack, item}); }
    void ShowPicture(int pack, int item) override { log.push_back({'p', pack, item}); }
    bool OfferMatching() override {
        ++matchingOffers;
        if (matchingPossible) {
            log.push_back({'m', 0, 0});
        }
        return matchingPossible;
    }

    std::vector<Shown> log;
    bool matchingPossible = true;
    int matchingOffers = 0;
};

InterludePack Pack(int kind, int period, int items) {
    InterludePack pack;
    pack.loaded = true;
    pack.kind = kind;
    pack.period = period;
    pack.itemCount = items;
    return pack;
}

TEST(Interludes, PacksShowOnEveryPeriodthVisitStartingAtOnce) {
    InterludePacks packs;
    packs[1] = Pack(kQuotations, 1, 5);
    packs[2] = Pack(kFacts, 3, 5);
    Settings settings;  // every pack enabled; packs 3..7 have no file
    InterludeScheduler scheduler;
    scheduler.Reset();
    RecordingShows shows;
    std::vector<int> order;
    for (int call = 0; call < 9; ++call) {
        EXPECT_TRUE(scheduler.Run(packs, settings, shows));
        order.push_back(shows.log.back().pack);
    }
    EXPECT_EQ(order, (std::vector<int>{2, 1, 1, 1, 2, 1, 1, 1, 2}));
    // Pack 1 went through its five items and began again; pack 2 showed items 1 to 3.
    std::vector<int> items1;
    for (const Shown& s : shows.log) {
        if (s.pack == 1) {
            EXPECT_EQ(s.what, 'q');
            items1.push_back(s.item);
        }
    }
    EXPECT_EQ(items1, (std::vector<int>{1, 2, 3, 4, 5, 1}));
    EXPECT_EQ(shows.log.back(), (Shown{'f', 2, 3}));
    EXPECT_EQ(settings.interludePosition[1], 1);
    EXPECT_EQ(settings.interludePosition[2], 3);
    EXPECT_EQ(scheduler.currentSlot(), 2);
}

TEST(Interludes, PositionWrapsAndDisabledOrEmptyPacksAreNeverShown) {
    InterludePacks packs;
    packs[3] = Pack(kPictures1, 1, 5);
    packs[4] = Pack(kQuotations, 1, 0);  // its content file gave nothing
    packs[5] = Pack(kFacts, 1, 4);
    Settings settings;
    settings.interludePosition[3] = 5;
    settings.interludeEnabled[5] = false;
    InterludeScheduler scheduler;
    RecordingShows shows;
    EXPECT_TRUE(scheduler.Run(packs, settings, shows));
    EXPECT_TRUE(scheduler.Run(packs, settings, shows));
    EXPECT_EQ(shows.log, (std::vector<Shown>{{'p', 3, 1}, {'p', 3, 2}}));
    EXPECT_EQ(settings.interludePosition[4], 0);
    EXPECT_EQ(settings.interludePosition[5], 0);

    // Everything disabled: nothing, and the slot stands one further on.
    for (bool& enabled : settings.interludeEnabled) {
        enabled = false;
    }
    const int before = scheduler.currentSlot();
    EXPECT_FALSE(scheduler.Run(packs, settings, shows));
    EXPECT_EQ(shows.log.size(), 2u);
    EXPECT_EQ(scheduler.currentSlot(), before % 7 + 1);
}

TEST(Interludes, MatchingThatCannotBeOfferedGivesWayToTheNextPack) {
    InterludePacks packs;
    packs[2] = Pack(kMatching, 1, 0);
    packs[3] = Pack(kPictures2, 1, 10);
    Settings settings;
    InterludeScheduler scheduler;
    RecordingShows shows;
    shows.matchingPossible = false;
    EXPECT_TRUE(scheduler.Run(packs, settings, shows));
    EXPECT_EQ(shows.matchingOffers, 1);
    EXPECT_EQ(shows.log, (std::vector<Shown>{{'p', 3, 1}}));
    EXPECT_EQ(scheduler.currentSlot(), 3);

    shows.matchingPossible = true;
    EXPECT_TRUE(scheduler.Run(packs, settings, shows));  // slots 4..7, 1, then 2
    EXPECT_EQ(shows.log.back(), (Shown{'m', 0, 0}));
    EXPECT_EQ(scheduler.currentSlot(), 2);

    // Reset (the settings were loaded again): the countdowns start at 0 from slot 1.
    scheduler.Reset();
    EXPECT_EQ(scheduler.currentSlot(), 1);
    EXPECT_TRUE(scheduler.Run(packs, settings, shows));
    EXPECT_EQ(shows.log.back(), (Shown{'m', 0, 0}));
}

class Backgrounds : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path() + "Cw_Tla_S");
        for (const char* name : {"a.jpg", "k_1.bmp", "p_x.bmp", "k_2.bmp", "Cw_Tla_S/C0.BMP"}) {
            test::WriteBytes(dir.path() + name, "BM");
        }
        for (const char* name : {"a.jpg", "k_1.bmp", "p_x.bmp", "k_2.bmp"}) {
            list.entries.push_back({dir.path() + name, false});
        }
        list.current = 1;
    }

    std::string Name(const BackgroundChoice& choice) const {
        return choice.path.substr(dir.path().size());
    }

    test::TempDir dir;
    BackgroundList list;
    test::ScriptedRandom random;
};

TEST_F(Backgrounds, SelfAssessmentTakesTheKPicturesInTurn) {
    std::vector<std::string> names;
    std::vector<int> currents;
    for (int i = 0; i < 4; ++i) {
        names.push_back(Name(PickBackground(list, 16, dir.path(), random)));
        currents.push_back(list.current);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"k_1.bmp", "k_2.bmp", "k_1.bmp", "k_2.bmp"}));
    EXPECT_EQ(currents, (std::vector<int>{2, 4, 2, 4}));
    EXPECT_EQ(random.calls(), 0);

    // Without any "k_" picture the last entry is taken.
    BackgroundList plain;
    plain.entries = {{dir.path() + "a.jpg", false}, {dir.path() + "p_x.bmp", false}};
    plain.current = 1;
    const BackgroundChoice choice = PickBackground(plain, 16, dir.path(), random);
    EXPECT_EQ(Name(choice), "p_x.bmp");
    EXPECT_FALSE(choice.showStrip);
}

TEST_F(Backgrounds, OtherKindsDrawAgainWhileThePictureWasShown) {
    test::ScriptedRandom draws({0, 0, 0, 1, 2, 3, 3, 3, 3});
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        names.push_back(Name(PickBackground(list, 2, dir.path(), draws)));
    }
    // Entry 1, then two refused draws of it before entry 2, then entry 3 at once.
    EXPECT_EQ(names, (std::vector<std::string>{"a.jpg", "k_1.bmp", "p_x.bmp"}));
    EXPECT_EQ(list.current, 3);
    // Entry 4 used up too; then four refused draws take the last one anyway.
    EXPECT_EQ(Name(PickBackground(list, 2, dir.path(), draws)), "k_2.bmp");
    EXPECT_EQ(Name(PickBackground(list, 2, dir.path(), draws)), "a.jpg");
    for (const Background& entry : list.entries) {
        EXPECT_TRUE(entry.used);
    }
}

TEST_F(Backgrounds, MissingPictureFallsBackAndTheStripFollowsTheName) {
    std::filesystem::remove(dir.path() + "p_x.bmp");
    test::ScriptedRandom draws({2});
    const BackgroundChoice missing = PickBackground(list, 5, dir.path(), draws);
    EXPECT_EQ(Name(missing), "Cw_Tla_S/C0.BMP");
    EXPECT_FALSE(missing.showStrip);
    EXPECT_TRUE(list.entries[2].used);

    test::ScriptedRandom first({0});
    const BackgroundChoice present = PickBackground(list, 5, dir.path(), first);
    EXPECT_EQ(Name(present), "a.jpg");
    EXPECT_TRUE(present.showStrip);

    BackgroundList empty;
    const BackgroundChoice none = PickBackground(empty, 5, dir.path(), random);
    EXPECT_EQ(Name(none), "Cw_Tla_S/C0.BMP");
    EXPECT_TRUE(none.showStrip);
    EXPECT_EQ(empty.current, 0);
}

}  // namespace
}  // namespace dyd
