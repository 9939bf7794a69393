#include "image/encoders.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace orbilux {

namespace {

void PutLe16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// ---- PNG ----

// libpng reports errors through longjmp; this frame holds no object with a
// destructor, so nothing is skipped when it jumps.
struct PngJob {
    const CxImage* image;
    std::FILE* file;
    png_color palette[256];
    int paletteCount;
    int bitDepth;
    int colorType;
};

constexpr size_t kPngChunkBytes = 64 * 1024;

void PngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

bool WritePng(PngJob& job) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const CxImage& image = *job.image;
    png_init_io(png, job.file);
    png_set_IHDR(png, info, image.GetWidth(), image.GetHeight(), job.bitDepth, job.colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, png_uint_32(CxImage::DpiToPixelsPerMetre(image.GetXDpi())),
                 png_uint_32(CxImage::DpiToPixelsPerMetre(image.GetYDpi())), PNG_RESOLUTION_METER);
    if (job.colorType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, job.palette, job.paletteCount);
    if (job.colorType == PNG_COLOR_TYPE_RGB) {
        // Each row takes whichever of None, Sub, Up and Paeth sums smallest. The
        // fifth filter, Average, seldom wins on screen pictures: leaving it out
        // makes their files at most 0.3 % larger and saves 6 to 8 % of the
        // encoder's instructions (the filter choice is about half of them).
        png_set_filter(png, PNG_FILTER_TYPE_BASE,
                       PNG_FILTER_NONE | PNG_FILTER_SUB | PNG_FILTER_UP | PNG_FILTER_PAETH);
    }
    // IDAT chunks of 64 KiB instead of libpng's 8 KiB: an eighth of the chunk
    // headers and writes.
    png_set_compression_buffer_size(png, kPngChunkBytes);
    png_write_info(png, info);
    if (job.colorType == PNG_COLOR_TYPE_RGB) png_set_bgr(png);
    for (uint32_t y = image.GetHeight(); y-- > 0;) png_write_row(png, image.GetBits(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// ---- JPEG ----

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void JpegErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}
void JpegOutputMessage(j_common_ptr) {}

struct JpegJob {
    const CxImage* image;
    std::FILE* file;
    uint8_t* rgbRow;
    int quality;
    bool allowBgr;
};

#ifdef JCS_EXTENSIONS
// libjpeg-turbo reads the stored blue, green, red rows as they are; the
// colour conversion and so every byte of the file are those of RGB input.
bool ReadStoredRows(jpeg_compress_struct& cinfo) {
    cinfo.in_color_space = JCS_EXT_BGR;
    return true;
}
#else
bool ReadStoredRows(jpeg_compress_struct&) {
    return false;
}
#endif

bool WriteJpeg(JpegJob& job) {
    jpeg_compress_struct cinfo;
    JpegErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = JpegErrorExit;
    err.base.output_message = JpegOutputMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, job.file);
    const CxImage& image = *job.image;
    cinfo.image_width = image.GetWidth();
    cinfo.image_height = image.GetHeight();
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, job.quality, FALSE);
    cinfo.arith_code = FALSE;
    cinfo.optimize_coding = FALSE;
    cinfo.write_JFIF_header = TRUE;
    cinfo.density_unit = 1;  // dots per inch
    cinfo.X_density = UINT16(image.GetXDpi());
    cinfo.Y_density = UINT16(image.GetYDpi());
    const uint32_t w = image.GetWidth();
    const bool direct = image.GetBpp() == 24;
    const bool storedRows = direct && job.allowBgr && ReadStoredRows(cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    for (uint32_t y = image.GetHeight(); y-- > 0;) {
        if (storedRows) {
            JSAMPROW row = const_cast<uint8_t*>(image.GetBits(y));
            jpeg_write_scanlines(&cinfo, &row, 1);
            continue;
        }
        uint8_t* out = job.rgbRow;
        if (direct) {
            const uint8_t* p = image.GetBits(y);
            for (uint32_t x = 0; x < w; ++x, p += 3, out += 3) {
                out[0] = p[2];
                out[1] = p[1];
                out[2] = p[0];
            }
        } else {
            for (uint32_t x = 0; x < w; ++x, out += 3) {
                const RGBQuadColor c = image.GetPixelColor(x, y);
                out[0] = c.red;
                out[1] = c.green;
                out[2] = c.blue;
            }
        }
        JSAMPROW row = job.rgbRow;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

bool EncodeBmp(const CxImage& image, std::FILE* file) {
    if (!image.IsValid() || !file) return false;
    const uint32_t colors = image.GetBpp() <= 8 ? image.GetNumColors() : 0;
    const uint32_t offset = 14 + 40 + 4 * colors;
    const uint64_t fileSize = uint64_t(offset) + image.GetSizeImage();
    if (fileSize > 0xFFFFFFFFull) return false;
    std::vector<uint8_t> head(offset, 0);
    uint8_t* h = head.data();
    h[0] = 'B';
    h[1] = 'M';
    PutLe32(h + 2, uint32_t(fileSize));
    PutLe32(h + 10, offset);
    uint8_t* ih = h + 14;
    PutLe32(ih, 40);
    PutLe32(ih + 4, image.GetWidth());
    PutLe32(ih + 8, image.GetHeight());
    PutLe16(ih + 12, 1);
    PutLe16(ih + 14, image.GetBpp());
    PutLe32(ih + 16, 0);  // no compression
    PutLe32(ih + 20, uint32_t(image.GetSizeImage()));
    PutLe32(ih + 24, uint32_t(CxImage::DpiToPixelsPerMetre(image.GetXDpi())));
    PutLe32(ih + 28, uint32_t(CxImage::DpiToPixelsPerMetre(image.GetYDpi())));
    PutLe32(ih + 32, colors);
    PutLe32(ih + 36, 0);
    uint8_t* pal = ih + 40;
    for (uint32_t i = 0; i < colors; ++i) {
        const RGBQuadColor c = image.GetPaletteColor(i);
        pal[4 * i] = c.blue;
        pal[4 * i + 1] = c.green;
        pal[4 * i + 2] = c.red;
        pal[4 * i + 3] = c.reserved;
    }
    if (std::fwrite(head.data(), 1, head.size(), file) != head.size()) return false;
    return std::fwrite(image.GetBits(0), 1, image.GetSizeImage(), file) == image.GetSizeImage();
}

bool EncodePng(const CxImage& image, std::FILE* file) {
    if (!image.IsValid() || !file) return false;
    PngJob job{};
    job.image = &image;
    job.file = file;
    if (image.GetBpp() == 24) {
        job.colorType = PNG_COLOR_TYPE_RGB;
        job.bitDepth = 8;
    } else {
        job.colorType = PNG_COLOR_TYPE_PALETTE;
        job.bitDepth = int(image.GetBpp());
        uint32_t count = image.GetNumColors();
        if (count > 2 && uint64_t(image.GetWidth()) * image.GetHeight() < 65536) {
            uint32_t largest = 0;
            for (uint32_t y = 0; y < image.GetHeight(); ++y)
                for (uint32_t x = 0; x < image.GetWidth(); ++x)
                    largest = std::max<uint32_t>(largest, image.GetPixelIndex(x, y));
            count = largest + 1;
        }
        job.paletteCount = int(count);
        for (uint32_t i = 0; i < count; ++i) {
            const RGBQuadColor c = image.GetPaletteColor(i);
            job.palette[i] = png_color{c.red, c.green, c.blue};
        }
    }
    return WritePng(job);
}

bool EncodeJpeg(const CxImage& image, std::FILE* file, int quality) {
    if (!image.IsValid() || !file) return false;
    std::vector<uint8_t> row(size_t(image.GetWidth()) * 3);
    JpegJob job{&image, file, row.data(), quality, true};
    return WriteJpeg(job);
}

bool EncodeJpegRgbRows(const CxImage& image, std::FILE* file, int quality) {
    if (!image.IsValid() || !file) return false;
    std::vector<uint8_t> row(size_t(image.GetWidth()) * 3);
    JpegJob job{&image, file, row.data(), quality, false};
    return WriteJpeg(job);
}

bool EncodeImage(const CxImage& image, ImageEncoder encoder, std::FILE* file) {
    switch (encoder) {
        case ImageEncoder::Bmp:
            return EncodeBmp(image, file);
        case ImageEncoder::Png:
            return EncodePng(image, file);
        case ImageEncoder::Jpeg:
            return EncodeJpeg(image, file);
    }
    return false;
}

}  // namespace orbilux
