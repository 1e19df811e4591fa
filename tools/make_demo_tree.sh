#!/usr/bin/env bash
# Makes a small picture tree for trying Snapcrate out: photo-like pictures with
# EXIF dates and cameras, a few descriptions and ratings, a sub-chapter and a
# nested chapter. Usage: tools/make_demo_tree.sh DIR
set -euo pipefail
root=${1:?target directory}
mkdir -p "$root"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A landscape-like picture: a sky gradient over a ground gradient, a horizon
# that moves with the seed, and soft blobs of colour on top.
picture() {  # path width height seed date make model
  local path=$1 width=$2 height=$3 seed=$4 date=$5 make=$6 model=$7
  local horizon=$((height * (45 + seed * 7 % 25) / 100)) bands=()
  vips xyz "$work/xy.v" "$width" "$height"
  vips extract_band "$work/xy.v" "$work/y.v" 1
  vips relational_const "$work/y.v" "$work/sky.v" less "$horizon"
  local top=(60 110 190) low=(210 200 225) grass=(90 130 55) soil=(60 70 35)
  if [ $((seed % 3)) -eq 0 ]; then top=(120 60 120) low=(250 170 90); fi  # sunset
  for band in 0 1 2; do
    vips linear -- "$work/y.v" "$work/s$band.v" "$(echo "(${low[$band]} - ${top[$band]}) / $horizon" | bc -l)" "${top[$band]}"
    vips linear -- "$work/y.v" "$work/g$band.v" \
      "$(echo "(${soil[$band]} - ${grass[$band]}) / ($height - $horizon)" | bc -l)" \
      "$(echo "${grass[$band]} - (${soil[$band]} - ${grass[$band]}) * $horizon / ($height - $horizon)" | bc -l)"
    vips ifthenelse "$work/sky.v" "$work/s$band.v" "$work/g$band.v" "$work/c$band.v"
    vips gaussnoise "$work/n$band.v" $((width / 16)) $((height / 16)) --sigma 30 --mean 0 --seed $((seed * 3 + band))
    vips gaussblur "$work/n$band.v" "$work/m$band.v" 2.5
    vips resize "$work/m$band.v" "$work/r$band.v" 16 --kernel cubic
    vips add "$work/c$band.v" "$work/r$band.v" "$work/a$band.v"
    bands+=("$work/a$band.v")
  done
  vips bandjoin "${bands[*]}" "$work/rgb.v"
  vips cast "$work/rgb.v" "$work/u8.v" uchar
  vips copy "$work/u8.v" "$work/p.v" --interpretation srgb
  mkdir -p "$(dirname "$path")"
  vips jpegsave "$work/p.v" "$path" --Q 85 --strip
  exiftool -q -overwrite_original "-DateTimeOriginal=$date" "-CreateDate=$date" "-ModifyDate=$date" \
    "-Make=$make" "-Model=$model" -ExposureTime=0.008 -FNumber=5.6 -ISO=100 -FocalLength=35 -Flash#=16 "$path"
}

describe() {  # picture-without-extension title description quality originality
  printf '[Title]\r\n%s\r\n[Description]\r\n%s\r\n[Keys]\r\n\r\n[Quality]\r\n%s\r\n[Originality]\r\n%s\r\n' \
    "$2" "$3" "$4" "$5" > "$1.dsc"
}

chapter() {  # directory title description [index picture]
  printf '[Title]\r\n%s\r\n[Description]\r\n%s\r\n[Image]\r\n%s\r\n' "$2" "$3" "${4:-}" > "$1/_snapcrate_.dsc"
}

seed=1
for i in 1 2 3 4 5 6 7; do
  picture "$root/2024 Summer/IMG_010$i.jpg" 1600 1200 $((seed++)) "2024:07:0$i 1$i:30:00" Canon "Canon EOS 80D"
done
picture "$root/2024 Summer/IMG_0108.jpg" 1200 1600 $((seed++)) "2024:07:08 09:15:00" Canon "Canon EOS 80D"
picture "$root/2024 Summer/_harbour/IMG_0201.jpg" 1600 1200 $((seed++)) "2024:07:09 18:02:00" Canon "Canon EOS 80D"
picture "$root/2024 Summer/_harbour/IMG_0202.jpg" 1600 1200 $((seed++)) "2024:07:09 18:05:00" Canon "Canon EOS 80D"
chapter "$root/2024 Summer" "Summer 2024" "A week by the lake.<br>Seven days, eight pictures." IMG_0103.jpg
chapter "$root/2024 Summer/_harbour" "At the harbour" "Boats at sunset."
describe "$root/2024 Summer/IMG_0101" "Arrival" "The first view of the lake." 2 3
describe "$root/2024 Summer/IMG_0103" "Morning mist" "" 1 1
describe "$root/2024 Summer/IMG_0106" "Blurred" "Sorted out by its rating." 6 6

picture "$root/Travel/Rome/IMG_0301.jpg" 1600 1200 $((seed++)) "2023:04:10 10:00:00" NIKON "NIKON D70"
picture "$root/Travel/Rome/IMG_0302.jpg" 1600 1200 $((seed++)) "2023:04:10 12:30:00" NIKON "NIKON D70"
picture "$root/Travel/Rome/IMG_0303.jpg" 1200 1600 $((seed++)) "2023:04:11 16:45:00" NIKON "NIKON D70"
picture "$root/Travel/Paris/IMG_0401.jpg" 1600 1200 $((seed++)) "2023:05:01 11:11:00" NIKON "NIKON D70"
picture "$root/Travel/Paris/IMG_0402.jpg" 1600 1200 $((seed++)) "2023:05:02 20:20:00" NIKON "NIKON D70"
chapter "$root/Travel" "Travel" "Two cities in spring."
chapter "$root/Travel/Rome" "Rome" "Four days in Rome." IMG_0302.jpg
chapter "$root" "Demo album" "Pictures made by Snapcrate's demo script."
picture "$root/IMG_0001.jpg" 1600 1200 $((seed++)) "2022:12:24 18:00:00" Canon "Canon PowerShot A70"
echo "$root"
