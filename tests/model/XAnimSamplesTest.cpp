// The real animation files of the samples folder, when it is there: each reads to its last
// byte with the header its notes give; the walk's root motion and both precisions.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "fixtures/TempWorkdir.h"
#include "model/XAnimReader.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

// Version, frames, flags, frame rate, bones and notes.
const std::map<std::string, std::array<size_t, 6>> kAnims = {
    {"cod1-animated/xanim/Cocktail_throw", {14, 6, 0, 30, 49, 0}},
    {"cod2/xanim/hoek_cross_reload", {14, 34, 0, 30, 59, 0}},
    {"cod2/xanim/hoek_cross_idle", {14, 1, 0, 30, 59, 0}},
    {"cod4/xanim/unarmed_walk_slow", {17, 35, 2, 30, 91, 2}},
};

TEST(XAnimSamples, EveryAnimationReadsToItsLastByte) {
  const fs::path samples = test::SamplesDir();
  if (samples.empty() || !fs::is_directory(samples / "cod2" / "xanim")) GTEST_SKIP() << "the sample animations are not there";
  size_t seen = 0;
  for (const char* game : {"cod1-animated", "cod2", "cod4"}) {
    for (const auto& entry : fs::directory_iterator(samples / game / "xanim")) {
      const std::string key = std::string(game) + "/xanim/" + entry.path().filename().string();
      SCOPED_TRACE(key);
      XAnimResult r = LoadXAnim(entry.path());
      ASSERT_TRUE(r.anim) << r.error;
      EXPECT_EQ(r.bytesRead, fs::file_size(entry.path()));
      ++seen;
      const XAnim& a = *r.anim;
      for (const XAnimBone& bone : a.bones)
        for (const auto& key : bone.rotations) {
          const Quat& q = key.rotation;
          EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0, 1e-3) << bone.name;
        }
      EXPECT_EQ(kAnims.at(key), (std::array<size_t, 6>{a.version, a.frames, a.flags, a.fps, a.bones.size(), a.notes.size()}));
      if (a.version != 17) continue;
      // The walk goes forward along x, about 56 units in its 34 frames, with root motion
      // and translations of both precisions.
      EXPECT_TRUE(a.deltaRotations.empty());
      ASSERT_EQ(a.deltaTranslations.size(), 18u);
      EXPECT_NEAR(a.deltaTranslations.front().translation[0], 0, 1e-3);
      EXPECT_NEAR(a.deltaTranslations.back().translation[0], 56.45, 0.01);
      EXPECT_EQ(a.deltaTranslations.back().frame, 34);
      EXPECT_EQ(a.notes[0].name, "footstep_right_small");
      EXPECT_EQ(a.notes[1].name, "footstep_left_small");
      bool bytes = false, words = false;
      for (const XAnimBone& bone : a.bones)
        if (bone.translations.size() > 1) (bone.translationPrecision == 1 ? bytes : words) = true;
      EXPECT_TRUE(bytes && words);
    }
  }
  EXPECT_EQ(seen, kAnims.size());
}

}  // namespace
}  // namespace tessary
