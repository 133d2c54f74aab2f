// The SDK's own animation sources against the animation files compiled from them: the
// XANIM_EXPORT text written from each binary must put every part where the shipped source
// puts it, frame by frame, and its .gdt entry must say what the SDK's does (skipped when the
// samples are absent).
#include <gtest/gtest.h>

#include <algorithm>

#include "export/ModelExport.h"
#include "fixtures/SdkSourceText.h"
#include "fixtures/TempWorkdir.h"
#include "platform/AsciiCase.h"
#include "platform/TestFiles.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::PartPose;
using test::V3;
using test::XAnimSource;

// The angle of the turn between two orientations, in degrees, from Aᵀ B: its trace is
// 1 + 2 cos θ and its skew part holds sin θ (well conditioned for small angles, which the
// four decimals of the axes would spoil through the trace alone).
double AngleBetween(const PartPose& a, const PartPose& b) {
  double m[3][3];
  for (size_t i = 0; i < 3; ++i)
    for (size_t j = 0; j < 3; ++j) m[i][j] = a.axes[i][0] * b.axes[j][0] + a.axes[i][1] * b.axes[j][1] + a.axes[i][2] * b.axes[j][2];
  const double sine = std::hypot(m[2][1] - m[1][2], m[0][2] - m[2][0], m[1][0] - m[0][1]) / 2;
  return std::atan2(sine, (m[0][0] + m[1][1] + m[2][2] - 1) / 2) * 180 / M_PI;
}

size_t PartIndex(const XAnimSource& s, const std::string& name) {
  size_t i = 0;
  while (i < s.parts.size() && AsciiLower(s.parts[i]) != AsciiLower(name)) ++i;
  return i;
}

// The poses seen from the place of part `name` in the first frame: where the root motion
// starts differs between the artist's scene and the compiled file, which keeps only the
// motion.
void SeenFromFirst(XAnimSource& s, const std::string& name) {
  const size_t origin = PartIndex(s, name);
  ASSERT_TRUE(origin < s.parts.size() && !s.frames.empty());
  const PartPose base = s.frames[0][origin];
  auto local = [&](const V3& v) {
    V3 r{};
    for (size_t k = 0; k < 3; ++k) r[k] = base.axes[k][0] * v[0] + base.axes[k][1] * v[1] + base.axes[k][2] * v[2];
    return r;
  };
  for (auto& frame : s.frames)
    for (PartPose& pose : frame) {
      pose.offset = local({pose.offset[0] - base.offset[0], pose.offset[1] - base.offset[1], pose.offset[2] - base.offset[2]});
      for (V3& axis : pose.axes) axis = local(axis);
    }
}

// The distances and angles between the two texts' poses of every part both hold (names
// ignoring case) but `skipped`, in every frame, sorted; At(q) is the quantile q of each.
struct Errors {
  std::vector<double> distances, angles;
  std::string worst;  // where the largest distance is
  std::pair<double, double> At(double q) const {
    const size_t i = std::min(distances.size() - 1, size_t(q * double(distances.size())));
    return distances.empty() ? std::pair(0.0, 0.0) : std::pair(distances[i], angles[i]);
  }
};

Errors Compare(const XAnimSource& ours, const XAnimSource& theirs, const std::vector<std::string>& skipped) {
  Errors e;
  double largest = -1;
  for (size_t p = 0; p < theirs.parts.size(); ++p) {
    const size_t q = PartIndex(ours, theirs.parts[p]);
    if (q == ours.parts.size() || std::count(skipped.begin(), skipped.end(), AsciiLower(theirs.parts[p]))) continue;
    for (size_t f = 0; f < std::min(ours.frames.size(), theirs.frames.size()); ++f) {
      const double d = test::Distance(ours.frames[f][q].offset, theirs.frames[f][p].offset);
      if (d > largest) largest = d, e.worst = theirs.parts[p] + " in frame " + std::to_string(f);
      e.distances.push_back(d);
      e.angles.push_back(AngleBetween(ours.frames[f][q], theirs.frames[f][p]));
    }
  }
  std::sort(e.distances.begin(), e.distances.end());
  std::sort(e.angles.begin(), e.angles.end());
  return e;
}

// The value of `key` in the entry `name` of a .gdt text.
std::string GdtField(const std::string& text, const std::string& name, const std::string& key) {
  const size_t entry = text.find("\"" + name + "\" (");
  const size_t at = entry == std::string::npos ? entry : text.find("\"" + key + "\" \"", entry);
  if (at == std::string::npos) return "(none)";
  const size_t from = at + key.size() + 4;
  return text.substr(from, text.find('"', from) - from);
}

class SdkAnimationSources : public ::testing::Test {
 protected:
  void SetUp() override {
    if (test::SamplesDir().empty() || !fs::exists(Sdk())) GTEST_SKIP() << "no samples";
    test::CopySampleInputs("cod4-sdk", wd.Path());
  }
  static fs::path Sdk() { return test::SamplesDir() / "cod4-sdk" / "source"; }

  // Writes `anim` on `model` (with `withModel`) and reads the text back.
  XAnimSource Export(const std::string& anim, const std::string& model, const std::string& withModel,
                     std::optional<int> lod = std::nullopt) {
    const ExportOutcome outcome =
        ExportXAnimFiles({.workdir = wd.Str(), .modelName = model, .lod = lod, .animations = {anim}, .withModel = withModel});
    EXPECT_TRUE(outcome.ok) << outcome.error;
    return test::ReadXAnimExport(wd.Path() / "obj" / (anim + ".XANIM_EXPORT"));
  }
  // The SDK's .gdt entry `entry` in `gdt` against ours of `anim`, for each of `keys`.
  void ExpectGdtAsTheSdks(const std::string& gdt, const std::string& entry, const std::string& anim,
                          std::initializer_list<const char*> keys) {
    const std::string theirs = test::Text(Sdk() / gdt), ours = test::Text(wd.Path() / "obj" / (anim + ".gdt"));
    for (const char* key : keys) EXPECT_EQ(GdtField(ours, anim, key), GdtField(theirs, entry, key)) << key;
  }

  test::TempWorkdir wd;
};

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
  const struct { const char *binary, *source, *entry; } cases[] = {
      {"viewmodel_m16_idle", "m16_idle", "viewmodel_m16_idle"}, {"viewmodel_m16_ads_up", "m16_ADS_up", "viewmodel_m16_ADS_up"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.binary);
    const XAnimSource theirs = test::ReadXAnimExport(Sdk() / (std::string(c.source) + ".XANIM_EXPORT"));
    const XAnimSource ours = Export(c.binary, "viewhands_usmc", "viewmodel_m16");
    EXPECT_EQ(std::pair(ours.framerate, ours.frames.size()), std::pair(theirs.framerate, theirs.frames.size()));
    const Errors e = Compare(ours, theirs, {"j_clip_release"});
    EXPECT_GE(e.distances.size(), theirs.frames.size());
    // Every part, every frame: 0.05 units and half a degree; half of them within 0.01
    // units and 0.1 degrees.
    EXPECT_LE(e.At(1).first, 0.05) << e.worst;
    EXPECT_LE(e.At(1).second, 0.5);
    EXPECT_LE(e.At(0.5).first, 0.01);
    EXPECT_LE(e.At(0.5).second, 0.1);
    ExpectGdtAsTheSdks("xanim_viewmodel.gdt", c.entry, c.binary, {"type", "looping", "useBones", "angleError", "translationError"});
  }
}

TEST_F(SdkAnimationSources, RootMotionAnimationPutsTheBodyWhereItsSourceDoes) {
  // Asset type 2 ("delta"): the stored translations are offsets from the bind pose, and the
  // root motion moves tag_origin. The shipped file was built from a slightly different
  // source (its weapon tags differ: left out), and against base_character, whose bind pose
  // of the face, neck and fingers is not this body's: those bones lie up to 1.5 units and
  // a few degrees off (j_neck and j_head_end, whose twist the file does not keep, more).
  XAnimSource theirs = test::ReadXAnimExport(Sdk() / "run_death_roll.XANIM_EXPORT");
  XAnimSource ours = Export("run_death_roll", "body_complete_sp_arab_regular_al_asad_dmg", "", 3);
  SeenFromFirst(theirs, "tag_origin");
  SeenFromFirst(ours, "tag_origin");
  EXPECT_EQ(ours.frames.size(), theirs.frames.size());
  const Errors e = Compare(ours, theirs, {"tag_weapon_left", "tag_weapon_right", "tag_inhand", "j_gun"});
  EXPECT_GE(e.distances.size(), theirs.frames.size() * 90);
  EXPECT_LE(e.At(0.5).first, 0.06);
  EXPECT_LE(e.At(0.5).second, 0.25);
  EXPECT_LE(e.At(0.9).first, 0.35);
  EXPECT_LE(e.At(0.9).second, 2.0);
  EXPECT_LE(e.At(1).first, 1.5) << e.worst;
  ExpectGdtAsTheSdks("modern_combat.gdt", "run_death_roll", "run_death_roll", {"type", "looping", "useBones"});
}

}  // namespace
}  // namespace tessary
