#!/usr/bin/env bash
# Runs bench/image_bench side by side with libjpeg-turbo's cjpeg, ImageMagick
# and Pillow on the same pixels and prints a table of time and size ratios
# (ours / reference). Inputs: screen-like pictures of 1920x1080, 3840x2160 and
# 5760x1080 drawn with ImageMagick (panels, gradients, a photo-like area, lines
# of text) and a worst case of random pixels.
#
#
# "stage" rows compare processor time (user + system) of the operation inside
# the process, ours against Pillow's, in alternating rounds: each round runs our
# bench once (BENCH_REPEATS runs of the stage in one process, their median) and
# then Pillow (BENCH_REPEATS calls, their median); each side's figure is the
# median of its rounds. Processor time is what the stage costs whatever else
# the machine runs; wall-clock time on a shared machine is mostly the others'.
# The 24-bit PNG stage is also counted in instructions with callgrind, which
# do not depend on the machine's load at all (skipped without valgrind).
# "process" rows time whole commands by the wall clock (the reference tools may
# use two threads), ours and the reference alternating, best of the rounds.
#
#   scripts/bench-images.sh [BENCH_BUILD_DIR]     (default build/bench)
#   BENCH_RUNS=7                                  (alternating rounds per measurement)
#   BENCH_REPEATS=3                               (stage runs per round and side)
#   BENCH_STAGES=png24,jpeg90                     (only these stages; default all)
#   BENCH_INSTRUCTIONS=0                          (no callgrind rows)
#   BENCH_MARKDOWN=file                           (also write the table there)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/bench}
bench=$build/image_bench
work=$build/bench-images
mkdir -p "$work"

[ -x "$bench" ] || { echo "bench-images: $bench not built (make bench)" >&2; exit 1; }
magick=/usr/bin/convert
[ -x "$magick" ] || magick=$(command -v convert)
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
[ -f "$font" ] || font=$(fc-match -f '%{file}' sans 2>/dev/null || true)

# ---- inputs ----
text=$work/text.txt
if [ ! -s "$text" ]; then
  src=$(ls /usr/share/common-licenses/GPL-3 /usr/share/common-licenses/GPL 2>/dev/null | head -1)
  for _ in 1 2 3 4 5 6; do fold -s -w 110 "$src"; done >"$text"
fi

make_screen() {  # width height file
  local w=$1 h=$2 out=$3
  [ -s "$out" ] && return
  local args=(-size "${w}x${h}" xc:'#ececec'
    -fill '#2b4a78' -draw "rectangle 0,0 $((w / 6)),$h"
    \( -size "${w}x30" gradient:'#3a6ea5-#a9c8ea' \) -geometry +0+0 -composite
    \( -seed 42 -size 480x320 plasma:fractal \) -geometry +$((w - 520))+90 -composite
    -font "$font" -pointsize 13 -fill '#1e1e1e')
  local lines
  lines=$(head -n $((h / 15)) "$text")  # ImageMagick's policy forbids reading "@file" text
  for ((x = w / 6 + 16; x < w - 560; x += 900)); do args+=(-annotate +$x+56 "$lines"); done
  args+=(-fill white -pointsize 15)
  for ((y = 60; y < h; y += 24)); do args+=(-annotate +12+$y "Folder item $y"); done
  "$magick" "${args[@]}" -depth 8 "ppm:$out"
}

make_noise() {  # width height file
  [ -s "$3" ] && return
  "$magick" -seed 7 -size "${1}x${2}" xc: +noise Random -depth 8 "ppm:$3"
}

make_screen 1920 1080 "$work/screen-1920x1080.ppm"
make_screen 3840 2160 "$work/screen-3840x2160.ppm"
make_screen 5760 1080 "$work/screen-5760x1080.ppm"
make_noise 1920 1080 "$work/noise-1920x1080.ppm"

# ---- measurements ----
instructions=${BENCH_INSTRUCTIONS:-1}
command -v valgrind >/dev/null || instructions=0
BENCH=$bench WORK=$work MAGICK=$magick INSTRUCTIONS=$instructions /usr/bin/python3 - <<'PY'
import datetime, os, re, statistics, subprocess, sys, time
from PIL import Image

bench, work, magick = os.environ["BENCH"], os.environ["WORK"], os.environ["MAGICK"]
rounds = int(os.environ.get("BENCH_RUNS", "7"))
repeats = int(os.environ.get("BENCH_REPEATS", "3"))
stages = set(filter(None, os.environ.get("BENCH_STAGES", "").split(",")))
instructions = os.environ["INSTRUCTIONS"] == "1"
env = dict(os.environ, OMP_NUM_THREADS=os.environ.get("OMP_NUM_THREADS", "2"))
inputs = ["screen-1920x1080", "screen-3840x2160", "screen-5760x1080", "noise-1920x1080"]

def want(stage):
    return not stages or stage in stages

def run_wall(cmd):
    t = time.perf_counter()
    r = subprocess.run(cmd, check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env, text=True)
    return (time.perf_counter() - t) * 1000, r

def process_pair(ours_cmd, ref_cmd):
    """Wall time of two whole commands in alternating rounds, best of each.
    Ours is also given less its own reading of the input picture (which the
    program never does: its pictures are already in memory)."""
    ours, ours_np, ref = [], [], []
    for _ in range(rounds):
        t, r = run_wall(ours_cmd)
        ours.append(t)
        ours_np.append(t - float(re.search(r"load_ms=([0-9.]+)", r.stdout).group(1)))
        ref.append(run_wall(ref_cmd)[0])
    return min(ours), min(ours_np), min(ref)

def ours_stage_once(stage, src, out):
    r = subprocess.run([bench, stage, src, out, str(repeats)], check=True, capture_output=True, text=True)
    return float(re.search(r"stage_cpu_ms=([0-9.]+)", r.stdout).group(1))

def pil_once(fn):
    times = []
    for _ in range(repeats):
        t = time.process_time(); fn(); times.append((time.process_time() - t) * 1000)
    return statistics.median(times)

def stage_pair(stage, src, out, fn):
    """Processor time of our stage and Pillow's, alternating (see the top)."""
    ours, ref = [], []
    for _ in range(rounds):
        ours.append(ours_stage_once(stage, src, out))
        ref.append(pil_once(fn))
    return statistics.median(ours), statistics.median(ref)

def callgrind(cmd, toggle=None):
    args = ["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"]
    if toggle: args.append(f"--toggle-collect={toggle}")
    r = subprocess.run(args + cmd, check=True, capture_output=True, text=True,
                       env=dict(os.environ, PYTHONHASHSEED="0"))
    return int(re.search(r"Collected : ([0-9]+)", r.stderr).group(1))

PIL_PNG = "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1]); im.load()\n" \
          "if sys.argv[2] != '-': im.save(sys.argv[2], 'PNG', compress_level=6)\n"

def png24_instructions(src, ours_out, ref_out):
    """Instructions of our PNG encoder (the encoding function and all it calls)
    and of Pillow's save (the Python process with the save less the same
    process without it)."""
    ours = callgrind([bench, "png24", src, ours_out], toggle="*EncodePng*")
    with_save = callgrind(["/usr/bin/python3", "-c", PIL_PNG, src, ref_out])
    without = callgrind(["/usr/bin/python3", "-c", PIL_PNG, src, "-"])
    return ours / 1e6, (with_save - without) / 1e6

def size(p):
    return os.path.getsize(p) if os.path.exists(p) else 0

rows = []
def row(name, stage, ours_v, ref, ref_v, ours_file=None, ref_file=None, unit="ms"):
    ratio = ours_v / ref_v if ref_v else float("nan")
    sr = (size(ours_file) / size(ref_file)) if ours_file and ref_file and size(ref_file) else None
    rows.append((name, stage, ours_v, ref, ref_v, ratio, sr, unit))

checks = []
Q = "+dither"
for name in inputs:
    src = f"{work}/{name}.ppm"
    o = lambda s, ext: f"{work}/{name}.{s}.ours.{ext}"
    r = lambda s, tool, ext: f"{work}/{name}.{s}.{tool}.{ext}"
    im = Image.open(src); im.load()
    w, h = im.size

    # JPEG 90: cjpeg and Pillow use the same libjpeg-turbo.
    if want("jpeg90"):
        ours_p, ours_np, t = process_pair([bench, "jpeg90", src, o("jpeg90", "jpg")],
                                          ["cjpeg", "-quality", "90", "-outfile", r("jpeg90", "cjpeg", "jpg"), src])
        row(name, "jpeg90 (process)", ours_p, "cjpeg -quality 90", t, o("jpeg90", "jpg"), r("jpeg90", "cjpeg", "jpg"))
        row(name, "jpeg90 (process less load)", ours_np, "cjpeg -quality 90", t,
            o("jpeg90", "jpg"), r("jpeg90", "cjpeg", "jpg"))
        checks.append((f"{name} jpeg90 process less load vs cjpeg <= 1.15", ours_np / t <= 1.15))
        ours_s, t = stage_pair("jpeg90", src, o("jpeg90", "jpg"),
                               lambda: im.save(r("jpeg90", "pil", "jpg"), "JPEG", quality=90, dpi=(96, 96)))
        row(name, "jpeg90 (stage)", ours_s, "Pillow quality=90", t, o("jpeg90", "jpg"), r("jpeg90", "pil", "jpg"))
        checks.append((f"{name} jpeg90 stage vs Pillow <= 1.15", ours_s / t <= 1.15))

    # PNG 24-bit: libpng + zlib level 6 in ImageMagick, zlib level 6 in Pillow.
    if want("png24"):
        ours_p, _, t = process_pair([bench, "png24", src, o("png24", "png")],
                                    [magick, src, "-strip", "-quality", "65", "PNG24:" + r("png24", "im", "png")])
        row(name, "png24 (process)", ours_p, "convert -quality 65 PNG24", t, o("png24", "png"), r("png24", "im", "png"))
        checks.append((f"{name} png24 process vs ImageMagick <= 1.15", ours_p / t <= 1.15))
        ours_s, t = stage_pair("png24", src, o("png24", "png"),
                               lambda: im.save(r("png24", "pil", "png"), "PNG", compress_level=6))
        row(name, "png24 (stage)", ours_s, "Pillow compress_level=6", t, o("png24", "png"), r("png24", "pil", "png"))
        checks.append((f"{name} png24 stage vs Pillow <= 1.1", ours_s / t <= 1.1))
        if instructions:
            ours_i, t = png24_instructions(src, o("png24", "png"), r("png24", "pil", "png"))
            row(name, "png24 (stage, instructions)", ours_i, "Pillow compress_level=6", t,
                o("png24", "png"), r("png24", "pil", "png"), unit="M instr")
            checks.append((f"{name} png24 stage instructions vs Pillow <= 1.1", ours_i / t <= 1.1))

    # PNG 8-bit of our own 256-colour picture.
    if want("png8"):
        subprocess.run([bench, "png8", src, o("png8", "png")], check=True, capture_output=True)
        p8 = Image.open(o("png8", "png")); p8.load()
        ours_s, t = stage_pair("png8", src, o("png8", "png"),
                               lambda: p8.save(r("png8", "pil", "png"), "PNG", compress_level=6))
        row(name, "png8 (stage)", ours_s, "Pillow compress_level=6", t, o("png8", "png"), r("png8", "pil", "png"))

    # Quantise to 256 colours and write PNG: the whole file-output path.
    if want("quant256png"):
        ours_p, _, t = process_pair([bench, "quant256png", src, o("q256png", "png")],
                                    [magick, src, "-strip", Q, "-colors", "256", "-quality", "60",
                                     "PNG8:" + r("q256png", "im", "png")])
        row(name, "quant256+png (process)", ours_p, "convert +dither -colors 256 PNG8", t,
            o("q256png", "png"), r("q256png", "im", "png"))
        checks.append((f"{name} quant256+png 2x faster than ImageMagick", ours_p * 2 <= t))

    for colors in (16, 256):
        st = f"quant{colors}"
        if not want(st): continue
        ours_p, _, t = process_pair([bench, st, src, o(st, "bmp")],
                                    [magick, src, Q, "-colors", str(colors), "BMP3:" + r(st, "im", "bmp")])
        row(name, f"{st} (process)", ours_p, f"convert +dither -colors {colors}", t)
        ours_s, t = stage_pair(st, src, o(st, "bmp"),
                               lambda: im.quantize(colors, method=Image.Quantize.FASTOCTREE, dither=Image.Dither.NONE))
        row(name, f"{st} (stage)", ours_s, "Pillow quantize FASTOCTREE", t)

    # Scale to 50 %.
    if want("scale50"):
        ours_p, _, t = process_pair([bench, "scale50", src, o("scale50", "bmp")],
                                    [magick, src, "-filter", "Cubic", "-resize", "50%", "BMP3:" + r("scale50", "im", "bmp")])
        row(name, "scale50 (process)", ours_p, "convert -filter Cubic -resize 50%", t)
        checks.append((f"{name} scale50 2x faster than ImageMagick", ours_p * 2 <= t))
        ours_s, t = stage_pair("scale50", src, o("scale50", "bmp"),
                               lambda: im.resize((w // 2, h // 2), Image.Resampling.BICUBIC))
        row(name, "scale50 (stage)", ours_s, "Pillow resize BICUBIC", t)

    # 1-bit error diffusion.
    if want("dither1"):
        ours_p, _, t = process_pair([bench, "dither1", src, o("dither1", "bmp")],
                                    [magick, src, "-dither", "FloydSteinberg", "-monochrome",
                                     "BMP3:" + r("dither1", "im", "bmp")])
        row(name, "dither1 (process)", ours_p, "convert -dither FloydSteinberg -monochrome", t)
        ours_s, t = stage_pair("dither1", src, o("dither1", "bmp"), lambda: im.convert("1"))
        row(name, "dither1 (stage)", ours_s, "Pillow convert('1')", t)

    # BMP 24-bit.
    if want("bmp"):
        ours_p, _, t = process_pair([bench, "bmp", src, o("bmp", "bmp")], [magick, src, "BMP3:" + r("bmp", "im", "bmp")])
        row(name, "bmp (process)", ours_p, "convert BMP3", t, o("bmp", "bmp"), r("bmp", "im", "bmp"))
        ours_s, t = stage_pair("bmp", src, o("bmp", "bmp"), lambda: im.save(r("bmp", "pil", "bmp"), "BMP"))
        row(name, "bmp (stage)", ours_s, "Pillow save BMP", t, o("bmp", "bmp"), r("bmp", "pil", "bmp"))

lines = [f"Measured {datetime.date.today().isoformat()} on {os.cpu_count()} cores, {rounds} alternating rounds "
         f"(\"stage\" rows: processor time, median of {repeats} runs a round, median of the rounds; "
         "\"process\" rows: wall clock of whole commands, best of the rounds; \"instructions\" rows: "
         "callgrind, millions).", "",
         "| input | stage | ours | reference | ref | ratio | size ratio |",
         "|---|---|---:|---|---:|---:|---:|"]
for name, stage, ov, ref, rv, ratio, sr, unit in rows:
    fmt = (lambda v: f"{v:.1f}") if unit == "ms" else (lambda v: f"{v:.0f}")
    lines.append(f"| {name} | {stage} | {fmt(ov)} | {ref} | {fmt(rv)} | {ratio:.2f} | "
                 + (f"{sr:.3f}" if sr is not None else "") + " |")
lines.append("")
for text, ok in checks:
    lines.append(f"- {'PASS' if ok else 'FAIL'}: {text}")
out = "\n".join(lines)
print(out)
md = os.environ.get("BENCH_MARKDOWN")
if md:
    with open(md, "w") as f:
        f.write(out + "\n")
PY
