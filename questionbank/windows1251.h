#pragma once

#include <QByteArrayView>
#include <QString>

// Windows-1251 text, as question databases store it, decoded to Unicode:
// bytes below 0x80 as ASCII, the upper half through a table of the code page
// (0x98, which the code page leaves unassigned, as U+0098).
QString decodeWindows1251(QByteArrayView bytes);
