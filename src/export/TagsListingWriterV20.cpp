// The version 20 tags listing.
#include "export/TagsListing.h"
#include "model/ModelV20.h"

namespace tessary {

bool CModelV20::WriteTagsListing(const std::string& headerName) {
  return WriteTagsListingFile(TagsListingPath(folder, headerName), parts);
}

}  // namespace tessary
