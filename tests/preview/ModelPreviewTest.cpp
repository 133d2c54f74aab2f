// A model read from its files and shown through its renderer, as the preview window does it.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/ImageWriter.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/ModelV20.h"
#include "model/ShowModelTree.h"
#include "preview/PreviewHarness.h"

namespace tessary {
namespace {

namespace v20 = test::v20;
namespace img = test::images;
using test::Near;

// A square of side 120 facing the camera, on the root part.
v20::FixtureSurface Plate() {
  v20::FixtureSurface s;
  const float corners[4][2] = {{-60, -60}, {60, -60}, {60, 60}, {-60, 60}};
  for (const auto& c : corners) s.vertices.push_back({{0, 0, 1}, {0.5f, 0.5f}, {c[0], c[1], 0}});
  s.triangles = {{0, 1, 2}, {0, 2, 3}};
  return s;
}

class ModelPreview : public test::PreviewHarness {
 protected:
  bool Show(CModel& model, const std::string& folder, const std::string& name, int frames) {
    model.SetRenderer(std::make_unique<CPreviewRenderer>());
    model.SetRolling(0);
    if (!model.Open(folder, name) || !model.LoadLods()) return false;
    model.LoadParts(0);
    model.AttachWindow(&context);
    model.LoadSurfaces(0, true);
    bool result = true;
    for (int i = 0; i < frames; ++i) result = model.Draw();
    return result;
  }
};

TEST_F(ModelPreview, Version20ModelIsDrawnWithItsTexture) {
  test::TempWorkdir wd;
  wd.Write("xmodel/plate", v20::Header({{"plate0", 0, {"mtl_plate"}}}));
  wd.Write("xmodelparts/plate0", v20::Parts({{0, {0, 0, 0}, "root"}}));
  wd.Write("xmodelsurfs/plate0", v20::Surfaces({Plate()}));
  wd.Write("materials/mtl_plate", v20::Material("plate_col"));
  wd.Write("images/plate_col.dds", img::Dds(img::FourCc("DXT1"), 4, 4, 1, img::SolidDxt1(0x001F, 1)));
  CModelV20 model;
  ASSERT_TRUE(Show(model, wd.ModelFolder(), "plate", 1));
  EXPECT_TRUE(model.ShownSurfaces().at(0).textureLoaded);
  // The blue texture × 0.9 in the middle.
  EXPECT_TRUE(Near(Shown().At(160, 120), {0, 0, 230}, 3)) << test::Describe(Shown().At(160, 120));
  EXPECT_TRUE(Near(Shown().At(319, 0), test::kBackdrop));
}

// Real models of the second game, where they are at hand: each covers some of the middle.
TEST_F(ModelPreview, SampleModelsOfTheSecondGame) {
  auto samples = test::SamplesDir();
  if (samples.empty()) GTEST_SKIP() << "no sample models";
  std::string folder = (samples / "cod2").string() + "\\xmodel";
  for (const char* name : {"cube", "weapon_g36c", "viewmodel_g3", "zk_vm_stormtrooper", "droneXaii",
                           "zom_rocketl1", "iwx_minecraft", "bx_zombie_throw"}) {
    auto model = CreateModel(20);
    ASSERT_TRUE(model);
    EXPECT_TRUE(Show(*model, folder, name, 3)) << name;
    EXPECT_LT(Shown().Count(test::kBackdrop, 96, 64, 224, 176), 128 * 112) << name;
  }
}

}  // namespace
}  // namespace tessary
