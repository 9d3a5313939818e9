#include "importdialog.h"

#include "filedialogs.h"
#include "importerrorsdialog.h"
#include "messageboxes.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace {

const QString Attention = QStringLiteral("Внимание!");

QString stageText(const TicketImport::Progress &progress)
{
    using TicketImport::Stage;
    switch (progress.stage) {
    case Stage::Reading:
        return QStringLiteral("Чтение источника…");
    case Stage::Tickets:
        return QStringLiteral("Чтение билетов: %1 из %2").arg(progress.done).arg(progress.total);
    case Stage::Pictures:
        return QStringLiteral("Преобразование рисунков: %1 из %2")
            .arg(progress.done)
            .arg(progress.total);
    case Stage::Checking:
        return QStringLiteral("Проверка базы…");
    case Stage::Writing:
        return QStringLiteral("Запись базы…");
    }
    return {};
}

// "знаки — 7, разметка — 3, штрафы — 0": a count after each noun reads
// right for every number.
QString referenceCounts(const TicketImport::Summary &summary)
{
    return QStringLiteral("знаки — %1, разметка — %2, штрафы — %3")
        .arg(summary.signs)
        .arg(summary.markings)
        .arg(summary.penalties);
}

} // namespace

ImportDialog::ImportDialog(const QString &databasesFolder, QWidget *parent)
    : QDialog(parent), m_databasesFolder(databasesFolder)
{
    setObjectName(QStringLiteral("importDialog"));
    setWindowTitle(QStringLiteral("Импорт экзаменационных билетов"));
    auto *layout = new QVBoxLayout(this);

    auto *intro = new QLabel(
        QStringLiteral("Укажите папку или архив (zip, tar.gz) с билетами в формате JSON: "
                       "папка «questions» с билетами по категориям и папка «images» с "
                       "рисунками."),
        this);
    intro->setObjectName(QStringLiteral("importIntro"));
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *sourceRow = new QHBoxLayout;
    m_sourceEdit = new QLineEdit(this);
    m_sourceEdit->setObjectName(QStringLiteral("importSource"));
    m_sourceEdit->setReadOnly(true);
    m_sourceEdit->setPlaceholderText(QStringLiteral("Источник не выбран"));
    sourceRow->addWidget(m_sourceEdit, 1);
    auto *folderButton = new QPushButton(QStringLiteral("Папка…"), this);
    folderButton->setObjectName(QStringLiteral("importChooseFolder"));
    auto *archiveButton = new QPushButton(QStringLiteral("Архив…"), this);
    archiveButton->setObjectName(QStringLiteral("importChooseArchive"));
    sourceRow->addWidget(folderButton);
    sourceRow->addWidget(archiveButton);
    layout->addLayout(sourceRow);

    m_sourceStatus = new QLabel(this);
    m_sourceStatus->setObjectName(QStringLiteral("importSourceStatus"));
    m_sourceStatus->setWordWrap(true);
    m_sourceStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_sourceStatus);

    auto *categories = new QGroupBox(QStringLiteral("Категория"), this);
    categories->setObjectName(QStringLiteral("importCategories"));
    auto *categoryRow = new QHBoxLayout(categories);
    m_categoryAB = new QRadioButton(QStringLiteral("A, B"), categories);
    m_categoryAB->setObjectName(QStringLiteral("importCategoryAB"));
    m_categoryCD = new QRadioButton(QStringLiteral("C, D"), categories);
    m_categoryCD->setObjectName(QStringLiteral("importCategoryCD"));
    categoryRow->addWidget(m_categoryAB);
    categoryRow->addWidget(m_categoryCD);
    categoryRow->addStretch();
    layout->addWidget(categories);

    auto *form = new QFormLayout;
    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("importTitle"));
    m_title->setMaxLength(TicketImport::MaxTitleLength);
    form->addRow(QStringLiteral("Название базы:"), m_title);
    layout->addLayout(form);

    auto *where = new QLabel(QStringLiteral("База будет сохранена в папке %1 и сразу открыта.")
                                 .arg(QDir::toNativeSeparators(m_databasesFolder)),
                             this);
    where->setObjectName(QStringLiteral("importDestination"));
    where->setWordWrap(true);
    layout->addWidget(where);

    auto *buttons = new QDialogButtonBox(this);
    m_startButton =
        buttons->addButton(QStringLiteral("Импортировать"), QDialogButtonBox::AcceptRole);
    m_startButton->setObjectName(QStringLiteral("importStart"));
    QPushButton *cancel =
        buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("importClose"));
    layout->addWidget(buttons);

    m_folderDialog = new QFileDialog(this, QStringLiteral("Папка с билетами"));
    m_folderDialog->setObjectName(QStringLiteral("importFolderDialog"));
    m_folderDialog->setFileMode(QFileDialog::Directory);
    m_folderDialog->setOption(QFileDialog::ShowDirsOnly);
    m_archiveDialog = new QFileDialog(this, QStringLiteral("Архив с билетами"));
    m_archiveDialog->setObjectName(QStringLiteral("importArchiveDialog"));
    m_archiveDialog->setFileMode(QFileDialog::ExistingFile);
    m_archiveDialog->setNameFilters(
        {QStringLiteral("Архивы (*.zip *.tar.gz *.tgz *.tar.xz *.tar.bz2 *.tar.zst *.7z)"),
         QStringLiteral("Все файлы (*)")});
    for (QFileDialog *dialog : {m_folderDialog, m_archiveDialog})
        dialog->setDirectory(QDir::homePath());

    connect(folderButton, &QPushButton::clicked, this, &ImportDialog::chooseFolder);
    connect(archiveButton, &QPushButton::clicked, this, &ImportDialog::chooseArchive);
    connect(m_categoryAB, &QRadioButton::toggled, this, &ImportDialog::onCategoryChosen);
    connect(m_categoryCD, &QRadioButton::toggled, this, &ImportDialog::onCategoryChosen);
    connect(m_title, &QLineEdit::textEdited, this, [this] { m_titleEdited = true; });
    connect(m_startButton, &QPushButton::clicked, this, &ImportDialog::start);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(&m_watcher, &QFutureWatcher<TicketImport::Result>::finished, this,
            &ImportDialog::onFinished);

    setSource(QString());
    // Wide enough for the proposed title; as tall as the wrapped texts need
    // at that width.
    const int width = qMax(560, sizeHint().width());
    resize(width,
           layout->hasHeightForWidth() ? layout->heightForWidth(width) : sizeHint().height());
}

ImportDialog::~ImportDialog()
{
    // An import still running is stopped; it leaves nothing behind.
    m_cancel = true;
    m_watcher.waitForFinished();
}

QString ImportDialog::fileNameFor(const QString &title)
{
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1F]"));
    QString name = QString(title).replace(forbidden, QStringLiteral(" ")).simplified();
    while (name.endsWith(u'.') || name.startsWith(u'.'))
        name = (name.endsWith(u'.') ? name.chopped(1) : name.mid(1)).trimmed();
    if (name.isEmpty())
        name = QStringLiteral("Билеты");
    return name + QStringLiteral(".dbv");
}

void ImportDialog::chooseFolder()
{
    const QString chosen = FileDialogs::getOpenFileName(*m_folderDialog);
    if (!chosen.isEmpty())
        setSource(chosen);
}

void ImportDialog::chooseArchive()
{
    const QString chosen = FileDialogs::getOpenFileName(*m_archiveDialog);
    if (!chosen.isEmpty())
        setSource(chosen);
}

void ImportDialog::setSource(const QString &path)
{
    m_source = path;
    m_sourceEdit->setText(QDir::toNativeSeparators(path));
    QStringList found;
    QString fault;
    if (!path.isEmpty()) {
        // Reading the list of an archive takes a moment at most.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        found = TicketImport::categoriesIn(path, nullptr, &fault);
        QGuiApplication::restoreOverrideCursor();
        if (fault.isEmpty() && found.isEmpty())
            fault = QStringLiteral("Билетов здесь не найдено: нет папки «questions/A_B/tickets» "
                                   "или «questions/C_D/tickets».");
    }
    m_categoryAB->setEnabled(found.contains(QStringLiteral("A_B")));
    m_categoryCD->setEnabled(found.contains(QStringLiteral("C_D")));
    // No category is kept checked that the source does not hold.
    for (QRadioButton *button : {m_categoryAB, m_categoryCD}) {
        if (!button->isEnabled() && button->isChecked()) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
    }
    if (!found.isEmpty() && category().isEmpty())
        (found.first() == u"A_B" ? m_categoryAB : m_categoryCD)->setChecked(true);
    if (!fault.isEmpty())
        m_sourceStatus->setText(fault);
    else if (found.isEmpty())
        m_sourceStatus->setText(QStringLiteral("Выберите папку или архив с билетами."));
    else
        m_sourceStatus->setText(
            QStringLiteral("Найдены билеты категорий %1.")
                .arg(found.join(QStringLiteral(" и ")).replace(u'_', QStringLiteral(", "))));
    onCategoryChosen();
}

QString ImportDialog::category() const
{
    if (m_categoryAB->isChecked() && m_categoryAB->isEnabled())
        return QStringLiteral("A_B");
    if (m_categoryCD->isChecked() && m_categoryCD->isEnabled())
        return QStringLiteral("C_D");
    return {};
}

void ImportDialog::onCategoryChosen()
{
    if (!m_titleEdited && !category().isEmpty())
        m_title->setText(TicketImport::defaultTitle(category()));
    m_startButton->setEnabled(!category().isEmpty());
}

void ImportDialog::start()
{
    const QString title = m_title->text().trimmed();
    if (category().isEmpty())
        return;
    if (title.isEmpty()) {
        MessageBoxes::warning(this, Attention, QStringLiteral("Введите название базы."));
        return;
    }
    const QString output = QDir(m_databasesFolder).filePath(fileNameFor(title));
    if (QFileInfo::exists(output) &&
        MessageBoxes::question(this, Attention,
                               QStringLiteral("База «%1» уже есть в папке баз. Заменить её?")
                                   .arg(QFileInfo(output).fileName())) != QMessageBox::Yes) {
        return;
    }
    if (!QDir().mkpath(m_databasesFolder)) {
        MessageBoxes::warning(this, Attention,
                              QStringLiteral("Не удалось создать папку %1.")
                                  .arg(QDir::toNativeSeparators(m_databasesFolder)));
        return;
    }
    m_output = output;
    m_cancel = false;
    m_progress = new QProgressDialog(stageText({}), QStringLiteral("Отмена"), 0, 0, this);
    m_progress->setObjectName(QStringLiteral("importProgress"));
    m_progress->setWindowTitle(QStringLiteral("Импорт билетов"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumWidth(420);
    connect(m_progress, &QProgressDialog::canceled, this, [this] {
        m_cancel = true;
        m_progress->setLabelText(QStringLiteral("Отмена…"));
    });
    m_progress->show();

    const TicketImport::Request request{m_source, category(), title, output};
    const auto onProgress = [this](const TicketImport::Progress &progress) {
        QMetaObject::invokeMethod(
            this, [this, progress] { showProgress(progress); }, Qt::QueuedConnection);
    };
    m_watcher.setFuture(QtConcurrent::run([request, onProgress, cancel = &m_cancel] {
        return TicketImport::run(request, onProgress, cancel);
    }));
}

void ImportDialog::showProgress(const TicketImport::Progress &progress)
{
    if (!m_progress || m_cancel)
        return;
    m_progress->setLabelText(stageText(progress));
    m_progress->setMaximum(progress.total);
    m_progress->setValue(progress.done);
}

void ImportDialog::onFinished()
{
    const TicketImport::Result result = m_watcher.result();
    if (m_progress) {
        m_progress->deleteLater();
        m_progress = nullptr;
    }
    using Status = TicketImport::Result::Status;
    switch (result.status) {
    case Status::Written:
        m_writtenPath = m_output;
        reportReference(result.summary);
        accept();
        return;
    case Status::Cancelled:
        m_sourceStatus->setText(QStringLiteral("Импорт отменён. Ничего не записано."));
        return;
    case Status::Refused: {
        ImportErrorsDialog errors(result.russianReason + QStringLiteral("\nБаза не записана."),
                                  result.problems, this);
        errors.exec();
        return;
    }
    case Status::Problems: {
        ImportErrorsDialog errors(
            QStringLiteral("В билетах найдены ошибки (%1). База не записана: ни один файл не "
                           "изменён. Список ниже можно скопировать.")
                .arg(result.problems.size()),
            result.problems, this);
        errors.exec();
        return;
    }
    }
}

void ImportDialog::reportReference(const TicketImport::Summary &summary)
{
    const bool hadReference = summary.signs + summary.markings + summary.penalties > 0 ||
                              !summary.referenceProblems.isEmpty();
    if (!hadReference)
        return;
    const QString imported =
        QStringLiteral("База записана. Справочник импортирован: %1.").arg(referenceCounts(summary));
    if (summary.referenceProblems.isEmpty()) {
        MessageBoxes::information(this, QStringLiteral("Импорт билетов"), imported);
        return;
    }
    // Listed as `dbv import` reports them.
    QStringList lines;
    for (const QString &problem : summary.referenceProblems)
        lines << QStringLiteral("reference: %1").arg(problem);
    ImportErrorsDialog warnings(
        imported + QStringLiteral(" Замечания к справочнику (%1): то, чего они касаются, в "
                                  "справочник не вошло, остальное импортировано. Список ниже "
                                  "можно скопировать.")
                       .arg(lines.size()),
        lines, this, ImportErrorsDialog::Outcome::Imported);
    warnings.exec();
}
