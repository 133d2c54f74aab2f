// The convert, retrieve and paths commands, run as a user runs them, with the settings
// kept in a temporary configuration folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/CliRunner.h"
#include "fixtures/IwiWriter.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "fixtures/ZipWriter.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::Contains;
using test::TempWorkdir;

struct WorkspaceCommands : ::testing::Test {
  test::CliResult Run(const std::vector<std::string>& args, const std::string& cwd = ".") {
    return test::RunCli(args, config.Path(),
                        "cd " + test::ShellQuote(cwd) + " && XDG_CONFIG_HOME=" + test::ShellQuote(config.Str()));
  }
  TempWorkdir config, work;
};

TEST_F(WorkspaceCommands, ConvertWritesDdsAndRefusesBadImages) {
  work.Write("images/Wall.IWI", test::Iwi({0x0D, 2, 4, 4, 44, 44, 44, 44}).Append(test::Ramp(16, 0x40)));
  work.Write("images/fake.iwi", test::ByteWriter().Raw("DDS ").Fill(200));
  auto r = Run({"convert", "--workdir", work.Str(), "Wall.IWI", "fake.iwi", "absent.iwi"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, (work.Path() / "images" / "wall.dds").string() + "\n");
  for (std::string name : {"fake", "absent"}) {
    EXPECT_TRUE(Contains(r.err, "cannot convert " + work.Str() + "/images/" + name + ".iwi: ")) << r.err;
    EXPECT_FALSE(work.Exists("images/" + name + ".dds"));
  }
  EXPECT_EQ(work.Read("images/wall.dds").size(), 128u + 16);
  // A path instead of a name.
  work.Write("loose/one.iwi", test::Iwi({0x0B, 3, 4, 4, 36, 36, 36, 36}).Fill(8));
  r = Run({"convert", "loose/one.iwi"}, work.Str());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(work.Exists("loose/one.dds"));
}

TEST_F(WorkspaceCommands, PathsAreStoredOnceAndUsedByOtherCommands) {
  auto r = Run({"paths"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Contains(r.out, "Working folder: (not set)")) << r.out;
  EXPECT_TRUE(Contains(r.out, config.Str() + "/Ravenmoor/registry.ini")) << r.out;
  const std::string fresh = (work.Path() / "fresh").string();
  fs::create_directory(fresh);
  r = Run({"paths", "--working-folder", fresh, "--cod2", "/games/cod2", "--winrar", "/opt/rar"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "Working folder: " + fresh + "\n")) << r.out;
  EXPECT_TRUE(Contains(r.out, "CoD2:           /games/cod2/\n")) << r.out;
  EXPECT_TRUE(Contains(r.out, "WinRAR:         /opt/rar\n")) << r.out;
  EXPECT_TRUE(fs::is_directory(work.Path() / "fresh" / "xmodelsurfs"));
  EXPECT_TRUE(Contains(test::Slurp(config.Path() / "Ravenmoor" / "Tessary.conf"), "WorkingFolder="));

  // The stored working folder is where commands look without --workdir.
  work.Write("fresh/images/x.iwi", test::Iwi({0x0B, 3, 4, 4, 36, 36, 36, 36}).Fill(8));
  r = Run({"convert", "x.iwi"}, "/");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(work.Exists("fresh/images/x.dds"));

  // The converter key makes convert run the tool instead.
  auto tool = work.Path() / "tool.sh";
  std::ofstream(tool) << "#!/bin/sh\necho \"$1\" > \"" << (work.Path() / "tool.log").string() << "\"\n";
  fs::permissions(tool, fs::perms::owner_all);
  r = Run({"paths", "--converter", tool.string()});
  EXPECT_TRUE(Contains(r.out, "Converter:      " + tool.string())) << r.out;
  r = Run({"convert", "x.iwi"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::Slurp(work.Path() / "tool.log"), fresh + "\\images\\x.iwi\n");

  r = Run({"paths", "--working-folder", (work.Path() / "absent").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.out, "Working folder: " + fresh + "\n")) << r.out;
}

TEST_F(WorkspaceCommands, RetrieveAllFromTheGameArchives) {
  namespace v20 = test::v20;
  TempWorkdir game;
  fs::create_directory(game.Path() / "main");
  auto bytes = [](const test::ByteWriter& w) { return std::string(w.Data().begin(), w.Data().end()); };
  test::WriteZip(game.Path() / "main" / "iw_00.iwd",
                 {{"materials/mtl_a", bytes(v20::Material("a_col"))},
                  {"images/a_col.iwi", bytes(test::Iwi({0x0B, 3, 4, 4, 36, 36, 36, 36}).Fill(8))},
                  {"../../a_col.iwi", "escape"}});
  work.Write("xmodel/tank", v20::Header({{"tank0", 0, {"mtl_a"}}}));
  work.Write("xmodelsurfs/tank0", v20::Surfaces({v20::Triangle()}));
  ASSERT_EQ(Run({"paths", "--cod2", game.Str()}).status, 0);

  EXPECT_EQ(Run({"retrieve", "--workdir", work.Str(), "tank"}).status, 2);
  auto r = Run({"retrieve", "--workdir", work.Str(), "--all", "tank"});
  EXPECT_EQ(r.status, 1);  // the parts file is in no archive
  EXPECT_TRUE(Contains(r.out, "a_col.dds\n")) << r.out;
  EXPECT_TRUE(Contains(r.out, "[missing]")) << r.out;
  EXPECT_TRUE(Contains(r.err, "Skipped \"../../a_col.iwi\"")) << r.err;
  EXPECT_TRUE(work.Exists("materials/mtl_a"));
  EXPECT_TRUE(work.Exists("images/a_col.dds"));
  EXPECT_FALSE(work.Exists("images/a_col.iwi"));
  EXPECT_FALSE(fs::exists(work.Path().parent_path() / "a_col.iwi"));
  r = Run({"retrieve", "--workdir", work.Str(), "tank", "nothing_like_it"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "has no item nothing_like_it"));
}

}  // namespace
}  // namespace tessary
