#include "tform4.h"

#include "designfonts.h"
#include "picturebox.h"

#include <QFrame>
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

TForm4::TForm4(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Информация"));
    setFont(pixelFont(11, false));
    setFixedSize(DesignClientSize);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 8, 345, 20);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(pixelFont(16, true, true));
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(red);
    Label1->setText(QStringLiteral("Поздравляем! Вы сдали экзамен!"));

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setGeometry(16, 40, 105, 105);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);

    Image1 = new PictureBox(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(16, 40, 105, 104);
    Image1->setProportional(false);
    Image1->setImage(QImage(QStringLiteral(":/exam/car.png")));

    Label2 = resultLine(this, "Label2", QRect(128, 56, 201, 16));
    Label3 = resultLine(this, "Label3", QRect(128, 80, 201, 16));
    Label4 = resultLine(this, "Label4", QRect(128, 104, 201, 16));

    BitBtn1 = new QPushButton(QIcon(QStringLiteral(":/exam/ok.png")), QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(128, 152, 75, 25);
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm4::setResultLines(const QString &headline, const QString &line2, const QString &line3,
                            const QString &line4)
{
    Label1->setText(headline);
    Label2->setText(line2);
    Label3->setText(line3);
    Label4->setText(line4);
}

int TForm4::showModalAtDesignPosition()
{
    move(DesignPosition);
    BitBtn1->setFocus();
    return exec();
}
