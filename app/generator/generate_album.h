#pragma once
// One generation run: from the request of the Generate HTML window to
// "Successfull!" or "Aborted!".

#include "app/generator/generation_request.h"
#include "app/pictures/picture_probe.h"

namespace snapcrate {

struct GenerationResult {
  bool completed = false;  // ran to the end, not aborted
  int failed_files = 0;    // pictures not read or made, pages not written
  int unreadable_dirs = 0; // folders of the source that could not be listed
};

/// Generates the album of `request`. A run with failed files says how many in
/// a last log line.
GenerationResult GenerateAlbum(const GenerationRequest& request);

}  // namespace snapcrate
