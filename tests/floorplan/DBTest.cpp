// Construction of the database: chip outline, bounding boxes, the IPC file, the
// width and spacing file and the version in force.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "FloorplanTestDesign.h"
#include "floorplan/IpcParser.h"

using namespace fptest;

namespace {

// Blocks alu, lsq and rob of 1 x 1 with versions of 2 x 2 and 3 x 3, within x 0..6, y 0..4.
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

  // The database (whitespace 200) over an IPC file of `ipc`, or none.
  Printed build(const std::string& ipc, int config = 0) {
    if (!ipc.empty()) osvotest::writeFile(file, ipc);
    const DatabaseParams params{200, false, config, 1.0, 1.0, ipc.empty() ? "" : file, ""};
    return capture([&] { db = std::make_unique<DB>(t.get(), params); });
  }

  std::string configs(const std::string& ipc) {
    std::istringstream in(ipc);
    std::ostringstream out;
    for (const auto& cfg : readIpcConfigs(in, "f")) {
      for (const auto& [name, version] : cfg->versions) out << name << ":" << version << " ";
      out << "= " << cfg->ipc << "\n";
    }
    return out.str();
  }
};

TEST_F(DBTest, OutlineBoundingBoxesAndEmptyDesign) {
  // (1 + 1 + 1) x 3 = 9: a square of side 3; one configuration of IPC 1.
  EXPECT_TRUE(build("").out.starts_with("Chip width 3Chip height 3\nSet Width and Spacing: \n"));
  EXPECT_EQ(std::pair(db->numConfigs(), db->currentIpc()), std::pair(1, 1.0));
  EXPECT_EQ((std::vector{db->getXSize(), db->getYSize(), db->evalArea()}),
            (std::vector{6.0, 4.0, 24.0}));

  // No blocks: a chip of size 0 and an empty extent, not 0/0.
  TestDesign empty;
  const Printed p =
      capture([&] { db = std::make_unique<DB>(empty.get(), 20, false, 0, 1.0, 1.0); });
  EXPECT_TRUE(p.out.starts_with("Chip width 0Chip height 0\n"));
  double scratch = 0;
  EXPECT_EQ((std::vector{db->getAvgHeight(), db->getXSize(), db->getYSize(), db->evalArea(),
                         db->evalHPWL(scratch)}),
            std::vector(5, 0.0));
}

TEST_F(DBTest, VersionFollowsTheConfigurationInForce) {
  // The outline is that of the configuration asked for; the run starts from the first.
  EXPECT_TRUE(build("{alu:1} 1.5\n{alu:2, lsq:2, rob:2} 2.5\n", 1)
                  .out.starts_with("Chip width 9Chip height 9\n"));
  EXPECT_EQ(db->currentConfig(), 0);
  EXPECT_EQ(db->getNodeWidth(alu), 2);
  EXPECT_EQ(db->getNodeHeight(1), 1);
  db->selectConfig(1);
  EXPECT_EQ(db->currentIpc(), 2.5);
  EXPECT_EQ(db->getNodeWidth(0), 3);
  EXPECT_EQ(db->getNodeHeight(lsq), 3);
  // The chip instance uses version 0 whatever the configuration.
  EXPECT_EQ(db->getVersion(t.top()), t.top()->master->versions[0]);
}

TEST_F(DBTest, WithoutAnIpcFileEveryBlockTakesItsOwnFirstVersion) {
  // A block's versions start at its offset in the master it shares.
  alu->versionOffset = 1;
  lsq->versionOffset = 2;
  EXPECT_FALSE(build("").error.has_value());
  EXPECT_EQ((std::vector{db->getNodeWidth(alu), db->getNodeWidth(lsq), db->getNodeWidth(2)}),
            (std::vector{2.0, 3.0, 1.0}));
  lsq->versionOffset = 3;
  EXPECT_TRUE(isError(build("").error,
                      "^Error: the default configuration \\(no -ipcFile\\): instance \"lsq\" has "
                      "no version 3 \\(its master lsq has 3\\)\n$"));
}

TEST_F(DBTest, IpcFileGrammar) {
  struct Case {
    const char* text;
    const char* configs;
    const char* err;  // the warning, or nothing
  };
  const Case cases[] = {
      {"# machine configurations\n{alu:1, lsq:0} 1.35\n  # a second one\n"
       "{rob:2,\n   alu:0 ,lsq : 1}\n  0.9\n",
       "alu:1 lsq:0 = 1.35\nalu:0 lsq :1 rob:2 = 0.9\n", ""},
      {"{alu:1, alu:2} 1.0\n", "alu:2 = 1\n", ""},
      {"{alu:1} 1.1\n{alu:2, lsq:1\n", "alu:1 = 1.1\n",
       "Warning: IPC file f, line 3: configuration 1 is not closed by \"}\" before the end of "
       "the file; it is dropped\n"},
      {"{alu:1} 1.1\n{alu:2}\n{lsq:2} 0.5\n{rob:1}",
       "alu:1 = 1.1\nalu:2 = 0\nlsq:2 = 0.5\nrob:1 = 0\n", ""},
      {"{alu:1} 1.0\n{lsq:x} 2.0\n{rob:1} 3.0\n", "alu:1 = 1\n",
       "Warning: IPC file f, line 2: entry \"lsq\" has no version number; the rest of the file "
       "is ignored\n"},
  };
  for (const Case& c : cases) {
    std::string got;
    const Printed p = capture([&] { got = configs(c.text); });
    EXPECT_EQ(got, c.configs) << c.text;
    EXPECT_EQ(p.err, c.err) << c.text;
  }
  // An entry naming no block is dropped; others take version 0 plus their offset.
  alu->versionOffset = 1;
  lsq->versionOffset = 2;
  const Printed p = build("{alu:0, ghost:1} 1.0\n");
  EXPECT_EQ(p.err, "Warning: IPC file " + file +
                       ", configuration 0: entry \"ghost\" names no instance of the design; the "
                       "entry is dropped\n");
  EXPECT_EQ((std::vector{db->getNodeWidth(alu), db->getNodeWidth(lsq), db->getNodeWidth(2)}),
            (std::vector{2.0, 3.0, 1.0}));
}

TEST_F(DBTest, UnusableIpcValuesAndFilesAreRefused) {
  const std::pair<const char*, const char*> values[] = {
      {"{alu:1} 1.0\n{alu:2} nan\n", "line 2: configuration 1: the IPC value \"nan\""},
      {"{alu:1} -0.5\n",
       "line 1: configuration 0: the IPC value \"-0.5\" is not a finite, "
       "non-negative number\n$"},
      {"{alu:1} 1,5\n", "line 1: configuration 0: the IPC value \"1,5\""},
      {"{alu:1}\n\n 1e999\n", "line 3: configuration 0: the IPC value \"1e999\""},
  };
  for (const auto& [text, message] : values)
    EXPECT_TRUE(isError(build(text).error, std::string("^Error: IPC file .*ipc, ") + message))
        << text;

  // Endless names and comments.
  const std::pair<std::string, const char*> endless[] = {
      {std::string(300, 'a') + ":1} 1\n",
       "line 1: configuration 0: an instance name longer "
       "than 254 characters"},
      {"{alu:1} 1\n#" + std::string(70000, '#'), "line 2: a comment line longer than 65536"},
      {std::string(1000, '\0'), "an instance name longer than 254"},
  };
  for (const auto& [text, message] : endless) EXPECT_TRUE(isError(build(text).error, message));

  const std::pair<const char*, const char*> files[] = {
      {nullptr, "^Error: cannot read IPC file .*ipc: it does not exist\n$"},
      {"# nothing but a comment\n", "^Error: IPC file .*ipc holds no complete configuration\n$"},
      {"{alu:3} 1.0\n",
       "configuration 0: instance \"alu\" has no version 3 \\(its master alu has 3\\)"}};
  for (const auto& [text, message] : files) {
    std::filesystem::remove(file);
    if (text) osvotest::writeFile(file, text);
    const DatabaseParams params{20, false, 0, 1.0, 1.0, file, ""};
    EXPECT_TRUE(isError(capture([&] { DB(t.get(), params); }).error, message)) << message;
  }
  const DatabaseParams directory{20, false, 0, 1.0, 1.0, testDir(), ""};
  EXPECT_TRUE(isError(capture([&] { DB(t.get(), directory); }).error,
                      "^Error: cannot read IPC file .*: it is a directory\n$"));

  // The pipeline model's clock must fall within the frequency slots 0.1 to 10.0.
  EXPECT_TRUE(quietDB(t, 20, false, 0.0) != nullptr);
  t.get()->mode = DesignMode::PipelineModel;
  for (double freq : {0.0, 10.1})
    EXPECT_TRUE(isError(capture([&] { DB(t.get(), 20, false, 0, freq, 1.0); }).error,
                        "option -fix_freq (0|10.1) cannot be used by the pipeline model"))
        << freq;
  EXPECT_TRUE(quietDB(t, 20, false, 0.1) && quietDB(t, 20, false, 10.0));
}

TEST_F(DBTest, WidthSpaceFileOverridesTheDelayModelOrIsRefused) {
  const std::string ws = testDir() + "/ws";
  osvotest::writeFile(ws, "100 200\n300.5 400\n");
  const Printed p = capture([&] {
    db = std::make_unique<DB>(t.get(), DatabaseParams{20, false, 0, 1, 1, "", ws});
  });
  EXPECT_NE(p.out.find("Override width and spacing\nLayer 0 width = 100 spacing = 200\n"
                       "Layer 1 width = 300.5 spacing = 400\nLayer 2 width = 926"),
            std::string::npos)
      << p.out;
  EXPECT_DOUBLE_EQ(db->delayAid().spacing[1], 400);
  osvotest::writeFile(ws, "");
  EXPECT_TRUE(isError(capture([&] {
                        DB(t.get(), DatabaseParams{20, false, 0, 1, 1, "", ws});
                      }).error,
                      "^Error: width and spacing file .*/ws holds no pair"));
}

}  // namespace
