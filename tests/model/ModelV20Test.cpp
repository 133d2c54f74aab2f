// Reading a version 20 model header: the level list, the material lists (found by their
// marker or by the walk back from the end) and the materials' image names.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/ModelV20.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::TempWorkdir;
namespace v20 = test::v20;

// Opens xmodel/<name> of `wd` and loads its levels; null when that fails.
std::vector<LodEntry>* Load(CModelV20& model, const TempWorkdir& wd, const std::string& name) {
  if (!model.Open(wd.ModelFolder(), name)) return nullptr;
  return model.LoadLods();
}

std::vector<std::string> Names(const LodEntry& lod) {
  std::vector<std::string> out;
  for (const auto& m : lod.materials) out.push_back(m.name);
  return out;
}

TEST(ModelV20, ReadsLevelsMaterialsAndImages) {
  TempWorkdir wd;
  wd.Write("xmodel/tank", v20::Header({{"tank_lod0", 1, {"mtl_a", "mtl_b", "mtl_a"}},
                                       {"tank_lod1", 0, {"mtl_b"}}}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("materials/mtl_b", v20::Material("b_col"));
  wd.Write("images/b_col.dds", test::ByteWriter().Raw("DDS "));
  CModelV20 model;
  auto* lods = Load(model, wd, "tank");
  ASSERT_NE(lods, nullptr);
  ASSERT_EQ(model.lodCount, 2);
  EXPECT_EQ(model.presentLodCount, 2);
  EXPECT_EQ((*lods)[0].surfsName, "tank_lod0");
  ASSERT_EQ((*lods)[0].materialCount, 3);
  ASSERT_EQ((*lods)[1].materialCount, 1);
  EXPECT_EQ((*lods)[0].materials[2].index, 2);
  EXPECT_EQ((*lods)[0].materials[2].lodMaterialCount, 3);
  EXPECT_EQ((*lods)[1].materials[0].index, 0);
  EXPECT_EQ((*lods)[1].materials[0].lodMaterialCount, 1);
  EXPECT_EQ((*lods)[0].materials[0].imageName, "a_col.iwi");
  EXPECT_EQ((*lods)[1].materials[0].imageName, "b_col.dds");
}

TEST(ModelV20, ShortLevelNamesAreAbsentAndSkippedWhole) {
  TempWorkdir wd;
  // "abcd" has 4 characters: listed, not present; the name after it is still found.
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 1, {"mtl_a"}},
                                    {"abcd", 1, {"mtl_b"}},
                                    {"m_lod2", 0, {"mtl_c"}}}));
  CModelV20 model;
  auto* lods = Load(model, wd, "m");
  ASSERT_NE(lods, nullptr);
  ASSERT_EQ(model.lodCount, 3);
  EXPECT_EQ(model.presentLodCount, 2);
  EXPECT_TRUE((*lods)[0].present);
  EXPECT_FALSE((*lods)[1].present);
  EXPECT_EQ((*lods)[1].surfsName, "");
  EXPECT_TRUE((*lods)[2].present);
  EXPECT_EQ((*lods)[2].surfsName, "m_lod2");
  // Material blocks are read for every entry, present or not.
  EXPECT_EQ(Names((*lods)[1]), std::vector<std::string>{"mtl_b"});
  EXPECT_EQ(Names((*lods)[2]), std::vector<std::string>{"mtl_c"});
}

TEST(ModelV20, LevelNamesFillingTheNameBufferAreNotTaken) {
  TempWorkdir wd;
  wd.Write("xmodel/m", v20::Header({{std::string(1023, 'a'), 1, {"mtl_a"}},
                                    {std::string(1024, 'b'), 0, {"mtl_b"}}}));
  CModelV20 model;
  auto* lods = Load(model, wd, "m");
  ASSERT_NE(lods, nullptr);
  ASSERT_EQ(model.lodCount, 2);
  EXPECT_EQ((*lods)[0].surfsName, std::string(1023, 'a'));
  EXPECT_FALSE((*lods)[1].present);
  EXPECT_EQ(model.presentLodCount, 1);
}

TEST(ModelV20, TheLevelCountComesFromTheListAlone) {
  TempWorkdir wd;
  // The second name is empty: the list ends there although a third name follows.
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 1, {"mtl_a"}}, {"", 1, {}}, {"m_lod2", 0, {"mtl_c"}}}));
  CModelV20 model;
  auto* lods = Load(model, wd, "m");
  ASSERT_NE(lods, nullptr);
  EXPECT_EQ(model.lodCount, 1);
  EXPECT_EQ(Names((*lods)[0]), std::vector<std::string>{"mtl_a"});
}

TEST(ModelV20, MaterialListsStartTwoBytesBeforeTheFirstMarker) {
  TempWorkdir wd;
  // The marker sits at 412, so the lists are read from 410.
  ByteWriter w;
  w.U16(20).Fill(25).U32(0).Z("m_lod0");
  w.Fill(410 - w.Size(), 0x11).U8(2).U8(0x99).Z("mtl_one").Z("two_x");
  ASSERT_EQ(w.Data()[412], 'm');
  wd.Write("xmodel/m", w);
  CModelV20 model;
  auto* lods = Load(model, wd, "m");
  ASSERT_NE(lods, nullptr);
  EXPECT_EQ(Names((*lods)[0]), (std::vector<std::string>{"mtl_one", "two_x"}));
}

TEST(ModelV20, WithoutMarkerTheListsAreFoundFromTheEnd) {
  TempWorkdir wd;
  // No name holds "mtl_". A zero ahead of the first count: each count is found as a
  // one-byte string.
  wd.Write("xmodel/zero", v20::Header({{"m_lod0", 1, {"abc_x", "def_y"}}, {"m_lod1", 0, {"ghi_z"}}}, 3, 0));
  // Two bytes that are not zero ahead of it: found as a string of three, which ends the
  // walk at once.
  wd.Write("xmodel/two", v20::Header({{"m_lod0", 1, {"abc_x", "def_y"}}, {"m_lod1", 0, {"ghi_z"}}}, 2, 0xEE));
  for (const char* name : {"zero", "two"}) {
    SCOPED_TRACE(name);
    CModelV20 model;
    auto* lods = Load(model, wd, name);
    ASSERT_NE(lods, nullptr);
    EXPECT_EQ(Names((*lods)[0]), (std::vector<std::string>{"abc_x", "def_y"}));
    EXPECT_EQ(Names((*lods)[1]), std::vector<std::string>{"ghi_z"});
  }
}

TEST(ModelV20, TheWalkBackEndsAtTheStartOfTheFile) {
  TempWorkdir wd;
  // Two present levels but only one count byte that the walk recognises; it reaches the
  // version word at the start and no lists are read (not the bytes from offset 0).
  ByteWriter w;
  w.U16(20).Fill(25).U32(0x41414141).Z("m_lod0").U32(0).Z("m_lod1").U8(1).U8(0).Z("abcd");
  wd.Write("xmodel/m", w);
  CModelV20 model;
  auto* lods = Load(model, wd, "m");
  ASSERT_NE(lods, nullptr);
  ASSERT_EQ(model.presentLodCount, 2);
  EXPECT_EQ((*lods)[0].materialCount, 0);
  EXPECT_EQ((*lods)[1].materialCount, 0);
}

TEST(ModelV20, NoPresentLevelAndNoMarkerReadsNoLists) {
  TempWorkdir wd;
  wd.Write("xmodel/m", v20::Header({{"abcd", 0, {"abc_x"}}}, 2, 0));
  CModelV20 model;
  auto* lods = Load(model, wd, "m");
  ASSERT_NE(lods, nullptr);
  ASSERT_EQ(model.lodCount, 1);
  EXPECT_EQ(model.presentLodCount, 0);
  EXPECT_EQ((*lods)[0].materialCount, 0);
}

TEST(ModelV20, HeadersOfOtherVersionsOrMissingGiveNoLevels) {
  TempWorkdir wd;
  ByteWriter v14 = v20::Header({{"m_lod0", 0, {"mtl_a"}}});
  v14.Data()[0] = 14;
  wd.Write("xmodel/old", v14);
  CModelV20 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "old"));
  EXPECT_EQ(model.GetVersion(), 14u);
  EXPECT_EQ(model.LoadLods(), nullptr);
  EXPECT_FALSE(model.LoadSurfaces(0, false));
  model.LoadParts(0);
  EXPECT_EQ(model.parts.count(), 1);

  CModelV20 missing;
  EXPECT_FALSE(missing.Open(wd.ModelFolder(), "none"));
  EXPECT_FALSE(missing.isOpen);
  EXPECT_EQ(missing.LoadLods(), nullptr);
  // A folder of that name is no header either.
  EXPECT_FALSE(missing.Open(wd.Str(), "xmodel"));
}

TEST(ImageForMaterial, ChoosesDdsWhenConvertedElseIwi) {
  TempWorkdir wd;
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("materials/mtl_b", v20::Material("B_Col"));
  wd.Write("materials/mtl_empty", v20::Material(""));
  wd.Write("images/b_col.DDS", ByteWriter().Raw("DDS "));
  wd.Write("images/a_col.iwi", ByteWriter().Raw("IWi"));
  std::string dir = wd.ModelFolder() + "\\..\\materials\\";
  EXPECT_EQ(ImageForMaterial(dir + "mtl_a"), "a_col.iwi");
  EXPECT_EQ(ImageForMaterial(dir + "mtl_b"), "B_Col.dds");  // found in any letter case
  EXPECT_EQ(ImageForMaterial(dir + "mtl_empty"), ".iwi");
  EXPECT_EQ(ImageForMaterial(dir + "none"), "");
  EXPECT_EQ(ImageForMaterial(dir), "");  // the folder itself is no material file
}

TEST(ImageForMaterial, EachNameIsReadWithinTwoHundredFiftyFiveBytes) {
  TempWorkdir wd;
  // A first string of 300 bytes: the second read starts 256 bytes after the first.
  wd.Write("materials/long_first", ByteWriter().U16(2).Z(std::string(300, 'a')).Z("img"));
  wd.Write("materials/long_image", ByteWriter().U16(2).Z("s").Z(std::string(300, 'b')));
  wd.Write("materials/far", ByteWriter().U16(5000).Z("s").Z("img"));
  std::string dir = wd.ModelFolder() + "\\..\\materials\\";
  EXPECT_EQ(ImageForMaterial(dir + "long_first"), std::string(44, 'a') + ".iwi");
  EXPECT_EQ(ImageForMaterial(dir + "long_image"), std::string(255, 'b') + ".iwi");
  EXPECT_EQ(ImageForMaterial(dir + "far"), ".iwi");
}

TEST(ModelV20, MaterialFilesThatCannotBeOpenedLeaveNoImageName) {
  TempWorkdir wd;
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_here", "mtl_gone", ""}}}));
  wd.Write("materials/mtl_here", v20::Material("x"));
  CModelV20 model;
  auto* lods = Load(model, wd, "m");
  ASSERT_NE(lods, nullptr);
  ASSERT_EQ((*lods)[0].materialCount, 3);
  EXPECT_EQ((*lods)[0].materials[0].imageName, "x.iwi");
  EXPECT_FALSE((*lods)[0].materials[1].imageName.has_value());
  EXPECT_FALSE((*lods)[0].materials[2].imageName.has_value());  // names the folder
}

}  // namespace
}  // namespace tessary
