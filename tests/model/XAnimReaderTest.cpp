// Animation files read from bytes laid out by hand, the listing of those that drive a
// model, and an animation laid onto a skeleton.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "fixtures/TempWorkdir.h"
#include "fixtures/XAnimWriter.h"
#include "model/SkeletonAnimation.h"
#include "model/XAnimListing.h"
#include "model/XAnimReader.h"
#include "platform/Disk.h"

namespace tessary {
namespace {

using test::ByteWriter;
namespace xa = test::xanim;

XAnim ReadOk(const ByteWriter& w) {
  XAnimResult r = ReadXAnim(w.Data(), "anim");
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.bytesRead, w.Size()) << "read to the last byte";
  return r.anim.value_or(XAnim{});
}

// The header, the bones with their masks (/s simple, /f flipped) and the notes in one line.
std::string Describe(const XAnim& a) {
  std::string s = std::to_string(a.version) + " " + std::to_string(a.frames) + "f " + std::to_string(a.fps) +
                  "fps flags " + std::to_string(a.flags) + " type " + std::to_string(a.assetType) + " |";
  for (const auto& b : a.bones) s += " " + b.name + (b.simple ? "/s" : "") + (b.flipped ? "/f" : "");
  s += " |";
  for (const auto& n : a.notes) s += " " + n.name + "@" + std::to_string(n.frame);
  return s;
}

// A track in one line: " frame:components" per key (6 significant digits).
template <typename Keys>
std::string Track(const Keys& keys) {
  std::ostringstream out;
  for (const auto& k : keys) {
    out << " " << k.frame << ":";
    if constexpr (requires { k.rotation; }) out << k.rotation.x << "," << k.rotation.y << "," << k.rotation.z << "," << k.rotation.w;
    else out << k.translation[0] << "," << k.translation[1] << "," << k.translation[2];
  }
  return out.str();
}

TEST(XAnimReader, HeaderWithItsAssetTypeAndTwoMaskBytes) {
  // (Version 14's header and masks: the animated glTF export test and the track form tests.)
  // Version 17: the asset type byte before the frame rate; nine bones take two mask bytes.
  ByteWriter v17;
  v17.U16(17).U16(1).U16(9).U8(0).U8(6).U16(15).U16(0x0100).U16(0);
  for (int i = 0; i < 9; ++i) v17.Z(std::string(1, char('a' + i)));
  for (int i = 0; i < 9; ++i) v17.U16(0).U16(0);
  EXPECT_EQ(Describe(ReadOk(v17.U8(0))), "17 1f 15fps flags 0 type 6 | a b c d e f g h i/f |");
}

// One full-rotation bone whose rotation track is `track`, in an animation of `frames`.
ByteWriter OneTrack(uint16_t frames, uint8_t flags, const ByteWriter& track) {
  ByteWriter w;
  w.U16(14).U16(frames).U16(1).U8(flags).U16(30).U8(0).U8(0).Z("j");
  return w.Append(track).U16(0).U8(0);
}

// `n` keys of (0, 0, 100 k).
ByteWriter Keys(int n) {
  ByteWriter w;
  for (int k = 0; k < n; ++k) w.U16(0).U16(0).U16(uint16_t(k * 100));
  return w;
}

TEST(XAnimReader, TrackFormsFollowTheKeyCountAndIndicesAreBytesUpTo256Slots) {
  const struct { const char* what; uint16_t frames; uint8_t flags; ByteWriter track; std::vector<uint16_t> keys; } cases[] = {
      // (No keys, a key per slot and byte indices: the animated glTF export test.)
      {"one key: on frame 0, no index", 4, 0, ByteWriter().U16(1).Append(Keys(1)), {0}},
      {"looping: a slot more than the frames", 3, 1, ByteWriter().U16(4).Append(Keys(4)), {0, 1, 2, 3}},
      {"256 slots: byte indices", 256, 0, ByteWriter().U16(2).U8(0).U8(255).Append(Keys(2)), {0, 255}},
      {"257 slots: word indices", 256, 1, ByteWriter().U16(2).U16(0).U16(256).Append(Keys(2)), {0, 256}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const XAnim a = ReadOk(OneTrack(c.frames, c.flags, c.track));
    std::vector<uint16_t> frames;
    for (const auto& k : a.bones.at(0).rotations) frames.push_back(k.frame);
    ASSERT_EQ(frames, c.keys);
    EXPECT_FLOAT_EQ(a.bones[0].rotations.back().rotation.z, float(c.keys.size() - 1) * 100 / 32768);
  }
}

TEST(XAnimReader, SimpleAndFullRotations) {
  xa::Anim anim;
  anim.bones = {{"simple", true, false, {{0, 0, 0, 16384}}, {}},
                {"full", false, true, {{0, -16384, 8192, 0}}, {}},
                {"extreme", false, false, {{0, -32768, 0, 0}}, {}}};
  XAnim a = ReadOk(xa::Write(anim));
  // w stays positive: flipping is not negating here.
  EXPECT_EQ(Track(a.bones[0].rotations) + " |" + Track(a.bones[1].rotations) + " |" + Track(a.bones[2].rotations),
            " 0:0,0,0.5,0.866025 | 0:-0.5,0.25,0,0.829156 | 0:-1,0,0,0");
}

TEST(XAnimReader, TranslationsInBothVersionsAndPrecisions) {
  // (Version 14's floats per key: the animated glTF export test.)
  // Version 17: one key is three floats; several keys are steps in a box, hand-laid here.
  ByteWriter v17;
  v17.U16(17).U16(3).U16(3).U8(0).U8(0).U16(30).U8(0).U8(0).Z("one").Z("bytes").Z("words");
  v17.U16(0).U16(1).F32(7).F32(8).F32(9);
  v17.U16(0).U16(2).U8(0).U8(2).U8(1).F32(-1).F32(0).F32(10).F32(2).F32(510).F32(0);
  v17.Bytes({0, 255, 51}).Bytes({255, 0, 0});
  v17.U16(0).U16(3).U8(0).F32(0).F32(100).F32(-5).F32(65535).F32(1).F32(1).U16(1).U16(0).U16(65535);
  v17.U16(65535).U16(32768).U16(7).U16(0).U16(0).U16(0);
  const XAnim a = ReadOk(v17.U8(0));
  EXPECT_EQ(Track(a.bones[0].translations), " 0:7,8,9");
  EXPECT_EQ(Track(a.bones[1].translations), " 0:-1,510,10 2:1,0,10");
  // A key per frame: no indices.
  EXPECT_EQ(Track(a.bones[2].translations), " 0:1,100,-4 1:65535,100.5,-4.99989 2:0,100,-5");
  EXPECT_EQ((std::vector<int>{a.bones[1].translationPrecision, a.bones[2].translationPrecision}), (std::vector<int>{1, 0}));
}

TEST(XAnimReader, DeltaTracksAndNotes) {
  xa::Anim anim{.version = 17, .frames = 10, .flags = 3, .deltaRotations = {{0, 0, 0, 100}, {10, 0, 0, -200}},
                .deltaTranslations = xa::Packed({0, 4, 10}, 1, {0, 0, 0}, {51, 0, 0}, {{0, 0, 0}, {5, 0, 0}, {255, 0, 0}}),
                .bones = {{"tag_origin", false, false, {}, {}}},
                .notes = {{"start", 0}, {"footstep_left", 4}, {"end", 10}}};
  XAnim a = ReadOk(xa::Write(anim));  // delta rotations: one word per key, after two index bytes
  EXPECT_EQ(Track(a.deltaRotations), " 0:0,0,0.00305176,0.999995 10:0,0,-0.00610352,0.999981");
  EXPECT_EQ(Describe(a), "17 10f 30fps flags 3 type 0 | tag_origin | start@0 footstep_left@4 end@10");
}

TEST(XAnimReader, DamagedFilesGiveAMessageNamingTheFile) {
  EXPECT_EQ(ReadXAnim({14, 0, 1}, "h").error, "The animation file h is damaged: it ends inside its header.");

  const auto damaged = [](const ByteWriter& w) { return ReadXAnim(w.Data(), "bad").error; };
  EXPECT_EQ(damaged(ByteWriter().U16(15).U16(1).U16(0).U8(0).U16(30).U8(0)),
            "The animation file bad is damaged: its version is 15, not 14 or 17.");
  EXPECT_EQ(damaged(ByteWriter().U16(14).U16(0).U16(0).U8(0).U16(30).U8(0)),
            "The animation file bad is damaged: it has no frames.");
  EXPECT_EQ(damaged(OneTrack(2, 0, ByteWriter().U16(3))),
            "The animation file bad is damaged: the rotation track of bone 1 (j) has 3 keys for 2 frames.");
  EXPECT_EQ(damaged(OneTrack(4, 0, ByteWriter().U16(2).U8(1).U8(4).Fill(12))),
            "The animation file bad is damaged: the rotation track of bone 1 (j) has a key on frame 4 of 4.");
  ByteWriter precision;
  precision.U16(17).U16(3).U16(1).U8(0).U8(0).U16(30).U8(0).U8(0).Z("j").U16(0).U16(2).U8(0).U8(2).U8(2).Fill(40);
  EXPECT_EQ(damaged(precision),
            "The animation file bad is damaged: the translation track of bone 1 (j) has the unknown precision 2.");
}

xa::Anim Named(std::vector<std::string> names) {
  xa::Anim a;
  for (std::string& name : names) a.bones.push_back({std::move(name), false, false, {{0, 0, 0, 100}}, {}});
  return a;
}

std::vector<std::pair<std::string, size_t>> Rows(const XAnimListing& listing) {
  std::vector<std::pair<std::string, size_t>> rows;
  for (const XAnimMatch& m : listing.matches) rows.emplace_back(m.fileName, m.matchedBones);
  return rows;
}

TEST(XAnimListing, MostMatchedBonesFirstTiesInNameOrderOthersLeftOut) {
  test::TempWorkdir wd;
  const std::vector<std::string> model = {"tag_origin", "J_Elbow_LE", "j_wrist_le", "tag_weapon"};
  wd.Write("XAnim/b_reload", xa::Write(Named({"j_elbow_le", "J_WRIST_LE", "j_gun"})));
  wd.Write("XAnim/a_idle", xa::Write(Named({"j_wrist_le", "j_gun", "j_bolt"})));
  xa::Anim fire = Named({"j_wrist_le", "j_elbow_le", "tag_weapon", "j_wrist_le"});
  fire.version = 17;  // with its asset type byte in the header
  wd.Write("XAnim/c_fire", xa::Write(fire));

  // A root-motion track of 3000 keys puts the names some 40 KB into the file: the first
  // read of its start does not reach them. One of 700 keys puts them past that read in a
  // file shorter than twice it.
  auto walk = [](uint16_t frames) {
    xa::Anim a = Named({"tag_weapon"});
    a.frames = frames;
    a.flags = 2;
    for (uint16_t f = 0; f < frames; ++f) a.deltaRotations.push_back({f, 0, 0, 1}), a.deltaTranslations.frames.push_back(f);
    a.deltaTranslations.floats.assign(frames, {1, 2, 3});
    return xa::Write(a);
  };
  wd.Write("XAnim/e_long", walk(3000));
  const ByteWriter shorter = walk(700);
  ASSERT_GT(shorter.Size(), 8192u + 100);
  ASSERT_LT(shorter.Size(), 16384u);
  wd.Write("XAnim/d_mid", shorter);

  // Left out: cut inside its names, an unknown version.
  std::vector<uint8_t> cut = xa::Write(Named({"j_wrist_le", "j_elbow_le"})).Data();
  cut.resize(9 + 2 + 15);  // header, masks, then inside the second name
  wd.Write("XAnim/f_cut", cut);
  std::vector<uint8_t> badVersion = xa::Write(Named({"j_wrist_le"})).Data();
  badVersion[0] = 15;
  wd.Write("XAnim/j_v15", badVersion);
  // Damaged after the names: the listing reads no further, the export will say so.
  std::vector<uint8_t> tail = xa::Write(Named({"j_wrist_le", "j_elbow_le"})).Data();
  tail.resize(tail.size() - 3);
  wd.Write("XAnim/i_tail", tail);

  Disk disk;
  const XAnimListing listing = ListMatchingXAnims(disk, wd.Str(), model);
  EXPECT_EQ(listing.folder, wd.Path() / "XAnim");
  EXPECT_EQ(Rows(listing), (std::vector<std::pair<std::string, size_t>>{
                                {"c_fire", 3}, {"b_reload", 2}, {"i_tail", 2}, {"a_idle", 1}, {"d_mid", 1}, {"e_long", 1}}));
  ASSERT_EQ(listing.matches.size(), 6u);
  EXPECT_EQ(listing.matches[0].bones, 4u);  // one of its four names twice, matched once
}

using Vec = std::vector<std::array<float, 3>>;

std::vector<Bone> Skeleton() {
  return {{"tag_origin"}, {"J_Hip", 0, {0, 0, 40}, {0, 0, 0.6f, 0.8f}},
          {"j_knee", 1, {0, 0, -20}, {0.6f, 0, 0, 0.8f}}, {"j_hip", 0, {1, 1, 1}}};
}

template <typename Channel>
const Channel* Of(const std::vector<Channel>& channels, size_t bone) {
  for (const auto& c : channels)
    if (c.bone == bone) return &c;
  return nullptr;
}

TEST(SkeletonAnimation, DrivesBonesByNameIgnoringCaseWithTheBindPoseUnderneath) {
  // The skeleton spells the hip J_Hip first, then j_hip: the first takes it; the animation
  // spells the knee J_KNEE first, then j_knee: the first drives it. The hip keeps its bind
  // rotation; the knee's rotations replace its bind rotation. (Translations added to the
  // bind's, bind translations kept and missing bones: the animated glTF export test.)
  const XAnim anim{.name = "walk", .frames = 10, .fps = 20,
                   .bones = {{.name = "j_hip", .translations = {{0, {1, 2, 3}}, {4, {-1, 0, 0}}}},
                             {.name = "J_KNEE", .rotations = {{0, {0, 0, 0, 1}}, {9, {0.6f, 0, 0, 0.8f}}}},
                             {.name = "j_knee", .rotations = {{0, {0, 0.6f, 0, 0.8f}}}}}};
  const SkeletonAnimation s = AnimateSkeleton(anim, Skeleton(), true);
  EXPECT_DOUBLE_EQ(s.duration, 9.0 / 20);
  ASSERT_EQ(s.rotations.size(), 2u);  // one channel of each kind per driven bone, in skeleton order
  EXPECT_EQ((std::vector<size_t>{s.rotations[0].bone, s.rotations[1].bone, s.translations.at(0).bone}), (std::vector<size_t>{1, 2, 1}));
  EXPECT_FLOAT_EQ(s.rotations[0].values.at(0).z, 0.6f);
  ASSERT_EQ(s.rotations[1].values.size(), 2u);
  EXPECT_FLOAT_EQ(s.rotations[1].values[1].x, 0.6f);
  EXPECT_TRUE(s.missingBones.empty());
}

TEST(SkeletonAnimation, RelativeAnimationsStoreTheWholeLocalTranslation) {
  // The fourth game's viewmodel animations (asset type 1) store a bone's local translation
  // itself; its other types and the first games' files store an offset from the bind's.
  XAnim anim{.version = XAnim::kPackedVersion, .frames = 2, .assetType = XAnim::kRelative, .fps = 30,
             .bones = {{.name = "j_hip", .translations = {{0, {1, 2, 3}}, {1, {1, 2, 4}}}}}};
  EXPECT_EQ(Of(AnimateSkeleton(anim, Skeleton(), true).translations, 1)->values, (Vec{{1, 2, 3}, {1, 2, 4}}));
  anim.assetType = XAnim::kDeltaType;
  EXPECT_EQ(Of(AnimateSkeleton(anim, Skeleton(), true).translations, 1)->values, (Vec{{1, 2, 43}, {1, 2, 44}}));
  anim.assetType = XAnim::kRelative;
  anim.version = 14;
  EXPECT_EQ(Of(AnimateSkeleton(anim, Skeleton(), true).translations, 1)->values, (Vec{{1, 2, 43}, {1, 2, 44}}));
}

TEST(SkeletonAnimation, NeighbouringKeysShareTheirSign) {
  // A stored key's w is never negative: a rotation past half a turn is stored negated.
  // Key 1 continues key 0 past it; key 2 continues key 1 as stored; key 3 is a quarter
  // turn about another axis, which the shorter way reaches from key 2 negated.
  const XAnim anim{.frames = 4, .fps = 30,
                   .bones = {{.name = "j_knee", .flipped = true,
                              .rotations = {{0, {0.96f, 0, 0, 0.28f}}, {1, {-0.96f, 0, 0, 0.28f}},
                                            {2, {-0.8f, 0, 0, 0.6f}}, {3, {0, 0.6f, 0, 0.8f}}}}}};
  const std::vector<Quat> q = Of(AnimateSkeleton(anim, Skeleton(), true).rotations, 2)->values;
  ASSERT_EQ(q.size(), 4u);
  const float got[] = {q[0].x, q[1].x, q[1].w, q[2].x, q[2].w, q[3].y, q[3].w};
  const float want[] = {0.96f, 0.96f, -0.28f, 0.8f, -0.6f, -0.6f, -0.8f};
  for (size_t i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(got[i], want[i]) << i;
}

TEST(SkeletonAnimation, KeysThatDoNotAdvanceAreLeftOutAndRotationsComeOutOfUnitLength) {
  const XAnim anim{.frames = 5, .fps = 10,
                   .bones = {{.name = "j_hip",
                              .rotations = {{0, {-1, -1, 0, 0}}},  // two words at their limit
                              .translations = {{0, {1, 0, 0}}, {3, {2, 0, 0}}, {3, {3, 0, 0}}, {1, {4, 0, 0}}, {4, {5, 0, 0}}}}}};
  const SkeletonAnimation s = AnimateSkeleton(anim, Skeleton(), true);
  EXPECT_EQ(Of(s.translations, 1)->times, (std::vector<float>{0, 0.3f, 0.4f}));
  EXPECT_EQ(Of(s.translations, 1)->values.back()[0], 5);
  EXPECT_FLOAT_EQ(Of(s.rotations, 1)->values[0].x, -std::sqrt(0.5f));
  EXPECT_FLOAT_EQ(Of(s.rotations, 1)->values[0].y, -std::sqrt(0.5f));
}

TEST(SkeletonAnimation, RootMotionDrivesTagOrigin) {
  XAnim anim{.frames = 30, .flags = XAnim::kDelta, .fps = 30,
             .deltaRotations = {{0, {0, 0, 0, 1}}, {15, {0, 0, -0.5f, std::sqrt(0.75f)}}},
             .deltaTranslations = {{0, {0, 0, 0}}, {29, {50, 0, 0}}},
             .bones = {{.name = "TAG_ORIGIN", .rotations = {{0, {0, 0, 0.1f, std::sqrt(0.99f)}}},
                        .translations = {{0, {5, 5, 5}}}},
                       {.name = "j_hip"}}};
  SkeletonAnimation s = AnimateSkeleton(anim, Skeleton(), true);
  EXPECT_TRUE(s.rootMotionApplied && !s.rootMotionLost);
  // The delta tracks replace the bone's own.
  EXPECT_EQ(Of(s.translations, 0)->values, (Vec{{0, 0, 0}, {50, 0, 0}}));
  EXPECT_EQ(Of(s.translations, 0)->times, (std::vector<float>{0, 29 / 30.0f}));
  EXPECT_FLOAT_EQ(Of(s.rotations, 0)->values.at(1).z, -0.5f);

  // A delta track of one kind replaces only that kind: tag_origin keeps its own rotation.
  XAnim translationOnly = anim;
  translationOnly.deltaRotations.clear();
  s = AnimateSkeleton(translationOnly, Skeleton(), true);
  EXPECT_EQ(Of(s.translations, 0)->values, (Vec{{0, 0, 0}, {50, 0, 0}}));
  ASSERT_EQ(Of(s.rotations, 0)->values.size(), 1u);
  EXPECT_FLOAT_EQ(Of(s.rotations, 0)->values[0].z, 0.1f);

  // Without root motion tag_origin has only its own tracks.
  s = AnimateSkeleton(anim, Skeleton(), false);
  EXPECT_FALSE(s.rootMotionApplied || s.rootMotionLost);
  EXPECT_EQ(Of(s.translations, 0)->values, (Vec{{5, 5, 5}}));

  // A skeleton without tag_origin loses it, and says so.
  std::vector<Bone> noOrigin = Skeleton();
  noOrigin[0].name = "root";
  s = AnimateSkeleton(anim, noOrigin, true);
  EXPECT_TRUE(s.rootMotionLost && !s.rootMotionApplied);
  EXPECT_EQ(s.rotations.size(), 1u);
}

}  // namespace
}  // namespace tessary
