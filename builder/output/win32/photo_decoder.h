// The builder's photo decoder: JPEG and bitmap files by our own readers, every other
// picture kind through the platform's picture decoder.
#pragma once
#include "builder/photos/photo_runs.h"
#include "platform/seams.h"

namespace prismora::output {

photos::PhotoDecoder MakeBuilderPhotoDecoder(platform::FileSystem& files);

}  // namespace prismora::output
