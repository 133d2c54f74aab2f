#pragma once
// The base of every model object and of the surfaces-file holder: the opened file's name
// and version, and the decoded surfaces.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/ModelRecords.h"
#include "platform/Disk.h"

namespace tessary {

class CModelFile {
 public:
  CModelFile() = default;
  virtual ~CModelFile() = default;
  CModelFile(const CModelFile&) = delete;
  CModelFile& operator=(const CModelFile&) = delete;

  // Opens folder + "\" + fileName on `disk` and reads its version word. Every later read
  // of the model goes to `disk`, which must outlive the object.
  bool Open(Disk& disk, const std::string& folder, const std::string& fileName);
  uint32_t GetVersion() const { return version; }

  // The decoded surfaces; the object keeps ownership.
  std::vector<Surface>* TakeSurfaces(uint16_t& count) {
    count = surfaceCount;
    return &surfaces;
  }
  void FreeSurfaces() {
    surfaces.clear();
    surfaceCount = 0;
  }
  // Hands over the messages the reading brought up, in order, and forgets them.
  std::vector<std::string> TakeMessages() { return std::exchange(messages, {}); }

  // The disk the model was opened on.
  Disk* disk = nullptr;
  int32_t lodCount = 0;
  std::string folder;
  std::string fileName;
  std::string fullPath;
  bool isOpen = false;
  uint16_t surfaceCount = 0;
  std::vector<Surface> surfaces;
  PartList parts;
  uint32_t version = 0;
  // What the reading found wrong, worded as the user is told it, in the order found. The
  // readers never show them: the front end that asked presents them.
  std::vector<std::string> messages;
};

// The holder of one loaded surfaces file. Each generation has its own decoder.
class CSurfacesFile : public CModelFile {
 public:
  // Each keeps the positions as stored and notes the surfaces' placement.
  bool DecodeSurfacesV20();
  bool DecodeSurfacesV25();
  bool DecodeSurfacesV14();
};

}  // namespace tessary
