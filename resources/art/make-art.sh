#!/bin/bash
# Re-creates the pictures under resources/ from the SVG sources in this folder.
# Needs the Debian packages librsvg2-bin (rsvg-convert), imagemagick and fonts-dejavu-core.
# The generated files are kept in the repository; the build does not run this script.
set -euo pipefail

ART_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
RES_DIR=$(dirname "$ART_DIR")
ICON_DIR="$RES_DIR/icons"
CONVERT=${CONVERT:-convert}

for tool in rsvg-convert "$CONVERT"; do
    command -v "$tool" >/dev/null || { echo "make-art.sh: $tool not found" >&2; exit 1; }
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$ICON_DIR"

# Renders an SVG to a square PNG with no time stamps or other varying chunks,
# so that re-running the script gives byte-identical files.
render_png() {  # svg size out
    rsvg-convert -w "$2" -h "$2" "$1" -o "$WORK/raw.png"
    "$CONVERT" "$WORK/raw.png" -strip -define png:exclude-chunks=date,time \
        -define png:color-type=6 "PNG32:$3"
}

# Renders an SVG at its own size to a baseline (non-progressive) JPEG.
render_jpeg() {  # svg out
    rsvg-convert "$1" -o "$WORK/raw.png"
    "$CONVERT" "$WORK/raw.png" -background white -flatten -strip \
        -interlace none -sampling-factor 1x1 -quality 92 "$2"
}

# Toolbar and editor buttons: 32 px plus the @2x copy Qt picks on 200 % screens.
for name in add edit delete goto website copy save generate; do
    render_png "$ART_DIR/$name.svg" 32 "$ICON_DIR/$name.png"
    render_png "$ART_DIR/$name.svg" 64 "$ICON_DIR/$name@2x.png"
done

# Window icons: the same pair, plus a Windows .ico holding 16, 32, 48 and 256 px.
for name in app editor help about; do
    render_png "$ART_DIR/$name.svg" 32 "$ICON_DIR/$name.png"
    render_png "$ART_DIR/$name.svg" 64 "$ICON_DIR/$name@2x.png"
    sizes=()
    for size in 16 32 48 256; do
        render_png "$ART_DIR/$name.svg" "$size" "$WORK/$name-$size.png"
        sizes+=("$WORK/$name-$size.png")
    done
    "$CONVERT" "${sizes[@]}" "$ICON_DIR/$name.ico"
done

# The program's icon in the hicolor theme sizes, for the Linux desktop.
mkdir -p "$ICON_DIR/hicolor"
for size in 16 22 24 32 48 64 128 256; do
    render_png "$ART_DIR/app.svg" "$size" "$ICON_DIR/hicolor/$size.png"
done

render_jpeg "$ART_DIR/splash.svg" "$RES_DIR/splash.jpg"
render_jpeg "$ART_DIR/about-header.svg" "$RES_DIR/about-header.jpg"

echo "make-art.sh: pictures written under $RES_DIR"
