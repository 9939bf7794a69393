// Times one picture-preparation or encoding stage on a picture read from a
// binary PPM (P6) file.
//
//   image_bench STAGE INPUT.ppm OUTPUT [REPEAT]
//
// Stages: scale50 quant16 quant256 quant256png dither1 bmp png24 png8 jpeg90.
// The stage runs REPEAT times (default 1); the result of the last run is
// written to OUTPUT (for the encoders the timed run writes it, the other
// stages write a BMP after the clock stopped). Prints
// "stage_ms=<best of the runs, milliseconds>" and "load_ms=<time to read the input>".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <time.h>
#include <vector>

#include "image/encoders.h"
#include "image/quantizer.h"
#include "image/ximage.h"
#include "bench/bench_support.h"

using namespace orbilux;

namespace {

using tamrik_bench::Median;

// Processor time of the whole process (every thread, user and system), in milliseconds.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

bool ReadToken(std::FILE* f, std::string& out) {
    out.clear();
    int c = std::fgetc(f);
    while (c != EOF) {
        if (c == '#') {
            while (c != EOF && c != '\n') c = std::fgetc(f);
        } else if (!std::isspace(c)) {
            break;
        }
        c = std::fgetc(f);
    }
    while (c != EOF && !std::isspace(c)) {
        out.push_back(char(c));
        c = std::fgetc(f);
    }
    return !out.empty();
}

bool ReadPpm(const char* path, CxImage& img) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::string magic, w, h, maxval;
    bool ok = ReadToken(f, magic) && magic == "P6" && ReadToken(f, w) && ReadToken(f, h) &&
              ReadToken(f, maxval) && maxval == "255" &&
              img.Create(uint32_t(std::atoi(w.c_str())), uint32_t(std::atoi(h.c_str())), 24);
    if (ok) {
        std::vector<uint8_t> row(size_t(img.GetWidth()) * 3);
        for (uint32_t y = img.GetHeight(); ok && y-- > 0;) {
            ok = std::fread(row.data(), 1, row.size(), f) == row.size();
            uint8_t* p = img.GetBits(y);
            for (size_t x = 0; x < row.size(); x += 3) {
                p[x] = row[x + 2];
                p[x + 1] = row[x + 1];
                p[x + 2] = row[x];
            }
        }
    }
    std::fclose(f);
    return ok;
}

void Reduce(CxImage& img, uint32_t colors) {
    CQuantizer q(colors, 8);
    q.ProcessImage(img);
    const std::vector<RGBQuadColor> pal = q.GetPalette();
    img.DecreaseBpp(colors == 16 ? 4 : 8, false, pal.data(), colors);
}

bool Save(const CxImage& img, ImageEncoder enc, const char* path) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    std::setvbuf(f, nullptr, _IOFBF, size_t(1) << 18);  // as the program's own files
    const bool ok = EncodeImage(img, enc, f);
    return (std::fclose(f) == 0) && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s STAGE INPUT.ppm OUTPUT [REPEAT]\n", argv[0]);
        return 2;
    }
    const std::string stage = argv[1];
    const char* output = argv[3];
    const int repeat = argc > 4 ? std::max(1, std::atoi(argv[4])) : 1;
    CxImage prepared;
    const auto loadStart = std::chrono::steady_clock::now();
    const bool loaded = ReadPpm(argv[2], prepared);
    const double loadMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - loadStart).count();
    if (!loaded) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 1;
    }
    if (stage == "png8") Reduce(prepared, 256);

    std::vector<double> times, cpuTimes;
    CxImage result;
    bool ok = true;
    for (int i = 0; i < repeat && ok; ++i) {
        // Each run works on a fresh copy (not timed); the last one takes the original.
        CxImage work = (i + 1 < repeat) ? prepared : std::move(prepared);
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuMs();
        if (stage == "scale50") {
            ok = work.Resample(work.GetWidth() / 2, work.GetHeight() / 2);
        } else if (stage == "quant16") {
            Reduce(work, 16);
        } else if (stage == "quant256") {
            Reduce(work, 256);
        } else if (stage == "quant256png") {
            Reduce(work, 256);
            ok = Save(work, ImageEncoder::Png, output);
        } else if (stage == "dither1") {
            ok = work.DecreaseBpp(1, true);
        } else if (stage == "bmp") {
            ok = Save(work, ImageEncoder::Bmp, output);
        } else if (stage == "png24" || stage == "png8") {
            ok = Save(work, ImageEncoder::Png, output);
        } else if (stage == "jpeg90") {
            ok = Save(work, ImageEncoder::Jpeg, output);
        } else {
            std::fprintf(stderr, "unknown stage %s\n", stage.c_str());
            return 2;
        }
        cpuTimes.push_back(CpuMs() - cpuStart);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        result = std::move(work);
    }
    if (!ok) {
        std::fprintf(stderr, "stage %s failed\n", stage.c_str());
        return 1;
    }
    // Stages that produce a picture write it untimed, as BMP.
    if (stage == "scale50" || stage == "quant16" || stage == "quant256" || stage == "dither1")
        Save(result, ImageEncoder::Bmp, output);
    std::sort(times.begin(), times.end());
    std::printf("stage_ms=%.3f\nstage_cpu_ms=%.3f\nload_ms=%.3f\n", times.front(), Median(cpuTimes), loadMs);
    return 0;
}
