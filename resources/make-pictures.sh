#!/usr/bin/env bash
# Draws the program's JPEG pictures with ImageMagick. The JPEGs are committed; run this only
# to change them.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p pictures
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

icon() { # name background glyph
  convert -size 32x32 xc:"$2" -fill white -stroke "#1b1f4a" -strokewidth 1 \
    -draw "roundrectangle 1,1 30,30 6,6" -stroke none -fill "#1b1f4a" -font "$font" \
    -pointsize 15 -gravity center -annotate +0+0 "$3" -quality 92 "pictures/$1.jpg"
}
icon ogrenciler "#5f67a0" "Ö"
icon puantaj "#5f67a0" "P"
icon tahakkuk "#5f67a0" "T"
icon liste1 "#5f67a0" "L1"
icon liste2 "#5f67a0" "L2"
icon xml "#5f67a0" "X"
icon isyeri "#5f67a0" "İ"
icon sifre "#5f67a0" "Ş"
icon program "#5f67a0" "?"
icon kapat "#5f67a0" "✕"
icon baglan "#92acdc" "→"
icon goster "#92acdc" "▶"
icon hesapla "#92acdc" "Σ"
icon dosya "#92acdc" "▤"

convert -size 800x526 gradient:"#e8e9fe"-"#5f67a0" \
  -fill "#ffffff" -stroke none -draw "roundrectangle 60,150 740,380 24,24" \
  -fill "#1b1f4a" -font "$font" -pointsize 54 -gravity center -annotate +0-40 "Zelvo" \
  -pointsize 20 -annotate +0+30 "Stajyer Öğrenci SGK Prim ve Bildirge İşlemleri" \
  -fill "#5f67a0" -pointsize 14 -annotate +0+70 "Puantaj · Tahakkuk · Listeler · Aylık Bildirge" \
  -quality 90 pictures/splash.jpg

convert -size 1089x618 gradient:"#92acdc"-"#1b1f4a" \
  -fill "#ffffff" -font "$font" -pointsize 96 -gravity north -annotate +0+90 "Zelvo" \
  -pointsize 24 -annotate +0+220 "Stajyer Öğrenci SGK Prim ve Bildirge İşlemleri" \
  -quality 88 pictures/about.jpg
