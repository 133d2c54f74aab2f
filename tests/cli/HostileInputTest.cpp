// The command line against a hostile working folder: a FIFO where a model should be, a
// protected output file, a backslash name, a damaged settings file.
#include <sys/stat.h>

#include "cli/CliRunner.h"
#include "fixtures/IwiWriter.h"
#include "fixtures/V20Writer.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
namespace v20 = test::v20;
using test::Contains;
using test::Ended;

using HostileInput = test::SettingsTest;

TEST_F(HostileInput, AFifoIsPassedOverAndAProtectedPictureIsNotReplaced) {
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle()}));
  ASSERT_EQ(::mkfifo((wd.Path() / "xmodel" / "zz").c_str(), 0644), 0);
  auto r = Run({"export-obj", "--workdir", wd.Str(), "--all"});
  EXPECT_TRUE(Ended(r, 1) && Contains(r.out, "1 of 2 models written"));  // not 124: timeout's status for a hang
  EXPECT_NE(Run({"info", "--workdir", wd.Str(), "zz"}).status, 124);

  // A protected picture is not replaced (the export's protected files: the export tests).
  if (!test::HasRenderCommand(scratch.Path())) return;
  const fs::path png = wd.Path() / "shot.png";
  std::ofstream(png) << "precious";
  ::chmod(png.c_str(), 0444);
  EXPECT_TRUE(Ended(Run({"render", "--workdir", wd.Str(), "--size", "8x8", "-o", png.string(), "m"}), 1, "read-only"));
  EXPECT_EQ(test::Slurp(png), "precious");
}

TEST_F(HostileInput, ConvertTakesABackslashNameAsAPath) {
  wd.Write("sub/x.iwi", test::Iwi({0x0B, 3, 4, 4, 36, 36, 36, 36}).Fill(8));
  wd.Write("images/sub/x.iwi", test::ByteWriter().Raw("not this one"));
  EXPECT_TRUE(Ended(Run({"convert", "--workdir", wd.Str(), "sub\\x.iwi"}, wd.Str()), 0));
  EXPECT_TRUE(wd.Exists("sub/x.dds"));
}

TEST_F(HostileInput, ADamagedSettingsFileIsWrittenToAndItsUnreadableEntriesKept) {
  const fs::path conf = scratch.Path() / "Ravenmoor" / "Tessary.conf";
  fs::create_directories(conf.parent_path());
  const std::string damaged = "[RecentFiles]\n0=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5QFont)\n1=weapon_g3\n";
  std::ofstream(conf) << damaged;
  auto r = Run({"paths", "--cod2", "/tmp/x/"});
  EXPECT_TRUE(Ended(r, 0, "cannot be read (RecentFiles/0)") && Contains(r.out, "CoD2:           /tmp/x/\n")) << r.out;
  const std::string after = test::Slurp(conf);
  EXPECT_EQ(after.rfind(damaged, 0), 0u) << after;  // the damaged entry as it was
  EXPECT_TRUE(Contains(after, "[Paths]\nCoD2=/tmp/x/\n")) << after;
  EXPECT_FALSE(Contains(after, "@Invalid")) << after;
}

}  // namespace
}  // namespace tessary
