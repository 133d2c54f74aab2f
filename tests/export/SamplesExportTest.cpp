// Exports of the real sample models of each version (skipped when the samples are absent),
// written into a copy of their working folder: each level's surface count and messages as
// the samples' notes give them, every material used defined once, and every face corner
// naming a vertex of its OBJ file or of its .x mesh.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "export/ModelExport.h"
#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

// Returns the number of groups.
int CheckObj(const std::string& objFile, const std::string& mtlFile) {
  std::set<std::string> defined;
  std::ifstream mtl(mtlFile, std::ios::binary), obj(objFile, std::ios::binary);
  for (std::string line; std::getline(mtl, line);)
    EXPECT_TRUE(!line.starts_with("newmtl ") || defined.insert(line.substr(7)).second) << line;
  long vertices = 0, faces = 0, groups = 0;
  for (std::string line; std::getline(obj, line);) {
    std::istringstream in(line);
    std::string tag;
    in >> tag;
    vertices += tag == "v";
    groups += tag == "g";
    faces += tag == "f";
    EXPECT_TRUE(tag != "usemtl" || defined.count(line.substr(7))) << line;
    for (long index; tag == "f" && in >> index; in.ignore(64, ' ')) EXPECT_TRUE(index >= 1 && index <= vertices) << line;
  }
  EXPECT_GT(faces, 0);
  return static_cast<int>(groups);
}

// Returns the number of meshes.
int CheckX(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  int meshes = 0;
  long vertices = -1, a, b, c;
  for (std::string line; std::getline(in, line);) {
    if (line == "Mesh\r") {
      ++meshes;
      in.ignore(8, '\n') >> vertices;  // "{", then the vertex count
    }
    if (std::sscanf(line.c_str(), " 3;%ld,%ld,%ld;", &a, &b, &c) != 3) continue;
    for (long i : {a, b, c}) EXPECT_TRUE(i >= 0 && i < vertices) << line;
  }
  return meshes;
}

// Surface counts of every present level (0 where decoding is refused), per model, as the
// samples' notes give them.
const std::map<std::string, std::vector<int>> kLevels = {
    {"worldmodel_enfield", {1}}, {"equipment_german_kappe", {1}}, {"viewmodel_colt", {4}}, {"worldmodel_mp40", {4, 4}},
    {"worldmodel_trenchgun", {7}}, {"cube", {10}}, {"bx_zombie_throw", {1, 1, 1, 1}}, {"weapon_g36c", {3, 2, 2}},
    {"viewmodel_g3", {3}}, {"zk_vm_stormtrooper", {1}}, {"droneXaii", {1}}, {"zom_rocketl1", {2, 2, 2, 2}},
    {"iwx_minecraft", {1}}, {"vehicle_80s_hatch2_yel_destructible_mp", {38, 33, 33}}, {"weapon_dragunov", {6, 5, 3}},
    {"viewmodel_ussmokegrenade", {3}}, {"defaultactor", {1}}, {"com_two_light_fixture_on", {5, 5}},
    {"vehicle_pickup_truck_parklight_lfront_glow", {1}}, {"church_dome_intact", {1}},
    // Level 1 meets an influence count of 4; fx's one level name is too short.
    {"head_jason_turban", {3, 0, 3, 1}}, {"fx", {}}};

// The only models that bring up a message.
const std::map<std::string, std::string> kMessages = {
    {"church_dome_intact", "Failed to get the materials"},
    {"head_jason_turban", "VertexData.b1 >= 4\nUnsupported model type."},
};

// Level 0's material count, first material and its image, where the notes give them.
const std::map<std::string, std::tuple<int, std::string, std::string>> kMaterials = {
    {"droneXaii", {1, "dronetext", "dronetext.iwi"}},  // no marker: from the end
    // "mw3_mtl_...": the '3' is read as the count, and no such material file exists.
    {"weapon_g36c", {'3', "mtl_weapon_g36_iw5", ""}},
    {"weapon_dragunov", {6, "mtl_weapon_dragunov", "weapon_dragunov_col.iwi"}},
    {"defaultactor", {1, "lambert1", "grey.iwi"}}};

// Every model of `game`: its version, its level 0 materials where known, its version, its tree (every level's files there, some only in
// another letter case), and levels 0 to 3 exported as OBJ, and for version 25 as .x shown
// exploded (which only its destructible levels are).
void ExpectEveryLevelExported(const std::string& game, uint8_t version, size_t models) {
  test::TempWorkdir wd;
  fs::path from = test::SamplesDir() / game;
  if (test::SamplesDir().empty() || !fs::is_directory(from / "xmodel")) GTEST_SKIP() << "no sample models";
  fs::copy(from, wd.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  auto names = ListModelHeaders(wd.Str());
  ASSERT_TRUE(names.has_value());
  EXPECT_EQ(names->size(), models);
  for (const auto& name : *names) {
    SCOPED_TRACE(name);
    test::RecordingNotifier notes;
    ASSERT_EQ(ReadModelVersion(wd.ModelFolder() + "\\" + name), version);
    if (const auto known = kMaterials.find(name); known != kMaterials.end()) {
      auto model = CreateModel(version);
      ASSERT_TRUE(model->Open(wd.ModelFolder(), name) && model->LoadLods());
      const LodEntry& lod = model->lods.at(0);
      EXPECT_EQ(std::tuple(lod.materialCount, lod.materials.at(0).name, lod.materials[0].imageName.value_or("")),
                known->second);
    }
    ModelTree tree;
    ShowModelTree(tree, wd.Str(), name, version);
    for (const auto& group : tree.Root()->children)
      for (const auto& level : group->children) EXPECT_TRUE(level->image == kImagePresent || kLevels.at(name).empty()) << level->text;
    std::vector<int> counts;
    for (int level = 0; level < 4; ++level) {
      ExportOutcome obj = ExportObjFiles(wd.Str(), name, level);
      if (!obj.ok && obj.error.find("has no level of detail") != std::string::npos) continue;
      counts.push_back(obj.ok ? CheckObj(obj.written[1], obj.written[0]) : 0);
      if (!obj.ok || version != 25) continue;
      ExportOutcome x = ExportXFile(wd.Str(), name, level, LoadOptions{true});
      ASSERT_TRUE(x.ok) << x.error;
      EXPECT_EQ(CheckX(x.written[0]), counts.back());
    }
    EXPECT_EQ(counts, kLevels.at(name));
    const auto known = kMessages.find(name);
    EXPECT_EQ(notes.messages.empty(), known == kMessages.end());
    for (const auto& message : notes.messages) EXPECT_EQ(message, known->second);
  }
}

TEST(SamplesExport, Version14) { ExpectEveryLevelExported("cod1", 14, 5); }
TEST(SamplesExport, Version20) { ExpectEveryLevelExported("cod2", 20, 8); }
TEST(SamplesExport, Version25) { ExpectEveryLevelExported("cod4", 25, 9); }

}  // namespace
}  // namespace tessary
