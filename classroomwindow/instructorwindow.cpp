#include "instructorwindow.h"

#include "filedialogs.h"
#include "messageboxes.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

constexpr int SortRole = Qt::UserRole;
constexpr int RowRole = Qt::UserRole + 1;

// What each column sorts by: numbers by value, names by the collation.
QList<QVariant> sortKeys(const InstructorRow &row)
{
    return {row.learner.name,
            row.readiness,
            row.answersLastWeek,
            row.examsPassed,
            row.examsTaken,
            row.lastExamPassed ? (*row.lastExamPassed ? 1000 : 0) - row.lastExamWrong : -1000,
            row.weakestTopics.join(QStringLiteral("; ")),
            row.lastActivityMs.value_or(-1)};
}

} // namespace

InstructorWindow::InstructorWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("InstructorWindow"));
    setWindowTitle(QStringLiteral("Инструктор: ученики класса"));
    auto *layout = new QVBoxLayout(this);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("instructorNote"));
    m_note->setWordWrap(true);
    m_note->hide();
    layout->addWidget(m_note);

    m_model = new QStandardItemModel(this);
    m_model->setHorizontalHeaderLabels(InstructorReport::headers());
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(SortRole);
    m_sorted->setSortLocaleAware(true);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("instructorTable"));
    m_table->setModel(m_sorted);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(0, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table);
    connect(m_table, &QTableView::doubleClicked, this, &InstructorWindow::openRow);
    connect(m_table, &QTableView::activated, this, &InstructorWindow::openRow);

    auto *buttons = new QDialogButtonBox(this);
    const auto add = [&](const char *name, const QString &caption) {
        QPushButton *button = buttons->addButton(caption, QDialogButtonBox::ActionRole);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        return button;
    };
    connect(add("refreshButton", QStringLiteral("Обновить")), &QPushButton::clicked, this,
            &InstructorWindow::refreshRequested);
    connect(add("exportCsvButton", QStringLiteral("Сохранить в CSV…")), &QPushButton::clicked, this,
            &InstructorWindow::exportCsv);
    connect(add("exportPdfButton", QStringLiteral("Сохранить в PDF…")), &QPushButton::clicked, this,
            &InstructorWindow::exportPdf);
    QPushButton *close =
        buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(900, 420);
}

void InstructorWindow::setRows(const QList<InstructorRow> &rows, const QString &error)
{
    m_rows = rows;
    m_note->setText(error);
    m_note->setVisible(!error.isEmpty());
    m_model->removeRows(0, m_model->rowCount());
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QStringList texts = InstructorReport::columns(rows[r]);
        const QList<QVariant> keys = sortKeys(rows[r]);
        QList<QStandardItem *> items;
        for (qsizetype c = 0; c < texts.size(); ++c) {
            auto *item = new QStandardItem(texts[c]);
            item->setData(keys[c], SortRole);
            item->setData(int(r), RowRole);
            items.append(item);
        }
        m_model->appendRow(items);
    }
    m_table->resizeColumnsToContents();
}

QList<InstructorRow> InstructorWindow::rowsAsShown() const
{
    QList<InstructorRow> shown;
    for (int r = 0; r < m_sorted->rowCount(); ++r)
        shown.append(m_rows.value(m_sorted->index(r, 0).data(RowRole).toInt()));
    return shown;
}

void InstructorWindow::openRow(const QModelIndex &index)
{
    const int row = index.data(RowRole).toInt();
    if (index.isValid() && row >= 0 && row < m_rows.size())
        emit learnerOpened(m_rows[row]);
}

QString InstructorWindow::html() const
{
    QString text = QStringLiteral("<h2>%1</h2><table border=\"1\" cellspacing=\"0\" "
                                  "cellpadding=\"3\"><tr>")
                       .arg(windowTitle().toHtmlEscaped());
    for (const QString &header : InstructorReport::headers())
        text += QStringLiteral("<th>%1</th>").arg(header.toHtmlEscaped());
    text += QStringLiteral("</tr>");
    for (const InstructorRow &row : rowsAsShown()) {
        text += QStringLiteral("<tr>");
        for (const QString &cell : InstructorReport::columns(row))
            text += QStringLiteral("<td>%1</td>").arg(cell.toHtmlEscaped());
        text += QStringLiteral("</tr>");
    }
    return text + QStringLiteral("</table>");
}

QString InstructorWindow::chooseFile(const QString &caption, const QString &filter,
                                     const QString &suffix)
{
    QFileDialog dialog(this, caption);
    dialog.setObjectName(QStringLiteral("instructorExportDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    return FileDialogs::getOpenFileName(dialog);
}

void InstructorWindow::exportCsv()
{
    const QString path = chooseFile(QStringLiteral("Сохранить таблицу в CSV"),
                                    QStringLiteral("Таблица CSV (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(InstructorReport::toCsv(rowsAsShown())) < 0 || !file.commit())
        MessageBoxes::warning(this, windowTitle(),
                              QStringLiteral("Не удалось сохранить таблицу в «%1»: %2")
                                  .arg(path, file.errorString()));
}

void InstructorWindow::exportPdf()
{
    const QString path = chooseFile(QStringLiteral("Сохранить таблицу в PDF"),
                                    QStringLiteral("Документ PDF (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setTitle(windowTitle());
        QTextDocument document;
        document.setHtml(html());
        document.print(&writer);
    }
    if (QFileInfo(path).size() <= 0)
        MessageBoxes::warning(this, windowTitle(),
                              QStringLiteral("Не удалось сохранить таблицу в «%1».").arg(path));
}
