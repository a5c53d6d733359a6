#pragma once
// Decoding of JPEG pictures (baseline and progressive) into plain RGB pixels with libjpeg.
// A damaged or truncated picture is reported as a failure with libjpeg's reason; it never aborts.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarnis {

struct RgbImage {
  int width = 0;
  int height = 0;
  bool progressive = false;
  std::vector<std::uint8_t> pixels;  // rows top to bottom, 3 bytes per pixel (R, G, B), no padding
};

// Pictures beyond this many pixels are refused before any memory is taken for them.
constexpr std::uint64_t kMaxJpegPixels = 32ULL * 1024 * 1024;

// Nothing on failure; error (when given) then says why.
std::optional<RgbImage> DecodeJpeg(std::span<const std::uint8_t> data, std::string* error = nullptr);
std::optional<RgbImage> LoadJpegFile(const std::string& path, std::string* error = nullptr);

}  // namespace tarnis
