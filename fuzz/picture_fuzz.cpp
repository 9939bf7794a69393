// libFuzzer target for the picture preparation and the encoders of file
// output. The input describes a small picture and the output settings:
//   byte 0  width - 1 (mod 64)        byte 1  height - 1 (mod 64)
//   byte 2  depth: 1, 4, 8, 24 (mod 4) byte 3  bpp setting - 1 (mod 6: -1 .. 4)
//   byte 4  scale (mod 201: 0 .. 200)
//   then 4 bytes (blue, green, red, reserved) per palette entry of a palette
//   depth, then the stored rows; whatever the input lacks is zero.
// The picture is prepared for each of BMP, PNG and JPEG and encoded in memory;
// the result is read back (BMP by its headers, PNG with libpng, JPEG with
// libjpeg). Our own file that does not read back, or reads back at another
// size than the prepared picture, is a fault. What size a scale gives is not
// checked here, only that the file holds the prepared picture; PNG and BMP
// are lossless, so their pixels must come back exactly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "image/encoders.h"
#include "image/ximage.h"
#include "output/image_file_saver.h"
#include "settings/settings.h"

using namespace orbilux;

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "picture_fuzz: %s\n", what);
    std::abort();
}

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

std::vector<uint8_t> Encode(const CxImage& picture, ImageEncoder encoder) {
    char* buffer = nullptr;
    size_t length = 0;
    std::FILE* file = open_memstream(&buffer, &length);
    if (!file) return {};
    const bool ok = EncodeImage(picture, encoder, file);
    std::fclose(file);
    std::vector<uint8_t> bytes(buffer, buffer + length);
    std::free(buffer);
    if (!ok) Fail("encoder refused a prepared picture");
    return bytes;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

void CheckBmp(const std::vector<uint8_t>& file, const CxImage& picture) {
    const uint32_t colors = picture.GetBpp() <= 8 ? picture.GetNumColors() : 0;
    const size_t offset = 14 + 40 + 4 * size_t(colors);
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') Fail("BMP without its header");
    if (Le32(file, 2) != file.size() || Le32(file, 10) != offset) Fail("BMP sizes disagree");
    if (Le32(file, 18) != picture.GetWidth() || Le32(file, 22) != picture.GetHeight()) Fail("BMP size");
    if ((file[28] | file[29] << 8) != int(picture.GetBpp())) Fail("BMP depth");
    if (Le32(file, 46) != colors || file.size() != offset + picture.GetSizeImage()) Fail("BMP palette/rows");
    for (uint32_t i = 0; i < colors; ++i) {
        const RGBQuadColor c = picture.GetPaletteColor(i);
        const size_t at = 54 + 4 * size_t(i);
        if (file[at] != c.blue || file[at + 1] != c.green || file[at + 2] != c.red) Fail("BMP palette entry");
    }
    if (!std::equal(file.begin() + offset, file.end(), picture.GetBits(0))) Fail("BMP rows");
}

void CheckPng(const std::vector<uint8_t>& file, const CxImage& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) Fail(image.message);
    if (image.width != picture.GetWidth() || image.height != picture.GetHeight()) Fail("PNG size");
    const bool palette = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
    if (palette != (picture.GetBpp() <= 8)) Fail("PNG colour type");
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) Fail(image.message);
    if (image.warning_or_error != 0) Fail(image.message);
    const uint32_t width = picture.GetWidth();
    const uint32_t height = picture.GetHeight();
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const RGBQuadColor c = picture.GetPixelColor(x, height - 1 - y);  // stored bottom-up
            const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
            if (p[0] != c.red || p[1] != c.green || p[2] != c.blue) Fail("PNG pixel");
        }
    }
}

void JpegError(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    Fail(text);
}

void JpegMessage(j_common_ptr cinfo, int level) {
    if (level < 0) JpegError(cinfo);  // a warning: the data is damaged
}

void CheckJpeg(const std::vector<uint8_t>& file, const CxImage& picture) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    errors.error_exit = JpegError;
    errors.emit_message = JpegMessage;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) Fail("JPEG header");
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width != picture.GetWidth() || cinfo.output_height != picture.GetHeight())
        Fail("JPEG size");
    if (cinfo.output_components != 3) Fail("JPEG components");
    std::vector<JSAMPLE> row(size_t(cinfo.output_width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row.data()};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) Fail("JPEG rows");
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    static const uint32_t kDepths[] = {1, 4, 8, 24};
    const uint32_t width = 1 + in.Next() % 64;
    const uint32_t height = 1 + in.Next() % 64;
    const uint32_t depth = kDepths[in.Next() % 4];
    const int32_t bpp = int32_t(in.Next() % 6) - 1;
    const uint32_t scale = in.Next() % 201;

    CxImage picture;
    if (!picture.Create(width, height, depth)) Fail("a small picture could not be made");
    for (uint32_t i = 0; i < picture.GetNumColors(); ++i) {
        RGBQuadColor c;
        c.blue = in.Next();
        c.green = in.Next();
        c.red = in.Next();
        c.reserved = in.Next();
        picture.SetPaletteColor(i, c);
    }
    uint8_t* bits = picture.GetBits(0);
    for (size_t i = 0; i < picture.GetSizeImage(); ++i) bits[i] = in.Next();
    const CxImage original = picture;

    static const ImageEncoder kEncoders[] = {ImageEncoder::Bmp, ImageEncoder::Png, ImageEncoder::Jpeg};
    for (int32_t format = 0; format < 3; ++format) {
        orbilux::OutputSettings output;
        output.nPictureFormat = format;
        output.bpp = bpp;
        output.scale = scale;
        const CxImage prepared = orbilux::preparePicture(output, bpp, picture);
        if (!prepared.IsValid()) Fail("preparation lost the picture");
        const std::vector<uint8_t> file = Encode(prepared, kEncoders[format]);
        switch (kEncoders[format]) {
            case ImageEncoder::Bmp:
                CheckBmp(file, prepared);
                break;
            case ImageEncoder::Png:
                CheckPng(file, prepared);
                break;
            case ImageEncoder::Jpeg:
                CheckJpeg(file, prepared);
                break;
        }
    }
    // Preparing works on a copy.
    if (picture.GetSizeImage() != original.GetSizeImage() ||
        !std::equal(original.GetBits(0), original.GetBits(0) + original.GetSizeImage(), picture.GetBits(0)))
        Fail("preparation changed the picture");
    return 0;
}
