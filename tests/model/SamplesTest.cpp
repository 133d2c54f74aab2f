// Material lists of real sample models, when the samples folder is there, as their notes
// give them (the sample export tests decode every level).
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/TempWorkdir.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

fs::path SampleFolder(const std::string& game) {
  fs::path samples = test::SamplesDir();
  if (samples.empty() || !fs::is_directory(samples / game / "xmodel")) return {};
  return samples / game;
}

TEST(KnownSamples, MaterialListsAndImages) {
  if (SampleFolder("cod2").empty() || SampleFolder("cod4").empty()) GTEST_SKIP() << "the sample models are not there";
  struct Known { const char *game, *model; int level, count; std::string first, image; } const known[] = {
      {"cod2", "droneXaii", 0, 1, "dronetext", "dronetext.iwi"},  // no marker: from the end
      // "mw3_mtl_...": the '3' is read as the count, and no such material file exists.
      {"cod2", "weapon_g36c", 0, '3', "mtl_weapon_g36_iw5", ""},
      {"cod4", "weapon_dragunov", 0, 6, "mtl_weapon_dragunov", "weapon_dragunov_col.iwi"},
      {"cod4", "defaultactor", 0, 1, "lambert1", "grey.iwi"},
  };
  for (const Known& k : known) {
    SCOPED_TRACE(k.model);
    auto model = CreateModel(k.game[3] == '2' ? 20 : 25);
    ASSERT_TRUE(model->Open((SampleFolder(k.game) / "xmodel").string(), k.model) && model->LoadLods());
    const LodEntry& lod = model->lods.at(k.level);
    ASSERT_EQ(lod.materialCount, k.count);
    if (k.first.empty()) continue;
    EXPECT_EQ(lod.materials[0].name, k.first);
    EXPECT_EQ(lod.materials[0].imageName.value_or(""), k.image);
  }
}

}  // namespace
}  // namespace tessary
