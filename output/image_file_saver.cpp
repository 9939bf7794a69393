#include "output/image_file_saver.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>

#include "capture/press_queue.h"
#include "image/quantizer.h"
#include "output/output_naming.h"
#include "output/output_path.h"
#include "output/text_report.h"

namespace orbilux {

bool PictureFormat(int32_t nPictureFormat, std::wstring& extension, ImageEncoder& encoder) {
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

uint32_t EffectiveScale(uint32_t scale) {
    // A zero target size leaves the picture unchanged: 0 is full size.
    if (scale == 0) return 100;
    return std::min<uint32_t>(scale, 150);
}

namespace {

// Whether the settings reduce the picture's colours: a depth of 1, 4 or 8 bits
// for a format other than JPEG (which is always written in full colour).
bool ReducesColours(const OutputSettings& output, int32_t bpp) {
    return output.nPictureFormat != kFormatJpeg && bpp >= kDepth1 && bpp <= kDepth8;
}

// Whether the picture is written as captured: full size, and a depth the
// settings leave as it is.
bool EncodedAsCaptured(const OutputSettings& output, int32_t bpp) {
    return EffectiveScale(output.scale) == 100 && !ReducesColours(output, bpp);
}

}  // namespace

CxImage preparePicture(const OutputSettings& output, int32_t bpp, const CxImage& picture,
                       const std::function<void()>& onThreadStart) {
    CxImage copy = picture;
    const uint32_t scale = EffectiveScale(output.scale);
    if (scale != 100) {
        copy.Resample(uint32_t(uint64_t(copy.GetWidth()) * scale / 100),
                      uint32_t(uint64_t(copy.GetHeight()) * scale / 100), onThreadStart);
    }
    if (!ReducesColours(output, bpp)) return copy;
    if (bpp == kDepth1) {
        copy.DecreaseBpp(1, true);
        return copy;
    }
    const uint32_t colors = bpp == kDepth4 ? 16 : 256;
    CQuantizer quantizer(colors, 8);
    quantizer.ProcessImage(copy);
    const std::vector<RGBQuadColor> palette = quantizer.GetPalette();
    copy.DecreaseBpp(bpp == kDepth4 ? 4 : 8, false, palette.data(), colors);
    return copy;
}

bool savePicture(OutputFileSystem& files, const CxImage& picture, const std::wstring& path,
                 ImageEncoder encoder, SaveFailure* failure) {
    return WriteFileReplacing(
        files, path, [&](std::FILE* file) { return EncodeImage(picture, encoder, file); }, failure);
}

ImageFileSaver::ImageFileSaver(OutputPlatform& platform, CxImagePtr image, MonitorShotMap monitorShots,
                               ORBILUXSetting& settings)
    : platform_(platform),
      image_(std::move(image)),
      monitorShots_(std::move(monitorShots)),
      settings_(settings) {}

SaveFailure ImageFileSaver::SaveOne(const CxImage& picture, const std::wstring& path, ImageEncoder encoder,
                                    bool hasEncoder) {
    // A format without an encoder writes nothing, not even an empty file.
    if (!hasEncoder || !picture.IsValid()) return SaveFailure::None;
    try {
        SaveFailure failure = SaveFailure::None;
        const OutputSettings& output = settings_.output_;
        if (EncodedAsCaptured(output, output.bpp)) {
            // No copy of a picture that would come out the same.
            savePicture(platform_.Files(), picture, path, encoder, &failure);
        } else {
            const CxImage prepared = preparePicture(output, output.bpp, picture, onThreadStart_);
            savePicture(platform_.Files(), prepared, path, encoder, &failure);
        }
        return failure;
    } catch (const std::exception&) {
        // Out of memory for a huge picture: this picture is skipped.
        return SaveFailure::WriteFailed;
    }
}

SaveOutcome ImageFileSaver::operator()() {
    OutputSettings& output = settings_.output_;
    struct ClearStem {
        OutputSettings& output;
        ~ClearStem() { output.baseFileName.clear(); }
    } clearStem{output};
    // The report's wait is released on every way out, so nobody waits for a
    // run that has ended.
    struct ReleaseWait {
        std::function<void()>& wait;
        void operator()() {
            if (!wait) return;
            std::function<void()> once = std::move(wait);
            wait = nullptr;
            once();
        }
        ~ReleaseWait() {
            try {
                (*this)();
            } catch (...) {
            }
        }
    } releaseWait{reportWait_};

    SaveOutcome outcome;
    FolderResult folder;
    bool wroteAny = false;
    // True when a file was written.
    auto note = [&outcome, &wroteAny](SaveFailure failure, bool attempted) {
        if (failure == SaveFailure::None) {
            wroteAny = wroteAny || attempted;
            return attempted;
        }
        if (outcome.failure == SaveFailure::None) outcome.failure = failure;
        return false;
    };
    try {
        std::wstring extension;
        ImageEncoder encoder = ImageEncoder::Jpeg;
        const bool hasEncoder = PictureFormat(output.nPictureFormat, extension, encoder);
        // One reading of the clock per press: the one the computer information
        // took for "Shot Date", "Shot Time" and the header tokens.
        const tamrik::CalendarTime& shot = settings_.format_.computerInfo.localTime;
        prepareNamePattern(platform_, output, shot.year != 0 ? shot : platform_.LocalTime(), &folder);
        outcome.folder = output.currentDir;
        if (folder.failure != SaveFailure::None) {
            outcome.failure = folder.failure;
            RemoveEmptyFolders(platform_.Files(), folder.created);
            return outcome;
        }

        // Every name first, in the order of the monitors, then the encoding.
        struct Job {
            const CxImage* picture;
            std::wstring path;
        };
        std::vector<Job> jobs;
        if (settings_.general_.screenTarget == kTargetMonitors) {
            int count = 0;
            for (const auto& entry : monitorShots_) {
                if (!entry.second.image) continue;
                ++count;
                jobs.push_back(
                    Job{entry.second.image.get(), makeOutputPath(platform_, output, count, extension)});
            }
        } else if (image_) {
            jobs.push_back(Job{image_.get(), makeOutputPath(platform_, output, 0, extension)});
        }
        std::vector<SaveFailure> failures(jobs.size(), SaveFailure::None);
        const unsigned threads = threads_ ? threads_ : EncodingThreads();
        ParallelFor(
            jobs.size(), threads,
            [&](size_t i) { failures[i] = SaveOne(*jobs[i].picture, jobs[i].path, encoder, hasEncoder); },
            onThreadStart_);
        for (size_t i = 0; i < jobs.size(); ++i) {
            if (note(failures[i], hasEncoder && jobs[i].picture->IsValid()))
                outcome.pictureFiles.push_back(jobs[i].path);
        }

        if (settings_.key_.logType != kLogNone) {
            releaseWait();
            SaveFailure failure = SaveFailure::None;
            const std::wstring reportPath = makeOutputPath(platform_, output, 0, L".txt");
            WriteTextReport(platform_.Files(), settings_.format_.computerInfo, settings_.key_.logType,
                            reportPath, &failure);
            if (note(failure, true)) outcome.reportFile = reportPath;
        }
    } catch (const std::exception&) {
        note(SaveFailure::WriteFailed, false);
    }
    // Nothing partial: folders made for a run that wrote nothing go again.
    if (!outcome.Ok() && !wroteAny) RemoveEmptyFolders(platform_.Files(), folder.created);
    return outcome;
}

}  // namespace orbilux
