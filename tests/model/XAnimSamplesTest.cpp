// The real animation files of the samples folder, when it is there: each reads to its last
// byte with the header its notes give.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "fixtures/TempWorkdir.h"
#include "model/XAnimReader.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

struct Expected {
  uint16_t version, frames;
  uint8_t flags;
  uint16_t fps;
  size_t bones, notes;
};

const std::map<std::string, Expected> kAnims = {
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
    if (!fs::is_directory(samples / game / "xanim")) continue;
    for (const auto& entry : fs::directory_iterator(samples / game / "xanim")) {
      const std::string key = std::string(game) + "/xanim/" + entry.path().filename().string();
      SCOPED_TRACE(key);
      XAnimResult r = LoadXAnim(entry.path());
      ASSERT_TRUE(r.anim) << r.error;
      EXPECT_EQ(r.bytesRead, r.fileSize);
      EXPECT_EQ(r.fileSize, fs::file_size(entry.path()));
      ++seen;
      auto it = kAnims.find(key);
      if (it == kAnims.end()) continue;
      const Expected& e = it->second;
      const XAnim& a = *r.anim;
      EXPECT_EQ(a.version, e.version);
      EXPECT_EQ(a.frames, e.frames);
      EXPECT_EQ(a.flags, e.flags);
      EXPECT_EQ(a.fps, e.fps);
      EXPECT_EQ(a.bones.size(), e.bones);
      EXPECT_EQ(a.notes.size(), e.notes);
      for (const XAnimBone& bone : a.bones) {
        for (const auto& key : bone.rotations) {
          const Quat& q = key.rotation;
          EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0, 1e-3) << bone.name;
        }
      }
    }
  }
  EXPECT_GE(seen, kAnims.size());
}

TEST(XAnimSamples, TheWalkHasRootMotionNotesAndBothPrecisions) {
  const fs::path file = test::SamplesDir() / "cod4" / "xanim" / "unarmed_walk_slow";
  if (test::SamplesDir().empty() || !fs::exists(file)) GTEST_SKIP() << "the sample animations are not there";
  XAnimResult r = LoadXAnim(file);
  ASSERT_TRUE(r.anim) << r.error;
  const XAnim& a = *r.anim;
  EXPECT_TRUE(a.deltaRotations.empty());
  ASSERT_EQ(a.deltaTranslations.size(), 18u);
  // The walk goes forward along x, about 56 units in its 34 frames.
  EXPECT_NEAR(a.deltaTranslations.front().translation[0], 0, 1e-3);
  EXPECT_NEAR(a.deltaTranslations.back().translation[0], 56.45, 0.01);
  EXPECT_EQ(a.deltaTranslations.back().frame, 34);
  EXPECT_EQ(a.notes[0].name, "footstep_right_small");
  EXPECT_EQ(a.notes[1].name, "footstep_left_small");
  bool bytes = false, words = false;
  for (const XAnimBone& bone : a.bones) {
    if (bone.translations.size() < 2) continue;
    (bone.translationPrecision == 1 ? bytes : words) = true;
  }
  EXPECT_TRUE(bytes && words);
}

}  // namespace
}  // namespace tessary
