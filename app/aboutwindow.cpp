#include "aboutwindow.h"

#include "artresources.h"
#include "bundledpictures.h"
#include "designfonts.h"
#include "programinfo.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

AboutWindow::AboutWindow(QWidget *parent)
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

    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("Image1"));
    m_icon->setGeometry(8, 8, 33, 33);
    m_icon->setAttribute(Qt::WA_TranslucentBackground);
    m_icon->setPixmap(BundledPictures::pixmap(ArtResources::aboutPicture()));

    m_title = new QLabel(QString::fromUtf8(ProgramInfo::MainCaption), this);
    m_title->setObjectName(QStringLiteral("Label2"));
    QFont titleFont(QStringLiteral("Times New Roman"));
    titleFont.setPixelSize(19);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->move(56, 8);
    m_title->adjustSize();

    m_authors = new QLabel(QString::fromUtf8(ProgramInfo::Authors), this);
    m_authors->setObjectName(QStringLiteral("Label1"));
    QFont authorsFont = font();
    authorsFont.setPixelSize(16);
    authorsFont.setBold(true);
    m_authors->setFont(authorsFont);
    m_authors->move(56, 32);
    m_authors->adjustSize();

    m_agreement = new QPlainTextEdit(this);
    m_agreement->setObjectName(QStringLiteral("Memo1"));
    m_agreement->setGeometry(8, 56, 361, 161);
    m_agreement->setReadOnly(true);
    m_agreement->setFrameShape(QFrame::Box);
    m_agreement->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_agreement->setPlainText(agreementText());

    m_okButton = new QPushButton(QStringLiteral("ОК"), this);
    m_okButton->setObjectName(QStringLiteral("Button1"));
    m_okButton->setGeometry(144, 224, 75, 25);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QString AboutWindow::agreementText()
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
