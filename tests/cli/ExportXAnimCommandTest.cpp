// tessary export-xanim, run as a user runs it.
#include "cli/CliRunner.h"
#include "fixtures/StructuralWriter.h"
#include "fixtures/XAnimWriter.h"

namespace tessary {
namespace {

namespace st = test::structural;
namespace xa = test::xanim;
using test::Contains;
using test::Ended;

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
