// Construction of the database: chip outline, bounding boxes, the IPC file and
// the version in force.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "FloorplanTestDesign.h"

using namespace fptest;

namespace {

// Blocks alu, lsq and rob of 1 x 1 with versions of 2 x 2 and 3 x 3, placed
// within x 0..6 and y 0..4.
struct DBTest : testing::Test {
  TestDesign t;
  CktInstance* alu = t.block("alu", 1, 1, 0, 0);
  CktInstance* lsq = t.block("lsq", 1, 1, 5, 1);
  std::string file = testDir() + "/ipc";
  std::unique_ptr<DB> db;

  void SetUp() override {
    t.block("rob", 1, 1, 2, 3);
    for (CktInstance* i : t.get()->instList) {
      t.version(i, 2, 2);
      t.version(i, 3, 3);
    }
  }

  // Builds the database (whitespace 200) over an IPC file of `ipc`, or none, and
  // returns the first two lines it prints: the chip outline, then the first of
  // the delay model's own lines.
  std::string build(const std::string& ipc, int config = 0) {
    if (!ipc.empty()) osvotest::writeFile(file, ipc);
    resetOptions(ipc.empty() ? "" : file);
    testing::internal::CaptureStdout();
    db = std::make_unique<DB>(t.get(), 200, false, config, 1.0, 1.0);
    auto lines = osvotest::splitLines(testing::internal::GetCapturedStdout());
    lines.resize(2);
    return lines[0] + "\n" + lines[1];
  }

  // The configurations read from `ipc`, one line each: the versions, then the IPC.
  std::string configs(const std::string& ipc) {
    build(ipc);
    std::ostringstream out;
    for (const auto& cfg : db->configs) {
      for (const auto& [name, version] : cfg->versions) out << name << ":" << version << " ";
      out << "= " << cfg->ipc << "\n";
    }
    return out.str();
  }
};

TEST_F(DBTest, OutlineBoundingBoxesAndEmptyDesign) {
  // (1 + 1 + 1) x 3 = 9, a square of side 3; without an IPC file there is one
  // configuration of IPC 1.
  EXPECT_EQ(build(""), "Chip width 3Chip height 3\nSet Width and Spacing: ");
  EXPECT_EQ(configs(""), "alu:0 lsq:0 rob:0 = 1\n");
  EXPECT_EQ((std::vector{db->getXSize(), db->getYSize(), db->evalArea()}),
            (std::vector{6.0, 4.0, 24.0}));

  // A design without blocks has a chip of size 0 and an empty extent, not 0/0.
  TestDesign empty;
  testing::internal::CaptureStdout();
  db = std::make_unique<DB>(empty.get(), 20, false, 0, 1.0, 1.0);
  EXPECT_TRUE(testing::internal::GetCapturedStdout().starts_with("Chip width 0Chip height 0\n"));
  double scratch = 0;
  EXPECT_EQ((std::vector{db->getAvgHeight(), db->getXSize(), db->getYSize(), db->evalArea(),
                         db->evalHPWL(scratch)}),
            std::vector(5, 0.0));
}

TEST_F(DBTest, VersionFollowsTheConfigurationInForce) {
  // The outline uses the configuration asked for, (9 + 9 + 9) x 3 = 81; the run
  // starts from the first.
  EXPECT_EQ(build("{alu:1} 1.5\n{alu:2, lsq:2, rob:2} 2.5\n", 1),
            "Chip width 9Chip height 9\nSet Width and Spacing: ");
  EXPECT_EQ(db->currentConfig, 0);
  EXPECT_EQ(db->getNodeWidth(alu), 2);
  EXPECT_EQ(db->getNodeHeight(1), 1);
  // The annealer writes currentConfig directly: the next access follows it.
  db->currentConfig = 1;
  EXPECT_EQ(db->getNodeWidth(0), 3);
  EXPECT_EQ(db->getNodeHeight(lsq), 3);
  // A name that is missing is entered with version 0; the chip instance always
  // uses version 0, whatever a configuration says.
  db->configs[1]->versions.erase("alu");
  t.version(t.top(), 99, 99);
  db->configs[1]->versions["chip"] = 1;
  db->invalidateVersionCache();
  EXPECT_EQ(db->getVersion(alu), alu->master->versions[0]);
  EXPECT_EQ(db->configs[1]->versions.at("alu"), 0);
  EXPECT_EQ(db->getVersion(t.top()), t.top()->master->versions[0]);
}

TEST_F(DBTest, IpcFileGrammar) {
  struct Case {
    const char* text;
    const char* configs;
    const char* err;  // what follows the file name on standard error, or nothing
  };
  const Case cases[] = {
      // Comments and blanks; names the file does not give take version 0. "lsq "
      // is read up to the colon and names no instance: dropped, lsq takes 0.
      {"# machine configurations\n{alu:1, lsq:0} 1.35\n  # a second one\n"
       "{rob:2,\n   alu:0 ,lsq : 1}\n  0.9\n",
       "alu:1 lsq:0 rob:0 = 1.35\nalu:0 lsq:0 rob:2 = 0.9\n",
       ", configuration 1: entry \"lsq \" names no instance of the design; the entry is dropped\n"},
      // A repeated name takes the later version.
      {"{alu:1, alu:2} 1.0\n", "alu:2 lsq:0 rob:0 = 1\n", ""},
      // A missing closing brace drops the last configuration.
      {"{alu:1} 1.1\n{alu:2, lsq:1\n", "alu:1 lsq:0 rob:0 = 1.1\n",
       ": configuration 1 is not closed by \"}\" before the end of the file; it is dropped\n"},
      // A missing IPC value counts as zero.
      {"{alu:1} 1.1\n{alu:2}\n{lsq:2} 0.5\n{rob:1}",
       "alu:1 lsq:0 rob:0 = 1.1\nalu:2 lsq:0 rob:0 = 0\nalu:0 lsq:2 rob:0 = 0.5\n"
       "alu:0 lsq:0 rob:1 = 0\n",
       ""},
      // A malformed version ends reading with a warning.
      {"{alu:1} 1.0\n{lsq:x} 2.0\n{rob:1} 3.0\n", "alu:1 lsq:0 rob:0 = 1\n",
       ": entry \"lsq\" has no version number; the rest of the file is ignored\n"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(configs(c.text), c.configs) << c.text;
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, *c.err ? "Warning: IPC file " + file + c.err : "") << c.text;
  }
  // The version offset of an instance is added to the version read.
  alu->versionOffset = 1;
  lsq->versionOffset = 2;
  EXPECT_EQ(configs("{alu:1} 1.0\n"), "alu:2 lsq:2 rob:0 = 1\n");
}

TEST_F(DBTest, UnusableIpcFileOrClockStopsTheRun) {
  const std::pair<const char*, const char*> cases[] = {
      {nullptr, "cannot open IPC file .*ipc"},
      {"# nothing but a comment\n", "IPC file .*ipc holds no complete configuration"},
      {"{alu:3} 1.0\n", "instance \"alu\" has no version 3"}};
  for (const auto& [text, message] : cases) {
    std::filesystem::remove(file);
    if (text) osvotest::writeFile(file, text);
    resetOptions(file);
    EXPECT_EXIT(DB(t.get(), 20, false, 0, 1.0, 1.0), testing::ExitedWithCode(1), message);
  }
  // A pipeline clock outside the frequency slots: slot 0 is 0.1 and slot 99 is
  // 10.0; a Verilog design does not use the slots.
  resetOptions();
  EXPECT_TRUE(quietDB(t, 20, false, 0, 0.0) != nullptr);
  t.get()->mode = 1;
  for (double freq : {0.0, 10.1})
    EXPECT_EXIT(quietDB(t, 20, false, 0, freq), testing::ExitedWithCode(1), "-fix_freq") << freq;
  EXPECT_TRUE(quietDB(t, 20, false, 0, 0.1) && quietDB(t, 20, false, 0, 10.0));
}

}  // namespace

namespace {

TEST(DBWidthSpace, OptionOverridesTheDelayModelsWidthAndSpacing) {
  TestDesign t;
  t.block("alu", 1, 1);
  const std::string file = testDir() + "/ws";
  osvotest::writeFile(file, "100 200\n300.5 400\n");
  resetOptions();
  ReadParam::cmdOption["-readWidthSpace"] = file;
  testing::internal::CaptureStdout();
  auto db = std::make_unique<DB>(t.get(), 20, false, 0, 1.0, 1.0);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Override width and spacing\nLayer 0 width = 100 spacing = 200\n"
                     "Layer 1 width = 300.5 spacing = 400\nLayer 2 width = 926"),
            std::string::npos)
      << out;
  EXPECT_DOUBLE_EQ(db->delayAid->spacing[1], 400);
  resetOptions();
}

}  // namespace
