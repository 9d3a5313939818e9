#include "jsonticketfixture.h"

#include "jpegcodec.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QImageWriter>
#include <QJsonDocument>
#include <QPainter>
#include <QRandomGenerator>

namespace {

QImage drawing(QSize size, bool noisy)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(QColor(200, 220, 240));
    QPainter painter(&image);
    painter.setBrush(Qt::red);
    painter.drawEllipse(QRect(QPoint(10, 10), size / 3));
    painter.end();
    if (noisy) {
        // Noise does not compress: a picture that cannot fit as it is.
        QRandomGenerator random(42);
        for (int y = 0; y < size.height(); ++y) {
            uchar *line = image.scanLine(y);
            for (int x = 0; x < size.width() * 3; ++x)
                line[x] = uchar(random.bounded(256));
        }
    }
    return image;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.write(image);
    return buffer.data();
}

} // namespace

JsonTicketFolderFixture::JsonTicketFolderFixture(const QString &root, const QString &category)
    : m_root(root), m_category(category)
{
    const QString cat = category == u"A_B" ? QStringLiteral("A,B") : QStringLiteral("C,D");
    for (int t = 1; t <= 40; ++t) {
        QList<QJsonObject> ticket;
        for (int q = 1; q <= 20; ++q) {
            QJsonArray answers;
            for (int v = 1; v <= 3; ++v) {
                answers.append(QJsonObject{
                    {"answer_text",
                     QStringLiteral("Ответ %1 на вопрос %2 билета %3").arg(v).arg(q).arg(t)},
                    {"is_correct", v == 1}});
            }
            ticket.append(QJsonObject{
                {"title", QStringLiteral("Вопрос %1").arg(q)},
                {"ticket_number", QStringLiteral("Билет %1").arg(t)},
                {"ticket_category", cat},
                {"image", "./images/no_image.jpg"},
                {"question", QStringLiteral("Вопрос %1 билета %2?").arg(q).arg(t)},
                {"answers", answers},
                {"correct_answer", "Правильный ответ: 1"},
                {"answer_tip", QStringLiteral("Комментарий к вопросу %1 билета %2.").arg(q).arg(t)},
                {"topic", QJsonArray{q % 2 ? "Дорожные знаки" : "Разметка"}},
                {"id", QStringLiteral("%1-%2").arg(t).arg(q)}});
        }
        m_tickets << ticket;
    }
}

QJsonObject &JsonTicketFolderFixture::question(int ticket, int number)
{
    return m_tickets[ticket - 1][number - 1];
}

void JsonTicketFolderFixture::setImage(int ticket, int number, const QString &imagePath)
{
    question(ticket, number)["image"] = imagePath;
}

void JsonTicketFolderFixture::writePicture(const QString &relative, const QByteArray &bytes)
{
    const QString path = QDir(m_root).filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QString JsonTicketFolderFixture::ticketFile(int ticket) const
{
    return QDir(m_root).filePath(
        QStringLiteral("questions/%1/tickets/Билет %2.json").arg(m_category).arg(ticket));
}

void JsonTicketFolderFixture::write()
{
    for (int t = 1; t <= 40; ++t) {
        QJsonArray array;
        for (const QJsonObject &question : std::as_const(m_tickets[t - 1]))
            array.append(question);
        QDir().mkpath(QFileInfo(ticketFile(t)).path());
        QFile file(ticketFile(t));
        if (file.open(QIODevice::WriteOnly))
            file.write(QJsonDocument(array).toJson());
    }
}

QByteArray JsonTicketFolderFixture::jpeg(QSize size, bool noisy)
{
    return JpegCodec::encode(drawing(size, noisy), 90);
}

QByteArray JsonTicketFolderFixture::png16WithAlpha(QSize size)
{
    // Opaque red on the left half, fully transparent on the right.
    QImage image(size, QImage::Format_RGBA64);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, size.width() / 2, size.height()), Qt::red);
    painter.end();
    return encoded(image, "png");
}

QByteArray JsonTicketFolderFixture::webp(QSize size)
{
    return encoded(drawing(size, false), "webp");
}
