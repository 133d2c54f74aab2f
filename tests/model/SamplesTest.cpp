// The real models of the samples folder, when it is there: each loads, fills its tree and
// decodes its levels into the surface counts its notes give, every index inside its surface.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

// Surface counts of every present level (0 where decoding is refused), per model, as the
// samples' notes give them.
const std::map<std::string, std::map<std::string, std::vector<int>>> kModels = {
    {"cod1", {{"worldmodel_enfield", {1}}, {"equipment_german_kappe", {1}}, {"viewmodel_colt", {4}}, {"worldmodel_mp40", {4, 4}},
              {"worldmodel_trenchgun", {7}}}},
    {"cod2", {{"cube", {10}}, {"bx_zombie_throw", {1, 1, 1, 1}}, {"weapon_g36c", {3, 2, 2}}, {"viewmodel_g3", {3}},
              {"zk_vm_stormtrooper", {1}}, {"droneXaii", {1}}, {"zom_rocketl1", {2, 2, 2, 2}}, {"iwx_minecraft", {1}}}},
    // head_jason_turban's level 1 meets an influence count of 4; fx's one level name is too short.
    {"cod4", {{"vehicle_80s_hatch2_yel_destructible_mp", {38, 33, 33}}, {"weapon_dragunov", {6, 5, 3}},
              {"viewmodel_ussmokegrenade", {3}}, {"defaultactor", {1}}, {"com_two_light_fixture_on", {5, 5}},
              {"vehicle_pickup_truck_parklight_lfront_glow", {1}}, {"church_dome_intact", {1}},
              {"head_jason_turban", {3, 0, 3, 1}}, {"fx", {}}}},
};

// The only models that bring up a message.
const std::map<std::string, std::string> kMessages = {
    {"church_dome_intact", "Failed to get the materials"},
    {"head_jason_turban", "VertexData.b1 >= 4\nUnsupported model type."},
};

fs::path SampleFolder(const std::string& game) {
  fs::path samples = test::SamplesDir();
  if (samples.empty() || !fs::is_directory(samples / game / "xmodel")) return {};
  return samples / game;
}

class Samples : public ::testing::TestWithParam<std::pair<std::string, uint8_t>> {};

TEST_P(Samples, EveryModelDecodesAsItsNotesSay) {
  const auto& [game, version] = GetParam();
  fs::path workdir = SampleFolder(game);
  if (workdir.empty()) GTEST_SKIP() << "the sample models are not there";
  std::set<std::string> seen;
  for (const auto& entry : fs::directory_iterator(workdir / "xmodel")) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    seen.insert(name);
    const std::vector<int>& expected = kModels.at(game).at(name);
    test::RecordingNotifier notes;
    ASSERT_EQ(ReadModelVersion((workdir / "xmodel" / name).string()), version);
    ModelTree tree;
    ShowModelTree(tree, workdir.string(), name, version);
    const TreeItem& root = *tree.Root();
    ASSERT_EQ(root.children.size(), 2u);
    // Every level's files are there, some only in another letter case.
    for (const auto& level : root.children[0]->children) EXPECT_EQ(level->image, kImagePresent);
    if (!expected.empty()) {
      for (const auto& parts : root.children[1]->children) EXPECT_EQ(parts->image, kImagePresent);
    }

    for (bool exploded : {false, true}) {  // only version 25 reads it
      auto model = CreateModel(version);
      ASSERT_TRUE(model->Open(workdir.string() + "\\xmodel", name));
      ASSERT_NE(model->LoadLods(), nullptr);
      model->LoadParts(0);
      std::vector<int> counts;
      for (int level = 0; level < model->lodCount; ++level) {
        if (!model->lods[level].present) continue;
        const bool loaded = model->LoadSurfaces(level, false, LoadOptions{exploded});
        counts.push_back(loaded ? static_cast<int>(model->curSurfaceCount) : 0);
        if (!loaded) continue;
        for (const Surface& s : *model->curSurfaces) {
          ASSERT_TRUE(s.facesLoaded && !s.unsupported);
          for (const TriList& list : s.triLists)
            for (uint16_t index : list.indices) ASSERT_LT(index, s.vertexCount);
        }
      }
      EXPECT_EQ(counts, expected);
    }
    const auto known = kMessages.find(name);
    EXPECT_EQ(notes.messages.empty(), known == kMessages.end());
    for (const auto& message : notes.messages) EXPECT_EQ(message, known->second);
  }
  EXPECT_EQ(seen.size(), kModels.at(game).size());
}

INSTANTIATE_TEST_SUITE_P(Games, Samples,
                         ::testing::Values(std::pair<std::string, uint8_t>{"cod1", 14},
                                           std::pair<std::string, uint8_t>{"cod2", 20},
                                           std::pair<std::string, uint8_t>{"cod4", 25}));

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
