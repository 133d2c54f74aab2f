// The SDK's model source text and asset entry: exact bytes of a small level and of asset
// entries, worked out by hand. (Bone-relative vertices of versions 14 and 20 are checked on
// real models against the glTF export, in XModelExportSamplesTest.)
#include <gtest/gtest.h>

#include "export/XModelExport.h"
#include "fixtures/TempWorkdir.h"
#include "platform/BuildInfo.h"
#include "platform/OutputFile.h"
#include "platform/TestFiles.h"

namespace tessary {
namespace {

// The text with every line feed as CR LF.
std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

constexpr const char* kLambert =
    "COLOR 0.000000 0.000000 0.000000 1.000000\n"
    "TRANSPARENCY 0.000000 0.000000 0.000000 1.000000\n"
    "AMBIENTCOLOR 0.000000 0.000000 0.000000 1.000000\n"
    "INCANDESCENCE 0.000000 0.000000 0.000000 1.000000\n"
    "COEFFS 0.800000 0.000000\n"
    "GLOW 0.000000 0\n"
    "REFRACTIVE 6 1.000000\n"
    "SPECULARCOLOR -1.000000 -1.000000 -1.000000 1.000000\n"
    "REFLECTIVECOLOR -1.000000 -1.000000 -1.000000 1.000000\n"
    "REFLECTIVE -1 -1.000000\n"
    "BLINN -1.000000 -1.000000\n"
    "PHONG -1.000000\n";

// Two bones (the second turned half round Z), a rigid surface and a weighted one without a
// material. The weighted surface's first vertex lies where the rigid one's second does with
// the same bone: one vertex of the text. Its third lies on the rigid one's third, but on
// another bone: a vertex of its own.
DecodedLevel SmallLevel() {
  auto vertex = [](float x, float y, float z, uint16_t bone, float u, float v) {
    return DecodedVertex{.position = {x, y, z}, .normal = {0, 0, 1}, .uv = {u, v}, .bone = bone};
  };
  DecodedSurface rigid{.vertices = {vertex(0, 0, 0, 1, 0, 0), vertex(1, 0, 0, 1, 1, 0), vertex(0, 1, 0, 1, 0, 1)},
                       .triangles = {0, 1, 2}, .material = 0};
  rigid.vertices[2].color[1] = 0, rigid.vertices[2].color[2] = 51;
  DecodedSurface weighted{.vertices = {vertex(1, 0, 0, 1, 0.5f, 0.5f), vertex(0, 0, 1, 0, 0.25f, 0.75f), vertex(0, 1, 0, 0, 1, 1)},
                          .influences = {{1, 0.25f}},
                          .triangles = {0, 1, 2, 0, 1, 7}};  // the second names a vertex that is not there
  weighted.vertices[1].normal[1] = 3, weighted.vertices[1].normal[2] = 4;
  weighted.vertices[1].influenceCount = 1;
  return {.modelName = "crate", .version = 25, .surfsName = "crate_lod0",
          .bones = {{"tag_origin"}, {"j_lid", 0, {1, 2, 3}, {0, 0, 1, 0}}}, .surfaces = {rigid, weighted},
          .materials = {{"mtl_crate", "", "crate_col"}}};
}

class XModelExportText : public ::testing::Test {
 protected:
  std::string Written(const DecodedLevel& level, float scale, std::vector<std::string>* notes = nullptr) {
    OutputFile file;
    EXPECT_TRUE(file.OpenExact(wd_.Path() / "obj/out.txt"));
    WriteXModelExportText(level, scale, file, notes);
    EXPECT_TRUE(file.Commit());
    return test::Text(wd_.Path() / "obj/out.txt");
  }
  test::TempWorkdir wd_;
};

TEST_F(XModelExportText, SmallLevelIsWrittenAsTheSdkLaysItOut) {
  std::vector<std::string> notes;
  const std::string want = Crlf(std::string("// Written by ") + build::kProductName + " " + build::kVersion + "\n" +
                                "// Source model: crate, level 0 (crate_lod0)\n"
                                "MODEL\nVERSION 6\n\n"
                                "NUMBONES 2\nBONE 0 -1 \"tag_origin\"\nBONE 1 0 \"j_lid\"\n\n"
                                "BONE 0\nOFFSET 0.000000, 0.000000, 0.000000\nSCALE 1.000000, 1.000000, 1.000000\n"
                                "X 1.000000, 0.000000, 0.000000\nY 0.000000, 1.000000, 0.000000\n"
                                "Z 0.000000, 0.000000, 1.000000\n\n"
                                "BONE 1\nOFFSET 1.000000, 2.000000, 3.000000\nSCALE 1.000000, 1.000000, 1.000000\n"
                                "X -1.000000, 0.000000, 0.000000\nY 0.000000, -1.000000, 0.000000\n"
                                "Z 0.000000, 0.000000, 1.000000\n\n"
                                "NUMVERTS 5\n"
                                "VERT 0\nOFFSET 0.000000, 0.000000, 0.000000\nBONES 1\nBONE 1 1.000000\n\n"
                                "VERT 1\nOFFSET 1.000000, 0.000000, 0.000000\nBONES 1\nBONE 1 1.000000\n\n"
                                "VERT 2\nOFFSET 0.000000, 1.000000, 0.000000\nBONES 1\nBONE 1 1.000000\n\n"
                                "VERT 3\nOFFSET 0.000000, 0.000000, 1.000000\nBONES 2\nBONE 0 0.750000\n"
                                "BONE 1 0.250000\n\n"
                                "VERT 4\nOFFSET 0.000000, 1.000000, 0.000000\nBONES 1\nBONE 0 1.000000\n\n"
                                "NUMFACES 2\n"
                                "TRI 0 0 0 0\n"
                                "VERT 0\nNORMAL 0.000000 0.000000 1.000000\nCOLOR 1.000000 1.000000 1.000000 1.000000\n"
                                "UV 1 0.000000 0.000000 \n"
                                "VERT 1\nNORMAL 0.000000 0.000000 1.000000\nCOLOR 1.000000 1.000000 1.000000 1.000000\n"
                                "UV 1 1.000000 0.000000 \n"
                                "VERT 2\nNORMAL 0.000000 0.000000 1.000000\nCOLOR 1.000000 0.000000 0.200000 1.000000\n"
                                "UV 1 0.000000 1.000000 \n"
                                "TRI 1 1 0 0\n"
                                "VERT 1\nNORMAL 0.000000 0.000000 1.000000\nCOLOR 1.000000 1.000000 1.000000 1.000000\n"
                                "UV 1 0.500000 0.500000 \n"
                                "VERT 3\nNORMAL 0.000000 0.600000 0.800000\nCOLOR 1.000000 1.000000 1.000000 1.000000\n"
                                "UV 1 0.250000 0.750000 \n"
                                "VERT 4\nNORMAL 0.000000 0.000000 1.000000\nCOLOR 1.000000 1.000000 1.000000 1.000000\n"
                                "UV 1 1.000000 1.000000 \n\n"
                                "NUMOBJECTS 2\nOBJECT 0 \"crate_lod0_surface0\"\nOBJECT 1 \"crate_lod0_surface1\"\n\n"
                                "NUMMATERIALS 2\n"
                                "MATERIAL 0 \"mtl_crate\" \"Lambert\" \"crate_col.tga\"\n" +
                                kLambert + "\nMATERIAL 1 \"default\" \"Lambert\" \"\"\n" + kLambert + "\n");
  EXPECT_EQ(Written(SmallLevel(), 1.0f, &notes), want);
  EXPECT_EQ(notes, std::vector<std::string>{"crate_lod0: surface 1 names no material; it is given \"default\""});
}

TEST_F(XModelExportText, ScaleMultipliesBonePlacesAndVerticesOnly) {
  const std::string text = Written(SmallLevel(), 2.0f);
  EXPECT_NE(text.find("BONE 1\r\nOFFSET 2.000000, 4.000000, 6.000000\r\n"), std::string::npos);
  EXPECT_NE(text.find("VERT 1\r\nOFFSET 2.000000, 0.000000, 0.000000\r\n"), std::string::npos);
  EXPECT_NE(text.find("NORMAL 0.000000 0.600000 0.800000\r\n"), std::string::npos);
  EXPECT_NE(text.find("UV 1 0.250000 0.750000 \r\n"), std::string::npos);
}

TEST_F(XModelExportText, GdtNamesTheLevelsInOrderWithTheirDistances) {
  auto gdt = [&](bool animated, const std::vector<GdtLevel>& levels) {
    OutputFile file;
    EXPECT_TRUE(file.OpenExact(wd_.Path() / "obj/out.gdt"));
    WriteXModelGdtText("crate", animated, levels, file);
    EXPECT_TRUE(file.Commit());
    return test::Text(wd_.Path() / "obj/out.gdt");
  };
  auto want = [](const char* type, const char* files[4], const char* distances[4]) {
    return Crlf(std::string("\n{\n\t\"crate\" ( \"xmodel.gdf\" )\n\t{\n") + "\t\t\"type\" \"" + type + "\"\n" +
                "\t\t\"filename\" \"" + files[0] + "\"\n\t\t\"highLodDist\" \"" + distances[0] + "\"\n" +
                "\t\t\"forceMediumLodRigid\" \"0\"\n\t\t\"mediumLod\" \"" + files[1] + "\"\n" +
                "\t\t\"mediumLodDist\" \"" + distances[1] + "\"\n\t\t\"forceLowLodRigid\" \"0\"\n" +
                "\t\t\"lowLod\" \"" + files[2] + "\"\n\t\t\"lowLodDist\" \"" + distances[2] + "\"\n" +
                "\t\t\"forceLowestLodRigid\" \"0\"\n\t\t\"lowestLod\" \"" + files[3] + "\"\n" +
                "\t\t\"lowestLodDist\" \"" + distances[3] + "\"\n" +
                "\t\t\"groundLit\" \"0\"\n\t\t\"noRadialNormals\" \"0\"\n\t\t\"radialOriginX\" \"0\"\n"
                "\t\t\"radialOriginY\" \"0\"\n\t\t\"radialOriginZ\" \"0\"\n\t\t\"allowHidingAllParts\" \"0\"\n"
                "\t\t\"collisionLOD\" \"None\"\n\t\t\"hitBoxModel\" \"\"\n\t\t\"skinOverride\" \"\"\n"
                "\t\t\"boneControllers\" \"\"\n\t\t\"boneStabilizers\" \"\"\n\t\t\"physicsPreset\" \"\"\n\t}\n}\n");
  };
  const char* three[4] = {"crate_lod0.XMODEL_EXPORT", "crate_lod1.XMODEL_EXPORT", "crate_lod2.XMODEL_EXPORT", ""};
  const char* threeDistances[4] = {"100", "350", "1500", "0"};
  EXPECT_EQ(gdt(true, {{"crate_lod0", 100}, {"crate_lod1", 350}, {"crate_lod2", 1500}}),
            want("animated", three, threeDistances));
  // One level is drawn at every distance.
  const char* one[4] = {"crate_lod1.XMODEL_EXPORT", "", "", ""};
  const char* noDistances[4] = {"0", "0", "0", "0"};
  EXPECT_EQ(gdt(false, {{"crate_lod1", 350}}), want("rigid", one, noDistances));
}

}  // namespace
}  // namespace tessary
