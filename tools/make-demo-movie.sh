#!/usr/bin/env bash
# Makes the picture and the movie the demo game shows in *moviePlay
# (games/demo/pictures.txt) with the ffmpeg command-line program: a small PNG
# and a 96 × 64 MJPEG movie of 24 frames. The files are kept in the tree; run
# this only to remake them.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v ffmpeg >/dev/null || { echo "ffmpeg is not installed (tools/setup.sh installs it)" >&2; exit 1; }
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }

# The picture: a quill-coloured emblem on pure green, which the demo makes
# transparent by taking the top-left colour.
ff -f lavfi -i "color=c=0x00ff00:s=64x64,format=rgb24" \
   -vf "drawbox=x=8:y=8:w=48:h=48:c=0x402010:t=fill,drawbox=x=12:y=12:w=40:h=40:c=0xe0c080:t=fill,drawbox=x=30:y=14:w=4:h=36:c=0x2040a0:t=fill,drawbox=x=22:y=14:w=20:h=8:c=0x2040a0:t=fill" \
   -frames:v 1 games/demo/emblem.png

# The movie: a ball crossing a sky that darkens.
ff -f lavfi -i "color=c=0x3060c0:s=96x64:r=12:d=2" -f lavfi -i "color=c=0xffd040:s=14x14:r=12:d=2" \
   -filter_complex "[0]geq=r='40+60*Y/H':g='80+80*Y/H-40*T':b='200-60*T'[sky];[sky][1]overlay=x='t*40':y='20+10*sin(t*6)'" \
   -frames:v 24 -c:v mjpeg -q:v 7 games/demo/ball.avi
ls -l games/demo/emblem.png games/demo/ball.avi
