// Decoding image files: a file cut off anywhere or damaged part-way is
// refused with a reason saying so; a whole file, also with bytes after its
// end, gives exactly the pixels Qt's decoder gives.

#include "ImageFiles.h"
#include "engine/image/ImageDataCheck.h"
#include "engine/image/ImageDecoding.h"

#include <QFile>
#include <QImageReader>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>
#include <thread>
#include <vector>

namespace vastrel::image {
namespace {

namespace files = vastrel::image::testing;

constexpr QSize kArea(1000, 800);

std::variant<QImage, ImageLoadFailure> decoded(const QByteArray& bytes)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    return decodePicture(device, kArea);
}

QImage qtDecoded(const QByteArray& bytes)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device);
    reader.setAutoTransform(false);
    return reader.read();
}

QString refusal(const QByteArray& bytes)
{
    const auto result = decoded(bytes);
    const auto* failure = std::get_if<ImageLoadFailure>(&result);
    return failure ? failure->reason : QStringLiteral("(accepted)");
}

QString reason(const char* format, DataFault fault)
{
    return dataFaultReason({QString::fromLatin1(format), fault});
}

QByteArray sampleFile(const char* name)
{
    QFile file(QStringLiteral(VASTREL_SOURCE_DIR "/samples/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray runLengthGraph()
{
    // 40 x 30: per row a black run, a white run and a black run, then the
    // end of the row; the last row ends with the end of the bitmap instead.
    QByteArray runs;
    for (int row = 0; row < 30; ++row) runs += QByteArray::fromHex("0A000A01140000") + QByteArray(1, row < 29 ? 0 : 1);
    return files::rle8Bitmap(40, 30, runs);
}

QByteArray overwritten(QByteArray bytes, qsizetype at, qsizetype count, char value)
{
    bytes.replace(at, count, QByteArray(count, value));
    return bytes;
}

struct Sample {
    const char* name;
    const char* format;
    QByteArray (*make)();
};

const Sample kSamples[] = {
    {"JpegBaseline", "JPEG", [] { return files::encoded(files::graphPicture(), "jpeg"); }},
    {"JpegProgressive", "JPEG", [] { return files::encoded(files::graphPicture(), "jpeg", {.progressive = true}); }},
    {"Png", "PNG", [] { return files::encoded(files::graphPicture(), "png"); }},
    {"Gif", "GIF", [] { return sampleFile("linear-log.gif"); }},
    {"Bmp24", "BMP",
     [] { return files::encoded(files::graphPicture().convertToFormat(QImage::Format_RGB888), "bmp"); }},
    {"Bmp8", "BMP",
     [] { return files::encoded(files::graphPicture().convertToFormat(QImage::Format_Indexed8), "bmp"); }},
    {"BmpRunLength", "BMP", runLengthGraph},
    {"TiffLzw", "TIFF", [] { return files::encoded(files::graphPicture(), "tiff", {.compression = 1}); }},
    {"TiffPlain", "TIFF", [] { return files::encoded(files::graphPicture(), "tiff", {.compression = 0}); }},
    {"TiffDeflateDirectoryFirst", "TIFF", [] { return files::deflateTiff(files::graphPicture(), 16); }},
};

void PrintTo(const Sample& sample, std::ostream* out)
{
    *out << sample.name;
}

class EachFormat : public ::testing::TestWithParam<Sample> {
protected:
    void SetUp() override
    {
        files::ensureApplication();
        bytes = GetParam().make();
        ASSERT_GT(bytes.size(), 100) << "the sample could not be made";
        whole = qtDecoded(bytes);
        ASSERT_FALSE(whole.isNull()) << "Qt does not decode the whole sample";
    }
    QByteArray bytes;
    QImage whole;
};

TEST_P(EachFormat, WholeFileGivesExactlyQtsPixels)
{
    const auto result = decoded(bytes);
    ASSERT_TRUE(std::holds_alternative<QImage>(result)) << refusal(bytes).toStdString();
    EXPECT_EQ(std::get<QImage>(result), whole);
}

TEST_P(EachFormat, BytesAfterTheEndChangeNothing)
{
    for (const QByteArray& extra :
         {QByteArray(1, '\0'), QByteArray("saved by a mail program\r\n"), QByteArray(4096, '\xFF'), bytes}) {
        const auto result = decoded(bytes + extra);
        ASSERT_TRUE(std::holds_alternative<QImage>(result)) << refusal(bytes + extra).toStdString();
        EXPECT_EQ(std::get<QImage>(result), whole);
    }
}

TEST_P(EachFormat, CutAnywhereIsRefusedAsIncomplete)
{
    const qsizetype size = bytes.size();
    const QString expected = reason(GetParam().format, DataFault::EndsEarly);
    for (const qsizetype length :
         {qsizetype(12), size * 2 / 100, size / 10, size / 2, size * 9 / 10, size * 99 / 100, size - 2, size - 1}) {
        SCOPED_TRACE(length);
        EXPECT_EQ(refusal(bytes.left(qMax(length, qsizetype(12)))), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Decoding, EachFormat, ::testing::ValuesIn(kSamples),
                         [](const ::testing::TestParamInfo<Sample>& info) { return std::string(info.param.name); });

class DamagedPartWay : public ::testing::Test {
protected:
    void SetUp() override { files::ensureApplication(); }
};

TEST_F(DamagedPartWay, JpegScanDataBrokenByMarkerBytes)
{
    const QByteArray jpeg = files::encoded(files::graphPicture(), "jpeg");
    const QByteArray damaged = overwritten(jpeg, jpeg.size() / 2, 32, '\xFF');
    EXPECT_EQ(refusal(damaged), reason("JPEG", DataFault::Damaged));
}

TEST_F(DamagedPartWay, ProgressiveJpegWithZeroedScanData)
{
    const QByteArray jpeg = files::encoded(files::graphPicture(), "jpeg", {.progressive = true});
    const QByteArray damaged = overwritten(jpeg, jpeg.size() / 2, 64, '\0');
    EXPECT_FALSE(qtDecoded(damaged).isNull());  // the decoder would show it
    EXPECT_EQ(refusal(damaged), reason("JPEG", DataFault::Damaged));
}

TEST_F(DamagedPartWay, PngWithOneByteChanged)
{
    QByteArray png = files::encoded(files::graphPicture(), "png");
    png[png.size() / 2] = char(png[png.size() / 2] ^ 0x01);
    EXPECT_EQ(refusal(png), reason("PNG", DataFault::Damaged));
}

TEST_F(DamagedPartWay, PngWithABrokenChunkTheDecoderPassesOver)
{
    QByteArray png = files::encoded(files::graphPicture(), "png");
    // A text chunk with a wrong CRC, right after the 8-byte signature and the 25-byte header chunk.
    png.insert(33, QByteArray::fromHex("00000004"
                                       "74455874"
                                       "41420043"
                                       "00000000"));
    EXPECT_FALSE(qtDecoded(png).isNull());
    EXPECT_EQ(refusal(png), reason("PNG", DataFault::Damaged));
}

// libpng refuses these with a message of its own on the terminal; they are
// refused first, in the program's words.
TEST_F(DamagedPartWay, PngImageDataThatLibpngWouldRefuse)
{
    // 4 x 2 pixels of RGB: a filter byte and 12 pixel bytes a row.
    const QByteArray row = QByteArray(1, '\0') + QByteArray(12, '\x80');
    EXPECT_EQ(refusal(files::pngWithRows(4, 2, 8, 2, false, row + row)), QStringLiteral("(accepted)"));
    const QByteArray refused[] = {
        files::pngWithRows(4, 2, 8, 2, false, row),                         // a row short
        files::pngWithRows(4, 2, 8, 2, false, row + '\x05' + row.mid(1)),  // no such filter
        files::pngWithRows(4, 2, 7, 2, false, row + row),                   // no such depth
        files::pngWithRows(4, 2, 8, 3, false, QByteArray(10, '\0')),        // a palette image without one
    };
    for (const QByteArray& png : refused) {
        EXPECT_TRUE(qtDecoded(png).isNull());
        EXPECT_EQ(refusal(png), reason("PNG", DataFault::Damaged));
    }
    EXPECT_EQ(refusal(files::pngWithRows(4, 2, 4, 3, false, QByteArray(6, '\0'), true)), QStringLiteral("(accepted)"));
}

TEST_F(DamagedPartWay, InterlacedPngHasARowPerPassRowOfItsOwnSize)
{
    // 3 x 3 RGB in seven passes: 1 x 1, none, none, 1 x 1, 2 x 1, 1 x 2, 3 x 1.
    QByteArray rows;
    for (const int width : {1, 1, 2, 1, 1, 3}) rows += QByteArray(1, '\0') + QByteArray(3 * width, '\x40');
    const QByteArray png = files::pngWithRows(3, 3, 8, 2, true, rows);
    ASSERT_FALSE(qtDecoded(png).isNull());
    EXPECT_EQ(std::get<QImage>(decoded(png)), qtDecoded(png));
    EXPECT_EQ(refusal(files::pngWithRows(3, 3, 8, 2, true, rows.chopped(1))), reason("PNG", DataFault::Damaged));
}

TEST_F(DamagedPartWay, GifWithZeroedImageData)
{
    const QByteArray gif = sampleFile("linear-log.gif");
    EXPECT_EQ(refusal(overwritten(gif, gif.size() / 2, 64, '\0')), reason("GIF", DataFault::Damaged));
}

TEST_F(DamagedPartWay, GifCodesThatCannotBeDecoded)
{
    EXPECT_EQ(refusal(files::gifWithData(files::kTenByTenCodes)), QStringLiteral("(accepted)"));
    // After the clear code (4) comes 7, an entry the table does not hold yet.
    QByteArray unknownCode = files::kTenByTenCodes;
    unknownCode[1] = '\x3C';
    EXPECT_EQ(refusal(files::gifWithData(unknownCode)), reason("GIF", DataFault::Damaged));
    // Clear, one red pixel, end of data: 1 pixel of 100, in well-formed blocks.
    EXPECT_EQ(refusal(files::gifWithData(QByteArray::fromHex("024C0100"))), reason("GIF", DataFault::Damaged));
}

TEST_F(DamagedPartWay, RunLengthBmpRunningPastItsRow)
{
    QByteArray bitmap = runLengthGraph();
    bitmap[bitmap.size() - 10] = '\x7F';  // a run of 127 pixels in a row of 40
    EXPECT_EQ(refusal(bitmap), reason("BMP", DataFault::Damaged));
}

// The decoder leaves pixels no run reaches as whatever its memory held.
TEST_F(DamagedPartWay, RunLengthBmpLeavingPixelsUndrawn)
{
    const auto withRuns = [](const char* hex) { return files::rle8Bitmap(4, 2, QByteArray::fromHex(hex)); };
    EXPECT_EQ(refusal(withRuns("0400"
                               "0000"
                               "0401"
                               "0001")),
              QStringLiteral("(accepted)"));
    EXPECT_EQ(refusal(withRuns("0400"
                               "0000"
                               "0401"
                               "0000"
                               "0001")),
              QStringLiteral("(accepted)"));
    EXPECT_EQ(refusal(withRuns("0400"
                               "0000"
                               "0001")),
              reason("BMP", DataFault::EndsEarly));
    EXPECT_EQ(refusal(withRuns("0400"
                               "0000"
                               "0201"
                               "0001")),
              reason("BMP", DataFault::EndsEarly));
    EXPECT_EQ(refusal(withRuns("0200"
                               "0000"
                               "0401"
                               "0001")),
              reason("BMP", DataFault::Damaged));
    EXPECT_EQ(refusal(withRuns("0400"
                               "00020001"
                               "0401"
                               "0001")),
              reason("BMP", DataFault::Damaged));
}

// A header of a size the decoder does not know is read as the oldest one:
// here 16 x 221 pixels of 24 bits, of which the file holds nine bytes.
TEST_F(DamagedPartWay, BmpWhoseHeaderTheDecoderReadsAsTheOldest)
{
    const QByteArray bitmap = QByteArray::fromHex("424DB604000028001800000000474946"
                                                  "38001000DD000100180000000000800400FFFF");
    EXPECT_FALSE(qtDecoded(bitmap).isNull());
    EXPECT_EQ(refusal(bitmap), reason("BMP", DataFault::EndsEarly));
}

TEST_F(DamagedPartWay, DeflateTiffWithZeroedStripData)
{
    const QByteArray tiff = files::deflateTiff(files::graphPicture(), 160);
    EXPECT_EQ(refusal(overwritten(tiff, tiff.size() / 2, 64, '\0')), reason("TIFF", DataFault::Damaged));
}

// A device that claims more bytes than any picture file needs, and counts reads.
class EndlessDevice : public QIODevice {
public:
    qint64 size() const override { return kMaxImageFileBytes + 1; }
    bool isSequential() const override { return false; }
    std::atomic<int> reads = 0;

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        ++reads;
        std::fill_n(data, maxSize, '\0');
        return maxSize;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

TEST(Decoding, AnOversizedFileIsRefusedUnread)
{
    EndlessDevice device;
    device.open(QIODevice::ReadOnly);
    const auto result = decodePicture(device, kArea);
    ASSERT_TRUE(std::holds_alternative<ImageLoadFailure>(result));
    EXPECT_TRUE(std::get<ImageLoadFailure>(result).reason.contains(QStringLiteral("大きすぎます")));
    EXPECT_EQ(device.reads.load(), 0);
}

// A picture that does not fit in the memory left is told from a damaged
// one, so that a batch can try it again alone.
TEST(Decoding, AShortageOfMemoryIsNoDamage)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers reserve more address space than a limit leaves";
#endif
    // 4000 x 4000 white pixels: 64 MB decoded, a few kilobytes in the file.
    const QByteArray row = QByteArray(1, '\0') + QByteArray(3 * 4000, '\xFF');
    const QByteArray png = files::pngWithRows(4000, 4000, 8, 2, false, row.repeated(4000));
    long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    ASSERT_TRUE(statm && std::fscanf(statm, "%ld", &pages) == 1);
    std::fclose(statm);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGE_SIZE)) + (rlim_t(40) << 20);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    const auto shortOfMemory = decoded(png);
    setrlimit(RLIMIT_AS, &saved);
    ASSERT_TRUE(std::holds_alternative<ImageLoadFailure>(shortOfMemory));
    EXPECT_TRUE(std::get<ImageLoadFailure>(shortOfMemory).outOfMemory);
    EXPECT_EQ(std::get<ImageLoadFailure>(shortOfMemory).reason, QStringLiteral("メモリが足りません"));
    EXPECT_EQ(std::get<QImage>(decoded(png)).size(), kArea);
}

TEST(Decoding, BytesThatAreNoImageAreRefusedInTheProgramsWords)
{
    files::ensureApplication();
    EXPECT_EQ(refusal("Time,Volts\n0,1.5\n"), QStringLiteral("画像として読めません (対応していない形式です)"));
}

TEST(Decoding, SeveralThreadsAtOnceEachGetTheirOwnVerdict)
{
    files::ensureApplication();
    const QByteArray jpeg = files::encoded(files::graphPicture(), "jpeg");
    const QByteArray tiff = files::encoded(files::graphPicture(), "tiff", {.compression = 1});
    const QImage wholeJpeg = qtDecoded(jpeg);
    const QString cutJpeg = reason("JPEG", DataFault::EndsEarly);
    const QString cutTiff = reason("TIFF", DataFault::EndsEarly);
    std::atomic<int> wrong = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 10; ++round) {
                const auto whole = decoded(jpeg);
                if (!std::holds_alternative<QImage>(whole) || std::get<QImage>(whole) != wholeJpeg) ++wrong;
                if (refusal(jpeg.left(jpeg.size() * (t + 1) / 6)) != cutJpeg) ++wrong;
                if (refusal(tiff.left(tiff.size() - 1 - t)) != cutTiff) ++wrong;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace vastrel::image
