#pragma once
// One generation run: from the request of the Generate HTML window to
// "Successfull!" or "Aborted!".

#include "app/generator/generation_request.h"
#include "app/generator/picture_probe.h"

namespace snapcrate {

/// Generates the album of `request`; true when it ran to the end.
bool GenerateAlbum(const GenerationRequest& request);

}  // namespace snapcrate
