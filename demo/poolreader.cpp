#include "poolreader.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

struct Block
{
    int line = 0;
    bool hasCorrect = false;
    QString correctText;
    int correctLine = 0;
    QString text;
    bool hasText = false;
    QStringList variants;
    QString comment;
    bool hasComment = false;
    int topicRank = TopicRank::Unknown;
};

QString located(const QString &fileName, int line, const QString &message)
{
    return QStringLiteral("%1:%2: %3").arg(fileName).arg(line).arg(message);
}

// The database is stored in Windows-1251: a character it cannot encode would
// be lost in the build, so it is refused here, where its line is known.
bool encodesInWindows1251(const QString &value)
{
    QStringEncoder encoder("windows-1251");
    const QByteArray bytes = encoder.encode(value);
    return !encoder.hasError() && bytes.size() == value.size();
}

} // namespace

PoolReader::Result PoolReader::parse(const QString &fileName, const QByteArray &contents)
{
    Result result;
    Block block;
    bool inBlock = false;
    bool blockBroken = false;
    int topicRank = TopicRank::Unknown;

    auto finish = [&]() {
        if (!inBlock)
            return;
        inBlock = false;
        auto fail = [&](const QString &message) {
            result.errors.append(located(fileName, block.line, message));
            blockBroken = true;
        };
        if (!block.hasText)
            fail(QStringLiteral("вопрос без строки text"));
        if (!block.hasComment)
            fail(QStringLiteral("вопрос без строки comment"));
        if (block.variants.size() < 2 || block.variants.size() > 5)
            fail(QStringLiteral("вариантов %1, а нужно от 2 до 5").arg(block.variants.size()));
        if (!block.hasCorrect) {
            fail(QStringLiteral("вопрос без строки correct"));
        } else {
            bool ok = false;
            const int correct = block.correctText.toInt(&ok);
            if (!ok || correct < 1 || correct > block.variants.size()) {
                result.errors.append(located(fileName, block.correctLine,
                                             QStringLiteral("correct %1 не подходит к %2 вариантам")
                                                 .arg(block.correctText)
                                                 .arg(block.variants.size())));
                blockBroken = true;
            }
        }
        if (blockBroken)
            return;
        DemoQuestion question;
        question.text = block.text;
        question.variants = block.variants;
        question.correct = block.correctText.toInt();
        question.comment = block.comment;
        question.origin = QStringLiteral("%1:%2").arg(fileName).arg(block.line);
        question.topicRank = block.topicRank;
        question.group = fileName;
        result.questions.append(question);
    };

    QStringDecoder decoder(QStringDecoder::Utf8);
    const QList<QByteArray> rawLines = contents.split('\n');
    for (int index = 0; index < rawLines.size(); ++index) {
        const int lineNumber = index + 1;
        QByteArray raw = rawLines.at(index);
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (index == 0 && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        const QString line = decoder.decode(raw);
        auto error = [&](const QString &message) {
            result.errors.append(located(fileName, lineNumber, message));
            if (inBlock)
                blockBroken = true;
        };
        if (decoder.hasError()) {
            decoder.resetState();
            error(QStringLiteral("строка не в кодировке UTF-8"));
            continue;
        }
        if (line.trimmed().isEmpty()) {
            finish();
            continue;
        }
        if (line.startsWith(u'#')) {
            static const QString topicMark = QStringLiteral("Тема:");
            const QString comment = line.mid(1).trimmed();
            if (comment.startsWith(topicMark))
                topicRank = TopicRank::fromTopicName(comment.mid(topicMark.size()).trimmed());
            continue;
        }
        const qsizetype space = line.indexOf(u' ');
        const QString keyword = space < 0 ? line : line.left(space);
        const QString value = space < 0 ? QString() : line.mid(space + 1);

        if (keyword == QLatin1String("question")) {
            finish();
            block = Block();
            block.line = lineNumber;
            block.topicRank = topicRank;
            inBlock = true;
            blockBroken = false;
            if (!value.isEmpty())
                error(QStringLiteral("после question ничего не пишется"));
            continue;
        }
        if (!inBlock) {
            error(QStringLiteral("строка вне вопроса (вопрос начинается строкой question)"));
            continue;
        }
        if (value.trimmed().isEmpty()) {
            error(QStringLiteral("у %1 нет значения").arg(keyword));
            continue;
        }
        if (value.contains(u'*')) {
            error(QStringLiteral("символ * не пишется: его добавляет сборщик"));
            continue;
        }
        if (!encodesInWindows1251(value)) {
            error(QStringLiteral("символ, которого нет в Windows-1251"));
            continue;
        }
        if (keyword == QLatin1String("correct")) {
            if (block.hasCorrect)
                error(QStringLiteral("второй correct в одном вопросе"));
            block.hasCorrect = true;
            block.correctText = value.trimmed();
            block.correctLine = lineNumber;
        } else if (keyword == QLatin1String("text")) {
            if (block.hasText)
                error(QStringLiteral("второй text в одном вопросе"));
            block.hasText = true;
            block.text = value;
        } else if (keyword == QLatin1String("variant")) {
            if (block.hasComment)
                error(QStringLiteral("вариант после комментария"));
            block.variants.append(value);
        } else if (keyword == QLatin1String("comment")) {
            if (block.hasComment)
                error(QStringLiteral("второй comment в одном вопросе"));
            block.hasComment = true;
            block.comment = value;
        } else {
            error(QStringLiteral("неизвестное слово «%1»").arg(keyword));
        }
    }
    finish();
    return result;
}

PoolReader::Result PoolReader::readFolder(const QString &folder)
{
    Result result;
    const QDir dir(folder);
    if (!dir.exists())
        return result;
    const QStringList names = dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            result.errors.append(
                QStringLiteral("%1: не открывается: %2").arg(name, file.errorString()));
            continue;
        }
        Result one = parse(name, file.readAll());
        result.questions.append(one.questions);
        result.errors.append(one.errors);
    }
    return result;
}
