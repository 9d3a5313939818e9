#include "resultdialog.h"

#include "bundledpictures.h"
#include "designfonts.h"
#include "examattempt.h"
#include "picturebox.h"
#include "timetext.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {

QFont pixelFont(int pixels, bool bold, bool underline = false)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QLabel *resultLine(QWidget *parent, const char *name, const QRect &rect)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(rect);
    label->setFont(pixelFont(13, true));
    return label;
}

} // namespace

ResultDialog::ResultDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Информация"));
    setFont(pixelFont(11, false));
    setFixedSize(DesignClientSize);

    m_headline = new QLabel(this);
    m_headline->setObjectName(QStringLiteral("Label1"));
    m_headline->setGeometry(8, 8, 345, 20);
    m_headline->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_headline->setFont(pixelFont(16, true, true));
    QPalette red = m_headline->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_headline->setPalette(red);
    m_headline->setText(QStringLiteral("Поздравляем! Вы сдали экзамен!"));

    m_pictureFrame = new QFrame(this);
    m_pictureFrame->setObjectName(QStringLiteral("Bevel1"));
    m_pictureFrame->setGeometry(16, 40, 105, 105);
    m_pictureFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);

    m_picture = new PictureBox(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setGeometry(16, 40, 105, 104);
    m_picture->setProportional(false);
    // Through QIcon, which takes the "@2x" drawing on a HiDPI screen.
    m_picture->setImage(BundledPictures::icon(QStringLiteral(":/exam/car.png"))
                            .pixmap(QSize(192, 192), devicePixelRatioF())
                            .toImage());

    m_line2 = resultLine(this, "Label2", QRect(128, 56, 201, 16));
    m_line3 = resultLine(this, "Label3", QRect(128, 80, 201, 16));
    m_line4 = resultLine(this, "Label4", QRect(128, 104, 201, 16));

    m_okButton = new QPushButton(BundledPictures::icon(QStringLiteral(":/exam/ok.png")),
                                 QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("BitBtn1"));
    m_okButton->setGeometry(128, 152, 75, 25);
    m_okButton->setDefault(true);
    m_okButton->setAutoDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
}

void ResultDialog::setResultLines(const QString &headline, const QString &line2,
                                  const QString &line3, const QString &line4)
{
    m_headline->setText(headline);
    m_line2->setText(line2);
    m_line3->setText(line3);
    m_line4->setText(line4);
}

void ResultDialog::setResult(const AttemptResult &result)
{
    const QString ticketLine = QStringLiteral("Вы отвечали на билет №%1").arg(result.ticket);
    const QString correctLine = QStringLiteral("Правильных ответов: %1").arg(result.correctCount);
    if (result.mode == AttemptMode::Exam) {
        const QString timeLine =
            QStringLiteral("Время ответа: ") + longTimeText(result.elapsedSeconds);
        if (result.passed)
            setResultLines(QStringLiteral("Поздравляем вы сдали экзамен!"), ticketLine, correctLine,
                           timeLine);
        else
            setResultLines(QStringLiteral("К сожалению экзамен не сдан!"), ticketLine,
                           QStringLiteral("Ошибок: %1").arg(result.errorCount), timeLine);
        return;
    }
    const QString untimed = QStringLiteral("Время не учитывалось.");
    if (result.passed)
        setResultLines(QStringLiteral("Поздравляем вы прошли тренировку!"), ticketLine, correctLine,
                       untimed);
    else
        setResultLines(QStringLiteral("К сожалению тренировка не пройдена!"), ticketLine,
                       correctLine, untimed);
}

int ResultDialog::showModalAtDesignPosition()
{
    move(DesignPosition);
    m_okButton->setFocus();
    return exec();
}
