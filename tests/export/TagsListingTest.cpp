// The tags listing: the table, the box-drawing tree and the 16-bit encoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "export/TagsListing.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/ModelV20.h"

namespace tessary {
namespace {

std::vector<uint8_t> LittleEndian(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

Part MakePart(const std::string& name, uint8_t parent, float x = 0, float y = 0, float z = 0) {
  Part p;
  p.name = name;
  p.parent = parent;
  p.position[0] = x;
  p.position[1] = y;
  p.position[2] = z;
  return p;
}

// The bytes as readable text for failure messages (glyphs shown as '+' and '=').
std::string Readable(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    text += c == u'\u2558' ? '+' : c == u'\u255E' ? '=' : c < 256 ? static_cast<char>(c) : '?';
  }
  return text;
}

const std::u16string kHead =
    u"\r\nFor best results, view this with the font \"Courier New\" \r\n\r\n"
    u"tag#   name (X, Y, Z), parent\r\n\r\n";

TEST(TagsListing, TableAndTreeOfAnAwkwardSkeleton) {
  PartList parts;
  parts.parts = {
      MakePart("tag_origin", 0),
      MakePart("j_a", 0, 1, 0, 0),
      MakePart("j_b", 3, 0.005f, -0.125f, 2),  // parent listed after it
      MakePart("a_very_long_tag_name_25ch", 0),
      MakePart("c1", 5),  // c1 and c2 are each other's parent: not in the tree
      MakePart("c2", 4),
      MakePart("bad", 200),  // parent out of range: the root
      MakePart("x7", 1),
      MakePart("x8", 1, -1234.5f, 0.994f, 0.995f),  // 0.995f lies above 0.995
      MakePart("x9", 8),
      MakePart("x10", 0),
  };
  std::u16string expected = kHead +
      u"# 0 = tag_origin          , (0.00, 0.00, 0.00)\r\n"
      u"# 1 = j_a                 , (1.00, 0.00, 0.00), parent = #0\r\n"
      u"# 2 = j_b                 , (0.00, -0.12, 2.00), parent = #3\r\n"
      u"# 3 = a_very_long_tag_name_25ch, (0.00, 0.00, 0.00), parent = #0\r\n"
      u"# 4 = c1                  , (0.00, 0.00, 0.00), parent = #5\r\n"
      u"# 5 = c2                  , (0.00, 0.00, 0.00), parent = #4\r\n"
      u"# 6 = bad                 , (0.00, 0.00, 0.00), parent = #0\r\n"
      u"# 7 = x7                  , (0.00, 0.00, 0.00), parent = #1\r\n"
      u"# 8 = x8                  , (-1234.50, 0.99, 1.00), parent = #1\r\n"
      u"# 9 = x9                  , (0.00, 0.00, 0.00), parent = #8\r\n"
      u"#10 = x10                 , (0.00, 0.00, 0.00), parent = #0\r\n"
      u"\r\n\r\n\r\n"
      u"\u2558 tag_origin\r\n"
      u"    \u255E j_a\r\n"
      u"    |    \u255E x7\r\n"
      u"    |    \u2558 x8\r\n"
      u"    |        \u2558 x9\r\n"
      u"    \u255E a_very_long_tag_name_25ch\r\n"
      u"    |    \u2558 j_b\r\n"
      u"    \u255E bad\r\n"
      u"    \u2558 x10\r\n";
  EXPECT_EQ(Readable(TagsListingBytes(parts)), Readable(LittleEndian(expected)));
  EXPECT_EQ(TagsListingBytes(parts), LittleEndian(expected));
}

TEST(TagsListing, RootOnlyAndLongNames) {
  PartList parts;
  parts.parts = {Part{}};  // what a model without a parts file has
  EXPECT_EQ(TagsListingBytes(parts),
            LittleEndian(kHead + u"# 0 =                     , (0.00, 0.00, 0.00)\r\n\r\n\r\n\r\n"
                                 u"\u2558 \r\n"));

  // Names (and tree prefixes) pass through a 260-byte buffer of 16-bit units: 129
  // characters survive. Bytes above 127 become the code unit of the same value.
  parts.parts[0].name = "\xE9" + std::string(140, 'n');
  std::vector<uint8_t> bytes = TagsListingBytes(parts);
  std::u16string name129 = u"\u00E9" + std::u16string(128, u'n');
  EXPECT_EQ(bytes, LittleEndian(kHead + u"# 0 = " + name129 + u", (0.00, 0.00, 0.00)\r\n\r\n\r\n\r\n" +
                                u"\u2558 " + name129 + u"\r\n"));
}

TEST(TagsListing, ModelWritesTheListingBesideItsObjFolder) {
  test::TempWorkdir wd;
  namespace v20 = test::v20;
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_x"}}}));
  wd.Write("xmodelparts/m_lod0",
           v20::Parts({{0, {0, 0, 0}, ""}, {0, {1, 0, 0}, "a"}, {1, {0, 2, 0}, "b"}}));
  CModelV20 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "m"));
  ASSERT_NE(model.LoadLods(), nullptr);
  model.LoadParts(0);
  ASSERT_TRUE(model.WriteTagsListing("m"));
  // The stored empty root name reads as tag_origin; positions are accumulated.
  auto bytes = wd.Read("obj/m_tags.txt");
  auto row = LittleEndian(u"# 2 = b                   , (1.00, 2.00, 0.00), parent = #1\r\n");
  auto tree = LittleEndian(u"\u2558 tag_origin\r\n    \u2558 a\r\n        \u2558 b\r\n");
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), row.begin(), row.end()), bytes.end());
  EXPECT_TRUE(bytes.size() > tree.size() && std::equal(tree.begin(), tree.end(), bytes.end() - static_cast<long>(tree.size())));

  // No obj folder: false, and nothing is left behind.
  std::filesystem::remove_all(wd.Path() / "obj");
  EXPECT_FALSE(model.WriteTagsListing("m"));
  EXPECT_FALSE(wd.Exists("obj"));
}

}  // namespace
}  // namespace tessary
