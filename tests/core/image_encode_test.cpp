// Encoded files read back by the bytes and by an independent decoder (Pillow
// through /usr/bin/python3; those checks are skipped when it is missing).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <png.h>

#include "image/encoders.h"
#include "image/quantizer.h"
#include "tests/core/image_test_pictures.h"
#include "tests/core/output_test_support.h"

using namespace orbilux;

namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | uint32_t(b[at + 3]);
}

// Offset of the first PNG chunk of that type, or 0.
size_t FindChunk(const std::vector<uint8_t>& png, const char* type) {
    for (size_t at = 8; at + 8 <= png.size(); at += 12 + Be32(png, at))
        if (std::equal(type, type + 4, png.begin() + long(at + 4))) return at;
    return 0;
}

std::filesystem::path Write(const outtest::ScratchFolder& dir, const char* name, const CxImage& img,
                            ImageEncoder enc) {
    const auto path = dir.Path() / name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_TRUE(f);
    EXPECT_TRUE(EncodeImage(img, enc, f));
    std::fclose(f);
    return path;
}

bool HavePillow() {
    return std::system("/usr/bin/python3 -c 'import PIL' >/dev/null 2>&1") == 0;
}

// "format|width|height|mode|palette entries|dpi|jfif unit|top-left pixel as RGB"
std::string Describe(const std::filesystem::path& file) {
    const std::string cmd =
        "/usr/bin/python3 -c \"import sys\nfrom PIL import Image\nim=Image.open(sys.argv[1]);im.load()\n"
        "p=im.getpalette()\nd=im.info.get('dpi')\n"
        "print(im.format,im.size[0],im.size[1],im.mode,len(p)//3 if p else 0,"
        "'%dx%d'%(round(d[0]),round(d[1])) if d else '-',im.info.get('jfif_unit','-'),"
        "'%d,%d,%d'%im.convert('RGB').getpixel((0,0)),sep='|')\" '" +
        file.string() + "'";
    std::string out;
    if (std::FILE* p = popen(cmd.c_str(), "r")) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

std::string Rgb(const RGBQuadColor& c) {
    return std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue);
}

CxImage Reduced(const CxImage& src, uint32_t bpp) {
    CxImage img = src;
    CQuantizer q(1u << bpp, 8);
    q.ProcessImage(img);
    const auto pal = q.GetPalette();
    img.DecreaseBpp(bpp, false, pal.data(), uint32_t(pal.size()));
    return img;
}

// The picture's pixels as libpng decodes them, or why not: "" when every pixel
// equals the source's.
std::string PngPixelsDiffer(const std::filesystem::path& file, const CxImage& source) {
    const std::vector<uint8_t> bytes = ReadAll(file);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return image.message;
    if (image.width != source.GetWidth() || image.height != source.GetHeight()) {
        png_image_free(&image);
        return "size";
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return image.message;
    const uint32_t w = source.GetWidth();
    const uint32_t h = source.GetHeight();
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            const RGBQuadColor c = source.GetPixelColor(x, h - 1 - y);  // stored bottom-up
            const uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
            if (p[0] != c.red || p[1] != c.green || p[2] != c.blue)
                return "pixel " + std::to_string(x) + "," + std::to_string(y);
        }
    }
    return "";
}

}  // namespace

TEST(ImageEncodeBmp, OneBitFileHasBlackWhitePaletteAndExactHeader) {
    outtest::ScratchFolder dir;
    CxImage img = testpics::Screen(37, 21);
    img.DecreaseBpp(1, true);
    const auto path = Write(dir, "a.bmp", img, ImageEncoder::Bmp);
    const auto b = ReadAll(path);
    ASSERT_GE(b.size(), 62u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b, 2), b.size());
    EXPECT_EQ(Le32(b, 2), 14u + 40 + 8 + 8 * 21);  // rows of 37 bits pad to 8 bytes
    EXPECT_EQ(Le32(b, 10), 62u);
    EXPECT_EQ(Le32(b, 14), 40u);
    EXPECT_EQ(Le32(b, 18), 37u);
    EXPECT_EQ(Le32(b, 22), 21u);          // positive height: bottom-up
    EXPECT_EQ(Le32(b, 26) & 0xFFFF, 1u);  // planes
    EXPECT_EQ(Le32(b, 26) >> 16, 1u);     // bits per pixel
    EXPECT_EQ(Le32(b, 30), 0u);
    EXPECT_EQ(Le32(b, 38), 3780u);
    EXPECT_EQ(Le32(b, 42), 3780u);
    EXPECT_EQ(Le32(b, 46), 2u);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 54, b.begin() + 62),
              (std::vector<uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
    if (!HavePillow()) GTEST_SKIP() << "no Pillow";
    // Pillow reads a 2-entry black, white palette as mode "1".
    EXPECT_EQ(Describe(path).substr(0, 16), "BMP|37|21|1|0|96");
}

TEST(ImageEncodeBmp, PaletteFilesOfFourAndEightBits) {
    outtest::ScratchFolder dir;
    const CxImage src = testpics::Screen(50, 30);
    for (uint32_t bpp : {4u, 8u}) {
        const CxImage img = Reduced(src, bpp);
        const auto path = Write(dir, bpp == 4 ? "4.bmp" : "8.bmp", img, ImageEncoder::Bmp);
        const auto b = ReadAll(path);
        EXPECT_EQ(Le32(b, 26) >> 16, bpp);
        EXPECT_EQ(Le32(b, 46), 1u << bpp);
        EXPECT_EQ(Le32(b, 10), 54u + 4 * (1u << bpp));
        if (!HavePillow()) continue;
        const std::string top = Rgb(img.GetPixelColor(0, 29));
        EXPECT_EQ(Describe(path), "BMP|50|30|P|" + std::to_string(1u << bpp) + "|96x96|-|" + top);
    }
}

TEST(ImageEncodePng, ThreeColourPictureCarriesAThreeEntryPalette) {
    outtest::ScratchFolder dir;
    const CxImage img =
        Reduced(testpics::Stripes(100, 100,
                                  {RGBQuadColor::FromRgb(255, 0, 0), RGBQuadColor::FromRgb(0, 0, 255),
                                   RGBQuadColor::FromRgb(0, 255, 0)}),
                8);
    const auto path = Write(dir, "three.png", img, ImageEncoder::Png);
    const auto b = ReadAll(path);
    const size_t ihdr = FindChunk(b, "IHDR");
    ASSERT_NE(ihdr, 0u);
    EXPECT_EQ(b[ihdr + 16], 8);  // bit depth
    EXPECT_EQ(b[ihdr + 17], 3);  // colour type palette
    EXPECT_EQ(b[ihdr + 20], 0);  // not interlaced
    const size_t plte = FindChunk(b, "PLTE");
    ASSERT_NE(plte, 0u);
    EXPECT_EQ(Be32(b, plte), 9u);
    const size_t phys = FindChunk(b, "pHYs");
    ASSERT_NE(phys, 0u);
    EXPECT_EQ(Be32(b, phys + 8), 3780u);
    EXPECT_EQ(b[phys + 16], 1);  // per metre
    EXPECT_EQ(FindChunk(b, "tRNS"), 0u);
    if (!HavePillow()) GTEST_SKIP() << "no Pillow";
    EXPECT_EQ(Describe(path), "PNG|100|100|P|3|96x96|-|255,0,0");
}

TEST(ImageEncodePng, DepthsOfPaletteAndFullColourPictures) {
    outtest::ScratchFolder dir;
    const CxImage src = testpics::Screen(300, 250);  // 75000 pixels: palettes stay whole
    CxImage one = src;
    one.DecreaseBpp(1, true);
    const CxImage pictures[] = {one, Reduced(src, 4), Reduced(src, 8), src};
    const uint32_t depths[] = {1, 4, 8, 8};
    const uint32_t entries[] = {2, 16, 256, 0};
    for (int i = 0; i < 4; ++i) {
        const std::string name = "d" + std::to_string(i) + ".png";
        const auto path = Write(dir, name.c_str(), pictures[i], ImageEncoder::Png);
        const auto b = ReadAll(path);
        const size_t ihdr = FindChunk(b, "IHDR");
        EXPECT_EQ(b[ihdr + 16], depths[i]) << i;
        EXPECT_EQ(b[ihdr + 17], i == 3 ? 2 : 3) << i;
        if (entries[i]) {
            EXPECT_EQ(Be32(b, FindChunk(b, "PLTE")), 3 * entries[i]) << i;
        }
        if (!HavePillow()) continue;
        const std::string mode = i == 3 ? "RGB" : (i == 0 ? "P" : "P");
        EXPECT_EQ(Describe(path), "PNG|300|250|" + mode + "|" + std::to_string(entries[i]) + "|96x96|-|" +
                                      Rgb(pictures[i].GetPixelColor(0, 249)))
            << i;
    }
}

// Lossless at every depth: the decoded file has the source's pixels, over
// pictures whose compressed data spans several image-data chunks (noise) and
// pictures whose rows repeat and vary in runs (screen).
TEST(ImageEncodePng, DecodedPixelsEqualTheSourceAtEveryDepth) {
    outtest::ScratchFolder dir;
    for (const CxImage& src : {testpics::Noise(173, 301), testpics::Screen(257, 190)}) {
        CxImage one = src;
        one.DecreaseBpp(1, true);
        const CxImage pictures[] = {one, Reduced(src, 4), Reduced(src, 8), src};
        for (const CxImage& img : pictures) {
            const auto path = Write(dir, "p.png", img, ImageEncoder::Png);
            EXPECT_EQ(PngPixelsDiffer(path, img), "") << img.GetWidth() << " " << img.GetBpp() << " bits";
        }
        const auto b = ReadAll(dir.Path() / "p.png");
        size_t chunks = 0;
        for (size_t at = 8; at + 8 <= b.size(); at += 12 + Be32(b, at))
            chunks += std::equal(b.begin() + long(at + 4), b.begin() + long(at + 8), "IDAT");
        if (src.GetWidth() == 173) EXPECT_GE(chunks, 2u);  // 156 KB of random pixels
    }
}

TEST(ImageEncodeJpeg, FullColourWithNinetySixDpiJfifDensity) {
    outtest::ScratchFolder dir;
    const CxImage img = testpics::Stripes(64, 48, {RGBQuadColor::FromRgb(200, 30, 60)});
    const auto path = Write(dir, "a.jpg", img, ImageEncoder::Jpeg);
    const auto b = ReadAll(path);
    ASSERT_GE(b.size(), 20u);
    EXPECT_EQ(b[0], 0xFF);
    EXPECT_EQ(b[1], 0xD8);
    EXPECT_EQ(std::string(b.begin() + 6, b.begin() + 10), "JFIF");
    EXPECT_EQ(b[13], 1);  // dots per inch
    EXPECT_EQ(b[14] << 8 | b[15], 96);
    EXPECT_EQ(b[16] << 8 | b[17], 96);
    if (!HavePillow()) GTEST_SKIP() << "no Pillow";
    const std::string d = Describe(path);
    EXPECT_EQ(d.substr(0, d.rfind('|')), "JPEG|64|48|RGB|0|96x96|1");
}

TEST(ImageEncode, RefusesEmptyPictures) {
    outtest::ScratchFolder dir;
    std::FILE* f = std::fopen((dir.Path() / "x").c_str(), "wb");
    const CxImage empty;
    EXPECT_FALSE(EncodeBmp(empty, f));
    EXPECT_FALSE(EncodePng(empty, f));
    EXPECT_FALSE(EncodeJpeg(empty, f));
    std::fclose(f);
}

TEST(ImageEncodeJpeg, StoredRowsWriteTheSameBytesAsRgbRows) {
    outtest::ScratchFolder dir;
    for (const CxImage& img : {testpics::Screen(123, 77), testpics::Noise(64, 33)}) {
        const auto fast = dir.Path() / "fast.jpg";
        const auto plain = dir.Path() / "plain.jpg";
        std::FILE* f = std::fopen(fast.c_str(), "wb");
        ASSERT_TRUE(EncodeJpeg(img, f));
        std::fclose(f);
        f = std::fopen(plain.c_str(), "wb");
        ASSERT_TRUE(EncodeJpegRgbRows(img, f));
        std::fclose(f);
        EXPECT_EQ(ReadAll(fast), ReadAll(plain));
    }
}
