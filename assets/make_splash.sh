#!/bin/sh
# Draws the splash picture: a progressive JPEG of 300 x 175 pixels. The window shows its top-left
# 294 x 169 pixels, so everything stays inside that area.
# Needs ImageMagick (apt-get install imagemagick) and the DejaVu fonts (apt-get install fonts-dejavu-core).
set -eu
cd "$(dirname "$0")"
fonts=/usr/share/fonts/truetype/dejavu
convert -size 300x175 gradient:'#0b2a4a-#1f6f9e' \
  -fill '#ffffff22' -draw 'circle 250,140 250,40' \
  -fill '#f2b134' -draw 'rectangle 20,96 274,99' \
  -font "$fonts/DejaVuSans-Bold.ttf" -pointsize 48 -fill white -annotate +20+72 'Tarnis' \
  -font "$fonts/DejaVuSans.ttf" -pointsize 15 -fill '#e8f1f8' -annotate +20+124 'Конфигуратор ОРМИЗ КМ-07' \
  -font "$fonts/DejaVuSans.ttf" -pointsize 10 -fill '#b9d3e6' -annotate +20+150 'Загрузка...' \
  -strip -interlace Plane -sampling-factor 4:2:0 -quality 90 splash.jpg
