// A JPEG file is whole when libjpeg reads every scan to the end marker
// without a warning: where the data ends early or its entropy-coded data
// breaks off, the library warns and goes on with grey. This pass decodes a
// sequential file at 1/8 scale, which still reads every coefficient but
// skips most of the work, and a progressive one only to its coefficients.

#include "engine/image/FormatChecks.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace vastrel::image::checks {

namespace {

struct CheckingErrors {
    jpeg_error_mgr manager;  // first, so that libjpeg's pointer to it is one to the whole
    std::jmp_buf escape;
    std::optional<DataFault> fault;
};

CheckingErrors& errorsOf(j_common_ptr info)
{
    return *reinterpret_cast<CheckingErrors*>(info->err);
}

// A header the library cannot take is left to the decoder, which reads it
// with the same library and says why; this pass only adds what it ignores.
[[noreturn]] void stopOnError(j_common_ptr info)
{
    std::longjmp(errorsOf(info).escape, 1);
}

// Warnings about the header's conventions rather than about the picture.
bool harmless(int code)
{
    return code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM || code == JWRN_BOGUS_ICC || code == JWRN_NOT_SEQUENTIAL;
}

void stopOnWarning(j_common_ptr info, int level)
{
    const int code = info->err->msg_code;
    if (level >= 0 || harmless(code)) return;
    errorsOf(info).fault = code == JWRN_JPEG_EOF ? DataFault::EndsEarly : DataFault::Damaged;
    std::longjmp(errorsOf(info).escape, 1);
}

void stayQuiet(j_common_ptr)
{}

// Apart from checkJpeg: the jump back must not pass over any C++ object made
// after setjmp. `row` belongs to the caller for that reason.
bool readToEnd(jpeg_decompress_struct& info, CheckingErrors& errors, QByteArrayView data, std::vector<JSAMPLE>& row)
{
    if (setjmp(errors.escape)) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    if (info.progressive_mode) {
        // Held whole in memory anyway: reading the coefficients is all it takes.
        jpeg_read_coefficients(&info);
        jpeg_finish_decompress(&info);
        return true;
    }
    info.scale_num = 1;
    info.scale_denom = 8;
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    info.do_block_smoothing = FALSE;
    jpeg_start_decompress(&info);
    row.resize(std::size_t(info.output_width) * std::size_t(info.output_components));
    JSAMPROW rows[1] = {row.data()};
    while (info.output_scanline < info.output_height) jpeg_read_scanlines(&info, rows, 1);
    jpeg_finish_decompress(&info);  // reads on to the end marker
    return true;
}

}  // namespace

std::optional<DataFault> checkJpeg(QByteArrayView data)
{
    jpeg_decompress_struct info{};
    CheckingErrors errors{};
    std::vector<JSAMPLE> row;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = stopOnError;
    errors.manager.emit_message = stopOnWarning;
    errors.manager.output_message = stayQuiet;
    readToEnd(info, errors, data, row);
    jpeg_destroy_decompress(&info);
    return errors.fault;
}

}  // namespace vastrel::image::checks
