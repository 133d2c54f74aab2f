// The SDK's animation source and its .gdt entry as the animation exports write them, byte
// for byte, and what they refuse.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "export/ModelExport.h"
#include "fixtures/StructuralWriter.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/XAnimWriter.h"
#include "platform/TestFiles.h"

namespace tessary {
namespace {

namespace st = test::structural;
namespace xa = test::xanim;

std::string Crlf(const std::string& text) { return std::regex_replace(text, std::regex("\n"), "\r\n"); }

std::string Part(int index, const std::string& offset, const std::string& x = "1.0000 0.0000 0.0000",
                 const std::string& y = "0.0000 1.0000 0.0000") {
  return "PART " + std::to_string(index) + "\nOFFSET " + offset + "\nSCALE 1 1 1\nX " + x + "\nY " + y +
         "\nZ 0.0000 0.0000 1.0000\n\n";
}

class XAnimExport : public ::testing::Test {
 protected:
  void SetUp() override {
    // tag_origin; J_Arm 10 above it; j_hand 5 above the arm; tag_weapon at the hand.
    for (const auto& [path, bytes] : st::ArmsModel()) wd.Write(path, bytes);
  }
  ExportOutcome Export(const std::string& anim, const std::string& with = "") {
    return ExportXAnimFiles({.workdir = wd.Str(), .modelName = "arms", .animations = {anim}, .withModel = with});
  }
  std::string Text(const std::string& relative) { return test::Text(wd.Path() / relative); }
  test::TempWorkdir wd;
};

TEST_F(XAnimExport, RelativeLoopingAnimationWithItsWrapFrameAndNotetracks) {
  // A viewmodel's kind (asset type 1): the arm's stored translation is its local one, so it
  // stands at (2, 0, 10), not 10 higher. It turns a quarter about z in frame 1; the hand,
  // which the file names without keys, follows at its bind pose. The looping animation's
  // two frames are written with the wrap frame after them.
  xa::Anim walk{.version = 17, .frames = 2, .flags = 1, .assetType = 1, .fps = 30};
  walk.bones = {{"j_arm", false, false, {{0, 0, 0, 0}, {1, 0, 0, 23170}, {2, 0, 0, 0}}, xa::Floats({0}, {{2, 0, 10}})},
                {"J_HAND", false, false, {}, {}},
                {"j_missing", false, false, {}, {}}};
  walk.notes = {{"fire", 1}};
  wd.Write("xanim/walk", xa::Write(walk));
  const ExportOutcome outcome = Export("WALK");
  ASSERT_TRUE(outcome.ok) << outcome.error;
  EXPECT_EQ(outcome.warnings, (std::vector<std::string>{"walk: 1 of its 3 bones are not in arms: j_missing"}));
  const std::string still = Part(0, "2.0000 0.0000 10.0000") + Part(1, "2.0000 0.0000 15.0000");
  const std::string turned = Part(0, "2.0000 0.0000 10.0000", "0.0000 1.0000 0.0000", "-1.0000 0.0000 0.0000") +
                             Part(1, "2.0000 0.0000 15.0000", "0.0000 1.0000 0.0000", "-1.0000 0.0000 0.0000");
  EXPECT_EQ(Text("obj/walk.XANIM_EXPORT"),
            Crlf("ANIMATION\nVERSION 3\n\nNUMPARTS 2\nPART 0 \"j_arm\"\nPART 1 \"J_HAND\"\n\n"
                 "FRAMERATE 30\nNUMFRAMES 3\n\nFRAME 0\n" + still + "\nFRAME 1\n" + turned + "\nFRAME 2\n" + still +
                 "\nNOTETRACKS\n\nPART 0\nNUMTRACKS 1\nNOTETRACK 0\nNUMKEYS 1\nFRAME 1 \"fire\"\n\n"
                 "PART 1\nNUMTRACKS 0\n\n"));
  EXPECT_EQ(Text("obj/walk.gdt"),
            Crlf("\n{\n\t\"walk\" ( \"xanim.gdf\" )\n\t{\n\t\t\"filename\" \"walk.XANIM_EXPORT\"\n"
                 "\t\t\"model\" \"arms0.XMODEL_EXPORT\"\n\t\t\"looping\" \"1\"\n\t\t\"type\" \"relative\"\n"
                 "\t\t\"useBones\" \"0\"\n\t\t\"node\" \"\"\n\t\t\"angleError\" \"0.05\"\n"
                 "\t\t\"translationError\" \"0.025\"\n\t\t\"boneStabilizers\" \"\"\n\t}\n}\n"));
}

TEST_F(XAnimExport, RootMotionMovesTagOriginWhichComesFirst) {
  // A character's kind (asset type 2): the delta track carries tag_origin 30 along x, and
  // the arm's stored translation is added to its bind translation.
  xa::Anim run{.version = 17, .frames = 2, .flags = 2, .assetType = 2, .fps = 30,
               .deltaTranslations = xa::Packed({0, 1}, 1, {0, 0, 0}, {30, 0, 0}, {{0, 0, 0}, {255, 0, 0}}),
               .bones = {{"j_arm", false, false, {}, xa::Floats({0}, {{0, 1, 0}})}}};
  wd.Write("xanim/run", xa::Write(run));
  const ExportOutcome outcome = Export("run");
  ASSERT_TRUE(outcome.ok) << outcome.error;
  EXPECT_TRUE(outcome.warnings.empty());
  const std::string text = Text("obj/run.XANIM_EXPORT");
  EXPECT_NE(text.find(Crlf("NUMPARTS 2\nPART 0 \"tag_origin\"\nPART 1 \"j_arm\"\n")), std::string::npos) << text;
  EXPECT_NE(text.find(Crlf("FRAME 1\n" + Part(0, "30.0000 0.0000 0.0000") + Part(1, "30.0000 1.0000 10.0000"))),
            std::string::npos)
      << text;
  const std::string gdt = Text("obj/run.gdt");
  EXPECT_NE(gdt.find("\"type\" \"delta\""), std::string::npos);
  EXPECT_NE(gdt.find("\"useBones\" \"1\""), std::string::npos);
}

// Every animation export reads its level, second model and animations in one place before
// writing anything (the glTF export's too).
TEST_F(XAnimExport, AMissingOrDamagedInputWritesNothing) {
  xa::Anim idle{.version = 17, .frames = 1, .assetType = 1, .bones = {{"j_arm", false, false, {}, {}}}};
  auto bytes = xa::Write(idle).Data();
  bytes.pop_back();
  wd.Write("xanim/cut", bytes);
  wd.Write("xanim/idle", xa::Write(idle));
  const std::pair<std::pair<std::string, std::string>, std::string> cases[] = {
      {{"cut", ""}, "cut is damaged: it ends inside the notetracks"},
      {{"nothing", ""}, "cannot find the animation nothing"},
      {{"idle", "no_gun"}, "no_gun"}};
  for (const auto& [input, error] : cases) {
    const ExportOutcome outcome = Export(input.first, input.second);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.error.find(error), std::string::npos) << outcome.error;
  }
  EXPECT_TRUE(std::filesystem::is_empty(wd.Path() / "obj"));
}

}  // namespace
}  // namespace tessary
