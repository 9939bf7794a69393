#!/usr/bin/python3
"""Draws the program's icons and splash bitmaps into this folder.

Run with Debian's python3 (it has PIL):  /usr/bin/python3 resources/make_art.py
Writes tamrik.ico (128: 48/32/16 px), busy.ico (223: 16 px), settings.ico
(203: 32/16 px), splash_start.bmp (211: 256x128, 4 bits) and
splash_print.bmp (210: 160x80, 8 bits).
"""
import os
import struct

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT_REGULAR = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def font(size, bold=True):
    try:
        return ImageFont.truetype(FONT if bold else FONT_REGULAR, size)
    except OSError:
        return ImageFont.load_default()


def monitor_glyph(size, body, screen, accent, badge=None):
    """A monitor with a sheet of paper coming out of it, drawn 4x and scaled down."""
    s = size * 4
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    u = s / 16.0
    d.rounded_rectangle([0.5 * u, 1 * u, 15.5 * u, 11.5 * u], radius=1.5 * u, fill=body)
    d.rectangle([1.8 * u, 2.3 * u, 14.2 * u, 10.2 * u], fill=screen)
    d.rectangle([6 * u, 11.5 * u, 10 * u, 13 * u], fill=body)
    d.rectangle([4 * u, 13 * u, 12 * u, 14.2 * u], fill=body)
    # the printed sheet
    d.polygon([(8.5 * u, 5 * u), (14.8 * u, 5 * u), (14.8 * u, 15.5 * u), (8.5 * u, 15.5 * u)],
              fill=(255, 255, 255, 255), outline=(40, 40, 40, 255))
    for row in range(3):
        y = (7 + row * 2.4) * u
        d.rectangle([9.6 * u, y, 13.7 * u, y + 0.9 * u], fill=accent)
    if badge:
        d.ellipse([0.2 * u, 9.2 * u, 6.8 * u, 15.8 * u], fill=badge, outline=(255, 255, 255, 255), width=int(u))
    return img.resize((size, size), Image.LANCZOS)


def write_ico(path, images):
    """An icon file of 32-bit DIB entries (colour with alpha plus an AND mask)."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for img in images:
        w, h = img.size
        rgba = img.convert("RGBA")
        xor = bytearray()
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, b, a = rgba.getpixel((x, y))
                xor += bytes((b, g, r, a))
        mask_row = ((w + 31) // 32) * 4
        mask = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray(mask_row)
            for x in range(w):
                if rgba.getpixel((x, y))[3] < 128:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blob = header + bytes(xor) + bytes(mask)
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)))
        for e in entries:
            f.write(e)
        for b in blobs:
            f.write(b)


def write_palette_bmp(path, img, bpp):
    """A bottom-up BMP of a palette picture at 4 or 8 bits per pixel."""
    w, h = img.size
    pal = img.getpalette()[: 3 * (1 << bpp)]
    pal += [0] * (3 * (1 << bpp) - len(pal))
    stride = ((w * bpp + 31) // 32) * 4
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            v = img.getpixel((x, y))
            if bpp == 8:
                row[x] = v
            else:
                row[x // 2] |= (v & 0xF) << (4 if x % 2 == 0 else 0)
        pixels += row
    colours = 1 << bpp
    palette = b"".join(bytes((pal[3 * i + 2], pal[3 * i + 1], pal[3 * i], 0)) for i in range(colours))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, len(pixels), 3780, 3780, colours, 0)
    offset = 14 + len(info) + len(palette)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset))
        f.write(info + palette + bytes(pixels))


def start_splash():
    w, h = 256, 128
    img = Image.new("RGB", (w, h), (18, 52, 110))
    d = ImageDraw.Draw(img)
    for y in range(h):  # a simple vertical gradient, reduced to 16 colours below
        c = int(18 + 50 * y / h)
        d.line([(0, y), (w, y)], fill=(c, c + 40, 150 + int(60 * y / h)))
    glyph = monitor_glyph(64, (230, 230, 235, 255), (60, 140, 220, 255), (220, 60, 50, 255))
    img.paste(glyph, (14, 32), glyph)
    d.text((90, 34), "Tamrik", font=font(30), fill=(255, 255, 255))
    d.text((92, 70), "Screen Print", font=font(17), fill=(255, 220, 90))
    d.text((92, 96), "Version 2.0.4.1", font=font(11, bold=False), fill=(220, 230, 255))
    d.rectangle([0, 0, w - 1, h - 1], outline=(255, 255, 255))
    return img.quantize(colors=16, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)


def print_splash():
    w, h = 160, 80
    img = Image.new("RGB", (w, h), (250, 250, 245))
    d = ImageDraw.Draw(img)
    for x in range(w):
        t = x / w
        d.line([(x, 0), (x, 14)], fill=(int(30 + 40 * t), int(120 + 60 * t), int(200 - 40 * t)))
    glyph = monitor_glyph(40, (70, 80, 95, 255), (90, 170, 235, 255), (220, 60, 50, 255))
    img.paste(glyph, (8, 24), glyph)
    d.text((56, 30), "Printing...", font=font(15), fill=(30, 40, 60))
    d.text((56, 52), "Tamrik", font=font(11, bold=False), fill=(90, 100, 120))
    d.rectangle([0, 0, w - 1, h - 1], outline=(60, 70, 90))
    return img.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)


def main():
    normal = [monitor_glyph(s, (60, 70, 85, 255), (70, 150, 230, 255), (220, 60, 50, 255)) for s in (48, 32, 16)]
    write_ico(os.path.join(HERE, "tamrik.ico"), normal)
    busy = monitor_glyph(16, (60, 70, 85, 255), (240, 150, 30, 255), (220, 60, 50, 255), badge=(230, 90, 0, 255))
    write_ico(os.path.join(HERE, "busy.ico"), [busy])
    settings = [monitor_glyph(s, (60, 70, 85, 255), (80, 180, 110, 255), (40, 40, 40, 255)) for s in (32, 16)]
    write_ico(os.path.join(HERE, "settings.ico"), settings)
    write_palette_bmp(os.path.join(HERE, "splash_start.bmp"), start_splash(), 4)
    write_palette_bmp(os.path.join(HERE, "splash_print.bmp"), print_splash(), 8)


if __name__ == "__main__":
    main()
