#include "hostilejpeg.h"

#include "jpegcodec.h"

#include <cstdio>
#include <jpeglib.h>
#include <turbojpeg.h>
#include <vector>

namespace HostileJpeg {

QByteArray manyScans(int width, int height, int refinements)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char *out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);

    std::vector<jpeg_scan_info> script;
    script.push_back({1, {0}, 0, 0, 0, 0}); // DC in one go
    for (int k = 1; k <= 63; ++k) {
        script.push_back({1, {0}, k, k, 0, refinements});
        for (int al = refinements - 1; al >= 0; --al)
            script.push_back({1, {0}, k, k, al + 1, al});
    }
    cinfo.scan_info = script.data();
    cinfo.num_scans = int(script.size());
    jpeg_start_compress(&cinfo, TRUE);
    // Flat 8 x 8 blocks in a chequered pattern: every AC scan is a few bytes,
    // so hundreds of scans fit in a picture of a few kilobytes.
    std::vector<JSAMPLE> row(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            row[size_t(x)] = JSAMPLE(((x / 64 + y / 64) % 2) * 128 + 64);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray result(reinterpret_cast<const char *>(out), qsizetype(outSize));
    free(out);
    return result;
}

QByteArray adobeCmyk(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::vector<unsigned char> cmyk(size_t(rgb.width()) * rgb.height() * 4);
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            const int k = 255 - qMax(qRed(p), qMax(qGreen(p), qBlue(p)));
            const auto ink = [k](int channel) {
                return k == 255 ? 0 : (255 - channel - k) * 255 / (255 - k);
            };
            unsigned char *out = &cmyk[(size_t(y) * rgb.width() + x) * 4];
            // Stored inverted: 255 means no ink.
            out[0] = uchar(255 - ink(qRed(p)));
            out[1] = uchar(255 - ink(qGreen(p)));
            out[2] = uchar(255 - ink(qBlue(p)));
            out[3] = uchar(255 - k);
        }
    }
    // TurboJPEG writes four-component pictures as YCCK with an Adobe marker.
    tjhandle handle = tjInitCompress();
    unsigned char *out = nullptr;
    unsigned long outSize = 0;
    const int rc = tjCompress2(handle, cmyk.data(), rgb.width(), rgb.width() * 4, rgb.height(),
                               TJPF_CMYK, &out, &outSize, TJSAMP_444, 95, TJFLAG_ACCURATEDCT);
    QByteArray result;
    if (rc == 0)
        result = QByteArray(reinterpret_cast<const char *>(out), qsizetype(outSize));
    tjFree(out);
    tjDestroy(handle);
    return result;
}

QByteArray headerOnly(int width, int height)
{
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::gray);
    QByteArray jpeg = JpegCodec::encode(small);
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    const qsizetype sos = jpeg.indexOf("\xFF\xDA");
    if (sof < 0 || sos < 0)
        return {};
    // SOF0: marker, length (2), precision (1), height (2), width (2).
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    const int sosLength = (uchar(jpeg[sos + 2]) << 8) | uchar(jpeg[sos + 3]);
    return jpeg.left(sos + 2 + sosLength) + QByteArray("\xFF\xD9", 2);
}

} // namespace HostileJpeg
