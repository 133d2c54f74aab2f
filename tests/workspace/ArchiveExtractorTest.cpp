// The built-in extractor: archive order, the file mask, folders, and entries that would
// escape the working folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/ZipWriter.h"
#include "workspace/ArchiveExtractor.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::TempWorkdir;
using test::WriteZip;

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

size_t CountFiles(const fs::path& dir) {
  size_t n = 0;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (!e.is_directory()) ++n;
  return n;
}

TEST(MaskTest, StarsAndQuestionMarksIgnoringCase) {
  EXPECT_TRUE(MatchesMask("x.iwi*", "x.iwi"));
  EXPECT_TRUE(MatchesMask("x.iwi*", "X.IWI.bak"));
  EXPECT_FALSE(MatchesMask("x.iwi*", "ax.iwi"));
  EXPECT_TRUE(MatchesMask("iw_*.iwd", "IW_07.IWD"));
  EXPECT_FALSE(MatchesMask("iw_*.iwd", "iw_07.iwd.bak"));
  EXPECT_TRUE(MatchesMask("a?c*", "abc"));
  EXPECT_FALSE(MatchesMask("a?c*", "ac"));
  EXPECT_TRUE(MatchesMask("[x]*", "[x]y"));  // brackets are plain characters
}

struct ExtractorTest : ::testing::Test {
  TempWorkdir game;  // game folder: main/iw_*.iwd
  TempWorkdir work;
  std::string GameFolder() const { return game.Str() + "/"; }
  void SetUp() override { fs::create_directory(game.Path() / "main"); }
};

TEST_F(ExtractorTest, ArchivesInCaseInsensitiveOrderLaterOneWins) {
  WriteZip(game.Path() / "main" / "iw_02.iwd", {{"images/x.iwi", "from 02"}});
  WriteZip(game.Path() / "main" / "IW_01.IWD", {{"images/x.iwi", "from 01"}, {"images/only01.iwi", "1"}});
  WriteZip(game.Path() / "main" / "iw_00.iwd", {{"images/x.iwi", "from 00"}});
  WriteZip(game.Path() / "main" / "localized_iw_03.iwd", {{"images/x.iwi", "not a game archive"}});
  auto archives = ListGameArchives(GameFolder());
  ASSERT_EQ(archives.size(), 3u);
  EXPECT_EQ(fs::path(archives[0]).filename(), "iw_00.iwd");
  EXPECT_EQ(fs::path(archives[1]).filename(), "IW_01.IWD");
  EXPECT_EQ(fs::path(archives[2]).filename(), "iw_02.iwd");

  EXPECT_EQ(ExtractFromGameArchives(GameFolder(), "x.iwi*", work.Str()), 3);
  EXPECT_EQ(ReadText(work.Path() / "images" / "x.iwi"), "from 02");
  EXPECT_FALSE(work.Exists("images/only01.iwi"));
}

TEST_F(ExtractorTest, MaskMatchesFileNamesInAnyFolderAndKeepsTheFolders) {
  WriteZip(game.Path() / "main" / "iw_00.iwd",
           {{"materials/", ""},
            {"materials/mtl_tank", "material"},
            {"materials/mtl_tank_lod1", "second"},
            {"images/mtl_tank.iwi", "image"},
            {"deep/new/folder/mtl_tank", "deep"},
            {"Materials/other", "no match"}});
  test::RecordingNotifier notifier;
  EXPECT_EQ(ExtractFromGameArchives(GameFolder(), "mtl_tank*", work.Str()), 4);
  EXPECT_EQ(ReadText(work.Path() / "materials" / "mtl_tank"), "material");
  EXPECT_EQ(ReadText(work.Path() / "materials" / "mtl_tank_lod1"), "second");
  EXPECT_EQ(ReadText(work.Path() / "images" / "mtl_tank.iwi"), "image");
  EXPECT_EQ(ReadText(work.Path() / "deep" / "new" / "folder" / "mtl_tank"), "deep");
  EXPECT_FALSE(work.Exists("materials/other"));
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(ExtractorTest, EntriesLeavingTheWorkingFolderAreSkippedAndReported) {
  fs::path inside = work.Path() / "inner";
  fs::create_directory(inside);
  WriteZip(game.Path() / "main" / "iw_00.iwd",
           {{"../x.iwi", "up"},
            {"images/../../x.iwi", "up again"},
            {"images\\..\\..\\x.iwi", "up with backslashes"},
            {"/tmp/x.iwi", "absolute"},
            {"C:/x.iwi", "drive"},
            {"images/x.iwi", "/etc/passwd", true},
            {"images/x.iwi.ok", "fine"}});
  test::RecordingNotifier notifier;
  EXPECT_EQ(ExtractFromGameArchives(GameFolder(), "x.iwi*", inside.string()), 1);
  EXPECT_EQ(notifier.messages.size(), 6u);
  for (const auto& m : notifier.messages) EXPECT_NE(m.find("Skipped"), std::string::npos) << m;
  EXPECT_NE(notifier.messages[5].find("link"), std::string::npos);
  EXPECT_EQ(ReadText(inside / "images" / "x.iwi.ok"), "fine");
  EXPECT_FALSE(fs::exists(inside / "images" / "x.iwi"));
  EXPECT_FALSE(fs::exists(work.Path() / "x.iwi"));
  EXPECT_FALSE(fs::exists(work.Path().parent_path() / "x.iwi"));
  // Nothing but the one file, and the six sub-folders' contents are untouched.
  EXPECT_EQ(CountFiles(work.Path()), 1u);
}

TEST_F(ExtractorTest, DamagedArchiveIsReportedAndNothingWritten) {
  std::ofstream(game.Path() / "main" / "iw_00.iwd") << "not a zip file";
  WriteZip(game.Path() / "main" / "iw_01.iwd", {{"images/x.iwi", "good"}});
  test::RecordingNotifier notifier;
  EXPECT_EQ(ExtractFromGameArchives(GameFolder(), "x.iwi*", work.Str()), 1);
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_NE(notifier.messages[0].find("iw_00.iwd"), std::string::npos);
  EXPECT_EQ(CountFiles(work.Path()), 1u);
}

TEST(ExtractorSample, RealArchive) {
  auto samples = test::SamplesDir();
  fs::path archive = samples.empty() ? fs::path() : samples / "archives" / "z_modwarfare.iwd";
  if (archive.empty() || !fs::exists(archive)) GTEST_SKIP() << "no sample archive";
  TempWorkdir work;
  test::RecordingNotifier notifier;
  EXPECT_EQ(ExtractMatchingEntries(archive.string(), "LOGO_cod2.iwi*", work.Str()), 1);
  EXPECT_EQ(fs::file_size(work.Path() / "images" / "logo_cod2.iwi"), 153139u);
  EXPECT_EQ(ExtractMatchingEntries(archive.string(), "_*.gsc", work.Str()), 10);
  EXPECT_TRUE(work.Exists("maps/mp/gametypes/_rank.gsc"));
  EXPECT_TRUE(notifier.messages.empty());
}

}  // namespace
}  // namespace tessary
