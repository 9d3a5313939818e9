// Shows the exam window over a synthetic database for looking at it by eye:
//   examwindow_preview <mode 0..3> <ticket> <position> [maximised] [result]
// Mode 3 is preparation. With "result" the result dialog is shown instead.
#include "designfonts.h"
#include "examattempt.h"
#include "examwindow.h"
#include "examwindowhost.h"
#include "questiondatabase.h"
#include "resultdialog.h"
#include "statisticsfile.h"
#include "statrecord.h"
#include "syntheticdatabase.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

namespace {

class PreviewHost : public ExamWindowHost
{
public:
    bool showStatisticsChecked() const override { return true; }
    void examWindowClosed() override { QCoreApplication::quit(); }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DesignFonts::installSubstitutions();
    const QStringList args = app.arguments();
    const int mode = args.value(1, QStringLiteral("0")).toInt();
    const int ticket = args.value(2, QStringLiteral("1")).toInt();
    const int position = args.value(3, QStringLiteral("1")).toInt();

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString path = dir.filePath(QStringLiteral("preview.dbv"));
    SyntheticDatabase::write(path);
    globalQuestionDatabase().openDatabase(path);
    QuestionStats stats;
    stats.correct = {3, 1, 0};
    stats.wrong = {1, 0, 1};
    stats.seconds = {40, 12, 9};
    for (int q = 1; q <= 20; ++q)
        globalStatRecord().setQuestionStats(ticket, q, stats);

    if (args.contains(QStringLiteral("result"))) {
        ResultDialog dialog;
        dialog.setResultLines(QStringLiteral("Поздравляем вы сдали экзамен!"),
                              QStringLiteral("Вы отвечали на билет №%1").arg(ticket),
                              QStringLiteral("Правильных ответов: 19"),
                              QStringLiteral("Время ответа: 0:07:41"));
        return dialog.showModalAtDesignPosition();
    }

    PreviewHost host;
    ExamWindow form;
    form.setHost(&host);
    AttemptSetup setup;
    setup.mode = mode == 3 ? AttemptMode::Learning : AttemptMode(mode);
    setup.preparation = mode == 3;
    setup.ticket = ticket;
    setup.timeLimitSeconds = 1200;
    form.setAttempt(
        std::make_unique<ExamAttempt>(setup, globalQuestionDatabase(), globalStatRecord()));
    form.move(20, 20);
    // Without a window manager a maximised state alone does not resize.
    if (args.contains(QStringLiteral("maximised")))
        form.setGeometry(form.screen()->availableGeometry());
    form.show();
    auto *list = form.findChild<QListWidget *>(QStringLiteral("ListView1"));
    list->setCurrentRow(position - 1);
    return app.exec();
}
