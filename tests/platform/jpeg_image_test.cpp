#include "platform/jpeg_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace tarnis {
namespace {

std::vector<std::uint8_t> ReadSplash() {
  std::ifstream file(TARNIS_SPLASH_JPEG, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(JpegImage, SplashPictureIsProgressive300By175) {
  std::string error;
  const auto image = LoadJpegFile(TARNIS_SPLASH_JPEG, &error);
  ASSERT_TRUE(image) << error;
  EXPECT_EQ(image->width, 300);
  EXPECT_EQ(image->height, 175);
  EXPECT_TRUE(image->progressive);
  ASSERT_EQ(image->pixels.size(), 300u * 175u * 3u);
  // The background is a dark blue: more blue than red in the top-left corner.
  EXPECT_GT(image->pixels[2], image->pixels[0]);
}

TEST(JpegImage, TruncatedPictureFailsWithReason) {
  const std::vector<std::uint8_t> whole = ReadSplash();
  ASSERT_GT(whole.size(), 1000u);
  for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{20}, std::size_t{200},
                             whole.size() / 2, whole.size() - 2}) {
    std::string error;
    const auto image = DecodeJpeg(std::span(whole).first(length), &error);
    EXPECT_FALSE(image) << "length " << length;
    EXPECT_FALSE(error.empty()) << "length " << length;
  }
}

TEST(JpegImage, ForeignOrDamagedDataFails) {
  const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'};
  std::string error;
  EXPECT_FALSE(DecodeJpeg(text, &error));
  EXPECT_FALSE(error.empty());

  EXPECT_FALSE(LoadJpegFile("/nonexistent/splash.jpg", &error));
  EXPECT_NE(error.find("/nonexistent/splash.jpg"), std::string::npos);

  // A frame header claiming 32767 x 32767 pixels is refused before memory is taken for it.
  std::vector<std::uint8_t> huge = ReadSplash();
  const std::vector<std::uint8_t> progressive_frame = {0xFF, 0xC2};
  auto frame = std::search(huge.begin(), huge.end(), progressive_frame.begin(), progressive_frame.end());
  ASSERT_NE(frame, huge.end());
  const std::vector<std::uint8_t> dimensions = {0x7F, 0xFF, 0x7F, 0xFF};  // height, width
  std::copy(dimensions.begin(), dimensions.end(), frame + 5);  // after marker, length and precision
  EXPECT_FALSE(DecodeJpeg(huge, &error));
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
}

TEST(JpegImage, ScrambledBytesNeverCrash) {
  const std::vector<std::uint8_t> whole = ReadSplash();
  std::uint32_t seed = 12345;
  int failures = 0;
  for (int round = 0; round < 200; ++round) {
    std::vector<std::uint8_t> damaged = whole;
    for (int i = 0; i < 4; ++i) {
      seed = seed * 1664525u + 1013904223u;
      damaged[seed % damaged.size()] = static_cast<std::uint8_t>(seed >> 24);
    }
    std::string error;
    const auto image = DecodeJpeg(damaged, &error);
    if (!image) {
      ++failures;
      EXPECT_FALSE(error.empty());
    } else {
      EXPECT_EQ(image->pixels.size(), static_cast<std::size_t>(image->width) * image->height * 3);
    }
  }
  EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace tarnis
