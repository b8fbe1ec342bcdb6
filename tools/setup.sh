#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the engine need, when
# any of them is missing. Sourced by run.sh and test.sh.

qf_packages=(
  build-essential cmake pkg-config git
  libsdl2-dev
  libfreetype-dev libfontconfig-dev fonts-ipafont-gothic fonts-dejavu-core
  libvorbis-dev zlib1g-dev libpng-dev
  libfluidsynth-dev timgm6mb-soundfont
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev g++-multilib
  libsndfile1-dev libsamplerate0-dev
  ffmpeg
  dpkg-dev man-db util-linux e2fsprogs xvfb xdotool x11-utils bc
  lua5.4
)

qf_install_missing() {
  local missing=()
  local p
  for p in "${qf_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

qf_install_missing
