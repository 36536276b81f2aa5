#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "hdm/Hdm.h"

using namespace hdm;

namespace {

// A kind of its own, so its id pool starts empty.
struct Probe : idGen<Probe> {};

struct Named {
  explicit Named(std::string n) : text(std::move(n)) {}
  const std::string& name() const { return text; }
  std::string text;
};

}  // namespace

TEST(HdmIds, CounterStartsAtOneWrapsIntoHighAndFreedIdsComeBackLastFirst) {
  {
    Probe first;
    EXPECT_EQ(first.id(), (hdm_id<Probe>{0, 1}));
  }
  Probe::setCounter(0, INT_MAX - 1);
  auto* a = new Probe;  // reuses the id freed above
  auto* b = new Probe;
  auto* c = new Probe;
  EXPECT_EQ(a->id(), (hdm_id<Probe>{0, 1}));
  EXPECT_EQ(b->id(), (hdm_id<Probe>{0, INT_MAX}));
  EXPECT_EQ(c->id(), (hdm_id<Probe>{1, 0}));
  EXPECT_LT(b->id(), c->id());

  delete a;
  delete c;
  Probe again;  // the most recently freed id first
  EXPECT_EQ(again.id(), (hdm_id<Probe>{1, 0}));
  delete b;
  EXPECT_EQ(idOf<Probe>(nullptr), (hdm_id<Probe>{0, 0}));
}

TEST(HdmNameSet, DuplicatesNullsAndRangeErrors) {
  Named a("x"), b("x"), c("y");
  {
    hdmNameSet<Named> indexed;
    indexed.push_back(&a);
    EXPECT_EQ(indexed.getIndex("x"), 0);  // builds the index
    testing::internal::CaptureStderr();
    indexed.push_back(&b);
    indexed.push_back(&c);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "HDM warning! Duplicate name of x override old data\n");
    EXPECT_EQ(indexed.status(), 2);
    EXPECT_EQ(indexed.get("x"), &b);
    EXPECT_EQ(indexed.size(), 3);
    EXPECT_EQ(indexed.getIndex("nothing"), -1);
  }
  {
    hdmNameSet<Named> plain(false);
    plain.push_back(&a);
    plain.push_back(&b);
    EXPECT_EQ(plain.getIndex("x"), 0);
    EXPECT_EQ(plain.get("x"), &a);

    testing::internal::CaptureStderr();
    plain.push_back(nullptr);
    EXPECT_EQ(plain.status(), 1);
    EXPECT_EQ(plain.at(2), nullptr);
    EXPECT_EQ(plain.status(), 3);
    EXPECT_EQ(plain.erase(-1), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "HDM warning! Null object is not inserted\n"
              "HDM warning! In hdmSetNoErase: ragne error\n"
              "HDM warning! In hdmSetNoErase: ragne error\n");
  }
}

// Random erasures and appends against a plain vector: positions, lookups by
// name and membership must agree, through holes and compactions.
TEST(HdmNameSet, ErasingKeepsOrderPositionsAndNamesThroughCompaction) {
  std::vector<std::unique_ptr<Net>> owned;
  NetSet set;
  std::vector<Net*> expect;
  std::mt19937 rng(7);
  int made = 0;
  auto add = [&] {
    std::string name = "n";
    name += std::to_string(made++);
    owned.push_back(std::make_unique<Net>(name));
    set.push_back(owned.back().get());
    expect.push_back(owned.back().get());
  };
  for (int i = 0; i < 200; ++i) add();
  set.getIndex("n0");  // index on from here
  for (int round = 0; round < 3000; ++round) {
    if (!expect.empty() && rng() % 3 != 0) {
      size_t pos = rng() % expect.size();
      if (rng() % 2)
        EXPECT_EQ(set.erase(static_cast<int>(pos)), expect[pos]);
      else
        EXPECT_TRUE(set.eraseObject(expect[pos]));
      EXPECT_FALSE(set.contains(expect[pos]));
      EXPECT_EQ(set.getIndex(expect[pos]->name()), -1);
      expect.erase(expect.begin() + static_cast<long>(pos));
    } else {
      add();
    }
    ASSERT_EQ(set.size(), static_cast<int>(expect.size()));
    if (expect.empty()) continue;
    size_t probe = rng() % expect.size();
    ASSERT_EQ(set.at(static_cast<int>(probe)), expect[probe]);
    ASSERT_EQ(set.positionOf(expect[probe]), static_cast<int>(probe));
    ASSERT_EQ(set.getIndex(expect[probe]->name()), static_cast<int>(probe));
  }
  std::vector<Net*> listed(set.begin(), set.end());
  EXPECT_EQ(listed, expect);
}

// uniqueName must always give the smallest free suffix, however names come and
// go; a plain scan of the set is the reference.
TEST(HdmNameSet, UniqueNameIsTheSmallestFreeSuffixThroughInsertsAndErasures) {
  std::vector<std::unique_ptr<Net>> owned;
  NetSet set;
  auto reference = [&](const std::string& base) {
    auto taken = [&](const std::string& n) {
      for (Net* x : set)
        if (x->name() == n) return true;
      return false;
    };
    if (!taken(base)) return base;
    for (int k = 1;; ++k) {
      std::string n = base + "_" + std::to_string(k);
      if (!taken(n)) return n;
    }
  };
  auto add = [&](const std::string& name) {
    owned.push_back(std::make_unique<Net>(name));
    set.push_back(owned.back().get());
  };
  std::mt19937 rng(3);
  const std::string bases[] = {"w", "w_1", "x"};
  testing::internal::CaptureStderr();  // the duplicate names warn
  for (int round = 0; round < 2000; ++round) {
    const std::string& base = bases[rng() % 3];
    int action = static_cast<int>(rng() % 4);
    if (action == 0 && set.size() > 0) {
      set.erase(static_cast<int>(rng() % static_cast<unsigned>(set.size())));
    } else if (action == 1) {
      add(base + "_" + std::to_string(rng() % 6 + 1));  // a suffixed name from elsewhere
    } else {
      std::string name = set.uniqueName(base);
      ASSERT_EQ(name, reference(base)) << "round " << round;
      if (rng() % 8) add(name);  // sometimes the name is not used after all
    }
  }
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(hdmNameSet<Named>(false).uniqueName("a"), "a");
}
