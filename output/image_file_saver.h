// The saving run of a capture: every picture prepared (scaled, colours
// reduced), encoded and written under the capture's names, then the text
// report. The names are made first, in order; the pictures are then encoded
// side by side, one per thread up to the number of cores.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "capture/screen_shot.h"
#include "image/encoders.h"
#include "image/ximage.h"
#include "output/output_naming.h"
#include "output/save_outcome.h"
#include "settings/settings.h"

namespace orbilux {

// Extension and encoder of nPictureFormat: 0 ".bmp", 1 ".png", 2 ".jpg",
// 3 ".tif" without an encoder, anything else no extension and no encoder.
// Returns whether there is an encoder.
bool PictureFormat(int32_t nPictureFormat, std::wstring& extension, ImageEncoder& encoder);

// scale as used: 0 is full size (100), values above 150 are taken as 150.
uint32_t EffectiveScale(uint32_t scale);

// A copy of picture ready for encoding: resampled to scale percent, then for
// BMP and PNG reduced by bpp (0 1 bit diffused, 1 16 colours, 2 256 colours,
// otherwise 24 bits). The picture itself is not changed. onThreadStart runs
// first on each thread the resampling starts.
CxImage preparePicture(const OutputSettings& output, int32_t bpp, const CxImage& picture,
                       const std::function<void()>& onThreadStart = {});

// Encodes picture into a temporary file beside path and moves it to path once
// complete; on any failure the temporary file is removed, path is left as it
// was and the reason goes to failure. Returns whether path now holds the picture.
bool savePicture(OutputFileSystem& files, const CxImage& picture, const std::wstring& path,
                 ImageEncoder encoder, SaveFailure* failure = nullptr);

class ImageFileSaver {
public:
    // image is shared, monitorShots a copy of the screen shot's map; settings
    // (a press's own) is read at the run.
    // platform is where the files go and where the run finds its folders and,
    // when the press never read it, the clock.
    ImageFileSaver(OutputPlatform& platform, CxImagePtr image, MonitorShotMap monitorShots,
                   ORBILUXSetting& settings);

    // The run. Its files are named after the press's time as the computer
    // information recorded it (the clock only when that was never read). A
    // picture that cannot be written does not stop the others or the report;
    // the first failure comes back with the capture's folder. When nothing
    // could be written, the folders created for the run are removed again.
    SaveOutcome operator()();

    // Runs before the report is written, once every picture is (the press
    // waits there for its computer information, gathered meanwhile).
    void SetReportWait(std::function<void()> wait) { reportWait_ = std::move(wait); }
    // Threads that encode pictures: how many (0: one per core) and what runs
    // first on each thread started for it.
    void SetEncodingThreads(unsigned threads, std::function<void()> onThreadStart = {}) {
        threads_ = threads;
        onThreadStart_ = std::move(onThreadStart);
    }

private:
    // None, or why the picture could not be written.
    SaveFailure SaveOne(const CxImage& picture, const std::wstring& path, ImageEncoder encoder,
                        bool hasEncoder);

    OutputPlatform& platform_;
    CxImagePtr image_;
    MonitorShotMap monitorShots_;
    ORBILUXSetting& settings_;
    std::function<void()> reportWait_;
    unsigned threads_ = 0;
    std::function<void()> onThreadStart_;
};

}  // namespace orbilux
