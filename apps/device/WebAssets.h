#pragma once
/// \file
/// The page's files, built into the program: its address, type and text.

#include <string_view>
#include <vector>

namespace device {

struct WebAsset {
  std::string_view path, type, body;
};

const std::vector<WebAsset>& webAssets();

}  // namespace device
