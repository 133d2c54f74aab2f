// The SDK's own animation sources against the animation files compiled from them: the
// XANIM_EXPORT text written from each binary must put every part where the shipped source
// puts it, frame by frame (skipped when the samples are absent).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "export/ModelExport.h"
#include "fixtures/TempWorkdir.h"
#include "platform/AsciiCase.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using Row = std::array<double, 3>;

struct PartPose {
  Row offset{};
  std::array<Row, 3> axes{};  // the part's X, Y and Z axes in world space
};

// An XANIM_EXPORT text as the SDK's tools write it.
struct XAnimSource {
  std::vector<std::string> parts;
  int framerate = 0;
  int numframes = 0;
  std::vector<int> frameNumbers;
  std::vector<std::vector<PartPose>> frames;  // [frame][part]
  std::vector<std::pair<int, std::string>> notes;  // every track's keys: frame, name
};

std::optional<XAnimSource> ParseXAnimSource(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  XAnimSource s;
  std::string line, word;
  bool inNotes = false;
  size_t part = 0;
  auto row = [](std::istringstream& fields) {
    Row r{};
    for (double& v : r) fields >> v;
    return r;
  };
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.starts_with("//")) continue;
    std::istringstream fields(line);
    fields >> word;
    if (word == "NOTETRACKS") {
      inNotes = true;
    } else if (word == "FRAMERATE") {
      fields >> s.framerate;
    } else if (word == "NUMFRAMES") {
      fields >> s.numframes;
    } else if (word == "FRAME" && inNotes) {
      int frame = 0;
      fields >> frame >> std::ws;
      std::string name;
      std::getline(fields, name);
      s.notes.emplace_back(frame, name.size() >= 2 ? name.substr(1, name.size() - 2) : name);
    } else if (word == "FRAME") {
      s.frameNumbers.push_back(0);
      fields >> s.frameNumbers.back();
      s.frames.emplace_back(s.parts.size());
    } else if (word == "PART" && !inNotes && s.frames.empty()) {
      size_t index = 0;
      fields >> index >> std::ws;
      std::string name;
      std::getline(fields, name);
      if (index != s.parts.size() || name.size() < 2) return std::nullopt;
      s.parts.push_back(name.substr(1, name.size() - 2));
    } else if (word == "PART") {
      fields >> part;
      if (!inNotes && part >= s.parts.size()) return std::nullopt;
    } else if (!s.frames.empty() && !inNotes) {
      PartPose& pose = s.frames.back()[part];
      if (word == "OFFSET") pose.offset = row(fields);
      if (word == "X") pose.axes[0] = row(fields);
      if (word == "Y") pose.axes[1] = row(fields);
      if (word == "Z") pose.axes[2] = row(fields);
    }
  }
  return s;
}

double Distance(const Row& a, const Row& b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

// The angle of the turn between two orientations, in degrees, from Aᵀ B: its trace is
// 1 + 2 cos θ and its skew part holds sin θ (well conditioned for small angles, which the
// four decimals of the axes would spoil through the trace alone).
double AngleBetween(const PartPose& a, const PartPose& b) {
  double m[3][3];
  for (size_t i = 0; i < 3; ++i)
    for (size_t j = 0; j < 3; ++j) m[i][j] = a.axes[i][0] * b.axes[j][0] + a.axes[i][1] * b.axes[j][1] + a.axes[i][2] * b.axes[j][2];
  const double sx = (m[2][1] - m[1][2]) / 2, sy = (m[0][2] - m[2][0]) / 2, sz = (m[1][0] - m[0][1]) / 2;
  return std::atan2(std::sqrt(sx * sx + sy * sy + sz * sz), (m[0][0] + m[1][1] + m[2][2] - 1) / 2) * 180 / M_PI;
}

// The poses seen from the place of part `name` in the first frame: where the root motion
// starts differs between the artist's scene and the compiled file, which keeps only the
// motion.
void SeenFromFirst(XAnimSource& s, const std::string& name) {
  size_t origin = 0;
  while (origin < s.parts.size() && AsciiLower(s.parts[origin]) != name) ++origin;
  if (origin == s.parts.size() || s.frames.empty()) return;
  const PartPose base = s.frames[0][origin];
  auto local = [&](const Row& v) {
    Row r{};
    for (size_t k = 0; k < 3; ++k) r[k] = base.axes[k][0] * v[0] + base.axes[k][1] * v[1] + base.axes[k][2] * v[2];
    return r;
  };
  for (auto& frame : s.frames)
    for (PartPose& pose : frame) {
      pose.offset = local({pose.offset[0] - base.offset[0], pose.offset[1] - base.offset[1], pose.offset[2] - base.offset[2]});
      for (Row& axis : pose.axes) axis = local(axis);
    }
}

// The errors of every part in every frame, sorted.
struct Errors {
  std::vector<double> distances, angles;
  std::string worst;  // where the largest distance is
  size_t Compared() const { return distances.size(); }
  double Distance(double quantile) const { return At(distances, quantile); }
  double Angle(double quantile) const { return At(angles, quantile); }
  static double At(const std::vector<double>& sorted, double quantile) {
    return sorted.empty() ? 0 : sorted[std::min(sorted.size() - 1, size_t(quantile * double(sorted.size())))];
  }
};

// Per frame, every part that both texts hold (names ignoring case), except `skipped`.
Errors Compare(const XAnimSource& ours, const XAnimSource& theirs, const std::vector<std::string>& skipped = {}) {
  Errors e;
  double largest = -1;
  for (size_t p = 0; p < theirs.parts.size(); ++p) {
    const std::string name = AsciiLower(theirs.parts[p]);
    if (std::find(skipped.begin(), skipped.end(), name) != skipped.end()) continue;
    size_t q = 0;
    while (q < ours.parts.size() && AsciiLower(ours.parts[q]) != name) ++q;
    if (q == ours.parts.size()) continue;
    for (size_t f = 0; f < std::min(ours.frames.size(), theirs.frames.size()); ++f) {
      const double d = Distance(ours.frames[f][q].offset, theirs.frames[f][p].offset);
      if (d > largest) e.worst = theirs.parts[p] + " in frame " + std::to_string(f);
      largest = std::max(largest, d);
      e.distances.push_back(d);
      e.angles.push_back(AngleBetween(ours.frames[f][q], theirs.frames[f][p]));
    }
  }
  std::sort(e.distances.begin(), e.distances.end());
  std::sort(e.angles.begin(), e.angles.end());
  return e;
}

class SdkAnimationSources : public ::testing::Test {
 protected:
  void SetUp() override {
    if (test::SamplesDir().empty() || !fs::exists(Sdk() / "source")) GTEST_SKIP() << "no samples";
    test::CopySampleInputs("cod4-sdk", wd.Path());
  }
  static fs::path Sdk() { return test::SamplesDir() / "cod4-sdk"; }

  // Writes `anim` on `model` (with `withModel`) and reads the text back.
  XAnimSource Export(const std::string& anim, const std::string& model, const std::string& withModel,
                     std::optional<int> lod = std::nullopt) {
    ExportRequest request{wd.Str(), model, lod, {}};
    request.animations = {anim};
    request.withModel = withModel;
    const ExportOutcome outcome = ExportXAnimFiles(request);
    EXPECT_TRUE(outcome.ok) << outcome.error;
    auto parsed = ParseXAnimSource(wd.Path() / "obj" / (anim + ".XANIM_EXPORT"));
    EXPECT_TRUE(parsed);
    return parsed.value_or(XAnimSource{});
  }
  static XAnimSource Source(const std::string& name) {
    auto parsed = ParseXAnimSource(Sdk() / "source" / (name + ".XANIM_EXPORT"));
    EXPECT_TRUE(parsed) << name;
    return parsed.value_or(XAnimSource{});
  }

  test::TempWorkdir wd;
};

// The value of `key` in the entry `name` of a .gdt text.
std::string GdtField(const std::string& text, const std::string& name, const std::string& key) {
  const size_t entry = text.find("\"" + name + "\" (");
  if (entry == std::string::npos) return "(no entry)";
  const size_t at = text.find("\"" + key + "\" \"", entry);
  if (at == std::string::npos) return "(no field)";
  const size_t from = at + key.size() + 4;
  return text.substr(from, text.find('"', from) - from);
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What the compiled files lose against their sources (the samples' README): key reduction
// within 0.05 degrees and 0.025 units per bone, and the parts file's rotations of three
// stored components (up to about a degree near a half turn).

TEST_F(SdkAnimationSources, ViewmodelAnimationsPutEveryPartWhereTheirSourcesDo) {
  // Asset type 1 ("relative"): the stored translation is the bone's whole local translation
  // (read as an offset from the bind, the arms land 15 units away). Both sources compile
  // back to the shipped files exactly. The arms' skeleton with the weapon's, as the SDK's
  // viewmodel_m16_animated joins them. j_clip_release, the one weapon bone with a
  // translation key, is left out: its stored value is the source's local translation less
  // its bind translation.
  const std::pair<const char*, const char*> pairs[] = {{"viewmodel_m16_idle", "m16_idle"},
                                                       {"viewmodel_m16_ads_up", "m16_ADS_up"}};
  const std::string gdt = ReadAll(Sdk() / "source" / "xanim_viewmodel.gdt");
  for (const auto& [binary, source] : pairs) {
    SCOPED_TRACE(binary);
    const XAnimSource theirs = Source(source);
    const XAnimSource ours = Export(binary, "viewhands_usmc", "viewmodel_m16");
    EXPECT_EQ(ours.framerate, theirs.framerate);
    EXPECT_EQ(ours.frames.size(), theirs.frames.size());
    const Errors e = Compare(ours, theirs, {"j_clip_release"});
    EXPECT_GE(e.Compared(), theirs.frames.size());
    // Every part, every frame: 0.05 units and half a degree; half of them within 0.01
    // units and 0.1 degrees.
    EXPECT_LE(e.Distance(1), 0.05) << e.worst;
    EXPECT_LE(e.Angle(1), 0.5);
    EXPECT_LE(e.Distance(0.5), 0.01);
    EXPECT_LE(e.Angle(0.5), 0.1);
    // The entry beside it says what the SDK's does.
    const std::string ourGdt = ReadAll(wd.Path() / "obj" / (std::string(binary) + ".gdt"));
    const std::string entry = std::string(binary) == "viewmodel_m16_idle" ? "viewmodel_m16_idle" : "viewmodel_m16_ADS_up";
    for (const char* key : {"type", "looping", "useBones", "angleError", "translationError"})
      EXPECT_EQ(GdtField(ourGdt, binary, key), GdtField(gdt, entry, key)) << key;
  }
}

TEST_F(SdkAnimationSources, RootMotionAnimationPutsTheBodyWhereItsSourceDoes) {
  // Asset type 2 ("delta"): the stored translations are offsets from the bind pose, and the
  // root motion moves tag_origin. The shipped file was built from a slightly different
  // source (its weapon tags differ: left out), and against base_character, whose bind pose
  // of the face, neck and fingers is not this body's: those bones lie up to 1.5 units and
  // a few degrees off (j_neck and j_head_end, whose twist the file does not keep, more).
  XAnimSource theirs = Source("run_death_roll");
  XAnimSource ours = Export("run_death_roll", "body_complete_sp_arab_regular_al_asad_dmg", "", 3);
  SeenFromFirst(theirs, "tag_origin");
  SeenFromFirst(ours, "tag_origin");
  EXPECT_EQ(ours.frames.size(), theirs.frames.size());
  const Errors e = Compare(ours, theirs, {"tag_weapon_left", "tag_weapon_right", "tag_inhand", "j_gun"});
  EXPECT_GE(e.Compared(), theirs.frames.size() * 90);
  EXPECT_LE(e.Distance(0.5), 0.06);
  EXPECT_LE(e.Angle(0.5), 0.25);
  EXPECT_LE(e.Distance(0.9), 0.35);
  EXPECT_LE(e.Angle(0.9), 2.0);
  EXPECT_LE(e.Distance(1), 1.5) << e.worst;
  const std::string gdt = ReadAll(Sdk() / "source" / "modern_combat.gdt");
  const std::string ourGdt = ReadAll(wd.Path() / "obj" / "run_death_roll.gdt");
  for (const char* key : {"type", "looping", "useBones"})
    EXPECT_EQ(GdtField(ourGdt, "run_death_roll", key), GdtField(gdt, "run_death_roll", key)) << key;
}

}  // namespace
}  // namespace tessary
