// The press's picture on the clipboard, and a clipboard held by someone else.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "capture/win32/clipboard.h"

using namespace orbilux;

namespace {

// The clipboard's CF_DIB, copied out; empty when it has none.
std::vector<uint8_t> ClipboardDib() {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 100 && !OpenClipboard(nullptr); ++i) Sleep(10);
    if (HANDLE data = GetClipboardData(CF_DIB)) {
        if (const auto* p = static_cast<const uint8_t*>(GlobalLock(data))) {
            bytes.assign(p, p + GlobalSize(data));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return bytes;
}

// A picture whose every pixel differs from its neighbours.
CxImagePtr Pattern(uint32_t width, uint32_t height, uint32_t bpp) {
    auto picture = std::make_shared<CxImage>();
    picture->Create(width, height, bpp);
    if (bpp == 8) {
        for (uint32_t i = 0; i < 256; ++i)
            picture->SetPaletteColor(i, RGBQuadColor::FromRgb(uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)));
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) picture->SetPixelIndex(x, y, uint8_t(x * 13 + y * 29));
    } else {
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x)
                picture->SetPixelColor(
                    x, y, RGBQuadColor::FromRgb(uint8_t(x * 40), uint8_t(y * 50), uint8_t(x + y)));
    }
    return picture;
}

// Compares a packed 24-bit DIB with the picture, pixel by pixel.
void ExpectDibHolds(const std::vector<uint8_t>& dib, const CxImage& picture) {
    ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    memcpy(&header, dib.data(), sizeof(header));
    EXPECT_EQ(header.biWidth, LONG(picture.GetWidth()));
    EXPECT_EQ(header.biHeight, LONG(picture.GetHeight()));  // bottom-up
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biCompression, DWORD(BI_RGB));
    const size_t rowBytes = CxImage::RowBytes(picture.GetWidth(), 24);
    ASSERT_GE(dib.size(), header.biSize + rowBytes * picture.GetHeight());
    const uint8_t* rows = dib.data() + header.biSize;
    for (uint32_t y = 0; y < picture.GetHeight(); ++y)
        for (uint32_t x = 0; x < picture.GetWidth(); ++x) {
            const RGBQuadColor c = picture.GetPixelColor(x, y);
            const uint8_t* p = rows + rowBytes * y + x * 3;
            ASSERT_TRUE(p[0] == c.blue && p[1] == c.green && p[2] == c.red) << x << "," << y;
        }
}

}  // namespace

TEST(CaptureClipboard, HoldsThePicturesPixelsAsA24BitBottomUpDib) {
    // An odd width pads every row; a palette picture is widened to 24 bits.
    for (uint32_t bpp : {24u, 8u}) {
        const CxImagePtr picture = Pattern(5, 3, bpp);
        const ClipboardCopy copy = StartClipboardCopy(picture);
        ASSERT_EQ(copy.Wait(5000), ClipboardCopy::Result::Copied) << bpp;
        ExpectDibHolds(ClipboardDib(), *picture);
    }
    // Nothing to copy: a finished failure, and the clipboard keeps what it had.
    EXPECT_EQ(StartClipboardCopy(nullptr).Wait(0), ClipboardCopy::Result::Failed);
    EXPECT_EQ(StartClipboardCopy(std::make_shared<CxImage>()).Wait(0), ClipboardCopy::Result::Failed);
    EXPECT_EQ(ClipboardCopy().Wait(0), ClipboardCopy::Result::Failed);
    EXPECT_FALSE(ClipboardDib().empty());
}

TEST(CaptureClipboard, AClipboardHeldByAnotherThreadDelaysNeitherTheCallerNorBeyondTheBound) {
    std::atomic<bool> opened{false}, tried{false}, release{false};
    std::thread holder([&] {
        HWND owner =
            CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        opened = OpenClipboard(owner) != FALSE;
        tried = true;
        while (opened && !release) Sleep(5);
        if (opened) CloseClipboard();
        DestroyWindow(owner);
    });
    while (!tried) Sleep(5);
    if (!opened) {
        holder.join();
        FAIL() << "the holder could not open the clipboard";
    }

    const CxImagePtr picture = Pattern(64, 48, 24);
    const ULONGLONG start = GetTickCount64();
    const ClipboardCopy copy = StartClipboardCopy(picture);
    const ULONGLONG returned = GetTickCount64() - start;
    EXPECT_LT(returned, kClipboardOpenBoundMs) << "the caller waited on the clipboard";
    const ClipboardCopy::Result result = copy.Wait(3000);
    const ULONGLONG ended = GetTickCount64() - start;
    release = true;
    holder.join();
    EXPECT_EQ(result, ClipboardCopy::Result::Busy);
    EXPECT_GE(ended, kClipboardOpenBoundMs - 20);
    EXPECT_LT(ended, 2500u) << "the copy did not give up at its bound";

    // Once it is free again the next copy goes through.
    ASSERT_EQ(StartClipboardCopy(picture).Wait(5000), ClipboardCopy::Result::Copied);
    ExpectDibHolds(ClipboardDib(), *picture);
}
