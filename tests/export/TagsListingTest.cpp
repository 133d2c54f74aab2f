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

  // Names pass through a 260-byte buffer of 16-bit units: 129 characters survive. Bytes
  // above 127 become the code unit of the same value.
  parts.parts[0].name = std::string(140, 'n') + "\xE9";
  std::vector<uint8_t> bytes = TagsListingBytes(parts);
  std::u16string name129(129, u'n');
  EXPECT_EQ(bytes, LittleEndian(kHead + u"# 0 = " + name129 + u", (0.00, 0.00, 0.00)\r\n\r\n\r\n\r\n" +
                                u"\u2558 " + name129 + u"\r\n"));

  parts.parts[0].name = "caf\xE9";
  bytes = TagsListingBytes(parts);
  std::vector<uint8_t> cafe = {'c', 0, 'a', 0, 'f', 0, 0xE9, 0};
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), cafe.begin(), cafe.end()), bytes.end());
}

TEST(TagsListing, DeepPrefixesAreCutLikeNames) {
  // A chain of 40 parts each with a sibling after it: the prefix grows by five per level
  // and is cut at 129 characters.
  PartList parts;
  parts.parts.push_back(MakePart("r", 0));
  for (int depth = 0; depth < 40; ++depth) {
    uint8_t parent = static_cast<uint8_t>(depth == 0 ? 0 : 2 * depth - 1);
    parts.parts.push_back(MakePart("a", parent));
    parts.parts.push_back(MakePart("b", parent));
  }
  std::vector<uint8_t> bytes = TagsListingBytes(parts);
  // The deepest pair: the prefix "    " + 39 x "|    " = 199 characters, cut to 129.
  std::u16string prefix = u"    ";
  for (int i = 0; i < 25; ++i) prefix += u"|    ";
  std::vector<uint8_t> deepest =
      LittleEndian(u"\r\n" + prefix + u"\u255E a\r\n" + prefix + u"\u2558 b\r\n");
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), deepest.begin(), deepest.end()), bytes.end());
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
  std::u16string expected = kHead +
      u"# 0 = tag_origin          , (0.00, 0.00, 0.00)\r\n"
      u"# 1 = a                   , (1.00, 0.00, 0.00), parent = #0\r\n"
      u"# 2 = b                   , (1.00, 2.00, 0.00), parent = #1\r\n"
      u"\r\n\r\n\r\n"
      u"\u2558 tag_origin\r\n"
      u"    \u2558 a\r\n"
      u"        \u2558 b\r\n";
  EXPECT_EQ(wd.Read("obj/m_tags.txt"), LittleEndian(expected));

  // No obj folder: false, and nothing is left behind.
  std::filesystem::remove_all(wd.Path() / "obj");
  EXPECT_FALSE(model.WriteTagsListing("m"));
  EXPECT_FALSE(wd.Exists("obj"));
}

}  // namespace
}  // namespace tessary
