#include "sourcefixture.h"

#include "dbvtool.h"
#include "jpegcodec.h"
#include "sourcewriter.h"
#include "syntheticdatabase.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace QuestionBankLayout;

namespace SourceFixture {

namespace {

DatabaseSource makeSyntheticSource()
{
    DatabaseSource source;
    source.title = QStringLiteral("Тестовая база");
    for (int a = 1; a <= QuestionCount; ++a) {
        const QStringList lines = SyntheticDatabase::questionLines(a);
        const int count = SyntheticDatabase::variantCount(a);
        SourceQuestion &q = source.questions[size_t(a - 1)];
        q.correct = lines.at(0).toInt();
        q.text = lines.at(1);
        q.variants = lines.mid(2, count);
        q.endLine = lines.at(2 + count);
        q.comment = lines.at(3 + count);
        if (SyntheticDatabase::hasPicture(a))
            q.picture = JpegCodec::encode(SyntheticDatabase::picture(a));
    }
    return source;
}

} // namespace

DatabaseSource syntheticSource()
{
    // Encoding 80 pictures takes a while; every test gets the same set.
    static const DatabaseSource source = makeSyntheticSource();
    return source;
}

void writeSource(const QString &folder, const DatabaseSource &source)
{
    SourceWriter writer(folder);
    QVERIFY2(writer.write(source), qPrintable(writer.error()));
}

void replaceFirstQuestion(const QString &folder, const QByteArray &firstQuestion)
{
    const QString path = QDir(folder).filePath(SourceFiles::ticketFile(1));
    const QByteArray text = readFile(path);
    const qsizetype second = text.indexOf("question 2\n");
    QVERIFY(second > 0);
    writeFile(path, firstQuestion + "\n" + text.mid(second));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

Result dbv(const QStringList &arguments)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Result result;
    result.exitCode = runDbv(arguments, out, err);
    result.out = out.data();
    result.err = err.data();
    return result;
}

} // namespace SourceFixture
