// Which animation files of a working folder drive a model: matching by name ignoring case,
// the order, and the files left out (not animations, damaged names, no shared bone).
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "fixtures/XAnimWriter.h"
#include "model/XAnimListing.h"

namespace tessary {
namespace {

namespace xa = test::xanim;

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
  fire.notes = {{"fire", 0}};
  wd.Write("XAnim/c_fire", xa::Write(fire));
  wd.Write("XAnim/d_walk", xa::Write(Named({"j_knee_le", "j_ankle_le"})));  // no bone of the model

  // A root-motion track of 3000 keys puts the names some 40 KB into the file: the first
  // read of its start does not reach them.
  xa::Anim longWalk = Named({"tag_weapon"});
  longWalk.frames = 3000;
  longWalk.flags = 2;
  for (uint16_t f = 0; f < 3000; ++f) longWalk.deltaRotations.push_back({f, 0, 0, 1}), longWalk.deltaTranslations.frames.push_back(f);
  longWalk.deltaTranslations.floats.assign(3000, {1, 2, 3});
  wd.Write("XAnim/e_long", xa::Write(longWalk));

  // Left out: cut inside its names, a text file, a folder, an empty file, an unknown version.
  std::vector<uint8_t> cut = xa::Write(Named({"j_wrist_le", "j_elbow_le"})).Data();
  cut.resize(9 + 2 + 15);  // header, masks, then inside the second name
  wd.Write("XAnim/f_cut", cut);
  wd.Write("XAnim/readme.txt", {'j', '_', 'w', 'r', 'i', 's', 't', '\n'});
  wd.Write("XAnim/sub/g_inner", xa::Write(Named({"j_wrist_le"})));
  wd.Write("XAnim/h_empty", std::vector<uint8_t>{});
  std::vector<uint8_t> badVersion = xa::Write(Named({"j_wrist_le"})).Data();
  badVersion[0] = 15;
  wd.Write("XAnim/j_v15", badVersion);
  // Damaged after the names: the listing reads no further, the export will say so.
  std::vector<uint8_t> tail = xa::Write(Named({"j_wrist_le", "j_elbow_le"})).Data();
  tail.resize(tail.size() - 3);
  wd.Write("XAnim/i_tail", tail);

  const XAnimListing listing = ListMatchingXAnims(wd.Str(), model);
  EXPECT_TRUE(listing.folderFound);
  EXPECT_EQ(listing.folder, wd.Path() / "XAnim");
  const std::vector<std::pair<std::string, size_t>> expected = {
      {"c_fire", 3}, {"b_reload", 2}, {"i_tail", 2}, {"a_idle", 1}, {"e_long", 1}};
  EXPECT_EQ(Rows(listing), expected);
  ASSERT_EQ(listing.matches.size(), 5u);
  EXPECT_EQ(listing.matches[0].bones, 4u);  // one of its four names twice, matched once
  EXPECT_EQ(listing.matches[3].bones, 3u);
  EXPECT_TRUE(ListMatchingXAnims(wd.Str(), {}).matches.empty());  // a model without bones matches nothing
}

}  // namespace
}  // namespace tessary
