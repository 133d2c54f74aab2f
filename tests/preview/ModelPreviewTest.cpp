// Real models of the second game read from their files and shown through their renderer,
// as the preview window does it, where they are at hand: each covers some of the middle.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "model/ShowModelTree.h"
#include "preview/PreviewHarness.h"

namespace tessary {
namespace {

using ModelPreview = test::PreviewHarness;

TEST_F(ModelPreview, SampleModelsOfTheSecondGame) {
  auto samples = test::SamplesDir();
  if (samples.empty()) GTEST_SKIP() << "no sample models";
  std::string folder = (samples / "cod2").string() + "\\xmodel";
  for (const char* name : {"cube", "weapon_g36c", "viewmodel_g3", "zk_vm_stormtrooper", "droneXaii",
                           "zom_rocketl1", "iwx_minecraft", "bx_zombie_throw"}) {
    auto model = CreateModel(20);
    ASSERT_TRUE(model);
    model->SetRenderer(std::make_unique<CPreviewRenderer>());
    model->SetRolling(0);
    ASSERT_TRUE(model->Open(folder, name) && model->LoadLods()) << name;
    model->LoadParts(0);
    model->AttachWindow(&context);
    model->LoadSurfaces(0, true);
    bool drawn = true;
    for (int i = 0; i < 3; ++i) drawn = model->Draw();
    EXPECT_TRUE(drawn) << name;
    EXPECT_LT(Shown().Count(test::kBackdrop, 96, 64, 224, 176), 128 * 112) << name;
  }
}

}  // namespace
}  // namespace tessary
