#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

// Why an import wrote nothing: a heading, then the full list of faults as
// `dbv import` reports them, in a text the learner can scroll, select and
// copy (a button copies it all).
class ImportErrorsDialog : public QDialog
{
    Q_OBJECT
public:
    ImportErrorsDialog(const QString &heading, const QStringList &lines, QWidget *parent = nullptr);

    QString text() const;

private:
    QPlainTextEdit *m_text = nullptr;
};
