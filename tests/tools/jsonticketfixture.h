#pragma once

#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

// A folder of tickets in the common open JSON layout, made in the test: 40
// tickets of 20 questions for one category, three answers each with the
// first correct, no pictures until a test adds them.
class JsonTicketFolderFixture
{
public:
    explicit JsonTicketFolderFixture(const QString &root, const QString &category = "A_B");

    // Question q (1..20) of ticket t (1..40), to change before write().
    QJsonObject &question(int ticket, int number);
    // Sets the "image" of a question to `imagePath` as written in the JSON.
    void setImage(int ticket, int number, const QString &imagePath);
    // Writes a picture file under the root.
    void writePicture(const QString &relative, const QByteArray &bytes);

    // Writes every ticket file (replacing what is there).
    void write();
    QString ticketFile(int ticket) const;
    QString root() const { return m_root; }

    // Encoded pictures of each kind, `size` pixels.
    static QByteArray jpeg(QSize size, bool noisy = false);
    static QByteArray png16WithAlpha(QSize size);
    static QByteArray webp(QSize size);

private:
    QString m_root;
    QString m_category;
    QList<QList<QJsonObject>> m_tickets;
};
