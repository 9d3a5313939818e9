#include "jpegmarkers.h"

namespace {

constexpr unsigned char Sos = 0xDA;
constexpr unsigned char App14 = 0xEE;
constexpr unsigned char Eoi = 0xD9;

bool isStandalone(unsigned char marker)
{
    // SOI, EOI, RSTn and TEM carry no length field.
    return marker == 0xD8 || marker == Eoi || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01;
}

} // namespace

JpegMarkers readJpegMarkers(QByteArrayView jpeg)
{
    JpegMarkers found;
    const auto *p = reinterpret_cast<const unsigned char *>(jpeg.data());
    const qsizetype size = jpeg.size();
    qsizetype i = 0;
    while (i + 1 < size) {
        if (p[i] != 0xFF) {
            ++i; // entropy-coded data or garbage between segments
            continue;
        }
        const unsigned char marker = p[i + 1];
        if (marker == 0xFF) {
            ++i; // fill byte
            continue;
        }
        if (marker == 0x00) {
            i += 2; // a stuffed 0xFF inside entropy-coded data
            continue;
        }
        if (marker == Eoi)
            break;
        if (isStandalone(marker)) {
            i += 2;
            continue;
        }
        if (i + 3 >= size)
            break;
        const int length = (p[i + 2] << 8) | p[i + 3];
        if (marker == Sos)
            ++found.scanCount;
        if (marker == App14 && length >= 7 && i + 9 <= size &&
            QByteArrayView(jpeg.data() + i + 4, 5) == QByteArrayView("Adobe"))
            found.adobe = true;
        // After a scan header the entropy-coded data follows; the loop steps
        // through it byte by byte up to the next marker.
        i += 2 + qMax(length, 2);
    }
    return found;
}
