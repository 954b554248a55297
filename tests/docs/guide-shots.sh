#!/usr/bin/env bash
# The guide's pictures are remade from the build by scripts/make-guide-shots:
# runs it into a scratch folder and checks that every picture is there, is
# a PNG of its window's size and shows something. Exit 77 (skip) when the
# tools to run it are missing.
#   guide-shots.sh PROGRAM SCRATCH-FOLDER
set -euo pipefail
program="$1"
scratch="$2"
script="$(dirname "$0")/../../scripts/make-guide-shots"

# At a real X server the sanitizer runtime stops the program inside the X
# keyboard library (libxkbcommon-x11), not in this program's code; the
# pictures come from the normal build.
if [[ -n "${RITRAX_SANITIZED:-}" ]]; then
  echo "SKIP: not run in the sanitizer build"; exit 77
fi

for tool in Xvfb openbox xdotool import convert identify; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done

rm -rf "$scratch"
mkdir -p "$scratch"
"$script" "$program" "$scratch"

failed=0
# name, width, height, an area (WxH+X+Y), a measure of it in thousandths
# and its least value: the form, the photo and the signature are not a flat
# colour; the card is pink, as the main window under it is not.
while read -r name width height area measure least; do
  file="$scratch/$name"
  if [[ ! -s "$file" ]]; then
    echo "FAIL: $name was not made"; failed=1; continue
  fi
  read -r format w h < <(identify -format '%m %w %h\n' "$file" 2>/dev/null | head -n1) || true
  if [[ "${format:-}" != PNG || "${w:-}" != "$width" || "${h:-}" != "$height" ]]; then
    echo "FAIL: $name is ${format:-not a picture} ${w:-?}x${h:-?}, not PNG ${width}x${height}"; failed=1; continue
  fi
  value="$(convert "$file" -crop "$area" +repage -format "%[fx:int(($measure)*1000)]" info:)"
  if ((value < least)); then
    echo "FAIL: $name does not show what it should in $area ($measure: $value)"; failed=1
  fi
  bytes="$(stat -c %s "$file")"
  if ((bytes > 200000)); then
    echo "FAIL: $name takes $bytes bytes"; failed=1
  fi
done <<'LIST'
finestra-principale.png 1018 676 433x585+8+80 standard_deviation 40
editor-foto.png 1018 676 265x320+736+184 standard_deviation 40
editor-firma.png 1018 676 700x130+10+530 standard_deviation 40
anteprima-patente.png 1018 676 839x540+94+74 mean.r-mean.g 80
foto-e-firma.png 1018 676 265x320+16+28 standard_deviation 40
LIST
exit "$failed"
