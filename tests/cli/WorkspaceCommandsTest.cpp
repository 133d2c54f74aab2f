// The convert, retrieve and paths commands, with the settings in a scratch folder, and the
// command line against a hostile working folder.
#include <sys/stat.h>

#include "cli/CliRunner.h"
#include "fixtures/IwiWriter.h"
#include "fixtures/V14Writer.h"
#include "fixtures/V20Writer.h"
#include "fixtures/ZipWriter.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
namespace v20 = test::v20;
using test::Contains;
using test::Ended;
using test::TempWorkdir;

using WorkspaceCommands = test::SettingsTest;
using HostileInput = test::SettingsTest;

TEST_F(WorkspaceCommands, PathsAreStoredAndUsedByConvert) {
  EXPECT_TRUE(Contains(Run({"paths"}).out, "Working folder: (not set)"));
  const std::string fresh = (wd.Path() / "fresh").string();
  fs::create_directory(fresh);
  EXPECT_TRUE(Contains(Run({"paths", "--working-folder", fresh}).out, "Working folder: " + fresh + "\n"));
  EXPECT_TRUE(fs::is_directory(wd.Path() / "fresh" / "xmodelsurfs"));
  auto r = Run({"paths", "--working-folder", (wd.Path() / "absent").string()});  // refused, the stored one kept
  EXPECT_TRUE(Ended(r, 1) && Contains(r.out, "Working folder: " + fresh + "\n")) << r.out;
  // Names lie in the stored folder's images, paths start here; a disguised DDS is refused.
  const test::ByteWriter iwi = test::Iwi({0x0B, 3, 4, 4, 36, 36, 36, 36}).Fill(8);
  wd.Write("fresh/images/Wall.IWI", iwi);
  wd.Write("fresh/loose/one.iwi", iwi);
  wd.Write("fresh/images/fake.iwi", test::ByteWriter().Raw("DDS ").Fill(200));
  r = Run({"convert", "Wall.IWI", "fake.iwi", "./one.iwi"}, fresh + "/loose");
  EXPECT_TRUE(Ended(r, 1, "cannot convert " + fresh + "/images/fake.iwi: "));
  EXPECT_EQ(r.out, fresh + "/images/wall.dds\n./one.dds\n");
  EXPECT_EQ(std::pair(wd.Exists("fresh/loose/one.dds"), wd.Exists("fresh/images/fake.dds")), std::pair(true, false));
  // The converter key makes convert run that tool instead.
  auto tool = wd.Path() / "tool.sh";
  std::ofstream(tool) << "#!/bin/sh\necho \"$1\" > \"" << (wd.Path() / "tool.log").string() << "\"\n";
  fs::permissions(tool, fs::perms::owner_all);
  EXPECT_EQ(Run({"paths", "--converter", tool.string()}).status, 0);
  EXPECT_EQ(Run({"convert", "Wall.IWI"}).status, 0);
  EXPECT_EQ(test::Text(wd.Path() / "tool.log"), fresh + "/images/Wall.IWI\n");  // as this system names it
}

TEST_F(WorkspaceCommands, RetrieveAllFromTheGameArchives) {
  TempWorkdir game;
  fs::create_directory(game.Path() / "main");
  auto bytes = [](const test::ByteWriter& w) { return std::string(w.Data().begin(), w.Data().end()); };
  test::WriteZip(game.Path() / "main" / "iw_00.iwd",
                 {{"materials/mtl_a", bytes(v20::Material("a_col"))},
                  {"images/a_col.iwi", bytes(test::Iwi({0x0B, 3, 4, 4, 36, 36, 36, 36}).Fill(8))}});
  wd.Write("xmodel/tank", v20::Header({{"tank0", 0, {"mtl_a"}}}));
  ASSERT_EQ(Run({"paths", "--cod2", game.Str()}).status, 0);
  auto r = Run({"retrieve", "--workdir", wd.Str(), "--all", "tank"});
  EXPECT_TRUE(Ended(r, 1) && Contains(r.out, "[missing]")) << r.out;  // surfaces and parts are in no archive
  EXPECT_TRUE(wd.Exists("images/a_col.dds"));
  EXPECT_TRUE(Ended(Run({"retrieve", "--workdir", wd.Str(), "tank", "nothing_like_it"}), 1, "has no item nothing_like_it"));
  // A version 14 model: no game's files are fetched for it, and the command says so.
  wd.Write("xmodel/gun", test::v14::Header({"gun_lod0"}, test::v14::Lists({{"a.dds"}})));
  r = Run({"retrieve", "--workdir", wd.Str(), "--all", "gun"});
  EXPECT_TRUE(Ended(r, 1, "tessary: None of the missing files of gun can be fetched: ") && Contains(r.out, "[missing]"))
      << r.out;
}

TEST_F(HostileInput, AFifoIsPassedOverAndAProtectedPictureIsNotReplaced) {
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle()}));
  ASSERT_EQ(::mkfifo((wd.Path() / "xmodel" / "zz").c_str(), 0644), 0);
  auto r = Run({"export-obj", "--workdir", wd.Str(), "--all"});
  EXPECT_TRUE(Ended(r, 1) && Contains(r.out, "1 of 2 models written"));  // not 124: timeout's status for a hang

  // A protected picture is not replaced (the export's protected files: the export tests).
  if (!test::HasRenderCommand(scratch.Path())) return;
  const fs::path png = wd.Path() / "shot.png";
  std::ofstream(png) << "precious";
  ::chmod(png.c_str(), 0444);
  EXPECT_TRUE(Ended(Run({"render", "--workdir", wd.Str(), "--size", "8x8", "-o", png.string(), "m"}), 1, "read-only"));
  EXPECT_EQ(test::Text(png), "precious");
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
  const std::string after = test::Text(conf);
  EXPECT_EQ(after.rfind(damaged, 0), 0u) << after;  // the damaged entry as it was
  EXPECT_TRUE(Contains(after, "[Paths]\nCoD2=/tmp/x/\n") && !Contains(after, "@Invalid")) << after;
}

}  // namespace
}  // namespace tessary
