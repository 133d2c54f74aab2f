#include "cli/TreePrinter.h"

#include <nlohmann/json.hpp>

namespace tessary::cli {

namespace {

// Names are bytes; each byte becomes the character of the same value.
std::string Latin1ToUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

nlohmann::ordered_json ToJson(const TreeItem& item) {
  nlohmann::ordered_json j;
  j["text"] = Latin1ToUtf8(item.text);
  j["image"] = item.image;
  j["bold"] = item.bold;
  if (item.data) j["lod"] = *item.data;
  j["children"] = nlohmann::ordered_json::array();
  for (const auto& child : item.children) j["children"].push_back(ToJson(*child));
  return j;
}

void AppendText(const TreeItem& item, int depth, std::string& out) {
  out.append(static_cast<size_t>(depth) * 2, ' ');
  out += item.text;
  if (item.data) out += "  [lod " + std::to_string(*item.data) + "]";
  if (item.image == kImageMissing) out += "  [missing]";
  if (item.bold && !item.data) out += "  [iwi only]";
  out += '\n';
  for (const auto& child : item.children) AppendText(*child, depth + 1, out);
}

}  // namespace

std::string TreeToJson(const TreeItem& root) { return ToJson(root).dump(2) + "\n"; }

std::string TreeToText(const TreeItem& root) {
  std::string out;
  AppendText(root, 0, out);
  return out;
}

}  // namespace tessary::cli
