#include "capture/press_picture.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace orbilux {

namespace {

// Copies picture into canvas with its top-left corner at (x, y) counted from
// the canvas's top-left corner; the picture lies wholly inside the canvas.
void Place(const CxImage& picture, CxImage& canvas, uint32_t x, uint32_t y) {
    const uint32_t width = picture.GetWidth();
    const uint32_t height = picture.GetHeight();
    for (uint32_t row = 0; row < height; ++row) {
        // Stored rows run bottom-up in both pictures.
        const uint32_t from = height - 1 - row;
        const uint32_t to = canvas.GetHeight() - 1 - (y + row);
        if (picture.GetBpp() == 24) {
            std::memcpy(canvas.GetBits(to) + size_t(x) * 3, picture.GetBits(from), size_t(width) * 3);
        } else {
            for (uint32_t column = 0; column < width; ++column)
                canvas.SetPixelColor(x + column, to, picture.GetPixelColor(column, from));
        }
    }
}

}  // namespace

CxImagePtr ComposeMonitorPictures(const MonitorShotMap& shots) {
    std::vector<const MonitorShot*> placed;
    for (const auto& entry : shots) {
        if (entry.second.image && entry.second.image->IsValid()) placed.push_back(&entry.second);
    }
    if (placed.empty()) return nullptr;
    std::stable_sort(placed.begin(), placed.end(),
                     [](const MonitorShot* a, const MonitorShot* b) { return a->sequence < b->sequence; });

    // Each picture is as large as the rectangle it was grabbed from; its size
    // is what counts, so the canvas always holds it.
    int64_t left = std::numeric_limits<int64_t>::max();
    int64_t top = std::numeric_limits<int64_t>::max();
    int64_t right = std::numeric_limits<int64_t>::min();
    int64_t bottom = std::numeric_limits<int64_t>::min();
    for (const MonitorShot* shot : placed) {
        left = std::min<int64_t>(left, shot->rect.left);
        top = std::min<int64_t>(top, shot->rect.top);
        right = std::max<int64_t>(right, int64_t(shot->rect.left) + shot->image->GetWidth());
        bottom = std::max<int64_t>(bottom, int64_t(shot->rect.top) + shot->image->GetHeight());
    }
    const int64_t width = right - left;
    const int64_t height = bottom - top;
    constexpr int64_t kMaxSide = std::numeric_limits<int32_t>::max();
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;

    auto canvas = std::make_shared<CxImage>();
    try {
        if (!canvas->Create(uint32_t(width), uint32_t(height), 24)) return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (uint32_t row = 0; row < canvas->GetHeight(); ++row)
        std::memset(canvas->GetBits(row), 0xFF, size_t(canvas->GetWidth()) * 3);
    for (const MonitorShot* shot : placed)
        Place(*shot->image, *canvas, uint32_t(shot->rect.left - left), uint32_t(shot->rect.top - top));
    return canvas;
}

CxImagePtr PressPicture(const ScreenShot& shot) {
    // Monitor pictures exist only after a per-monitor capture.
    for (const auto& entry : shot.monitorShots) {
        if (entry.second.image) return ComposeMonitorPictures(shot.monitorShots);
    }
    if (shot.image && shot.image->IsValid()) return shot.image;
    return nullptr;
}

}  // namespace orbilux
