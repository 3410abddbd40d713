#include "cli/HelpText.h"

#include "cli/DigitizeArguments.h"

namespace vastrel::cli {

namespace {

// The usage shown after a wrong argument stays the short one it always was;
// the help names the --project form and --format too.
QString synopsis(bool full = false)
{
    const QString project = full ? QStringLiteral("                         [--frame-corners] [--format csv|json]\n"
                                                  "       vastrel-digitizer digitize IMAGE... --project FILE\n"
                                                  "                         [--format csv|json] [-o OUT] [--jobs N]\n"
                                                  "       vastrel-digitizer digitize IMAGE... --auto-axes\n"
                                                  "                         [--colour-at X,Y]... [--markers X,Y]...\n"
                                                  "                         [--erase X0,Y0,X1,Y1]... [--format csv|json]\n"
                                                  "                         [-o OUT] [--jobs N]\n"
                                                  "       vastrel-digitizer axes IMAGE...\n")
                                 : QStringLiteral("                         [--frame-corners]\n");
    return QStringLiteral("Usage: vastrel-digitizer                 (opens the windows)\n"
                          "       vastrel-digitizer digitize IMAGE... --start SX,SY --end EX,EY\n"
                          "                         --x1 TEXT --y1 TEXT --x2 TEXT --y2 TEXT\n"
                          "                         [--mode %1] [-o OUT] [--jobs N]\n"
                          "                         [--erase X0,Y0,X1,Y1]... [--colour-at X,Y]...\n"
                          "                         [--markers X,Y]... [--ref COL,ROW,X,Y]...\n"
                          "%2"
                          "       vastrel-digitizer --help | --version\n")
        .arg(scaleModeNames().join(QLatin1Char('|')), project);
}

// `cores`, when given, is named as the default of --jobs.
QString helpTextNaming(const QString& cores)
{
    return synopsis(true) + QStringLiteral(R"(
Started without arguments, vastrel-digitizer opens its windows. The digitize
command does what "Digitize" and "File Save" do there, for any number of
images, without a display: no X server, no window, nothing to click.

Each image is read as the main window shows it: unscaled from its top-left
corner on the 1005 x 805 pixel light grey image area, of which only what fits
is read (so at most 1000 x 800 pixels of graph). Every pixel column between the
two reference points gives the darkest pixel, judged by its green component,
as the curve (or, with --colour-at, the centre of the curve of a chosen
colour); the pixels are converted to graph values with the two reference
points, the four coordinates and the scale mode. The CSV written is byte for
byte the file the save dialog writes for the same image, picks, texts and
mode: a line "X, Y", then one line per point such as "1.235E+03, -5.270E+01",
every line ended by CR LF.

The reference points (all six are required):
  --start SX,SY    the start point, the lower-left corner of the plotting area,
                   as image pixels: column SX from the left, row SY from the
                   top (where you would click it in the main window); both
                   points lie on the image area, X 0 to 1004 and Y 0 to 804
  --end EX,EY      the end point, the upper-right corner of the plotting area
  --x1 TEXT        the graph X of the start point, as typed into its box
  --y1 TEXT        the graph Y of the start point
  --x2 TEXT        the graph X of the end point
  --y2 TEXT        the graph Y of the end point
                   The texts are read like the coordinate boxes read them: the
                   longest leading number counts ("12 V" reads 12, "7,5" reads
                   7, "1e3" reads 1000, text without a number reads 0, full-width
                   digits read like ASCII ones, blanks are skipped); numbers as
                   papers print them read as they show: the minus sign U+2212
                   ("−40"), powers ("10⁵", "10^5", "1×10⁵" read 100000) and
                   fractions ("1½"). A text that leaves a digit unread ("7,5")
                   or holds no number is read all the same, with a warning on
                   standard error; an empty text is refused. Write --x1=-2.5 or
                   --x1 -2.5 for a negative value: an option always takes the
                   next argument as its value.
  --mode MODE      how the axes are scaled, X axis named first: linear-linear
                   (the default), linear-log (Y logarithmic), log-log, or
                   log-linear (X logarithmic, as in frequency responses)

Pages scanned crooked or photographed at an angle:
  --ref COL,ROW,X,Y
                   one more reference point: the image pixel (COL, ROW; fractions
                   allowed) and its graph values X and Y as plain numbers (1.5,
                   -2, 1e3; on a logarithmic axis the value itself). Repeatable.
                   With three points the affine mapping through them is used,
                   with four the projective one (it mends keystone), with five
                   or more the projective one nearest to them all; the image is
                   then read along the graph's own axes, resampled into the
                   frame of --start and --end.
  --frame-corners  finds the frame's two other corners on each image, the
                   frame's lines followed from --start and --end (which must
                   sit on its lower-left and upper-right corners), and uses them
                   as reference points with the values (X1, Y2) and (X2, Y1). An
                   image where no frame is found is reported and gives no file.

Axes read from each image:
  --auto-axes      calibrates each image from its own axes instead of --start,
                   --end, --x1, --y1, --x2, --y2, --mode and --ref: the frame
                   (or the X and Y axis lines, tilted a few degrees at most),
                   the tick marks along them and the numbers printed at the
                   ticks, read by OCR (integers, decimals, minus signs, decimal
                   commas, thousands separators, 1e3, 1x10^3, 10^3 with a raised
                   power, percent). Each axis is linear or logarithmic as its
                   labels and their spacing show; a misread label is left out.
                   The start and end points are the outermost ticks read, the
                   other ticks reference points besides them. An image whose
                   axes cannot be calibrated (too few labels read, labels that
                   disagree) is reported, naming the axis, and gives no file.
                   So a folder of graphs with different layouts and ranges is
                   digitized in one command. None of the options it replaces,
                   nor --frame-corners or --project, may be given with it.

The axes command prints, for each image, one JSON line with the calibration
its axes give:
  {"image": NAME, "mode": "linear-log", "refs": [[COL, ROW, X, Y], ...],
   "ticks": [{"axis": "x", "col": C, "row": R, "text": T, "value": V}, ...],
   "max_residual_px": E}
refs are the start and end points, the two other corners between them and
the ticks used; max_residual_px is the largest distance of a tick from where
the fitted mapping puts its value. An image that cannot be calibrated is
named on standard error with the reason, and the exit status is 1.

Cleaning the image before the scan:
  --erase X0,Y0,X1,Y1
                   paints the rectangle between the pixels (X0,Y0) and (X1,Y1),
                   both included, white, so that a legend, a label or a mark
                   there is not taken for the curve. Repeatable; the rectangles
                   are painted in the order given.

Finding coloured curves and markers:
  --colour-at X,Y  takes the colour of the image pixel (X,Y), after the
                   erasures, as the curve's, as Ctrl + click there does in the
                   main window: in each column the centre of the run of pixels
                   of that colour (each of red, green and blue within 48) that
                   continues the curve from (X,Y) is taken, to a fraction of a
                   pixel, and columns where the curve is hidden are bridged.
                   Use it for graphs with several curves, a legend or text in
                   the plot, or markers. (X,Y) must lie on the image, best on
                   the curve itself; a nearly white pixel (the paper) is
                   refused for that image, and so is an image with no pixel of
                   that colour between the reference points. Repeatable.
  --markers X,Y    takes the marker drawn at the image pixel (X,Y), after the
                   erasures, as the mark of a scatter plot: its colour and size
                   are learnt from it, and every marker like it inside the
                   frame of the reference points gives one point, at its
                   centre, the points in order of X. (X,Y) must lie on the
                   marker's ink, inside the frame. Repeatable.
                   Each --colour-at and --markers is one series, in the order
                   given. One series gives the CSV described above; two or more
                   give one file with them all: a line "Series, X, Y", then one
                   line per point such as "2, 1.235E+03, -5.270E+01", the series
                   named 1, 2, ... in the order given. An image where one of
                   them is refused gives no file.

Everything from a project saved in the windows:
  --project FILE   takes the two reference points with their four texts (read
                   as the boxes read them), the added reference points, the
                   scale mode, the erasures (painted in their order) and the
                   series of a project saved with "プロジェクトを保存", and
                   digitizes every image given with them. Each series is found
                   again on each image, in the project's order, by its rule
                   and its colour as saved: the curve is followed from the
                   pixel the colour was taken at, the markers are those like
                   the one at that pixel. A series keeps its name; its points
                   kept in the project, moved by hand or not, are not used. A
                   project without series gives the darkest pixel's curve.
                   One series gives the CSV described above, two or more the
                   file "Series, X, Y" with the project's names. The project
                   sets what --start, --end, --x1, --y1, --x2, --y2, --mode,
                   --erase, --colour-at, --markers, --ref and --frame-corners
                   set, so none of them may be given with it. A project that
                   cannot be used (no regular file, larger than 64 MiB,
                   damaged, of another version, a pick missing or a text
                   empty) is refused as a wrong argument, naming the file and
                   the reason; nothing is done.

Where the CSV goes:
  -o, --output OUT
                   For one image: the file OUT, or standard output when OUT is
                   "-" or -o is left out. When OUT is an existing folder or
                   ends in "/", the file goes into it as for several images.
                   For several images: the folder OUT (made when missing), one
                   file per image named after it: graph.png gives OUT/graph.csv.
                   Two images that would give the same file name are refused
                   before anything is done. Each file is written completely
                   before it replaces an existing one, so a file is never left
                   half-written and a failed image leaves its old file alone.
  --format FORMAT  csv (the default), or json for the file "すべての系列を
                   保存" writes beside its table: the image's name and the
                   SHA-256 of its bytes, the reference points with their graph
                   values, the scale mode, and every series with its name,
                   rule, colour and points, each point with its graph X and Y
                   and its image column and row. Named after the image, the
                   file ends in .json: graph.png gives OUT/graph.json.
  -j, --jobs N     how many images are digitized at the same time (default: one
                   per processor%1)

  -h, --help       shows this text
      --version    shows the program's version
  --               ends the options: what follows is an image, even "-x.png"

What it reports: an image that cannot be read (also one that does not fit in
the memory left, or a FIFO or device given as one), a run the program refuses
(for example a logarithmic axis with a coordinate of 0, or reference points
more than 1003 pixels apart), a run that gives no point (the reference points
swapped or too close) and a file that cannot be written (also a FIFO or device
in the output folder, which is left alone) are reported on standard error as
"vastrel-digitizer: IMAGE: reason", with the program's own refusal message (in
Japanese, as the windows show it); the other images go on. A run that reads
columns or rows beyond the picture (the grey margin of the image area) gives
its file and a warning naming them. Names are shown with control characters
and bytes that are no UTF-8 written as \n or \xNN. On a terminal a line on
standard error shows the images done, the images per second and the time
left; when standard error is not a terminal, only failures and warnings are
reported there. Under a memory limit (ulimit -v) the program runs as many jobs
as leave room for the images, and says so.

Exit status: 0 when every image gave its CSV file, 1 when some did not (the
others were written all the same), 2 when the arguments are wrong (the mistake
is shown and nothing is done).

Examples:
  The sample graph samples/linear-linear.bmp has its plotting area from pixel
  (80, 520) at the lower left to (760, 40) at the upper right, for X 0 to 10
  and Y 0 to 100:
    vastrel-digitizer digitize samples/linear-linear.bmp --start 80,520 \
        --end 760,40 --x1 0 --y1 0 --x2 10 --y2 100 -o linear-linear.csv

  A folder of scans from one instrument, all with the same axes, with the
  legend box in the top right erased, on every processor:
    vastrel-digitizer digitize scans/*.png --start 62,398 --end 541,37 \
        --x1=-2.5 --y1 10 --x2 7.5 --y2 2.6e2 --erase 430,45,535,95 -o results/

  The red curve of a semi-logarithmic frequency response, X from 10 Hz to
  100 kHz, Y from -40 to 20 dB, the curve's colour taken at pixel (300,210):
    vastrel-digitizer digitize response.png --start 58,402 --end 570,44 \
        --x1 10 --y1=-40 --x2 1e5 --y2 20 --mode log-linear \
        --colour-at 300,210 -o response.csv

  A folder of graphs of one template, with the references, erasures and
  series set up once in the windows and saved as template.vdproj, each
  graph's series with their calibration as JSON:
    vastrel-digitizer digitize graphs/*.png --project template.vdproj \
        --format json -o results/

  A folder of graphs of different layouts and ranges, each calibrated from
  its own tick labels, the curve taken by the colour at pixel (300,210):
    vastrel-digitizer digitize papers/*.png --auto-axes --colour-at 300,210 \
        -o results/
)")
                            .arg(cores);
}

}  // namespace

QString usageText()
{
    return synopsis() + QStringLiteral("Try 'vastrel-digitizer --help' for the details.\n");
}

QString helpText(int cores)
{
    return helpTextNaming(QStringLiteral(", here %1").arg(cores));
}

QString manualText()
{
    return helpTextNaming(QString());
}

}  // namespace vastrel::cli
