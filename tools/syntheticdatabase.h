#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

class DatabaseWriter;

// Plainly synthetic databases for tests: every question numbered so that a
// test can tell which one is shown.
namespace SyntheticDatabase {

// The lines of question a of the synthetic set. Variant count cycles 2..5
// (a % 4 + 2) and the correct variant is (a % count) + 1. Texts:
//   "Вопрос a: билет t, вопрос q?"    variants "*Ответ a.n"
//   comment "Комментарий к вопросу a"
QStringList questionLines(int absoluteNumber);
int variantCount(int absoluteNumber);
int correctVariant(int absoluteNumber);
// Whether question a carries a picture in the synthetic set (every tenth).
bool hasPicture(int absoluteNumber);
// A small drawn picture (353 x 137) that differs from question to question.
QImage picture(int absoluteNumber);

// A complete database writer filled with the synthetic set.
void fill(DatabaseWriter &writer, const QString &title = QStringLiteral("Тестовая база"));
QByteArray bytes(const QString &title = QStringLiteral("Тестовая база"));
// Writes it to `path`; returns false on failure.
bool write(const QString &path, const QString &title = QStringLiteral("Тестовая база"));

} // namespace SyntheticDatabase
