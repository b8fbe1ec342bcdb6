#!/usr/bin/env bash
# Makes the movies and pictures of the end-to-end games tests/games/avi-* and
# tests/games/susie-*, and the seeds of the media fuzz targets, with the
# ffmpeg command-line program. The files are kept in the tree; run this only
# to remake them (and then remake the games' screenshots).
#
#   counter24.avi   uncompressed 24-bit video, 18 × 12 (rows need padding), 16 frames
#   counter.avi     MJPEG video, 32 × 24, 16 frames
#   silent.avi      a sound track and no video
#   bench/media/frames-256x224.avi   MJPEG, 8 frames, for the decoding benchmark
# Frame k of both counters shows the number k, light on a background whose
# hue changes with k.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v ffmpeg >/dev/null || { echo "ffmpeg is not installed (tools/setup.sh installs it)" >&2; exit 1; }

font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }

counter() {  # counter SIZE FONTSIZE OUT ARGS...
  local size=$1 fontsize=$2 out=$3
  shift 3
  ff -f lavfi -i "color=c=0x203080:s=${size}:r=10:d=1.6" \
     -vf "hue=h=t*200,drawtext=fontfile=${font}:text=%{frame_num}:fontsize=${fontsize}:fontcolor=white:x=(w-tw)/2:y=(h-th)/2" \
     -frames:v 16 "$@" "$out"
}

movies=$work
counter 18x12 11 "$movies/counter24.avi" -c:v rawvideo -pix_fmt bgr24
counter 32x24 16 "$movies/counter.avi" -c:v mjpeg -q:v 6 -g 1
ff -f lavfi -i "sine=frequency=440:sample_rate=8000:duration=0.05" -c:a pcm_u8 "$movies/silent.avi"
mkdir -p tests/games/avi-frames tests/games/avi-no-video
cp "$movies/counter24.avi" "$movies/counter.avi" tests/games/avi-frames/
cp "$movies/silent.avi" "$movies/counter.avi" tests/games/avi-no-video/
mkdir -p tests/games/avi-archive/src
cp "$movies/counter.avi" tests/games/avi-archive/src/

# Pictures: one source with a few flat colours (so that a palette holds it
# exactly), then the same picture as PNG, GIF, TGA and JPEG.
pictures=$work
ff -f lavfi -i "color=c=0xff00ff:s=37x23,format=rgb24" \
   -vf "drawbox=x=4:y=3:w=12:h=9:c=0x20c040:t=fill,drawbox=x=18:y=6:w=15:h=14:c=0x1030e0:t=fill,drawbox=x=0:y=18:w=37:h=5:c=0xf0e020:t=fill,drawbox=x=30:y=0:w=7:h=4:c=white:t=fill,format=rgb24" \
   -frames:v 1 "$pictures/picture.png"
ff -i "$pictures/picture.png" -vf "split[a][b];[a]palettegen=reserve_transparent=0:stats_mode=single[p];[b][p]paletteuse=dither=none" \
   "$pictures/picture.gif"
ff -i "$pictures/picture.png" -c:v targa "$pictures/picture.tga"
ff -i "$pictures/picture.png" -q:v 2 "$pictures/picture.jpg"

mkdir -p tests/games/susie-formats tests/games/susie-jpeg tests/games/susie-transparent tests/games/susie-native
cp "$pictures/picture.png" "$pictures/picture.gif" "$pictures/picture.tga" tests/games/susie-formats/
cp "$pictures/picture.jpg" tests/games/susie-jpeg/
cp "$pictures/picture.jpg" tests/games/avi-archive/src/
cp "$pictures/picture.png" tests/games/susie-transparent/
cp "$pictures/picture.png" tests/games/susie-native/

ff -f lavfi -i "testsrc=s=256x224:r=30" -frames:v 8 -c:v mjpeg -q:v 8 bench/media/frames-256x224.avi

seeds=fuzz/media/corpus
mkdir -p "$seeds/fuzz_image_decode" "$seeds/fuzz_movie_open"
cp "$pictures/picture.png" "$pictures/picture.gif" "$pictures/picture.tga" "$pictures/picture.jpg" "$seeds/fuzz_image_decode/"
cp "$movies/counter24.avi" "$movies/counter.avi" "$movies/silent.avi" "$seeds/fuzz_movie_open/"
