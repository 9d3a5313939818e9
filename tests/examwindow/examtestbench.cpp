#include "examtestbench.h"

#include "examattempt.h"
#include "messageboxes.h"
#include "programrandom.h"
#include "questiondatabase.h"
#include "statisticsfile.h"
#include "statrecord.h"
#include "syntheticdatabase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTest>

ModalWatcher::ModalWatcher()
{
    m_timer.setInterval(1);
    connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
    m_timer.start();
}

void ModalWatcher::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (auto *result = qobject_cast<ResultDialog *>(modal)) {
        QStringList lines;
        for (const char *name : {"Label1", "Label2", "Label3", "Label4"})
            lines << result->findChild<QLabel *>(QString::fromLatin1(name))->text();
        resultDialogs << lines;
        QTest::mouseClick(result->findChild<QPushButton *>(QStringLiteral("BitBtn1")),
                          Qt::LeftButton);
    } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        if (onMessageBox) {
            onMessageBox(box);
            return;
        }
        unexpectedBoxes << box->text();
        box->reject();
    }
}

ExamTestBench::ExamTestBench()
{
    m_previousDir = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    const QString path = m_dir.filePath(QStringLiteral("test.dbv"));
    SyntheticDatabase::write(path);
    globalQuestionDatabase().openDatabase(path);
    globalStatRecord() = StatRecord();
    saveStatistics(globalStatRecord());
    MessageBoxes::clearShown();
    MessageBoxes::setNextAnswers({});
    ProgramRandom::clearScript();
    form.setHost(&host);
    form.setResultDialog(&dialog);
}

ExamTestBench::~ExamTestBench()
{
    form.hide();
    globalQuestionDatabase().closeDatabase();
    ProgramRandom::clearScript();
    QDir::setCurrent(m_previousDir);
}

void ExamTestBench::start(int mode, int ticket, bool preparation, int limitSeconds)
{
    AttemptSetup setup;
    setup.mode = AttemptMode(mode);
    setup.preparation = preparation;
    setup.ticket = ticket;
    setup.timeLimitSeconds = limitSeconds;
    setup.shuffleVariants = host.shuffleAnswers;
    form.setAttempt(
        std::make_unique<ExamAttempt>(setup, globalQuestionDatabase(), globalStatRecord()));
    form.show();
    // Real ticks would add seconds at random moments; the tests drive every
    // second themselves through tick().
    for (const char *name : {"Timer1", "SpTimer"})
        form.findChild<QTimer *>(QString::fromLatin1(name))->setInterval(24 * 3600 * 1000);
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

QLabel *ExamTestBench::label(const char *name) const
{
    return form.findChild<QLabel *>(QString::fromLatin1(name));
}

QPushButton *ExamTestBench::button(int n) const
{
    return form.findChild<QPushButton *>(QStringLiteral("BitBtn%1").arg(n));
}

QListWidget *ExamTestBench::list() const
{
    return form.findChild<QListWidget *>(QStringLiteral("ListView1"));
}

int ExamTestBench::itemIcon(int position) const
{
    return list()->item(position - 1)->data(ExamWindow::ImageIndexRole).toInt();
}

QString ExamTestBench::visibleButtons() const
{
    QString digits;
    for (int n = 1; n <= 5; ++n)
        digits += button(n)->isVisible() ? QString::number(n) : QString();
    return digits;
}

QString ExamTestBench::enabledButtons() const
{
    QString digits;
    for (int n = 1; n <= 5; ++n)
        digits += button(n)->isEnabled() ? QString::number(n) : QString();
    return digits;
}

void ExamTestBench::pressDigit(int n)
{
    QTest::keyClick(list(), char('0' + n));
}

void ExamTestBench::answerCorrect(bool byKey)
{
    if (byKey)
        pressDigit(attempt().correctVariant());
    else
        QTest::mouseClick(button(attempt().correctVariant()), Qt::LeftButton);
}

void ExamTestBench::answerWrong(bool byKey)
{
    const int wrong = attempt().correctVariant() == 1 ? 2 : 1;
    if (byKey)
        pressDigit(wrong);
    else
        QTest::mouseClick(button(wrong), Qt::LeftButton);
}

void ExamTestBench::selectPosition(int position)
{
    QListWidgetItem *item = list()->item(position - 1);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualItemRect(item).center());
}

void ExamTestBench::tick(int seconds)
{
    // A stopped timer does not tick.
    auto *spTimer = form.findChild<QTimer *>(QStringLiteral("SpTimer"));
    auto *timer1 = form.findChild<QTimer *>(QStringLiteral("Timer1"));
    for (int i = 0; i < seconds; ++i) {
        if (spTimer->isActive())
            form.onSecondTick();
        if (timer1->isActive())
            form.onCountdownTick();
    }
}

QByteArray ExamTestBench::statFile() const
{
    QFile file(QDir(m_dir.path()).filePath(QStringLiteral("stat.dat")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
