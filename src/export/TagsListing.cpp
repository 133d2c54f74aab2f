#include "export/TagsListing.h"

#include <string_view>

#include "export/Exporters.h"
#include "export/TagTree.h"
#include "export/Utf16Text.h"
#include "model/DescribedGeometry.h"

namespace tessary {

namespace {

// Names and prefixes pass through a 260-byte buffer of 16-bit units on their way out:
// 129 characters and the terminator.
constexpr size_t kWidenedLimit = 129;
constexpr int kDecimals = 2;  // "%.2f"
constexpr size_t kNameColumn = 20;  // "%-20s"
constexpr char16_t kBranchGlyph = u'\u255E';  // a node with a next sibling
constexpr char16_t kLastGlyph = u'\u2558';    // the last of its siblings

std::string_view Widened(std::string_view text) { return text.substr(0, kWidenedLimit); }

// "#%2d = %-20s, (%.2f, %.2f, %.2f)".
void TableRow(Utf16Text& out, size_t index, const Part& part) {
  out.Narrow("#");
  if (index < 10) out.Narrow(" ");
  out.Int(static_cast<int64_t>(index));
  std::string_view name = Widened(part.name);
  out.Narrow(" = ").Narrow(name);
  for (size_t n = name.size(); n < kNameColumn; ++n) out.Narrow(" ");
  out.Narrow(", (").Fixed(part.position[0], kDecimals).Narrow(", ");
  out.Fixed(part.position[1], kDecimals).Narrow(", ").Fixed(part.position[2], kDecimals);
  out.Narrow(")");
}

}  // namespace

std::vector<uint8_t> TagsListingBytes(const PartList& parts) {
  Utf16Text out;
  out.Line().Narrow("For best results, view this with the font \"Courier New\" ").Line().Line();
  out.Narrow("tag#   name (X, Y, Z), parent").Line().Line();
  for (size_t i = 0; i < parts.parts.size(); ++i) {
    TableRow(out, i, parts.parts[i]);
    if (i > 0) out.Narrow(", parent = #").Int(ListedParent(parts, i));
    out.Line();
  }
  out.Line().Line().Line();

  CTagTree tree(parts);
  tree.Walk([&out](const CTagNode& node, const std::string& prefix) {
    out.Narrow(Widened(prefix));
    out.Unit(node.nextSibling ? kBranchGlyph : kLastGlyph);
    out.Narrow(" ").Narrow(Widened(node.name)).Line();
  });
  return out.Bytes();
}

bool WriteTagsListing(const ExportLevel& level, OutputFile& file) {
  if (!level.compatible) return false;
  std::vector<uint8_t> bytes = TagsListingBytes(PartsInModelSpace(level.compatible->parts));
  file.Write(bytes.data(), bytes.size());
  return true;
}

}  // namespace tessary
