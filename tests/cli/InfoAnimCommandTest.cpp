// tessary info-anim, run as a user runs it: the listing, the JSON form, and the failures.
#include <nlohmann/json.hpp>

#include "cli/CliRunner.h"
#include "fixtures/XAnimWriter.h"

namespace tessary {
namespace {

namespace xa = test::xanim;

struct InfoAnimCommand : ::testing::Test {
  test::CliResult InfoAnim(std::vector<std::string> args) {
    args.insert(args.begin(), {"info-anim", "--workdir", wd.Str()});
    return test::RunCli(args, scratch.Path());
  }
  test::TempWorkdir wd, scratch;
};

xa::Anim Walk() {
  xa::Anim anim;
  anim.version = 17;
  anim.frames = 3;
  anim.flags = 3;
  anim.assetType = 6;
  anim.fps = 24;
  anim.deltaTranslations.frames = {0, 3};
  anim.deltaTranslations.precision = 1;
  anim.deltaTranslations.steps = {{0, 0, 0}, {9, 9, 9}};
  anim.bones = {{"j_hip", true, true, {{0, 0, 0, 1}, {2, 0, 0, 2}}, xa::Packed({0, 1, 2, 3}, 1, {}, {}, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}})},
                {"j_\xE9paule", false, false, {}, {}}};
  anim.notes = {{"footstep", 2}};
  return anim;
}

TEST_F(InfoAnimCommand, ListsTheAnimationAsTextAndJson) {
  wd.Write("xanim/Walk", xa::Write(Walk()));
  auto run = InfoAnim({"walk"});  // found ignoring case
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "Walk\n"
            "  version 17, 3 frames at 24 fps, 0.125 s\n"
            "  flags 3 (looping, root motion)\n"
            "  asset type 6 (layered on another animation)\n"
            "  root motion: 0 rotation keys, 2 translation keys\n"
            "  bones: 2\n"
            "    j_hip: 2 rotation keys (about z, flipped), 4 translation keys (8-bit)\n"
            "    j_\xC3\xA9paule: 0 rotation keys, 0 translation keys\n"
            "  notetracks: 1\n"
            "    2: footstep\n");

  run = InfoAnim({"--json", (wd.Path() / "xanim" / "Walk").string()});  // or a path
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::parse(R"({
    "name": "Walk", "version": 17, "frames": 3, "fps": 24, "duration": 0.125, "flags": 3,
    "looping": true, "rootMotion": true, "assetType": 6,
    "rootMotionKeys": {"rotation": 0, "translation": 2},
    "bones": [{"name": "j_hip", "simple": true, "flipped": true, "rotationKeys": 2, "translationKeys": 4},
              {"name": "j_\u00e9paule", "simple": false, "flipped": false, "rotationKeys": 0, "translationKeys": 0}],
    "notetracks": [{"name": "footstep", "frame": 2}]})"));
}

TEST_F(InfoAnimCommand, MissingAndDamagedFilesAreOneLineOfError) {
  auto missing = InfoAnim({"nothing"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_TRUE(test::Contains(missing.err, "nothing") && missing.err.find('\n') == missing.err.size() - 1) << missing.err;

  auto bytes = xa::Write(Walk()).Data();
  bytes.resize(bytes.size() - 2);
  wd.Write("xanim/cut", bytes);
  auto cut = InfoAnim({"cut"});
  EXPECT_EQ(cut.status, 1);
  EXPECT_EQ(cut.out, "");
  EXPECT_TRUE(test::Contains(cut.err, "cut is damaged: it ends inside notetrack 1.\n")) << cut.err;

  // Bytes after the notetracks are reported, the rest still listed.
  bytes = xa::Write(Walk()).Data();
  bytes.push_back(0);
  wd.Write("xanim/long", bytes);
  auto longer = InfoAnim({"long"});
  EXPECT_EQ(longer.status, 0);
  EXPECT_TRUE(test::Contains(longer.out, "notetracks: 1"));
  EXPECT_TRUE(test::Contains(longer.err, "1 bytes after its notetracks")) << longer.err;
}

TEST_F(InfoAnimCommand, SampleWalk) {
  const auto samples = test::SamplesDir();
  if (samples.empty() || !std::filesystem::exists(samples / "cod4" / "xanim" / "unarmed_walk_slow"))
    GTEST_SKIP() << "no sample animations";
  auto run = test::RunCli({"info-anim", "--json", "--workdir", (samples / "cod4").string(), "unarmed_walk_slow"},
                          scratch.Path());
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["bones"].size(), 91u);
  EXPECT_EQ(json["notetracks"][1]["name"], "footstep_left_small");
  EXPECT_EQ(json["rootMotionKeys"]["translation"], 18);
}

}  // namespace
}  // namespace tessary
