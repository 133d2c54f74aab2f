// tessary export-xmodel and export-xanim, run as a user runs them (their usage errors: the
// usage-error table).
#include "cli/CliRunner.h"
#include "fixtures/StructuralWriter.h"
#include "fixtures/XAnimWriter.h"

namespace tessary {
namespace {

namespace st = test::structural;
namespace xa = test::xanim;
using test::Contains;
using test::Ended;
using Files = std::set<std::string>;

// The values of the .gdt's fields `keys`, in order.
std::vector<std::string> Fields(const std::string& gdt, std::initializer_list<const char*> keys) {
  std::vector<std::string> out;
  for (const std::string key : keys) {
    const size_t at = gdt.find("\t\t\"" + key + "\" \""), from = at + key.size() + 6;
    out.push_back(at == std::string::npos ? "(none)" : gdt.substr(from, gdt.find('"', from) - from));
  }
  return out;
}

using ExportXModelCommand = test::CommandTest;

TEST_F(ExportXModelCommand, WritesTheLevelsWithAGdtNamingThemInOrderAndNothingOfAModelThatFails) {
  test::WriteArm(wd, "arm", 2);  // levels arm0, arm1, arm1
  auto r = Run("export-xmodel", {"--all-lods", "arm"});
  ASSERT_TRUE(Ended(r, 0) && r.out.empty());
  EXPECT_EQ(test::FileNames(wd.Path() / "obj"), (Files{"arm0.XMODEL_EXPORT", "arm1.XMODEL_EXPORT", "arm.gdt"}));
  EXPECT_EQ(Fields(test::Text(wd.Path() / "obj/arm.gdt"),
                   {"type", "filename", "highLodDist", "mediumLod", "mediumLodDist", "lowLod", "lowLodDist", "lowestLod"}),
            (std::vector<std::string>{"animated", "arm0.XMODEL_EXPORT", "100", "arm1.XMODEL_EXPORT", "200",
                                      "arm1.XMODEL_EXPORT", "300", ""}));
  // One level: the .gdt names it alone; the arm bone sits 10 up, doubled by --scale.
  ASSERT_TRUE(Ended(Run("export-xmodel", {"--lod", "1", "--scale", "2", "arm"}), 0));
  EXPECT_EQ(Fields(test::Text(wd.Path() / "obj/arm.gdt"), {"filename", "mediumLod"}),
            (std::vector<std::string>{"arm1.XMODEL_EXPORT", ""}));
  EXPECT_TRUE(Contains(test::Text(wd.Path() / "obj/arm1.XMODEL_EXPORT"), "BONE 1\r\nOFFSET 0.000000, 0.000000, 20.000000\r\n"));

  // --all goes on past a model that fails and writes nothing of it.
  std::filesystem::remove_all(wd.Path() / "obj");
  std::filesystem::create_directory(wd.Path() / "obj");
  test::WriteArm(wd, "leg", 2);
  wd.Write("xmodelsurfs/leg0", std::vector<uint8_t>{20, 0, 1, 0, 0, 9});  // damaged
  wd.Write("xmodel/junk", std::vector<uint8_t>{99, 0});
  r = Run("export-xmodel", {"--all", "--jobs", "2"});
  EXPECT_TRUE(Ended(r, 1) && Contains(r.out, "1 of 3 models written, 2 failed:") && Contains(r.out, "leg0") &&
              Contains(r.out, "junk"))
      << r.out;
  EXPECT_EQ(test::FileNames(wd.Path() / "obj"), (Files{"arm0.XMODEL_EXPORT", "arm.gdt"}));
  // --all-lods stops at the level that fails, naming it; no .gdt is written for the model.
  EXPECT_TRUE(Ended(Run("export-xmodel", {"--all-lods", "leg"}), 1, "leg0"));
  EXPECT_FALSE(wd.Exists("obj/leg.gdt"));
}

using ExportXAnimCommand = test::CommandTest;

TEST_F(ExportXAnimCommand, WritesEachAnimationAndGoesOnPastOneThatFails) {
  for (const auto& [path, bytes] : st::ArmsModel()) wd.Write(path, bytes);
  wd.Write("xanim/wave", xa::Write({.bones = {{"j_arm", false, false, {}, {}}, {"j_tail", false, false, {}, {}}}}));
  wd.Write("xanim/nod", xa::Write({.bones = {{"J_HAND", false, false, {}, {}}}}));
  auto run = Run("export-xanim", {"--model", "arms", "wave", "missing", "nod"});
  EXPECT_TRUE(Ended(run, 1, "cannot find the animation missing")) << run.err;
  EXPECT_TRUE(Contains(run.err, "tessary: warning: wave: 1 of its 2 bones are not in arms: j_tail")) << run.err;
  // The model the animations were laid onto is written beside them.
  for (const char* file : {"obj/wave.XANIM_EXPORT", "obj/wave.gdt", "obj/nod.XANIM_EXPORT", "obj/nod.gdt",
                           "obj/arms0.XMODEL_EXPORT"})
    EXPECT_TRUE(wd.Exists(file)) << file;
  EXPECT_FALSE(wd.Exists("obj/missing.gdt"));
}

}  // namespace
}  // namespace tessary
