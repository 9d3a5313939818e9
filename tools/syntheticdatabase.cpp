#include "syntheticdatabase.h"

#include "databasewriter.h"
#include "jpegcodec.h"
#include "questionindexentry.h"

#include <QPainter>

using namespace QuestionBankLayout;

namespace SyntheticDatabase {

int variantCount(int a)
{
    return a % 4 + 2;
}

int correctVariant(int a)
{
    return a % variantCount(a) + 1;
}

bool hasPicture(int a)
{
    return a % 10 == 3;
}

QStringList questionLines(int a)
{
    QStringList lines;
    lines << QString::number(correctVariant(a));
    lines << QStringLiteral("Вопрос %1: билет %2, вопрос %3?")
                 .arg(a)
                 .arg(ticketOf(a))
                 .arg(questionOf(a));
    for (int n = 1; n <= variantCount(a); ++n)
        lines << QStringLiteral("*Ответ %1.%2").arg(a).arg(n);
    lines << QString();
    lines << QStringLiteral("Комментарий к вопросу %1").arg(a);
    return lines;
}

QImage picture(int a)
{
    // Drawn without text so that no font is needed: a deep blue band and a red
    // ring whose width and size together tell every question apart.
    QImage image(353, 137, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, 97, 353, 40, QColor(0x5A, 0x5F, 0x66));
    p.fillRect(10, 10, (a % 300) + 20, 40, QColor(0x1F, 0x4E, 0x8C));
    p.setPen(QPen(QColor(0xD3, 0x2F, 0x2F), 6));
    p.drawEllipse(QPoint(290, 60), 24 + a / 100, 24 + a / 100);
    return image;
}

void fill(DatabaseWriter &writer, const QString &title)
{
    writer.setTitle(title);
    for (int a = 1; a <= QuestionCount; ++a) {
        writer.setQuestion(a, DatabaseWriter::textBlock(questionLines(a)),
                           hasPicture(a) ? JpegCodec::encode(picture(a)) : QByteArray());
    }
}

QByteArray bytes(const QString &title)
{
    DatabaseWriter writer;
    fill(writer, title);
    return writer.toBytes();
}

bool write(const QString &path, const QString &title)
{
    DatabaseWriter writer;
    fill(writer, title);
    return writer.writeFile(path);
}

} // namespace SyntheticDatabase
