#include "tform7.h"

#include "artresources.h"
#include "designfonts.h"
#include "programinfo.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

TForm7::TForm7(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QString::fromUtf8(ProgramInfo::AboutCaption));
    setFixedSize(377, 260);
    setFont(DesignFonts::font(QStringLiteral("MS Sans Serif"), 8));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 8, 33, 33);
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    Image1->setPixmap(QPixmap(ArtResources::aboutPicture()));

    Label2 = new QLabel(QString::fromUtf8(ProgramInfo::MainCaption), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont titleFont(QStringLiteral("Times New Roman"));
    titleFont.setPixelSize(19);
    titleFont.setBold(true);
    Label2->setFont(titleFont);
    Label2->move(56, 8);
    Label2->adjustSize();

    Label1 = new QLabel(QString::fromUtf8(ProgramInfo::Authors), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont authorsFont = font();
    authorsFont.setPixelSize(16);
    authorsFont.setBold(true);
    Label1->setFont(authorsFont);
    Label1->move(56, 32);
    Label1->adjustSize();

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 56, 361, 161);
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::Box);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setPlainText(agreementText());

    Button1 = new QPushButton(QStringLiteral("ОК"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(144, 224, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QString TForm7::agreementText()
{
    return QStringLiteral(
               "ЛИЦЕНЗИОННОЕ СОГЛАШЕНИЕ С ПОЛЬЗОВАТЕЛЕМ\n"
               "\n"
               "Программа «Зелтрак ПДД» — свободное программное обеспечение. Она "
               "распространяется на условиях Стандартной общественной лицензии GNU "
               "(GNU General Public License) версии 3 или, по Вашему выбору, любой более "
               "поздней версии. Ниже — краткое изложение этих условий; имеет силу только "
               "полный текст лицензии, который прилагается к программе в файле LICENSE "
               "и опубликован на сайте https://www.gnu.org/licenses/.\n"
               "\n"
               "1. Вы можете бесплатно запускать программу для любых целей, в том числе "
               "в автошколах и учебных классах.\n"
               "2. Вы можете изучать, как устроена программа, и изменять её. Для этого "
               "Вам доступен её исходный текст.\n"
               "3. Вы можете распространять копии программы, в том числе за плату, если "
               "передаёте получателям те же права и сообщаете им, где взять исходный "
               "текст.\n"
               "4. Если Вы распространяете изменённую версию, она также должна "
               "распространяться на условиях GPL версии 3 или более поздней, с исходным "
               "текстом и пометкой о внесённых изменениях.\n"
               "5. Программа предоставляется «как есть», без каких-либо гарантий, в том "
               "числе без гарантии пригодности для определённой цели. Авторы не отвечают "
               "за последствия её использования. Программа помогает готовиться к "
               "экзамену, но не заменяет официальные правила дорожного движения.\n"
               "\n"
               "Версия программы: %1\n"
               "Исходный текст программы: %2\n"
               "Отзывы и предложения: %3")
        .arg(QString::fromUtf8(ProgramInfo::Version), QString::fromUtf8(ProgramInfo::SourceAddress),
             QString::fromUtf8(ProgramInfo::Email));
}
