// The export-obj, export-x and tags commands: what they write, their messages and statuses;
// and the batch of export --all run in this process with an export of its own (this program
// is built with the standard library's checked indexing, so a look at a model past the
// last, the progress bar's say, stops the test).
#include <map>
#include <mutex>

#include "cli/BatchExport.h"
#include "cli/CliRunner.h"
#include "cli/CliSupport.h"
#include "fixtures/V14Writer.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
namespace v20 = test::v20;
namespace v25 = test::v25;
using test::Contains;
using test::Ended;
using Files = std::set<std::string>;

struct ExportCommands : test::CommandTest {
  Files ObjFiles() const { return test::FileNames(wd.Path() / "obj"); }
  // Version 20: levels <name>_lod0 and <name>_lod1, both with surfaces.
  void WriteV20(const std::string& name) const {
    wd.Write("xmodel/" + name, v20::Header({{name + "_lod0", 1, {"mtl_a"}}, {name + "_lod1", 0, {"mtl_a"}}}));
    wd.Write("xmodelsurfs/" + name + "_lod0", v20::Surfaces({v20::Triangle()}));
    wd.Write("xmodelsurfs/" + name + "_lod1", v20::Surfaces({v20::Triangle()}));
  }
};

TEST_F(ExportCommands, ExportObjAndTagsWriteTheChosenLevel) {
  WriteV20("m");
  EXPECT_EQ(Run("tags", {"m"}).status, 0);
  EXPECT_EQ(ObjFiles(), (Files{"m_tags.txt"}));
  auto r = Run("export-obj", {"m"});
  EXPECT_TRUE(Ended(r, 0) && r.out + r.err == "") << r.out;
  EXPECT_EQ(Run("export-obj", {"--lod", "1", "m"}).status, 0);
  EXPECT_EQ(ObjFiles(), (Files{"m_lod0.mtl", "m_lod0.obj", "m_lod1.mtl", "m_lod1.obj", "m_tags.txt"}));

  // Version 14: no tags listing, and only levels 0 to 2.
  wd.Write("xmodel/gun", test::v14::Header({"gun_lod0", "gun_lod1", "gun_lod2", "gun_lod3"},
                                           test::v14::Lists({{"a.dds"}, {"a.dds"}, {"a.dds"}, {"a.dds"}})));
  wd.Write("xmodelsurfs/gun_lod0", test::v14::Surfaces({{0, {{0, 1, 2}}, {{}, {}, {}}}}));
  EXPECT_TRUE(Ended(Run("export-obj", {"--lod", "3", "gun"}), 1, "only levels 0 to 2"));
  EXPECT_EQ(Run("export-obj", {"gun"}).status, 0);
  EXPECT_FALSE(wd.Exists("obj/gun_tags.txt"));
  EXPECT_TRUE(Ended(Run("tags", {"gun"}), 1, "has version 14, which has no tags listing"));

  // Level 0's name is too short to be read: the default is level 1.
  wd.Write("xmodel/short", v20::Header({{"s1", 1, {"mtl_a"}}, {"short_lod1", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/short_lod1", v20::Surfaces({v20::Triangle()}));
  EXPECT_TRUE(Ended(Run("export-obj", {"short"}), 0) && wd.Exists("obj/short_lod1.obj"));
}

TEST_F(ExportCommands, FailuresNameTheFileAndLeaveNothingBehind) {
  // Surfaces missing: nothing is written, not even the tags listing; the next model is.
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}}));
  WriteV20("good");
  auto r = Run("export-obj", {"m", "good"});
  EXPECT_EQ(std::tie(r.status, r.err), std::tuple(1, "tessary: the surfaces file " + wd.Str() + "/xmodelsurfs/m_lod0 is missing\n"));
  EXPECT_EQ(ObjFiles(), (Files{"good_lod0.mtl", "good_lod0.obj", "good_tags.txt"}));
  // --all goes past a failure and what is no model, and ends with a summary (no progress bar off a terminal).
  fs::create_directory(wd.Path() / "xmodel" / "a_folder");
  r = Run("export-obj", {"--all"});
  EXPECT_EQ(std::tie(r.status, r.err), std::tuple(1, ""));
  EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "1 of 2 models written, 1 failed:\n");
  EXPECT_TRUE(Contains(r.out, "\n  m: the surfaces file ")) << r.out;
  // With several jobs too, a model that fails after its first file leaves none of them:
  // good's OBJ is read-only, so its MTL, written before it, does not appear either.
  fs::remove_all(wd.Path() / "obj");
  wd.Write("obj/good_lod0.obj", std::vector<uint8_t>{'o', 'l', 'd'});
  fs::permissions(wd.Path() / "obj/good_lod0.obj", fs::perms(0444));
  r = Run("export-obj", {"--all", "--jobs", "2"});
  EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "0 of 2 models written, 2 failed:\n");
  EXPECT_EQ(ObjFiles(), (Files{"good_lod0.obj"}));
  fs::remove_all(wd.Path() / "obj");
  EXPECT_TRUE(Ended(Run("export-obj", {"good"}), 1, (wd.Path() / "obj").string()));
  EXPECT_FALSE(wd.Exists("obj"));
}

TEST_F(ExportCommands, ASurfaceThatCannotBeDecodedIsPrintedBeforeTheOutcome) {
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}}));
  v20::FixtureSurface bad = v20::Triangle(0xFFFF);
  bad.vertices[1].influences.resize(4);
  const std::string unsupported = "tessary: VertexData.b1 >= 4 Unsupported model type.\n";
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({bad}));
  auto r = Run("export-obj", {"m"});
  EXPECT_EQ(std::tie(r.status, r.err),
            std::tuple(1, unsupported + "tessary: cannot load the surfaces in " + wd.Str() + "/xmodelsurfs/m_lod0\n"));
  // A later surface: the level is written without it, and the message is printed once.
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle(), bad}));
  r = Run("export-obj", {"m"});
  EXPECT_EQ(std::tie(r.status, r.err), std::tuple(0, unsupported));
  r = Run("export-obj", {"--all", "--jobs", "2"});
  EXPECT_EQ(std::tie(r.status, r.err), std::tuple(0, unsupported));
}

TEST_F(ExportCommands, AHeaderWhoseMaterialsCannotBeFoundIsToldOnceAndStillExported) {
  // No string after the levels looks like a material name.
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"stone"}}));
  wd.Write("xmodelsurfs/m_lod0", v25::Surfaces({v25::Triangle()}));
  const std::string failed = "tessary: Failed to get the materials\n";
  for (const std::vector<std::string>& args : {std::vector<std::string>{"m"}, {"--all", "--jobs", "2"}}) {
    auto r = Run("export-obj", args);
    EXPECT_EQ(std::tie(r.status, r.err), std::tuple(0, failed));
  }
  EXPECT_EQ(Run("info", {"m"}).err, failed);
}

TEST_F(ExportCommands, ExportXWritesVersion25LevelsShowingPiecesExplodedOnRequest) {
  // The second surface (vertices (0, 0, 0) and (1, 0, 0)) is carried by tag "b" at (0, 0, 7);
  // only destructible levels are shown exploded, as in the desktop program.
  v25::FixtureSurface carried = v25::Triangle();
  carried.vertices.pop_back();  // two vertices: word 3 is 2
  carried.triangles = {{0, 1, 1}};
  const auto secondIs = [&](const std::string& level, const char* z) {
    return Contains(test::Text(wd.Path() / "obj" / (level + ".x")),
                    std::string("\t2;\r\n\r\n\t") + z + ";0.00000;0.00000;,\r\n\t" + z + ";0.00000;1.00000;;\r\n");
  };
  for (const std::string level : {"m_lod0", "m_Destructible_MP_lod0"}) {
    SCOPED_TRACE(level);
    wd.Write("xmodel/m", v25::Header("", {{level, 0}}, {{"mtl_a"}}));
    wd.Write("xmodelsurfs/" + level, v25::Surfaces({v25::Triangle(), carried}));
    wd.Write("xmodelparts/" + level, v20::Parts({{0, {0, 0, 0}, "root"}, {0, {0, 0, 1}, "a"}, {1, {0, 0, 6}, "b"}}, 25));
    EXPECT_TRUE(Ended(Run("export-x", {"m"}), 0));
    EXPECT_TRUE(secondIs(level, "0.00000"));  // that surface's vertices, z first; then moved by its tag
    EXPECT_EQ(Run("export-x", {"--show-exploded", "m"}).status, 0);
    EXPECT_TRUE(secondIs(level, level == "m_lod0" ? "0.00000" : "7.00000"));
  }

  WriteV20("old");
  EXPECT_TRUE(Contains(Run("export-x", {"old"}).err, "version 20"));
  EXPECT_EQ(ObjFiles(), (Files{"m_lod0.x", "m_Destructible_MP_lod0.x"}));
}

// A batch that replaces files writes each over an old file an earlier replacement traded
// out: every file keeps its own permissions, an old file with another name keeps its
// bytes, and nothing is left over.
TEST_F(ExportCommands, ReplacingBatchKeepsPermissionsAndOtherNames) {
  for (const char* name : {"a", "b", "c"}) WriteV20(name);
  const fs::path obj = wd.Path() / "obj";
  for (const char* jobs : {"1", "2"}) {
    ASSERT_EQ(Run("export-obj", {"--all", "--jobs", jobs}).status, 0);
    fs::permissions(obj / "a_lod0.obj", fs::perms(0600));
    fs::permissions(obj / "b_lod0.obj", fs::perms(0640));
    fs::permissions(obj / "c_lod0.obj", fs::perms(0754));
    fs::remove(wd.Path() / "other.mtl");
    fs::create_hard_link(obj / "a_lod0.mtl", wd.Path() / "other.mtl");
    const std::string old = test::Text(obj / "a_lod0.mtl");
    const std::string fresh = test::Text(obj / "c_lod0.obj");
    ASSERT_EQ(Run("export-obj", {"--all", "--jobs", jobs}).status, 0);
    EXPECT_EQ(fs::status(obj / "a_lod0.obj").permissions(), fs::perms(0600));
    EXPECT_EQ(fs::status(obj / "b_lod0.obj").permissions(), fs::perms(0640));
    EXPECT_EQ(fs::status(obj / "c_lod0.obj").permissions(), fs::perms(0754));
    EXPECT_EQ(test::Text(wd.Path() / "other.mtl"), old);
    EXPECT_EQ(fs::hard_link_count(wd.Path() / "other.mtl"), 1u);
    EXPECT_EQ(test::Text(obj / "c_lod0.obj"), fresh);
    EXPECT_EQ(test::CountEntries(obj), 9u);
  }
}

// However many jobs are asked for, a batch starts no more threads than it has models: under
// a 2 GiB address space (each thread reserves its stack) a hundred thousand jobs still end
// with the summary. Sanitizer builds reserve far more address space, so they run unlimited.
// Models whose levels share a name write the same files: the summary names them, whatever
// the number of jobs.
TEST_F(ExportCommands, JobsAreBoundedAndFilesWrittenTwiceAreNamed) {
  for (const char* name : {"a", "b", "c"}) WriteV20(name);
  wd.Write("xmodel/sedan1_brn_trunk", v20::Header({{"sedan_trunk_LOD01", 1, {"mtl_brn"}}}));
  wd.Write("xmodel/sedan1_green_trunk", v20::Header({{"sedan_trunk_LOD01", 1, {"mtl_green"}}}));
  wd.Write("xmodelsurfs/sedan_trunk_LOD01", v20::Surfaces({v20::Triangle()}));
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  const std::string limit;
#else
  const std::string limit = "ulimit -v 2097152 &&";
#endif
  const std::string summary = "5 of 5 models written\n2 files were written by several models, the last one's kept:\n"
                              "  sedan_trunk_LOD01.mtl, sedan_trunk_LOD01.obj: sedan1_brn_trunk, sedan1_green_trunk\n";
  for (const char* jobs : {"1", "100000"}) {
    auto r = test::RunCli({"export-obj", "--workdir", wd.Str(), "--all", "--jobs", jobs}, scratch.Path(), limit);
    EXPECT_TRUE(Ended(r, 0)) << jobs << r.err;
    EXPECT_EQ(r.out, summary);
  }
  EXPECT_TRUE(Contains(test::Text(wd.Path() / "obj/sedan_trunk_LOD01.mtl"), "newmtl mtl_green\r\n"));
}

// Several models at once write what one after the other writes: the same files with the
// same bytes, the same messages and summary. Where models share a level name the last
// one's files win, under the name the first one gave them.
TEST_F(ExportCommands, AllWithSeveralJobsWritesWhatOneJobWrites) {
  const fs::path samples = test::SamplesDir();
  if (samples.empty() || !fs::is_directory(samples / "cod4" / "xmodel")) GTEST_SKIP() << "no sample models";
  for (const char* game : {"cod2", "cod4"}) test::CopySampleInputs(game, wd.Path());
  for (const char* model : {"shared_a", "shared_b", "shared_c", "shared_d"}) {
    std::string level = model == std::string("shared_c") ? "SHARED_LOD0" : "shared_lod0";
    wd.Write(std::string("xmodel/") + model, v20::Header({{level, 1, {std::string("mtl_") + model}}}));
  }
  wd.Write("xmodelsurfs/shared_lod0", v20::Surfaces({v20::Triangle()}));

  const auto snapshot = [&] {
    std::map<std::string, std::string> files;
    for (const auto& name : test::FileNames(wd.Path() / "obj")) files[name] = test::Text(wd.Path() / "obj" / name);
    return files;
  };
  auto one = Run("export-obj", {"--all", "--jobs", "1"});
  auto files = snapshot();
  EXPECT_EQ(files.size(), 54u);  // 16 sample models of three files, one shared level, four tags listings
  EXPECT_TRUE(Contains(files["shared_lod0.mtl"], "newmtl mtl_shared_d\r\n"));
  for (int run = 0; run < 3; ++run) {
    fs::remove_all(wd.Path() / "obj");
    fs::create_directory(wd.Path() / "obj");
    auto two = Run("export-obj", {"--all", "--jobs", "2"});
    EXPECT_EQ(std::tie(two.status, two.out, two.err), std::tie(one.status, one.out, one.err));
    EXPECT_TRUE(snapshot() == files);
  }
}

// Every model is handed over once, whatever the number of jobs.
TEST(BatchExport, EveryModelIsExportedOnceAndFailuresSetTheStatus) {
  test::TempWorkdir wd;
  for (const char* name : {"a", "b", "c"}) wd.Write(std::string("xmodel/") + name, std::vector<uint8_t>{0});
  for (unsigned jobs : {1u, 2u}) {
    SCOPED_TRACE(jobs);
    std::mutex mutex;
    std::vector<std::string> exported;
    auto exportOne = [&](const std::string& name, FileSet*, Disk*, INotifier&) {
      std::lock_guard lock(mutex);
      exported.push_back(name);
      return ExportOutcome{.ok = name != "b", .error = "b is damaged"};
    };
    EXPECT_EQ(cli::ExportAllModels(wd.Str(), exportOne, jobs), cli::kExitFailed);
    std::sort(exported.begin(), exported.end());
    EXPECT_EQ(exported, (std::vector<std::string>{"a", "b", "c"}));
  }
}

}  // namespace
}  // namespace tessary
