// Picture encoders: BMP written directly, PNG through libpng, JPEG through
// libjpeg. Each writes one complete file to an open binary stream and returns
// whether everything was written (the caller still has to close the stream).
#pragma once

#include <cstdio>

#include "image/ximage.h"

namespace orbilux {

enum class ImageEncoder { Bmp, Png, Jpeg };

// Uncompressed bottom-up bitmap: file header, 40-byte information header,
// the palette of 2/16/256 entries (none for 24 bits), the stored rows.
bool EncodeBmp(const CxImage& image, std::FILE* file);

// Palette pictures as colour type palette with their own bit depth (a palette
// of more than 2 entries cut to the largest used index + 1 when the picture has
// fewer than 65536 pixels), 24-bit pictures as 8-bit RGB; zlib's default level
// (6), palette rows unfiltered and full-colour rows each with the smallest of
// the None, Sub, Up and Paeth filters, image data in chunks of 64 KiB, no
// interlacing, the picture's resolution.
bool EncodePng(const CxImage& image, std::FILE* file);

// RGB input, library defaults with quality 90, JFIF density in dots per inch
// from the picture's resolution. Palette pictures are written in their colours.
bool EncodeJpeg(const CxImage& image, std::FILE* file, int quality = 90);
// The same file, always fed as RGB rows turned from the stored ones (the plain
// way, kept to check that the faster one writes the same bytes).
bool EncodeJpegRgbRows(const CxImage& image, std::FILE* file, int quality = 90);

bool EncodeImage(const CxImage& image, ImageEncoder encoder, std::FILE* file);

}  // namespace orbilux
