// Exports of the real sample models of each version (skipped when the samples are absent),
// written into a copy of their working folder: every OBJ must be one that other tools can
// read, and every .x face must lie within its mesh.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <vector>
#include <string>

#include "export/ModelExport.h"
#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::TempWorkdir;

bool CopySamples(const std::string& game, const TempWorkdir& wd) {
  fs::path from = test::SamplesDir() / game;
  if (test::SamplesDir().empty() || !fs::is_directory(from / "xmodel")) return false;
  for (const auto& sub : fs::directory_iterator(from))
    fs::copy(sub.path(), wd.Path() / sub.path().filename(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  return true;
}

std::string Text(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every material used is defined once in the MTL, and every face corner names a vertex
// written before it. Returns the number of groups.
int CheckObj(const std::string& obj, const std::string& mtl) {
  std::set<std::string> defined;
  std::istringstream mtlLines(mtl);
  for (std::string line; std::getline(mtlLines, line);)
    if (line.rfind("newmtl ", 0) == 0) {
      EXPECT_TRUE(defined.insert(line.substr(7)).second) << line;
    }
  std::istringstream lines(obj);
  long vertices = 0;
  int faces = 0, groups = 0;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream in(line);
    std::string tag, corner;
    in >> tag;
    vertices += tag == "v";
    groups += tag == "g";
    if (tag == "usemtl") {
      EXPECT_TRUE(defined.count(line.substr(7))) << line;
    }
    if (tag != "f") continue;
    ++faces;
    for (int i = 0; i < 3 && in >> corner; ++i) {
      long index = std::atol(corner.c_str());
      EXPECT_TRUE(index >= 1 && index <= vertices) << line;
    }
  }
  EXPECT_GT(faces, 0);
  return groups;
}

// Checks the faces of every mesh of a .x file against its vertex count; returns the
// number of meshes.
int CheckX(const std::string& text) {
  std::istringstream lines(text);
  int meshes = 0;
  long vertices = -1;
  for (std::string line; std::getline(lines, line);) {
    if (line == "Mesh\r") {
      ++meshes;
      std::getline(lines, line);  // "{"
      std::getline(lines, line);
      vertices = std::atol(line.c_str() + 1);
    }
    long a, b, c;
    if (std::sscanf(line.c_str() + line.find_first_not_of('\t'), "3;%ld,%ld,%ld;", &a, &b, &c) != 3) continue;
    for (long i : {a, b, c}) EXPECT_TRUE(i >= 0 && i < vertices) << line;
  }
  return meshes;
}

// Exports levels 0 to 3 (as many as the samples have) of every model of `game` as OBJ,
// and as .x for version 25, checking each file and counting the levels written.
void ExpectEveryLevelExported(const std::string& game, size_t levels, bool alsoX) {
  TempWorkdir wd;
  if (!CopySamples(game, wd)) GTEST_SKIP() << "no sample models";
  test::RecordingNotifier notifier;
  std::vector<std::string> written;
  auto names = ListModelHeaders(wd.Str());
  ASSERT_TRUE(names.has_value());
  for (const auto& name : *names) {
    for (int level = 0; level < 4; ++level) {
      SCOPED_TRACE(name + ":" + std::to_string(level));
      ExportOutcome obj = ExportObjFiles(wd.Str(), name, level);
      if (!obj.ok) continue;
      written.push_back(name + ":" + std::to_string(level));
      int groups = CheckObj(Text(obj.written[1]), Text(obj.written[0]));
      if (!alsoX) continue;
      ExportOutcome x = ExportXFile(wd.Str(), name, level);
      ASSERT_TRUE(x.ok) << x.error;
      EXPECT_EQ(CheckX(Text(x.written[0])), groups);
    }
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
