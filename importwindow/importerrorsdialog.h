#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

// Why an import wrote nothing — or, after an import that was written, what
// it left out (the reference's warnings): a heading, then the full list as
// `dbv import` reports it, in a text the learner can scroll, select and copy
// (a button copies it all).
class ImportErrorsDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Outcome
    {
        NotImported, // "importErrorsDialog"
        Imported,    // "importWarningsDialog"
    };

    ImportErrorsDialog(const QString &heading, const QStringList &lines, QWidget *parent = nullptr,
                       Outcome outcome = Outcome::NotImported);

    QString text() const;

private:
    QPlainTextEdit *m_text = nullptr;
};
