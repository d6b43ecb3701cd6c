// How the device learns which image file to put on a material. The device calls the
// request once per material that names a texture, in loading order; the answer lists
// candidate files in order of preference and the device uses the first it can load
// (the runtime answers with a random photo and photo 0 as the fallback). An empty
// list, or no loadable candidate, leaves the material untextured.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace prismora::engine {

using TextureRequest = std::function<std::vector<std::string>(std::string_view textureName)>;

}  // namespace prismora::engine
