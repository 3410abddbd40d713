#!/usr/bin/env bash
# Rebuilds the committed seed corpora under fuzz/corpus/ from scratch: typed
# numbers and raw doubles, tiny images of every format the loader is offered
# (whole, cut short, and with headers claiming huge sizes), and file names.
# Needs ImageMagick's convert (scripts/install-deps.sh installs it).
# The project reader's seeds (corpus/fuzz_project_reader) are project files
# written by hand, whole and damaged, and are not made here.
set -euo pipefail
cd "$(dirname "$0")"

fresh() {
  rm -rf "corpus/$1"
  mkdir -p "corpus/$1"
  echo "corpus/$1"
}

# Writes the bytes of printf's FORMAT (escapes allowed) to FILE.
put() { printf "$2" >"$1"; }

# Overwrites bytes of FILE at OFFSET with printf's FORMAT.
patch() { printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }

# Byte offset of the first match of the Perl regular expression PATTERN.
offset_of() { LC_ALL=C grep -obUaP "$1" "$2" | head -n 1 | cut -d: -f1; }

# ---- numbers: typed texts, then raw little-endian doubles and floats
dir=$(fresh fuzz_number_text)
n=0
while IFS= read -r text; do
  n=$((n + 1))
  printf '%s' "$text" >"$dir/text-$n"
done <<'TEXTS'
12.5
-3.25E+02
+7
 1 2 . 5 
&HFF
&hFFFFFFFFFFFFFFFFFFFF
&O17
&o8
1D3
2d-3
1e
1e+
.5
-.e5
1,5
9.9995
1.0005
1.7976931348623157E308
1.79769313486232E+308
4.9E-324
2.2250738585072011e-308
1e999999999999
-1e-999999999999
0
-0
abc
1.2.3
0.000E+00
-1.235E+03
123456789012345678901234567890
0.000000000000000000001
16777217
TEXTS
put "$dir/blanks-inside" '\t-4\n.5e\r1'
put "$dir/double-max" '\xff\xff\xff\xff\xff\xff\xef\x7f'
put "$dir/double-nan" '\x00\x00\x00\x00\x00\x00\xf8\x7f'
put "$dir/double-infinity" '\x00\x00\x00\x00\x00\x00\xf0\xff'
put "$dir/double-smallest" '\x01\x00\x00\x00\x00\x00\x00\x00'
put "$dir/double-minus-zero" '\x00\x00\x00\x00\x00\x00\x00\x80'
put "$dir/float-after-one" '\x01\x00\x80\x3f'
put "$dir/float-max" '\xff\xff\x7f\x7f'

# ---- images: a small graph in every offered format, then damaged ones
dir=$(fresh fuzz_image_loader)
graph=(-size 24x16 xc:white -fill black -draw "line 0,15 23,0" -strip)
convert "${graph[@]}" "BMP3:$dir/graph.bmp"
convert "${graph[@]}" "$dir/graph.gif"
convert "${graph[@]}" -quality 75 "$dir/graph.jpg"
convert "${graph[@]}" -quality 75 -interlace Plane "$dir/progressive.jpg"
convert "${graph[@]}" -compress LZW "$dir/graph.tif"
convert "${graph[@]}" "$dir/graph.png"
convert "${graph[@]}" -compress none "$dir/graph.ppm"
convert "${graph[@]}" "$dir/graph.xpm"
# Larger than the 1000 x 800 image area: wider, taller, and both.
convert -size 1100x700 xc:white -strip "$dir/wide.gif"
convert -size 600x1000 xc:white -strip "$dir/tall.png"
convert -size 1300x900 xc:white -fill black -draw "line 0,899 1299,0" -strip -colors 2 "$dir/large.png"

for format in png jpg gif tif; do
  size=$(stat -c %s "$dir/graph.$format")
  head -c $((size / 2)) "$dir/graph.$format" >"$dir/cut-short.$format"
done
# Cut off before the last byte (the end marker, chunk or trailer), whole with
# bytes after the end, and formats the checks read further: run-length BMP
# and Deflate TIFF.
for format in png jpg gif tif bmp; do
  size=$(stat -c %s "$dir/graph.$format")
  head -c $((size - 1)) "$dir/graph.$format" >"$dir/cut-last-byte.$format"
  { cat "$dir/graph.$format"; printf 'appended\n'; } >"$dir/appended.$format"
done
convert "${graph[@]}" -fill red -draw "point 3,3" -type Palette -compress RLE "BMP3:$dir/run-length.bmp"
convert "${graph[@]}" -compress Zip "$dir/deflate.tif"

cp "$dir/graph.bmp" "$dir/huge-claim.bmp"
patch "$dir/huge-claim.bmp" 18 '\x60\xea\x00\x00\x60\xea\x00\x00'  # 60000 x 60000
cp "$dir/graph.gif" "$dir/huge-claim.gif"
patch "$dir/huge-claim.gif" 6 '\xff\xff\xff\xff'  # the screen 65535 x 65535 ...
descriptor=$(offset_of '\x2c\x00\x00\x00\x00' "$dir/huge-claim.gif")
patch "$dir/huge-claim.gif" $((descriptor + 5)) '\xff\xff\xff\xff'  # ... and the image
cp "$dir/graph.jpg" "$dir/huge-claim.jpg"
frame=$(offset_of '\xff\xc0' "$dir/huge-claim.jpg")
patch "$dir/huge-claim.jpg" $((frame + 5)) '\xfd\xe8\xfd\xe8'  # 65000 x 65000
# A PNG header of 100000 x 100000 with a valid checksum, which gzip's
# trailer supplies (CRC-32, little-endian) for the chunk type and data.
cp "$dir/graph.png" "$dir/huge-claim.png"
patch "$dir/huge-claim.png" 16 '\x00\x01\x86\xa0\x00\x01\x86\xa0'
crc=$(tail -c +13 "$dir/huge-claim.png" | head -c 17 | gzip -c | tail -c 8 | head -c 4 | od -An -tx1 | tr -d ' \n')
patch "$dir/huge-claim.png" 29 "\\x${crc:6:2}\\x${crc:4:2}\\x${crc:2:2}\\x${crc:0:2}"

# ---- file names, as typed into the save dialog
dir=$(fresh fuzz_csv_file_name)
n=0
while IFS= read -r name; do
  n=$((n + 1))
  printf '%s' "$name" >"$dir/name-$n"
done <<'NAMES'
12-06-2026
data
data.csv
name with blanks
   
a/b
../escape
..
.
x\y
-rf
日本語のデータ
*?<>|:
~
NAMES
: >"$dir/empty"
put "$dir/not-utf8" 'bad\xff\xfe\xc3name'
put "$dir/control-bytes" 'tab\there\nline'
head -c 300 /dev/zero | tr '\0' 'x' >"$dir/too-long"
head -c 250 /dev/zero | tr '\0' 'y' >"$dir/long"
