// Exports of the real sample models of each version (skipped when the samples are absent),
// written into a copy of their working folder: every material used is defined once, and
// every face corner names a vertex of its OBJ file or of its .x mesh.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "export/ModelExport.h"
#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"

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
  for (std::string line, tag; std::getline(obj, line);) {
    std::istringstream in(line);
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

// Exports levels 0 to 3 (as many as there are) of every model of `game` as OBJ, and as
// .x for version 25, and counts the levels written.
void ExpectEveryLevelExported(const std::string& game, size_t levels, bool alsoX) {
  test::TempWorkdir wd;
  fs::path from = test::SamplesDir() / game;
  if (test::SamplesDir().empty() || !fs::is_directory(from / "xmodel")) GTEST_SKIP() << "no sample models";
  fs::copy(from, wd.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  test::RecordingNotifier notifier;
  auto names = ListModelHeaders(wd.Str());
  ASSERT_TRUE(names.has_value());
  std::vector<std::string> written;
  for (const auto& name : *names)
    for (int level = 0; level < 4; ++level) {
      SCOPED_TRACE(name + ":" + std::to_string(level));
      ExportOutcome obj = ExportObjFiles(wd.Str(), name, level);
      if (!obj.ok) continue;
      written.push_back(name + ":" + std::to_string(level));
      int groups = CheckObj(obj.written[1], obj.written[0]);
      if (!alsoX) continue;
      ExportOutcome x = ExportXFile(wd.Str(), name, level);
      ASSERT_TRUE(x.ok) << x.error;
      EXPECT_EQ(CheckX(x.written[0]), groups);
    }
  EXPECT_EQ(written.size(), levels) << testing::PrintToString(written);
}

TEST(SamplesExport, Version14) { ExpectEveryLevelExported("cod1", 6, false); }  // one model has two levels

TEST(SamplesExport, Version20) { ExpectEveryLevelExported("cod2", 16, false); }  // 4 + 4 + 3 + 5 x 1

// Every level but the one whose surface carries an influence count of 4, and none of the
// model whose level name is too short.
TEST(SamplesExport, Version25) { ExpectEveryLevelExported("cod4", 15, true); }

}  // namespace
}  // namespace tessary
