#pragma once

#include <QByteArrayView>

// What the decoder needs to know about a JPEG stream before decoding it.
// TurboJPEG reports neither the number of scans (the work a progressive
// picture costs) nor the Adobe marker (whether CMYK values are stored
// inverted) ahead of decoding, so the markers are walked here.
struct JpegMarkers
{
    // Start-of-scan markers up to the end of the stream; a cut stream counts
    // the scans it has.
    int scanCount = 0;
    // An APP14 "Adobe" segment was seen: CMYK values are stored inverted,
    // as Adobe's programs write them.
    bool adobe = false;
};

JpegMarkers readJpegMarkers(QByteArrayView jpeg);
