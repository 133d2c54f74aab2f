// Exports of the real sample models and animations (skipped when the samples are absent),
// written into a copy of their working folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <sys/wait.h>

#include "platform/Disk.h"
#include "export/GltfWriter.h"
#include "export/ModelExport.h"
#include "fixtures/TempWorkdir.h"
#include "model/ShowModelTree.h"
#include "model/StructuralReader.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

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
const std::map<std::string, std::string> kMessages = {{"church_dome_intact", "Failed to get the materials"},
                                                      {"head_jason_turban", "VertexData.b1 >= 4\nUnsupported model type."}};

// Every model of `game`: its version, its tree (every level's files there, some only in
// another letter case), and levels 0 to 3 exported as OBJ (every material used defined once,
// every face corner naming a vertex), and for version 25 as .x shown exploded (which only
// its destructible levels are), with the surface counts and messages the notes give.
void ExpectEveryLevelExported(const std::string& game, uint8_t version, size_t models) {
  test::TempWorkdir wd;
  fs::path from = test::SamplesDir() / game;
  if (test::SamplesDir().empty() || !fs::is_directory(from / "xmodel")) GTEST_SKIP() << "no sample models";
  test::CopySampleInputs(game, wd.Path());
  Disk disk;
  auto names = ListModelHeaders(disk, wd.Str());
  ASSERT_TRUE(names.has_value());
  EXPECT_EQ(names->size(), models);
  for (const auto& name : *names) {
    SCOPED_TRACE(name);
    ASSERT_EQ(ReadModelVersion(disk, wd.ModelFolder() + "\\" + name), version);
    ModelTree tree;
    std::vector<std::string> shown;  // what reading the tree brought up
    ShowModelTree(disk, tree, wd.Str(), name, version, shown);
    for (const auto& group : tree.Root()->children)
      for (const auto& level : group->children) EXPECT_TRUE(level->image == kImagePresent || kLevels.at(name).empty()) << level->text;
    std::vector<int> counts;
    // The messages the exports hand back to be shown, after those of the tree.
    std::vector<std::string> handedBack;
    for (int level = 0; level < 4; ++level) {
      ExportOutcome obj = ExportObjFiles(wd.Str(), name, level);
      handedBack.insert(handedBack.end(), obj.messages.begin(), obj.messages.end());
      if (!obj.ok && obj.error.find("has no level of detail") != std::string::npos) continue;
      counts.push_back(obj.ok ? CheckObj(obj.written[1], obj.written[0]) : 0);
      if (!obj.ok || version != 25) continue;
      ExportOutcome x = ExportXFile(wd.Str(), name, level, LoadOptions{true});
      handedBack.insert(handedBack.end(), x.messages.begin(), x.messages.end());
      ASSERT_TRUE(x.ok) << x.error;
      EXPECT_EQ(CheckX(x.written[0]), counts.back());
    }
    EXPECT_EQ(counts, kLevels.at(name));
    const auto known = kMessages.find(name);
    shown.insert(shown.end(), handedBack.begin(), handedBack.end());
    EXPECT_EQ(shown.empty(), known == kMessages.end());
    for (const auto& message : shown) EXPECT_EQ(message, known->second);
  }
}

TEST(SamplesExport, Version14) { ExpectEveryLevelExported("cod1", 14, 5); }
TEST(SamplesExport, Version20) { ExpectEveryLevelExported("cod2", 20, 8); }
TEST(SamplesExport, Version25) { ExpectEveryLevelExported("cod4", 25, 9); }

// Every sample model exported as glTF, and every sample animation exported with the
// model it drives, checked by the Khronos glTF validator (when node and the validator package
// are installed: scripts/install-deps.sh puts it in .tools/).

// Runs `command`, returning its exit status and standard output.
int RunCommand(const std::string& command, std::string& output) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return -1;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
  const int status = pclose(pipe.release());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(GltfSamples, EverySampleAndAnimationExportsWithoutValidatorErrors) {
  const auto samples = test::SamplesDir();
  if (samples.empty() || !fs::is_directory(samples / "cod2" / "xanim")) GTEST_SKIP() << "samples not present";
  test::TempWorkdir out;
  std::vector<std::string> files;
  for (const char* game : {"cod1", "cod2", "cod4", "cod1-animated"}) {
    for (const auto& entry : fs::directory_iterator(samples / game / "xmodel")) {
      std::string error;
      Disk disk;
      auto level = ReadStructuralLevel(disk, (samples / game).string(), entry.path().filename().string(), std::nullopt, error);
      ASSERT_TRUE(level) << error;
      std::vector<std::string> notes;
      const tinygltf::Model doc = BuildGltf(*level, {}, notes);
      EXPECT_TRUE(notes.empty()) << notes.front();  // every sample image decodes
      EXPECT_EQ(doc.skins.at(0).joints.size(), level->bones.size());
      EXPECT_EQ(doc.meshes.at(0).primitives.size(), level->surfaces.size());  // none left out for a bad index
      files.push_back((out.Path() / (std::string(game) + "_" + level->surfsName + ".glb")).string());
      ASSERT_TRUE(tinygltf::TinyGLTF().WriteGltfSceneToFile(&doc, files.back(), true, true, false, true));
    }
  }
  // Each animation with the model it drives (a viewmodel's arms with a weapon joined), and
  // how many of the (first) animation's bones the models lack.
  const struct { const char *game, *model, *with; std::vector<std::string> anims; size_t missing; } cases[] = {
      {"cod1-animated", "viewmodel_m1carbine_gfm", "", {"Cocktail_throw"}, 4},
      {"cod2", "zk_vm_stormtrooper", "viewmodel_g3", {"hoek_cross_reload", "hoek_cross_idle"}, 2},
      {"cod4", "defaultactor", "", {"unarmed_walk_slow"}, 25},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    const fs::path work = out.Path() / c.game;
    fs::create_directories(work / "obj");
    test::CopySampleInputs(c.game, work);
    const ExportOutcome outcome =
        ExportGltfFile({.workdir = work.string(), .modelName = c.model, .animations = c.anims, .withModel = c.with});
    ASSERT_TRUE(outcome.ok) << outcome.error;
    const std::vector<std::string>& warnings = outcome.warnings;
    ASSERT_FALSE(warnings.empty());
    EXPECT_NE(warnings[0].find(": " + std::to_string(c.missing) + " of its"), std::string::npos) << warnings[0];
    files.push_back(outcome.written.at(0));
  }

  const fs::path package = TESSARY_GLTF_VALIDATOR_DIR;
  std::string report;
  if (!fs::exists(package / "package.json") || RunCommand("node --version", report) != 0)
    GTEST_SKIP() << "node or the gltf-validator package (" << package << ") is not installed";
  std::string command = "node '" TESSARY_SOURCE_DIR "/scripts/validate-gltf.js' '" + package.string() + "'";
  for (const std::string& f : files) command += " '" + f + "'";
  report.clear();
  EXPECT_EQ(RunCommand(command, report), 0) << report;
  for (size_t at = report.find(" errors"); at != std::string::npos; at = report.find(" errors", at + 1))
    EXPECT_EQ(report.substr(at - 3, 3), ": 0") << report;
}

}  // namespace
}  // namespace tessary
