#pragma once
// Image files made in memory for the decoding tests: a small graph in the
// formats Qt writes, and the formats it does not write (run-length BMP,
// Deflate TIFF with the directory before the strips, GIF with chosen codes)
// put together byte by byte.

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QDataStream>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

#include <zlib.h>

namespace vastrel::image::testing {

// Qt finds the decoder plugins (JPEG, GIF, TIFF) through the application.
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "image_decoding_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

// White paper, a grey grid every 20 pixels and a dark blue curve.
inline QImage graphPicture(QSize size = QSize(240, 160))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            if (x % 20 == 0 || y % 20 == 0) image.setPixel(x, y, qRgb(190, 190, 190));
    for (int x = 0; x < size.width(); ++x) {
        const int y = size.height() / 2 + (x * 37 % 61) - 30;
        for (int dy = -1; dy <= 1; ++dy) image.setPixel(x, qBound(0, y + dy, size.height() - 1), qRgb(20, 40, 170));
    }
    return image;
}

struct WriteOptions {
    int compression = -1;
    bool progressive = false;
};

inline QByteArray encoded(const QImage& image, const char* format, WriteOptions options = {})
{
    ensureApplication();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (options.compression >= 0) writer.setCompression(options.compression);
    writer.setProgressiveScanWrite(options.progressive);
    if (!writer.write(image)) return {};
    return buffer.data();
}

template <class Value>
void putLittle(QByteArray& bytes, Value value)
{
    const auto little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
}

template <class Value>
void putBig(QByteArray& bytes, Value value)
{
    const auto big = qToBigEndian(value);
    bytes.append(reinterpret_cast<const char*>(&big), sizeof big);
}

// An 8-bit run-length encoded BMP of `width` x `height` with two colours,
// black and white; `runs` is the encoded data, end-of-bitmap included.
inline QByteArray rle8Bitmap(qint32 width, qint32 height, const QByteArray& runs)
{
    const quint32 dataOffset = 14 + 40 + 2 * 4;
    QByteArray bytes("BM");
    putLittle<quint32>(bytes, dataOffset + quint32(runs.size()));
    putLittle<quint32>(bytes, 0);
    putLittle<quint32>(bytes, dataOffset);
    putLittle<quint32>(bytes, 40);
    putLittle<qint32>(bytes, width);
    putLittle<qint32>(bytes, height);
    putLittle<quint16>(bytes, 1);
    putLittle<quint16>(bytes, 8);
    putLittle<quint32>(bytes, 1);  // run-length encoded, 8 bits
    putLittle<quint32>(bytes, quint32(runs.size()));
    for (int i = 0; i < 4; ++i) putLittle<quint32>(bytes, i == 2 ? 2 : 0);  // resolution, 2 colours
    putLittle<quint32>(bytes, 0x00000000);
    putLittle<quint32>(bytes, 0x00FFFFFF);
    return bytes + runs;
}

// A grey 8-bit TIFF whose strips of `rowsPerStrip` rows are Deflate streams,
// stored after the directory as scanners often write them.
inline QByteArray deflateTiff(const QImage& picture, int rowsPerStrip)
{
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    QList<QByteArray> strips;
    for (int top = 0; top < grey.height(); top += rowsPerStrip) {
        QByteArray rows;
        for (int y = top; y < qMin(top + rowsPerStrip, grey.height()); ++y)
            rows.append(reinterpret_cast<const char*>(grey.constScanLine(y)), grey.width());
        strips.append(qCompress(rows).mid(4));  // qCompress puts the length before the zlib stream
    }
    const quint32 entries = 9;
    const quint32 directoryAt = 8;
    const quint32 arraysAt = directoryAt + 2 + 12 * entries + 4;
    const quint32 stripsAt = arraysAt + 8 * quint32(strips.size());
    const auto count = quint32(strips.size());
    QByteArray bytes("II*\0", 4);
    putLittle<quint32>(bytes, directoryAt);
    putLittle<quint16>(bytes, quint16(entries));
    const auto entry = [&](quint16 tag, quint16 type, quint32 values, quint32 value) {
        putLittle<quint16>(bytes, tag);
        putLittle<quint16>(bytes, type);
        putLittle<quint32>(bytes, values);
        putLittle<quint32>(bytes, value);
    };
    entry(256, 4, 1, quint32(grey.width()));
    entry(257, 4, 1, quint32(grey.height()));
    entry(258, 3, 1, 8);
    entry(259, 3, 1, 8);  // Deflate
    entry(262, 3, 1, 1);  // black is zero
    entry(273, 4, count, count == 1 ? stripsAt : arraysAt);
    entry(277, 3, 1, 1);
    entry(278, 4, 1, quint32(rowsPerStrip));
    entry(279, 4, count, count == 1 ? quint32(strips[0].size()) : arraysAt + 4 * count);
    putLittle<quint32>(bytes, 0);  // no further directory
    quint32 at = stripsAt;
    for (const QByteArray& strip : strips) {
        putLittle<quint32>(bytes, at);
        at += quint32(strip.size());
    }
    for (const QByteArray& strip : strips) putLittle<quint32>(bytes, quint32(strip.size()));
    for (const QByteArray& strip : strips) bytes += strip;
    return bytes;
}

// A 10 x 10 GIF of four colours whose image data is `subBlocks` (the LZW
// minimum code size 2 comes before them, the trailer after).
inline QByteArray gifWithData(const QByteArray& subBlocks)
{
    return QByteArray::fromHex("474946383961"
                               "0A000A00"
                               "910000"
                               "FFFFFFFF00000000FF000000"
                               "2C000000000A000A0000"
                               "02") +
           subBlocks + QByteArray("\x3B", 1);
}

// The codes of the picture gifWithData is made for, in one sub-block.
inline const QByteArray kTenByTenCodes = QByteArray::fromHex("16"
                                                             "8C2D99872A1CDC33A00275EC95FAA8DE608C04914C01"
                                                             "00");

// One PNG chunk: length, type, body and the CRC of type and body.
inline QByteArray pngChunk(const char* type, const QByteArray& body)
{
    QByteArray chunk;
    putBig<quint32>(chunk, quint32(body.size()));
    chunk += QByteArray(type, 4) + body;
    const auto crc = crc32(crc32(0, Z_NULL, 0), reinterpret_cast<const Bytef*>(chunk.constData() + 4),
                           uInt(4 + body.size()));
    putBig<quint32>(chunk, quint32(crc));
    return chunk;
}

// A PNG of the header fields given whose image data is `rows` (filter bytes
// included) deflated in one IDAT chunk, with a grey palette of 16 entries
// when `palette` is set.
inline QByteArray pngWithRows(quint32 width, quint32 height, int depth, int colourType, bool interlaced,
                              const QByteArray& rows, bool palette = false)
{
    QByteArray header;
    putBig<quint32>(header, width);
    putBig<quint32>(header, height);
    header += char(depth);
    header += char(colourType);
    header += QByteArray(2, '\0');
    header += char(interlaced ? 1 : 0);
    QByteArray grey;
    for (int i = 0; i < 16; ++i) grey += QByteArray(3, char(i * 17));
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + pngChunk("IHDR", header) +
           (palette ? pngChunk("PLTE", grey) : QByteArray()) + pngChunk("IDAT", qCompress(rows).mid(4)) +
           pngChunk("IEND", {});
}

}  // namespace vastrel::image::testing
