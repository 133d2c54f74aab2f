// A model read from its files and shown through its renderer, as the preview window
// does it: LoadLods, LoadParts, AttachWindow, LoadSurfaces for preview, then frames.
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
  for (const auto& c : corners) {
    v20::FixtureVertex v;
    v.position = {c[0], c[1], 0};
    v.uv = {0.5f, 0.5f};
    s.vertices.push_back(v);
  }
  s.triangles = {{0, 1, 2}, {0, 2, 3}};
  return s;
}

class ModelPreview : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(context.Create(200, 150, error)) << error;
  }
  // Opens `name` and runs the preview window's opening sequence and `frames` frames.
  bool Show(CModel& model, const std::string& folder, const std::string& name, int frames,
            bool roll = false) {
    auto owner = std::make_unique<CPreviewRenderer>();
    owner->rolling = roll ? 1 : 0;
    renderer = owner.get();
    model.SetRenderer(std::move(owner));
    if (!model.Open(folder, name) || !model.LoadLods()) return false;
    model.LoadParts(0);
    model.AttachWindow(&context);
    model.LoadSurfaces(0, true);
    bool result = true;
    for (int i = 0; i < frames; ++i) result = model.Draw();
    return result;
  }
  test::Picture Shown() const { return test::Picture(context.ShownFrame(), 200, 150); }

  CHeadlessContext context;
  CPreviewRenderer* renderer = nullptr;
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
  EXPECT_TRUE((*model.curSurfaces)[0].textureLoaded);
  // Blue texture × 0.9 in the middle; the thumbnail of the same texture at the top left.
  EXPECT_TRUE(Near(Shown().At(100, 75), {0, 0, 230}, 3)) << test::Describe(Shown().At(100, 75));
  EXPECT_TRUE(Near(Shown().At(199, 0), test::kBackdrop));
}

TEST_F(ModelPreview, RollingTurnsTheModelOneAndAHalfDegreesPerFrame) {
  test::TempWorkdir wd;
  wd.Write("xmodel/plate", v20::Header({{"plate0", 0, {"mtl_plate"}}}));
  wd.Write("xmodelsurfs/plate0", v20::Surfaces({Plate()}));
  CModelV20 model;
  ASSERT_TRUE(Show(model, wd.ModelFolder(), "plate", 60, true));
  EXPECT_FLOAT_EQ(renderer->rotationX, 90.0f);
  EXPECT_FLOAT_EQ(renderer->rotationY, 90.0f);
  // Turned edge-on, the plate leaves the middle of the view to the backdrop.
  EXPECT_GT(Shown().Count(test::kBackdrop, 80, 55, 120, 95), 40 * 40 * 3 / 4);
}

// The real models of the second game, where they are at hand: every one is drawn and
// covers some of the middle of the view.
TEST_F(ModelPreview, SampleModelsOfTheSecondGame) {
  auto samples = test::SamplesDir();
  if (samples.empty()) GTEST_SKIP() << "no sample models";
  std::string folder = (samples / "cod2").string() + "\\xmodel";
  for (const char* name : {"cube", "weapon_g36c", "viewmodel_g3", "zk_vm_stormtrooper", "droneXaii",
                           "zom_rocketl1", "iwx_minecraft", "bx_zombie_throw"}) {
    auto model = CreateModel(20);
    ASSERT_TRUE(model);
    EXPECT_TRUE(Show(*model, folder, name, 3)) << name;
    EXPECT_LT(Shown().Count(test::kBackdrop, 60, 40, 140, 110), 80 * 70) << name;
    model.reset();
  }
}

}  // namespace
}  // namespace tessary
