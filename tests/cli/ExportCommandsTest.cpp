// The export-obj and tags commands: what they write, their messages and exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "cli/CliRunner.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
namespace v20 = test::v20;
using test::RunCli;
using test::TempWorkdir;

// The files in the working folder's obj folder.
std::set<std::string> ObjFiles(const TempWorkdir& wd) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(wd.Path() / "obj")) names.insert(e.path().filename().string());
  return names;
}

// A model "m" with levels m_lod0 and m_lod1, both with surfaces, and a parts file.
void WriteGoodModel(const TempWorkdir& wd, const std::string& name = "m") {
  wd.Write("xmodel/" + name, v20::Header({{name + "_lod0", 1, {"mtl_a"}}, {name + "_lod1", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/" + name + "_lod0", v20::Surfaces({v20::Triangle()}));
  wd.Write("xmodelsurfs/" + name + "_lod1", v20::Surfaces({v20::Triangle()}));
  wd.Write("xmodelparts/" + name + "_lod0", v20::Parts({{0, {0, 0, 0}, "tag_origin"}, {0, {1, 0, 0}, "j"}}));
}

class ExportCommands : public ::testing::Test {
 protected:
  test::CliResult Run(std::vector<std::string> args) {
    args.insert(args.begin() + 1, {"--workdir", wd.Str()});
    return RunCli(args, scratch.Path());
  }
  TempWorkdir wd;
  TempWorkdir scratch;
};

TEST_F(ExportCommands, ExportWritesTheThreeFilesOfTheDefaultOrChosenLevel) {
  WriteGoodModel(wd);
  auto r = Run({"export-obj", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ObjFiles(wd), (std::set<std::string>{"m_lod0.mtl", "m_lod0.obj", "m_tags.txt"}));
  std::string obj = test::Slurp(wd.Path() / "obj/m_lod0.obj");
  EXPECT_NE(obj.find("\r\nmtllib m_lod0.mtl\r\n"), std::string::npos);
  EXPECT_NE(obj.find("\r\nf 1/1/1 3/3/3 2/2/2\r\n"), std::string::npos);

  r = Run({"export-obj", "--lod", "1", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(wd.Exists("obj/m_lod1.obj"));
  EXPECT_TRUE(wd.Exists("obj/m_lod1.mtl"));

  r = Run({"export-obj", "--lod", "2", "m"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no level of detail 2"), std::string::npos) << r.err;
}

TEST_F(ExportCommands, DefaultLevelIsTheFirstWhoseNameWasRead) {
  // Level 0's name is too short to be read; level 1 is the default.
  wd.Write("xmodel/m", v20::Header({{"abc", 1, {"mtl_a"}}, {"m_lod1", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/m_lod1", v20::Surfaces({v20::Triangle()}));
  auto r = Run({"export-obj", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(wd.Exists("obj/m_lod1.obj"));
}

TEST_F(ExportCommands, FailuresNameTheFileAndLeaveNothingBehind) {
  // No surfaces file: nothing at all is written, not even the tags listing.
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}}));
  auto r = Run({"export-obj", "m"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("xmodelsurfs/m_lod0"), std::string::npos) << r.err;
  EXPECT_TRUE(ObjFiles(wd).empty());

  // An undecodable first surface: the reader's message once, then the failure.
  v20::FixtureSurface bad = v20::Triangle(0xFFFF);
  bad.extraInfluences = 1;
  bad.vertices[0].extra = 4;
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({bad}));
  r = Run({"export-obj", "m"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("VertexData.b1 >= 4 Unsupported model type."), std::string::npos);
  EXPECT_EQ(r.err.find("VertexData.b1 >= 4 Unsupported model type."),
            r.err.rfind("VertexData.b1 >= 4 Unsupported model type."));
  EXPECT_NE(r.err.find("cannot load the surfaces in"), std::string::npos) << r.err;
  EXPECT_TRUE(ObjFiles(wd).empty());

  // No obj folder.
  WriteGoodModel(wd);
  fs::remove_all(wd.Path() / "obj");
  r = Run({"export-obj", "m"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find((wd.Path() / "obj").string()), std::string::npos) << r.err;
  EXPECT_FALSE(wd.Exists("obj"));
  r = Run({"tags", "m"});
  EXPECT_EQ(r.status, 1);

  // Unknown model and unknown version.
  fs::create_directory(wd.Path() / "obj");
  wd.Write("xmodel/odd", test::ByteWriter().U16(99).Fill(40));
  EXPECT_EQ(Run({"export-obj", "nosuchmodel"}).status, 1);
  r = Run({"export-obj", "odd"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("version 99"), std::string::npos) << r.err;
  EXPECT_TRUE(ObjFiles(wd).empty());

  // Several models: the good one is written, the status still tells of the bad one.
  r = Run({"export-obj", "odd", "m"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(wd.Exists("obj/m_lod0.obj"));
}

TEST_F(ExportCommands, TagsWritesOnlyTheListing) {
  WriteGoodModel(wd);
  auto r = Run({"tags", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ObjFiles(wd), (std::set<std::string>{"m_tags.txt"}));
  auto bytes = wd.Read("obj/m_tags.txt");
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], '\r');
  EXPECT_EQ(bytes[1], 0);
  EXPECT_EQ(bytes[2], '\n');
  EXPECT_EQ(Run({"tags", "nosuchmodel"}).status, 1);
}

TEST_F(ExportCommands, AllGoesPastFailuresAndEndsWithASummary) {
  WriteGoodModel(wd, "good");
  WriteGoodModel(wd, "also_good");
  wd.Write("xmodel/broken", v20::Header({{"broken_lod0", 0, {"mtl_a"}}}));
  fs::create_directory(wd.Path() / "xmodel" / "a_folder");  // not a model
  auto r = Run({"export-obj", "--all"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "");  // not a terminal: no progress bar
  EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "2 of 3 models written, 1 failed:\n");
  EXPECT_NE(r.out.find("  broken: the surfaces file "), std::string::npos) << r.out;
  EXPECT_EQ(ObjFiles(wd), (std::set<std::string>{"good_lod0.mtl", "good_lod0.obj", "good_tags.txt",
                                                   "also_good_lod0.mtl", "also_good_lod0.obj",
                                                   "also_good_tags.txt"}));

  fs::remove(wd.Path() / "xmodel" / "broken");
  r = Run({"export-obj", "--all", "--show-exploded"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "2 of 2 models written\n");
}

TEST_F(ExportCommands, AllShowsAProgressBarOnATerminal) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1)";
  WriteGoodModel(wd, "good");
  WriteGoodModel(wd, "other");
  // script(1) runs the program on a pseudo-terminal and copies what it shows.
  std::string command = "script -qec " +
                        test::ShellQuote(test::ShellQuote(TESSARY_CLI_PATH) + " export-obj --workdir " +
                                         test::ShellQuote(wd.Str()) + " --all") +
                        " /dev/null > " + test::ShellQuote((scratch.Path() / "tty.txt").string());
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string shown = test::Slurp(scratch.Path() / "tty.txt");
  EXPECT_NE(shown.find("\r[....................] 0/2  good"), std::string::npos) << shown;
  EXPECT_NE(shown.find("\r\x1b[K2 of 2 models written"), std::string::npos) << shown;
}

TEST_F(ExportCommands, WrongCommandLinesExitWithTwo) {
  WriteGoodModel(wd);
  EXPECT_EQ(Run({"export-obj"}).status, 2);
  EXPECT_EQ(Run({"export-obj", "--all", "m"}).status, 2);
  EXPECT_EQ(Run({"export-obj", "--all", "--lod", "0"}).status, 2);
  EXPECT_EQ(Run({"export-obj", "--lod", "x", "m"}).status, 2);
  EXPECT_EQ(Run({"tags"}).status, 2);
  EXPECT_TRUE(ObjFiles(wd).empty());
}

}  // namespace
}  // namespace tessary
