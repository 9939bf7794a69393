#include "output/image_file_saver.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>

#include "image/quantizer.h"
#include "output/output_naming.h"
#include "output/output_path.h"
#include "output/text_report.h"

namespace orbilux {
namespace fs = std::filesystem;

bool pictureFormat(int32_t nPictureFormat, std::wstring& extension, ImageEncoder& encoder) {
    switch (nPictureFormat) {
        case 0:
            extension = L".bmp";
            encoder = ImageEncoder::Bmp;
            return true;
        case 1:
            extension = L".png";
            encoder = ImageEncoder::Png;
            return true;
        case 2:
            extension = L".jpg";
            encoder = ImageEncoder::Jpeg;
            return true;
        case 3:
            extension = L".tif";  // named, but nothing writes it
            return false;
        default:
            extension.clear();
            return false;
    }
}

uint32_t effectiveScale(uint32_t scale) {
    // A zero target size leaves the picture unchanged: 0 is full size.
    if (scale == 0) return 100;
    return std::min<uint32_t>(scale, 150);
}

CxImage preparePicture(const OutputSettings& output, int32_t bpp, const CxImage& picture) {
    CxImage copy = picture;
    const uint32_t scale = effectiveScale(output.scale);
    if (scale != 100) {
        copy.Resample(uint32_t(uint64_t(copy.GetWidth()) * scale / 100),
                      uint32_t(uint64_t(copy.GetHeight()) * scale / 100));
    }
    if (output.nPictureFormat == 2) return copy;
    switch (bpp) {
        case 0:
            copy.DecreaseBpp(1, true);
            break;
        case 1:
        case 2: {
            const uint32_t colors = bpp == 1 ? 16 : 256;
            CQuantizer quantizer(colors, 8);
            quantizer.ProcessImage(copy);
            const std::vector<RGBQuadColor> palette = quantizer.GetPalette();
            copy.DecreaseBpp(bpp == 1 ? 4 : 8, false, palette.data(), colors);
            break;
        }
        default:
            break;
    }
    return copy;
}

bool savePicture(const CxImage& picture, const std::wstring& path, ImageEncoder encoder) {
    size_t split = 0;
    for (size_t i = 0; i < path.size(); ++i)
        if (IsPathSeparator(path[i])) split = i + 1;
    // The "~" keeps a half-written file out of the sequence-number listing.
    const std::wstring temporary = path.substr(0, split) + L"~" + path.substr(split) + L".tmp";
    std::FILE* file = OpenForWrite(temporary);
    if (!file) return false;
    bool ok = false;
    try {
        ok = EncodeImage(picture, encoder, file);
    } catch (const std::exception&) {
        ok = false;
    }
    ok = (std::fflush(file) == 0) && ok;
    ok = !std::ferror(file) && ok;
    ok = (std::fclose(file) == 0) && ok;
    std::error_code ec;
    const fs::path from = ToFsPath(temporary);
    if (ok) {
        const fs::path to = ToFsPath(path);
        fs::rename(from, to, ec);
        if (ec) {  // some platforms do not replace an existing file
            std::error_code removeError;
            fs::remove(to, removeError);
            ec.clear();
            fs::rename(from, to, ec);
        }
        ok = !ec;
    }
    if (!ok) fs::remove(from, ec);
    return ok;
}

ImageFileSaver::ImageFileSaver(CxImagePtr image, MonitorShotMap monitorShots, ORBILUXSetting& settings)
    : image_(std::move(image)), monitorShots_(std::move(monitorShots)), settings_(settings) {}

ImageFileSaver::ImageFileSaver(CxImagePtr image, MonitorShotMap monitorShots)
    : ImageFileSaver(std::move(image), std::move(monitorShots), SettingsInstance()) {}

void ImageFileSaver::SaveOne(const CxImage& picture, const std::wstring& path, ImageEncoder encoder,
                             bool hasEncoder) {
    // A format without an encoder writes nothing, not even an empty file.
    if (!hasEncoder || !picture.IsValid()) return;
    try {
        const CxImage prepared = preparePicture(settings_.output_, settings_.output_.bpp, picture);
        savePicture(prepared, path, encoder);
    } catch (const std::exception&) {
        // Out of memory for a huge picture: this picture is skipped.
    }
}

void ImageFileSaver::operator()() {
    std::lock_guard<std::mutex> hold(lock_);
    OutputSettings& output = settings_.output_;
    struct ClearStem {
        OutputSettings& output;
        ~ClearStem() { output.baseFileName.clear(); }
    } clearStem{output};

    try {
        std::wstring extension;
        ImageEncoder encoder = ImageEncoder::Jpeg;
        const bool hasEncoder = pictureFormat(output.nPictureFormat, extension, encoder);
        const std::wstring singlePath = makeOutputPath(output, 0, extension);

        if (settings_.general_.screenTarget == 1) {
            int count = 0;
            for (const auto& entry : monitorShots_) {
                if (!entry.second.image) continue;
                ++count;
                SaveOne(*entry.second.image, makeOutputPath(output, count, extension), encoder, hasEncoder);
            }
        } else if (image_) {
            SaveOne(*image_, singlePath, encoder, hasEncoder);
        }

        if (settings_.key_.logType != 0) {
            if (&settings_ == &SettingsInstance()) {
                writeTextReport();
            } else {
                writeTextReport(settings_.format_.computerInfo, settings_.key_.logType,
                                makeOutputPath(output, 0, L".txt"));
            }
        }
    } catch (const std::exception&) {
        // Nothing of the run is reported; the stem is still cleared.
    }
}

void runImageFileSaver(const std::shared_ptr<ImageFileSaver>& saver) {
    if (!saver) return;
    try {
        std::thread worker([saver] { (*saver)(); });
        worker.join();
    } catch (const std::system_error&) {
        // The thread could not be started: no files for this capture.
    }
}

void saveScreenShotFiles(const ScreenShot& shot) {
    runImageFileSaver(std::make_shared<ImageFileSaver>(shot.image, shot.monitorShots));
}

}  // namespace orbilux
