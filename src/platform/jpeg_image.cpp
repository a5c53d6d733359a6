#include "platform/jpeg_image.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <type_traits>

#include <jpeglib.h>

#include "platform/whole_file.h"

namespace tarnis {

namespace {

constexpr std::size_t kMaxJpegFileBytes = 8 * 1024 * 1024;

// libjpeg leaves an error by longjmp back into DecodeInto: everything on that path is plain data.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

struct Decoder {
  jpeg_decompress_struct info;
  ErrorManager errors;
};
static_assert(std::is_trivially_destructible_v<Decoder>);

[[noreturn]] void OnFatalError(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  errors->base.format_message(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// libjpeg only warns about corrupt or missing data and goes on with grey; such a picture is damaged.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0) OnFatalError(info);
}

// The caller owns image and destroys the decompressor, so no object with a destructor lives here.
bool DecodeInto(Decoder& decoder, const std::uint8_t* data, std::size_t size, RgbImage& image) {
  decoder.info.err = jpeg_std_error(&decoder.errors.base);
  decoder.errors.base.error_exit = OnFatalError;
  decoder.errors.base.emit_message = OnMessage;
  if (setjmp(decoder.errors.jump) != 0) return false;

  jpeg_create_decompress(&decoder.info);
  jpeg_mem_src(&decoder.info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&decoder.info, TRUE);
  const std::uint64_t pixels = std::uint64_t{decoder.info.image_width} * decoder.info.image_height;
  if (pixels > kMaxJpegPixels) {
    std::snprintf(decoder.errors.message, sizeof decoder.errors.message, "Picture of %ux%u pixels is too large",
                  decoder.info.image_width, decoder.info.image_height);
    return false;
  }
  decoder.info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&decoder.info);
  if (decoder.info.output_components != 3) {
    std::snprintf(decoder.errors.message, sizeof decoder.errors.message, "Unsupported colour layout");
    return false;
  }
  image.width = static_cast<int>(decoder.info.output_width);
  image.height = static_cast<int>(decoder.info.output_height);
  image.progressive = decoder.info.progressive_mode != 0;
  const std::size_t row_bytes = std::size_t{decoder.info.output_width} * 3;
  image.pixels.resize(row_bytes * decoder.info.output_height);
  while (decoder.info.output_scanline < decoder.info.output_height) {
    JSAMPROW row = image.pixels.data() + row_bytes * decoder.info.output_scanline;
    jpeg_read_scanlines(&decoder.info, &row, 1);
  }
  jpeg_finish_decompress(&decoder.info);
  return true;
}

struct DecoderDeleter {
  void operator()(Decoder* decoder) const {
    jpeg_destroy_decompress(&decoder->info);  // safe on a zeroed or half-built decompressor
    delete decoder;
  }
};

void SetError(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
}

}  // namespace

std::optional<RgbImage> DecodeJpeg(std::span<const std::uint8_t> data, std::string* error) {
  if (data.empty()) {
    SetError(error, "Empty JPEG data");
    return std::nullopt;
  }
  std::unique_ptr<Decoder, DecoderDeleter> decoder(new Decoder{});
  RgbImage image;
  if (!DecodeInto(*decoder, data.data(), data.size(), image)) {
    SetError(error, decoder->errors.message);
    return std::nullopt;
  }
  return image;
}

std::optional<RgbImage> LoadJpegFile(const std::string& path, std::string* error) {
  const auto data = ReadFileUpTo(path, kMaxJpegFileBytes);
  if (!data || data->size() > kMaxJpegFileBytes) {
    SetError(error, "Cannot read " + path);
    return std::nullopt;
  }
  return DecodeJpeg(*data, error);
}

}  // namespace tarnis
