// tessary render, run as a user runs it: the picture file, its size, and the refusals.
#include "cli/CliRunner.h"

namespace tessary {
namespace {

TEST(RenderCommand, WritesAPngOfTheAskedSizeOrRefusesWithoutTouchingTheOutput) {
  test::TempWorkdir wd;
  if (!test::HasRenderCommand(wd.Path())) GTEST_SKIP() << "built without the preview";
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"render", "--workdir", wd.Str()});
    return test::RunCli(args, wd.Path());
  };
  ASSERT_EQ(test::RunCli({"example", wd.Str()}, wd.Path()).status, 0);
  const std::string shot = (wd.Path() / "shot.png").string();
  auto r = run({"--size", "64x48", "--frames", "3", "--wireframe", "-o", shot, "example_crate"});
  ASSERT_EQ(r.status, 0) << r.err;
  // Signature, then the header chunk: length 13, "IHDR", width 64, height 48, 8-bit RGB.
  EXPECT_EQ(test::Slurp(shot).substr(0, 26),
            std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x40\0\0\0\x30\x08\x02", 26));

  std::ofstream(shot) << "precious";
  for (const char* size : {"0x10", "10x", "9000x10"})
    EXPECT_EQ(run({"-o", shot, "--size", size, "example_crate"}).status, 2) << size;
  r = run({"-o", shot, "no_such_model"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(test::Contains(r.err, "cannot open the model header")) << r.err;
  EXPECT_EQ(test::Slurp(shot), "precious");
}

}  // namespace
}  // namespace tessary
