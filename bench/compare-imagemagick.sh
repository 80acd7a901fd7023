#!/usr/bin/env bash
# bench/compare-imagemagick.sh [RUNS]: times the reply-image chain of vistrel_bench_reply against
# ImageMagick's convert doing the same steps, and b64encode against cp and coreutils base64,
# all in one run, and prints the medians and their ratios; before that, the 256-colour step
# alone on the stills of vistrel_bench_quantize, in process, and its PSNR beside convert's.
#
# Needs (bench only, not the tests): apt-get install imagemagick hyperfine
# The stills are plasma fractals made by ImageMagick with a fixed seed, blurred a little so
# that they compress like photographs; the 100 MiB file is seeded random bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}
for tool in /usr/bin/convert hyperfine; do
    command -v "$tool" >/dev/null || { echo "missing $tool: apt-get install imagemagick hyperfine" >&2; exit 2; }
done
cmake -S . -B build >/dev/null
cmake --build build -j"${JOBS:-2}" --target vistrel_bench_reply vistrel_bench_quantize >/dev/null
bench=$PWD/build/bench/vistrel_bench_reply
quantize=$PWD/build/bench/vistrel_bench_quantize
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# compare LABEL OURS THEIRS [hyperfine options]: times both commands in one hyperfine run and
# prints their medians and the ratio other/ours (above 1: ours is faster).
compare() {
    local label=$1 ours=$2 theirs=$3
    shift 3
    hyperfine -N -w 3 -r "$runs" "$@" --export-json "$work/run.json" "$ours" "$theirs" >/dev/null
    /usr/bin/python3 - "$work/run.json" "$label" <<'PY'
import json, sys
ours, theirs = (r["median"] for r in json.load(open(sys.argv[1]))["results"])
print(f"{sys.argv[2]:<50} ours {ours * 1000:8.1f} ms   other {theirs * 1000:8.1f} ms   "
      f"other/ours {theirs / ours:5.2f}")
PY
}

# The 256-colour step: time in process, then PSNR against the 24-bit still (dB, inf when
# exact), ours beside convert -colors 256 with its own dithering and with none.
"$quantize" stills "$work/stills" "$runs" 2>/dev/null
printf '%-18s %8s %14s %14s\n' still ours "convert" "convert -dither None"
for still in "$work"/stills/*-{200x150,640x480}.bmp; do
    base=${still%.bmp}
    /usr/bin/convert "$still" -colors 256 "PNG24:$base-im.png"
    /usr/bin/convert "$still" -dither None -colors 256 "PNG24:$base-imnd.png"
    "$quantize" psnr "$still" "$base-256.bmp" "$base-im.png" "$base-imnd.png" 2>/dev/null |
        awk -v name="$(basename "$base")" '{ db[NR] = $3 } END {
            printf "%-18s %8s %14s %14s\n", name, db[1], db[2], db[3] }'
done

for size in 640x480 1920x1080; do
    still=$work/still-$size.bmp
    /usr/bin/convert -seed 7 -size "$size" plasma:fractal -blur 0x2 -type TrueColor -alpha off \
        "BMP3:$still"
    mkdir -p "$work/out-$size"
    # Width 200, plain reduction, a quarter turn clockwise, JPEG at quality 99 (compression 1).
    compare "$size reduce 200, rotate, JPEG q99" \
        "$bench chain $still $work/out-$size 200 0 1 24 0 1 0" \
        "/usr/bin/convert $still -sample 200x -rotate 90 -quality 99 $work/im.jpg"
    compare "$size reduce 200, rotate, 256 colours, JPEG q99" \
        "$bench chain $still $work/out-$size 200 0 1 8 0 1 0" \
        "/usr/bin/convert $still -sample 200x -rotate 90 -dither None -colors 256 -quality 99 $work/im.jpg"
done

big=$work/big.bin
/usr/bin/python3 -c 'import random, sys; random.seed(7); sys.stdout.buffer.write(random.randbytes(100 << 20))' >"$big"
# Each comparison twice: with the outputs of the last run still there (cp and the shell truncate
# them, b64encode replaces its own), and with no outputs left, where neither pays for the old.
fresh=(--prepare "rm -f $work/big.asc $work/copy.bin $work/coreutils.asc")
compare "b64encode 100 MiB vs cp, outputs there" \
    "$bench b64 $big $work/big.asc" "cp $big $work/copy.bin"
compare "b64encode 100 MiB vs cp, no outputs" \
    "$bench b64 $big $work/big.asc" "cp $big $work/copy.bin" "${fresh[@]}"
compare "b64encode 100 MiB vs base64 -w0, outputs there" \
    "$bench b64 $big $work/big.asc" "sh -c 'base64 -w0 $big >$work/coreutils.asc'"
compare "b64encode 100 MiB vs base64 -w0, no outputs" \
    "$bench b64 $big $work/big.asc" "sh -c 'base64 -w0 $big >$work/coreutils.asc'" "${fresh[@]}"
