// Reading a version 20 model: level list, materials, parts, surfaces.
#include <gtest/gtest.h>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/ModelV20.h"

namespace tessary {
namespace {

using test::TempWorkdir;
namespace v20 = test::v20;

TEST(ModelV20, ReadsLevelsMaterialsAndImages) {
  TempWorkdir wd;
  wd.Write("xmodel/tank", v20::Header({{"tank_lod0", 1, {"mtl_a", "mtl_b", "mtl_a"}},
                                       {"tank_lod1", 0, {"mtl_b"}}}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("materials/mtl_b", v20::Material("b_col"));
  wd.Write("images/b_col.dds", test::ByteWriter().Raw("DDS "));
  CModelV20 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "tank"));
  auto* lods = model.LoadLods();
  ASSERT_NE(lods, nullptr);
  ASSERT_EQ(model.lodCount, 2);
  EXPECT_EQ(model.presentLodCount, 2);
  EXPECT_EQ((*lods)[0].surfsName, "tank_lod0");
  ASSERT_EQ((*lods)[0].materialCount, 3);
  ASSERT_EQ((*lods)[1].materialCount, 1);
  EXPECT_EQ((*lods)[0].materials[2].index, 2);
  EXPECT_EQ((*lods)[0].materials[2].lodMaterialCount, 3);
  EXPECT_EQ((*lods)[0].materials[0].imageName, "a_col.iwi");
  EXPECT_EQ((*lods)[1].materials[0].imageName, "b_col.dds");
}

TEST(ModelV20, RigidSurfaceMovesByItsBone) {
  TempWorkdir wd;
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_x"}}}));
  wd.Write("xmodelparts/m_lod0",
           v20::Parts({{0, {0, 0, 0}, "root"}, {0, {1, 0, 0}, "a"}, {1, {0, 2, 0}, "b"}}));
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle(2)}));
  CModelV20 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "m"));
  ASSERT_NE(model.LoadLods(), nullptr);
  model.LoadParts(0);
  ASSERT_EQ(model.parts.count(), 3);
  EXPECT_FLOAT_EQ(model.parts.parts[2].position[0], 1);
  EXPECT_FLOAT_EQ(model.parts.parts[2].position[1], 2);
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  const Vertex& v = (*model.curSurfaces)[0].vertices[1];
  EXPECT_FLOAT_EQ(v.position[0], 2);
  EXPECT_FLOAT_EQ(v.position[1], 2);
}

}  // namespace
}  // namespace tessary
