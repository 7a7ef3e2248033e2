#!/usr/bin/env bash
# Whole-process times of tessaview-image on the image-load benchmark's photos
# (made by bench_image_load under /tmp/tessaview-bench-images), loading only:
# best of three.
set -euo pipefail
build=${1:-build}
tool="$build/tessaview-image"
dir=/tmp/tessaview-bench-images
[ -x "$tool" ] || { echo "image_tool.sh: $tool not built"; exit 0; }
[ -d "$dir" ] || { echo "image_tool.sh: run bench_image_load first to make $dir"; exit 0; }
for f in "$dir"/*.jpg "$dir"/*.png "$dir"/*.gif; do
  [ -e "$f" ] || continue
  for size in 960 1280; do
    best=""
    for _ in 1 2 3; do
      start=$(date +%s%N)
      "$tool" --quiet --no-output --size "$size" "$f" >/dev/null
      ms=$(( ($(date +%s%N) - start) / 1000000 ))
      if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    printf '%-40s %5d  %5d ms\n' "$(basename "$f")" "$size" "$best"
  done
done
