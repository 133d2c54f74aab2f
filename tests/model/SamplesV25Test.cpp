// The real fourth-game models of the samples folder (skipped when it is absent).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "model/ModelV25.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

fs::path Cod4() {
  fs::path samples = test::SamplesDir();
  if (samples.empty() || !fs::is_directory(samples / "cod4" / "xmodel")) return {};
  return samples / "cod4";
}

std::vector<std::string> ModelNames(const fs::path& workdir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(workdir / "xmodel"))
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Surface counts of every level that loads, per model, as the samples' notes give them.
const std::map<std::string, std::vector<int>> kSurfaceCounts = {
    {"vehicle_80s_hatch2_yel_destructible_mp", {38, 33, 33}},
    {"weapon_dragunov", {6, 5, 3}},
    {"viewmodel_ussmokegrenade", {3}},
    {"defaultactor", {1}},
    {"com_two_light_fixture_on", {5, 5}},
    {"vehicle_pickup_truck_parklight_lfront_glow", {1}},
    {"church_dome_intact", {1}},
    {"head_jason_turban", {3, 0, 3, 1}},  // level 1 stops at an influence count of 4
    {"fx", {}},                           // its one level name is too short to be taken
};

TEST(SamplesV25, EveryModelLoadsWithIndicesInsideItsSurfaces) {
  fs::path workdir = Cod4();
  if (workdir.empty()) GTEST_SKIP() << "no cod4 samples";
  for (const std::string& name : ModelNames(workdir)) {
    SCOPED_TRACE(name);
    test::RecordingNotifier notifier;
    ASSERT_EQ(ReadModelVersion((workdir / "xmodel" / name).string()), 25);
    ModelTree tree;
    ShowModelTree(tree, workdir.string(), name, 25);
    ASSERT_EQ(tree.Root()->children.size(), 2u);

    for (int exploded : {0, 1}) {
      g_showExploded = exploded;
      CModelV25 model;
      ASSERT_TRUE(model.Open(workdir.string() + "\\xmodel", name));
      ASSERT_NE(model.LoadLods(), nullptr);
      model.LoadParts(0);
      EXPECT_GE(model.parts.count(), 1);
      std::vector<int> counts;
      for (int level = 0; level < model.lodCount; ++level) {
        if (!model.lods[level].present) continue;
        if (!model.LoadSurfaces(level, false)) {
          counts.push_back(0);
          continue;
        }
        counts.push_back(model.curSurfaceCount);
        for (const Surface& s : *model.curSurfaces) {
          ASSERT_FALSE(s.unsupported);
          ASSERT_EQ(s.triLists.size(), 1u);
          for (uint16_t i : s.triLists[0].indices) ASSERT_LT(i, s.vertexCount);
        }
      }
      EXPECT_EQ(counts, kSurfaceCounts.at(name));
    }
    g_showExploded = 0;
  }
}

TEST(SamplesV25, MaterialsAndMessagesMatchTheNotes) {
  fs::path workdir = Cod4();
  if (workdir.empty()) GTEST_SKIP() << "no cod4 samples";
  auto load = [&](const std::string& name) {
    auto model = std::make_unique<CModelV25>();
    EXPECT_TRUE(model->Open(workdir.string() + "\\xmodel", name));
    EXPECT_NE(model->LoadLods(), nullptr);
    return model;
  };
  {
    test::RecordingNotifier notifier;
    auto model = load("weapon_dragunov");
    ASSERT_EQ(model->lodCount, 3);
    // One material per surface; four different ones.
    ASSERT_EQ(model->lods[0].materialCount, 6);
    EXPECT_EQ(model->lods[2].materialCount, 3);
    std::map<std::string, std::string> images;
    for (const auto& m : model->lods[0].materials) images[m.name] = m.imageName.value_or("");
    EXPECT_EQ(images, (std::map<std::string, std::string>{
                          {"mtl_weapon_dragunov", "weapon_dragunov_col.iwi"},
                          {"mtl_weapon_dragunov_misc_nocamo", "weapon_dragunov_col.iwi"},
                          {"mtl_weapon_dragunov_scope", "weapon_dragunov_scope_col.iwi"},
                          {"mtl_weapon_red_scope", "weapon_red_scope_col.iwi"}}));
    EXPECT_TRUE(notifier.messages.empty());
  }
  {
    test::RecordingNotifier notifier;
    auto model = load("church_dome_intact");
    EXPECT_EQ(model->lods[0].materialCount, 0);
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"Failed to get the materials"});
  }
  {
    test::RecordingNotifier notifier;
    auto model = load("head_jason_turban");
    model->LoadParts(0);
    EXPECT_FALSE(model->LoadSurfaces(1, false));
    EXPECT_EQ(notifier.messages,
              std::vector<std::string>{"VertexData.b1 >= 4\nUnsupported model type."});
  }
  {
    test::RecordingNotifier notifier;
    auto model = load("vehicle_80s_hatch2_yel_destructible_mp");
    model->LoadParts(0);
    EXPECT_EQ(model->parts.count(), 48);
    EXPECT_EQ(model->lods[0].materialCount, 38);
    // Shown exploded, the rigid pieces carried by a part (24 of the 38) move out.
    ASSERT_TRUE(model->LoadSurfaces(0, false));
    std::vector<Surface> still = *model->curSurfaces;
    g_showExploded = 1;
    ASSERT_TRUE(model->LoadSurfaces(0, false));
    g_showExploded = 0;
    int moved = 0;
    for (size_t s = 0; s < still.size(); ++s) {
      const Surface& a = still[s];
      const Surface& b = (*model->curSurfaces)[s];
      ASSERT_EQ(a.vertices.size(), b.vertices.size());
      if (!a.vertices.empty() && a.vertices[0].position[0] != b.vertices[0].position[0]) ++moved;
    }
    EXPECT_GT(moved, 0);
    EXPECT_LE(moved, 24);
  }
}

}  // namespace
}  // namespace tessary
