#include "model/StructuralReader.h"

#include <algorithm>

#include "model/LevelChoice.h"
#include "model/Model.h"
#include "model/ModelVersions.h"
#include "model/StructuralHeader.h"
#include "model/StructuralParts.h"
#include "model/StructuralSurfaces.h"
#include "platform/Disk.h"
#include "platform/PlainName.h"

namespace tessary {

namespace {

// The whole file, or nullopt when it cannot be opened.
std::optional<BinaryFile> ReadWhole(Disk& disk, const std::string& joinedPath) {
  BinaryFile file = disk.Open(joinedPath);
  if (!file.IsOpen()) return std::nullopt;
  return file;
}

// A material with its colour image: the name the material gives it and the path of the
// image when that exists.
DecodedMaterial FindImage(Disk& disk, const std::string& workdir, const ModelVersion& version, const std::string& material) {
  DecodedMaterial out{material, {}, {}};
  std::string path;
  // Only a plain name names a file of the materials folder.
  if (material.empty() || !IsPlainName(material)) return out;
  if (version.materialIsTexture) {
    out.imageName = material;
    path = workdir + "\\materials\\" + material;
  } else {
    const std::string image = ImageForMaterial(disk, workdir + "\\materials\\" + material);
    if (image.size() > 4) out.imageName = image.substr(0, image.size() - 4);  // without ".dds"/".iwi"
    if (image.empty() || !IsPlainName(image)) return out;
    path = workdir + "\\images\\" + image;
    if (!disk.Exists(path) && image.ends_with(".dds"))
      path = workdir + "\\images\\" + image.substr(0, image.size() - 4) + ".iwi";
  }
  if (disk.Exists(path)) out.imagePath = disk.Resolve(path).string();
  return out;
}

}  // namespace

std::optional<DecodedLevel> ReadStructuralLevel(Disk& disk, const std::string& workdir, const std::string& modelName,
                                                std::optional<int> lodIndex, std::string& error) {
  const std::string headerPath = workdir + "\\xmodel\\" + modelName;
  auto Shown = [&](const std::string& joined) { return disk.Resolve(joined).string(); };
  auto headerBytes = ReadWhole(disk, headerPath);
  if (!headerBytes) {
    error = "cannot open the model header " + Shown(headerPath);
    return std::nullopt;
  }
  std::string why;
  auto header = ReadHeaderLayout(*headerBytes, why);
  if (!header) {
    error = Shown(headerPath) + ": " + why;
    return std::nullopt;
  }
  const ModelVersion& row = *FindModelVersion(header->version);
  const auto& names = header->levelNames;
  std::vector<bool> named;
  for (const std::string& name : names) named.push_back(!name.empty());
  const std::optional<int> level = ChooseLevel(named, lodIndex, row, Shown(headerPath), error);
  if (!level) return std::nullopt;
  // The parts file is named after the first level named.
  const std::string& partsName = *std::find_if(names.begin(), names.end(), [](const std::string& n) { return !n.empty(); });
  if (error = CheckHeaderNames(Shown(headerPath), partsName, names[size_t(*level)]); !error.empty()) return std::nullopt;

  DecodedLevel out;
  out.modelName = modelName;
  out.version = header->version;
  out.lodIndex = *level;
  out.surfsName = names[size_t(*level)];
  for (size_t i = 0; i < names.size(); ++i)
    out.levels.push_back({i < header->levelDistances.size() ? header->levelDistances[i] : 0.0f, names[i]});

  const std::string surfsPath = workdir + "\\xmodelsurfs\\" + out.surfsName;
  auto surfsBytes = ReadWhole(disk, surfsPath);
  if (!surfsBytes) {
    error = "cannot open the surfaces file " + Shown(surfsPath);
    return std::nullopt;
  }
  if (!ReadSurfacesStructural(*surfsBytes, row, out.surfaces, why)) {
    error = Shown(surfsPath) + ": " + why;
    return std::nullopt;
  }

  const std::string partsPath = workdir + "\\xmodelparts\\" + partsName;
  if (auto partsBytes = ReadWhole(disk, partsPath)) {
    if (!ReadSkeleton(*partsBytes, row, out.bones, why)) {
      error = Shown(partsPath) + ": " + why;
      return std::nullopt;
    }
  }
  if (out.bones.empty()) {
    Bone root;
    root.name = "tag_origin";
    out.bones.push_back(root);
  }

  // One material per surface, in order; surfaces naming the same material share it.
  const auto& materialNames = header->materials[size_t(*level)];
  for (size_t i = 0; i < out.surfaces.size(); ++i) {
    out.surfaces[i].material = -1;
    if (i >= materialNames.size()) continue;
    const std::string& name = materialNames[i];
    auto found = std::find_if(out.materials.begin(), out.materials.end(),
                              [&](const DecodedMaterial& m) { return m.name == name; });
    if (found == out.materials.end()) {
      out.materials.push_back(FindImage(disk, workdir, row, name));
      found = out.materials.end() - 1;
    }
    out.surfaces[i].material = static_cast<int32_t>(found - out.materials.begin());
  }
  return out;
}

}  // namespace tessary
