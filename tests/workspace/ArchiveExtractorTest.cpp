// The built-in extractor: archive order, the file mask, folders, and escaping entries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/ZipWriter.h"
#include "platform/TestFiles.h"
#include "workspace/ArchiveExtractor.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::CountFiles;
using test::Text;
using test::WriteZip;

struct ExtractorTest : ::testing::Test {
  test::TempWorkdir game;  // main/iw_*.iwd
  test::TempWorkdir work;
  test::RecordingNotifier notifier;
  fs::path Archive(const char* name) const { return game.Path() / "main" / name; }
  int Extract(const std::string& mask, const fs::path& into) {
    return ExtractFromGameArchives(game.Str() + "/", mask, into.string(), notifier);
  }
  void SetUp() override { fs::create_directory(game.Path() / "main"); }
  // The one message so far holds every one of `parts`.
  bool OneMessageSaying(std::initializer_list<const char*> parts) const {
    if (notifier.messages.size() != 1) return false;
    for (const char* part : parts)
      if (notifier.messages[0].find(part) == std::string::npos) return false;
    return true;
  }
};

TEST_F(ExtractorTest, ArchivesInCaseInsensitiveOrderLaterOneWins) {
  // Sorted by case, IW_02.IWD would come first and iw_01's file would win.
  WriteZip(Archive("IW_02.IWD"), {{"images/x.iwi", "from 02"}, {"deep/new/x.iwi.bak", "deep"}});
  WriteZip(Archive("iw_01.iwd"), {{"images/x.iwi", "from 01"}, {"Images/ax.iwi", "no match"}, {"images/", ""}});
  WriteZip(Archive("iw_00.iwd"), {{"images/x.iwi", "from 00"}});
  std::ofstream(Archive("iw_03.iwd")) << "a damaged archive is reported and passed over";
  EXPECT_EQ(Extract("x.iwi*", work.Path()), 4);
  EXPECT_EQ(Text(work.Path() / "images" / "x.iwi"), "from 02");
  EXPECT_EQ(Text(work.Path() / "deep" / "new" / "x.iwi.bak"), "deep");
  EXPECT_EQ(CountFiles(work.Path()), 2u);
  EXPECT_TRUE(OneMessageSaying({"iw_03.iwd"}));
  // "?" stands for any one character, and only one.
  EXPECT_TRUE(MatchesMask("iw_0?.iwd", "IW_07.iwd"));
  EXPECT_FALSE(MatchesMask("iw_0?.iwd", "iw_0.iwd"));
  EXPECT_FALSE(MatchesMask("iw_0?.iwd", "iw_071.iwd"));
}

TEST_F(ExtractorTest, EntriesLeavingTheWorkingFolderAreSkippedAndReported) {
  fs::path inside = work.Path() / "inner";
  fs::create_directory(inside);
  WriteZip(Archive("iw_00.iwd"), {{"images\\..\\..\\x.iwi", "up with backslashes"},
                                  {"/tmp/x.iwi", "absolute"},
                                  {"\\tmp\\x.iwi", "absolute with a backslash"},
                                  {"images/x.iwi", "/etc/passwd", true},
                                  {"images/x.iwi.ok", "fine"}});
  EXPECT_EQ(Extract("x.iwi*", inside), 1);
  ASSERT_EQ(notifier.messages.size(), 4u);
  for (const auto& m : notifier.messages) EXPECT_EQ(m.rfind("Skipped \"", 0), 0u) << m;
  EXPECT_NE(notifier.messages[2].find("\\tmp\\x.iwi\" in "), std::string::npos) << notifier.messages[2];
  EXPECT_NE(notifier.messages[3].find("link"), std::string::npos);
  EXPECT_EQ(Text(inside / "images" / "x.iwi.ok"), "fine");
  EXPECT_EQ(CountFiles(work.Path()), 1u);
  EXPECT_FALSE(fs::exists(work.Path().parent_path() / "x.iwi"));
}

TEST_F(ExtractorTest, AnEntryOverTheSizeLimitIsSkippedAndShortSpaceStopsExtraction) {
  // Two MiB of zeros pack into a few KiB: the archive is small, what it inflates to is not.
  // An entry of exactly the limit is not over it.
  WriteZip(Archive("iw_00.iwd"), {{"images/big.iwi", std::string(2 << 20, '\0')},
                                  {"images/small.iwi", "small"}, {"images/exact.iwi", std::string(1 << 20, 'e')}});
  WriteZip(Archive("iw_01.iwd"), {{"images/later.iwi", "later"}});
  ExtractLimits limits;
  limits.maxEntryBytes = 1 << 20;
  EXPECT_EQ(ExtractFromGameArchives(game.Str() + "/", "*.iwi", work.Str(), notifier, limits), 3);
  EXPECT_TRUE(OneMessageSaying({"\"images/big.iwi\"", "larger than 1 MiB"}));
  EXPECT_EQ(CountFiles(work.Path()), 3u);  // small, exact and later; no temporary left
  EXPECT_EQ(fs::file_size(work.Path() / "images" / "exact.iwi"), 1u << 20);

  // 70 MiB free and a margin of 64: the first 4 MiB entry fits, the second would not, and
  // no later archive is opened.
  notifier.messages.clear();
  fs::remove_all(work.Path() / "images");
  limits.maxEntryBytes = 8u << 20;
  limits.freeSpace = [&](const fs::path&) -> std::optional<uint64_t> {
    uint64_t used = 0;
    for (const auto& e : fs::recursive_directory_iterator(work.Path()))
      if (e.is_regular_file()) used += e.file_size();
    return (uint64_t{70} << 20) - used;
  };
  WriteZip(Archive("iw_00.iwd"), {{"images/a.iwi", std::string(4 << 20, 'a')},
                                  {"images/b.iwi", std::string(4 << 20, 'b')}});
  EXPECT_EQ(ExtractFromGameArchives(game.Str() + "/", "*.iwi", work.Str(), notifier, limits), 1);
  EXPECT_TRUE(OneMessageSaying({"Stopped extracting from ", "would fall under 64 MiB"}));
  EXPECT_TRUE(fs::exists(work.Path() / "images" / "a.iwi"));
  EXPECT_EQ(CountFiles(work.Path()), 1u);
  EXPECT_EQ(FormatByteCount(1536), "1.5 KiB");
}

TEST(ExtractorSample, RealArchive) {
  auto samples = test::SamplesDir();
  fs::path archive = samples.empty() ? fs::path() : samples / "archives" / "z_modwarfare.iwd";
  if (archive.empty() || !fs::exists(archive)) GTEST_SKIP() << "no sample archive";
  test::TempWorkdir work;
  test::RecordingNotifier notifier;
  EXPECT_EQ(ExtractMatchingEntries(archive.string(), "LOGO_cod2.iwi*", work.Str(), notifier), 1);
  EXPECT_EQ(fs::file_size(work.Path() / "images" / "logo_cod2.iwi"), 153139u);
  EXPECT_TRUE(notifier.messages.empty());
}

}  // namespace
}  // namespace tessary
