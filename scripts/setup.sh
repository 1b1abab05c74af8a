#!/usr/bin/env bash
# Installs what a bare Debian machine lacks to build, run and test Quillo.
# Idempotent and quiet: packages already present are not touched again.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  cmake ninja-build googletest g++ clang
  wine wine64 xvfb xdotool x11-utils xclip imagemagick
  locales fonts-wqy-microhei python3 python3-pil libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq >/dev/null
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine only reports code page 936 when the zh_CN.UTF-8 locale really exists.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  echo "setup: generating zh_CN.UTF-8"
  "${sudo_cmd[@]}" sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
