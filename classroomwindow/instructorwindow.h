#pragma once

#include "instructorreport.h"

#include <QDialog>

class QLabel;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

// «Инструктор»: the class's learners in a table the instructor sorts by any
// column (the readiness by its figure, the dates by time). A double click
// on a row (or Enter) asks for that learner's window; the table is saved as
// CSV or as PDF (QTextDocument printed on a QPdfWriter).
class InstructorWindow : public QDialog
{
    Q_OBJECT
public:
    explicit InstructorWindow(QWidget *parent = nullptr);

    // Shows `rows`; `error`, when not empty, above the table.
    void setRows(const QList<InstructorRow> &rows, const QString &error);
    const QList<InstructorRow> &rows() const { return m_rows; }
    QTableView *table() const { return m_table; }

    // The table as a document: a heading and the table in the order shown.
    QString html() const;
    // The rows in the order the table shows them now.
    QList<InstructorRow> rowsAsShown() const;

signals:
    void learnerOpened(const InstructorRow &row);
    void refreshRequested();

private:
    void openRow(const QModelIndex &index);
    void exportCsv();
    void exportPdf();
    QString chooseFile(const QString &caption, const QString &filter, const QString &suffix);

    QList<InstructorRow> m_rows;
    QLabel *m_note = nullptr;
    QStandardItemModel *m_model = nullptr;
    QSortFilterProxyModel *m_sorted = nullptr;
    QTableView *m_table = nullptr;
};
