// The convert, retrieve and paths commands, run as a user runs them, with the settings
// kept in a temporary configuration folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

#include "fixtures/IwiWriter.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "fixtures/ZipWriter.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::TempWorkdir;

struct Result {
  int status = -1;
  std::string out, err;
};

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct CliTest : ::testing::Test {
  TempWorkdir config;  // XDG_CONFIG_HOME
  TempWorkdir work;

  Result Run(const std::string& args, const std::string& cwd = "") {
    fs::path out = config.Path() / "stdout", err = config.Path() / "stderr";
    std::string cmd = (cwd.empty() ? "" : "cd '" + cwd + "' && ") + "XDG_CONFIG_HOME='" + config.Str() + "' '" +
                      TESSARY_CLI_PATH + "' " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
    int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(out), ReadText(err)};
  }
};

TEST_F(CliTest, ConvertWritesDdsAndRefusesBadImages) {
  work.Write("images/Wall.IWI", test::Iwi({0x0D, 2, 4, 4, 44, 44, 44, 44}).Append(test::Ramp(16, 0x40)));
  work.Write("images/short.iwi", test::ByteWriter().Raw("IWi").Fill(10));
  work.Write("images/fake.iwi", test::ByteWriter().Raw("DDS ").Fill(200));
  work.Write("images/damaged.iwi", test::Iwi({0x0B, 0, 4, 4, 40, 60, 36, 30}).Fill(40));
  Result r = Run("convert --workdir '" + work.Str() + "' Wall.IWI short.iwi fake.iwi damaged.iwi absent.iwi");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, (work.Path() / "images" / "wall.dds").string() + "\n");
  for (const char* name : {"short.iwi", "fake.iwi", "damaged.iwi", "absent.iwi"})
    EXPECT_NE(r.err.find(std::string("cannot convert ") + work.Str() + "/images/" + name + ": "), std::string::npos)
        << r.err;
  EXPECT_NE(r.err.find("not an IWI image"), std::string::npos);
  auto dds = work.Read("images/wall.dds");
  ASSERT_EQ(dds.size(), 128u + 16);
  EXPECT_EQ(dds[128], 0x40);
  for (const char* name : {"short.dds", "fake.dds", "damaged.dds", "absent.dds"}) EXPECT_FALSE(work.Exists(std::string("images/") + name));

  // A path instead of a name.
  work.Write("loose/one.iwi", test::Iwi({0x0B, 3, 4, 4, 36, 36, 36, 36}).Fill(8));
  r = Run("convert loose/one.iwi", work.Str());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(work.Exists("loose/one.dds"));
}

TEST_F(CliTest, PathsAreStoredOnceAndUsedByOtherCommands) {
  Result r = Run("paths");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Working folder: (not set)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(config.Str() + "/Ravenmoor/registry.ini"), std::string::npos);

  fs::create_directory(work.Path() / "fresh");
  r = Run("paths --working-folder '" + (work.Path() / "fresh").string() + "' --cod2 /games/cod2 --winrar /opt/rar");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Working folder: " + (work.Path() / "fresh").string() + "\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("CoD2:           /games/cod2/\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("WinRAR:         /opt/rar\n"), std::string::npos) << r.out;
  EXPECT_TRUE(fs::is_directory(work.Path() / "fresh" / "xmodelsurfs"));
  EXPECT_NE(ReadText(config.Path() / "Ravenmoor" / "Tessary.conf").find("WorkingFolder="), std::string::npos);

  // The stored working folder is where commands look without --workdir.
  work.Write("fresh/images/x.iwi", test::Iwi({0x0B, 3, 4, 4, 36, 36, 36, 36}).Fill(8));
  r = Run("convert x.iwi", "/");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(work.Exists("fresh/images/x.dds"));

  // The converter key makes convert run the tool instead.
  auto tool = work.Path() / "tool.sh";
  std::ofstream(tool) << "#!/bin/sh\necho \"$1\" > \"" << (work.Path() / "tool.log").string() << "\"\n";
  fs::permissions(tool, fs::perms::owner_all);
  r = Run("paths --converter '" + tool.string() + "'");
  EXPECT_NE(r.out.find("Converter:      " + tool.string()), std::string::npos) << r.out;
  r = Run("convert x.iwi");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadText(work.Path() / "tool.log"), (work.Path() / "fresh").string() + "\\images\\x.iwi\n");
  Run("paths --converter ''");

  r = Run("paths --working-folder '" + (work.Path() / "absent").string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Working folder: " + (work.Path() / "fresh").string() + "\n"), std::string::npos);
}

TEST_F(CliTest, RetrieveAllFromTheGameArchives) {
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
  ASSERT_EQ(Run("paths --cod2 '" + game.Str() + "'").status, 0);

  Result r = Run("retrieve --workdir '" + work.Str() + "' tank");
  EXPECT_EQ(r.status, 2);
  r = Run("retrieve --workdir '" + work.Str() + "' --all tank");
  EXPECT_EQ(r.status, 1);  // the parts file is in no archive
  EXPECT_NE(r.out.find("a_col.dds\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("[missing]"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("Skipped \"../../a_col.iwi\""), std::string::npos) << r.err;
  EXPECT_TRUE(work.Exists("materials/mtl_a"));
  EXPECT_TRUE(work.Exists("images/a_col.dds"));
  EXPECT_FALSE(work.Exists("images/a_col.iwi"));
  EXPECT_FALSE(fs::exists(work.Path().parent_path() / "a_col.iwi"));

  r = Run("retrieve --workdir '" + work.Str() + "' tank nothing_like_it");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("has no item nothing_like_it"), std::string::npos);
}

}  // namespace
}  // namespace tessary
