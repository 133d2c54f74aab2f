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
using Files = std::set<std::string>;

class ExportCommands : public ::testing::Test {
 protected:
  test::CliResult Run(std::vector<std::string> args) {
    args.insert(args.begin() + 1, {"--workdir", wd.Str()});
    return test::RunCli(args, scratch.Path());
  }
  // The files in the working folder's obj folder.
  Files ObjFiles() const {
    Files names;
    for (const auto& e : fs::directory_iterator(wd.Path() / "obj")) names.insert(e.path().filename().string());
    return names;
  }
  // A model with levels <name>_lod0 and <name>_lod1, both with surfaces.
  void WriteGoodModel(const std::string& name) const {
    wd.Write("xmodel/" + name, v20::Header({{name + "_lod0", 1, {"mtl_a"}}, {name + "_lod1", 0, {"mtl_a"}}}));
    wd.Write("xmodelsurfs/" + name + "_lod0", v20::Surfaces({v20::Triangle()}));
    wd.Write("xmodelsurfs/" + name + "_lod1", v20::Surfaces({v20::Triangle()}));
  }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
  test::TempWorkdir wd;
  test::TempWorkdir scratch;
};

TEST_F(ExportCommands, ExportWritesTheThreeFilesOfTheDefaultOrChosenLevel) {
  WriteGoodModel("m");
  auto r = Run({"export-obj", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_EQ(ObjFiles(), (Files{"m_lod0.mtl", "m_lod0.obj", "m_tags.txt"}));
  EXPECT_EQ(Run({"export-obj", "--lod", "1", "m"}).status, 0);
  EXPECT_TRUE(wd.Exists("obj/m_lod1.obj"));
  r = Run({"export-obj", "--lod", "2", "m"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.err, "no level of detail 2")) << r.err;

  // A level 0 whose name is too short to be read: level 1 is the default.
  wd.Write("xmodel/n", v20::Header({{"abc", 1, {"mtl_a"}}, {"n_lod1", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/n_lod1", v20::Surfaces({v20::Triangle()}));
  EXPECT_EQ(Run({"export-obj", "n"}).status, 0);
  EXPECT_TRUE(wd.Exists("obj/n_lod1.obj"));
}

TEST_F(ExportCommands, FailuresNameTheFileAndLeaveNothingBehind) {
  // Surfaces that cannot be loaded: nothing at all is written, not even the tags listing.
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}}));
  auto r = Run({"export-obj", "m"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.err, "xmodelsurfs/m_lod0")) << r.err;
  v20::FixtureSurface bad = v20::Triangle(0xFFFF);
  bad.extraInfluences = 1;
  bad.vertices[0].extra = 4;
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({bad}));
  r = Run({"export-obj", "m"});
  EXPECT_EQ(r.status, 1);
  const std::string readerMessage = "VertexData.b1 >= 4 Unsupported model type.";
  EXPECT_TRUE(Has(r.err, readerMessage) && r.err.find(readerMessage) == r.err.rfind(readerMessage)) << r.err;
  EXPECT_TRUE(ObjFiles().empty());

  // Unknown model and unknown version; with several models the good one is still written.
  WriteGoodModel("good");
  wd.Write("xmodel/odd", test::ByteWriter().U16(99).Fill(40));
  EXPECT_EQ(Run({"export-obj", "nosuchmodel"}).status, 1);
  r = Run({"export-obj", "odd", "good"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.err, "version 99")) << r.err;
  EXPECT_EQ(ObjFiles(), (Files{"good_lod0.mtl", "good_lod0.obj", "good_tags.txt"}));

  // No obj folder.
  fs::remove_all(wd.Path() / "obj");
  r = Run({"export-obj", "good"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.err, (wd.Path() / "obj").string())) << r.err;
  EXPECT_EQ(Run({"tags", "good"}).status, 1);
  EXPECT_FALSE(wd.Exists("obj"));
}

TEST_F(ExportCommands, TagsWritesOnlyTheListing) {
  WriteGoodModel("m");
  auto r = Run({"tags", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ObjFiles(), (Files{"m_tags.txt"}));
  EXPECT_EQ(Run({"tags", "nosuchmodel"}).status, 1);
}

TEST_F(ExportCommands, AllGoesPastFailuresAndEndsWithASummary) {
  WriteGoodModel("good");
  WriteGoodModel("also_good");
  wd.Write("xmodel/broken", v20::Header({{"broken_lod0", 0, {"mtl_a"}}}));
  fs::create_directory(wd.Path() / "xmodel" / "a_folder");  // not a model
  auto r = Run({"export-obj", "--all"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "");  // not a terminal: no progress bar
  EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "2 of 3 models written, 1 failed:\n");
  EXPECT_TRUE(Has(r.out, "\n  broken: the surfaces file ")) << r.out;
  EXPECT_EQ(ObjFiles().size(), 6u);

  fs::remove(wd.Path() / "xmodel" / "broken");
  r = Run({"export-obj", "--all", "--show-exploded"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "2 of 2 models written\n");

  // On a terminal (script(1) gives the program one) the bar shows the model at work.
  if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1)";
  std::string program = test::ShellQuote(TESSARY_CLI_PATH) + " export-obj --all --workdir " +
                        test::ShellQuote(wd.Str());
  fs::path shown = scratch.Path() / "tty.txt";
  ASSERT_EQ(std::system(("script -qec " + test::ShellQuote(program) + " /dev/null > " +
                         test::ShellQuote(shown.string())).c_str()),
            0);
  std::string screen = test::Slurp(shown);
  EXPECT_TRUE(Has(screen, "\r[....................] 0/2  also_good")) << screen;
  EXPECT_TRUE(Has(screen, "\r\x1b[K2 of 2 models written")) << screen;
}

TEST_F(ExportCommands, WrongCommandLinesExitWithTwo) {
  WriteGoodModel("m");
  for (auto args : std::vector<std::vector<std::string>>{{"export-obj"},
                                                         {"export-obj", "--all", "m"},
                                                         {"export-obj", "--all", "--lod", "0"},
                                                         {"export-obj", "--lod", "x", "m"},
                                                         {"tags"}})
    EXPECT_EQ(Run(args).status, 2) << args.back();
  EXPECT_TRUE(ObjFiles().empty());
}

}  // namespace
}  // namespace tessary
