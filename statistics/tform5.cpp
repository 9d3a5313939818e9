#include "tform5.h"

#include "barchart.h"
#include "chartseries.h"
#include "designfonts.h"
#include "help.h"
#include "messageboxes.h"
#include "statrecord.h"
#include "ticketlistview.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

const QColor Maroon(128, 0, 0);
const QColor Navy(0, 0, 128);
const QColor Red(255, 0, 0);
const QColor Green(0, 128, 0);
const QColor Blue(0, 0, 255);
const QColor TimeBars(0, 64, 128);
const QColor Yellowish(255, 255, 128);
const QColor SpringGreen(0, 255, 64);
const QColor Aqua(0, 255, 255);

constexpr int RatingPage = 0;
constexpr int QuestionPage = 3;

QString designFamily()
{
    return QStringLiteral("MS Sans Serif");
}

// %g with up to 15 significant digits: whole numbers without a decimal point.
QString formatValue(double value)
{
    return QString::number(value, 'g', 15);
}

QLabel *explanation(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(DesignFonts::font(designFamily(), 8));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Navy);
    label->setPalette(palette);
    return label;
}

// Tabs light up under the mouse, whatever the style draws for a hovered tab.
class HotTrackTabStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element == CE_TabBarTabShape && (option->state & State_MouseOver) &&
            !(option->state & State_Selected)) {
            QColor glow = option->palette.color(QPalette::Highlight);
            glow.setAlpha(48);
            painter->fillRect(option->rect.adjusted(2, 2, -2, -1), glow);
        }
    }
};

} // namespace

TForm5::TForm5(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Статистика"));
    setFont(DesignFonts::font(designFamily(), 8));
    setFixedSize(722, 448);

    buildHeading();
    buildPages();
    buildCharts();
    buildFilter();

    m_ok =
        new QPushButton(QIcon(QStringLiteral(":/statistics/ok.png")), QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_ok->setGeometry(640, 412, 75, 25);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

TForm5::~TForm5() = default;

void TForm5::buildHeading()
{
    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(16, 8, 17, 17);
    image->setPixmap(QPixmap(QStringLiteral(":/statistics/heading.png")));

    m_heading = new QLabel(QStringLiteral("Выберите вид и тип интересующей статистики"), this);
    m_heading->setObjectName(QStringLiteral("Label1"));
    QFont headingFont = DesignFonts::font(designFamily(), 12, true);
    headingFont.setUnderline(true);
    m_heading->setFont(headingFont);
    QPalette palette = m_heading->palette();
    palette.setColor(QPalette::WindowText, Maroon);
    m_heading->setPalette(palette);
    m_heading->move(40, 5);
    m_heading->adjustSize();

    m_helpButton = new QToolButton(this);
    m_helpButton->setObjectName(QStringLiteral("SpeedButton1"));
    m_helpButton->setGeometry(696, 8, 17, 17);
    m_helpButton->setIcon(QIcon(QStringLiteral(":/statistics/help.png")));
    m_helpButton->setIconSize(QSize(13, 13));
    m_helpButton->setAutoRaise(true);
    m_helpButton->setFocusPolicy(Qt::NoFocus);
    m_helpButton->setToolTip(QStringLiteral("Справка"));
    connect(m_helpButton, &QToolButton::clicked, this, &TForm5::SpeedButton1Click);
}

void TForm5::buildPages()
{
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->setGeometry(8, 32, 705, 369);
    m_pages->setIconSize(QSize(16, 16));
    m_pages->setUsesScrollButtons(false);
    m_pages->tabBar()->setExpanding(false);
    m_pages->tabBar()->setAttribute(Qt::WA_Hover);
    auto *tabStyle = new HotTrackTabStyle;
    tabStyle->setParent(m_pages->tabBar());
    m_pages->tabBar()->setStyle(tabStyle);

    struct Page
    {
        const char *objectName;
        const char *caption;
        const char *icon;
    };
    const Page pages[] = {
        {"TabSheet1", "Рейтинг билетов", ":/statistics/tab-rating.png"},
        {"TabSheet5", "Время просмотра билетов", ":/statistics/tab-time.png"},
        {"TabSheet6", "Ответы на билеты", ":/statistics/tab-answers.png"},
        {"TabSheet4", "Время просмотра и ответы на вопросы", ":/statistics/tab-questions.png"},
    };
    for (const Page &page : pages) {
        auto *sheet = new QWidget;
        sheet->setObjectName(QString::fromLatin1(page.objectName));
        m_pages->addTab(sheet, QIcon(QString::fromLatin1(page.icon)),
                        QString::fromUtf8(page.caption));
    }

    QWidget *questionPage = m_pages->widget(QuestionPage);
    m_tickets = new TicketListView(questionPage);
    m_tickets->setObjectName(QStringLiteral("ListView3"));
    m_tickets->setGeometry(8, 8, 97, 289);
    connect(m_tickets, &QListWidget::itemSelectionChanged, this, &TForm5::ListView1SelectItem);

    explanation(QStringLiteral("Label3"),
                QStringLiteral("Рейтинг билетов показывает уровень знаний для каждого билета. "
                               "Зеленым цветом отмечается самый лучший, а красным цветом - самый "
                               "худший билет. Уровень рейтинга оценивается в процентах от "
                               "показателя самого лучшего билета."),
                m_pages->widget(0))
        ->setGeometry(32, 312, 641, 33);
    explanation(QStringLiteral("Label4"),
                QStringLiteral("Диаграмма показывает затраты времени в секундах на просмотр "
                               "вопросов в билетах. При нажатии на столбики диаграммы левой "
                               "кнопкой мыши будет показано уточнение затрат времени в секундах "
                               "для выбранного билета. "),
                m_pages->widget(1))
        ->setGeometry(40, 312, 593, 33);
    explanation(QStringLiteral("Label5"),
                QStringLiteral("В диаграмме представлено соотношение количества правильных и "
                               "неправильных ответов на вопросы билетов. После нажатия левой "
                               "кнопки мыши на столбике диаграммы будет показано уточнение "
                               "количества ответов для выбранного билета."),
                m_pages->widget(2))
        ->setGeometry(24, 312, 649, 33);
    explanation(QStringLiteral("Label11"),
                QStringLiteral("Диаграммы детализируют статистику по каждому вопросу. После "
                               "нажатия левой кнопки мыши на столбике диаграммы будет показано "
                               "уточнение количества ответов для выбранного вопроса. Номер билета "
                               "можно изменить выбрав его в списке слева."),
                questionPage)
        ->setGeometry(24, 312, 649, 33);
}

void TForm5::buildCharts()
{
    const QString noStatistics = QStringLiteral("СТАТИСТИКА ОТСУТСТВУЕТ");
    const QString ticketNumbers = QStringLiteral("Номера билетов");
    const QString questionNumbers = QStringLiteral("Номера вопросов");
    const QString seconds = QStringLiteral("Время в секундах");
    const QString answers = QStringLiteral("Количество ответов");
    const QString answerTime = QStringLiteral("Время ответа");
    const QString wrong = QStringLiteral("Неправильно");
    const QString correct = QStringLiteral("Правильно");

    auto makeChart = [](const QString &objectName, QWidget *page, const QRect &rect,
                        const QColor &gradientEnd) {
        auto *chart = new BarChart(page);
        chart->setObjectName(objectName);
        chart->setGeometry(rect);
        chart->setGradientEndColour(gradientEnd);
        if (rect.left() < 0)
            chart->setHiddenLeftEdge(-rect.left());
        return chart;
    };

    m_chart4 =
        makeChart(QStringLiteral("Chart4"), m_pages->widget(0), QRect(-16, 8, 713, 294), Yellowish);
    m_chart4->setTitles(QStringLiteral("Рейтинг билетов"), ticketNumbers,
                        QStringLiteral("Уровень рейтинга %"));
    m_chart4->setFixedValueRange(0, 100, 10);
    m_chart4->setNoDataLabel(QStringLiteral("Label6"), QStringLiteral("РЕЙТИНГ ОТСУТСТВУЕТ"),
                             QPoint(168, 120));
    m_barSeries2 = m_chart4->addSeries(QStringLiteral("BarSeries2"), answerTime, Blue);

    m_chart2 = makeChart(QStringLiteral("Chart2"), m_pages->widget(1), QRect(-16, 8, 713, 294),
                         SpringGreen);
    m_chart2->setTitles(QStringLiteral("Общее время ответа на билеты"), ticketNumbers, seconds);
    m_chart2->setNoDataLabel(QStringLiteral("Label7"), noStatistics, QPoint(136, 120));
    m_series1 = m_chart2->addSeries(QStringLiteral("Series1"), answerTime, TimeBars);

    m_chart3 =
        makeChart(QStringLiteral("Chart3"), m_pages->widget(2), QRect(-16, 8, 713, 305), Aqua);
    m_chart3->setTitles(QStringLiteral("Количество ответов на вопросы билетов"), ticketNumbers,
                        answers);
    m_chart3->setLegendVisible(true);
    m_chart3->setNoDataLabel(QStringLiteral("Label8"), noStatistics, QPoint(136, 120));
    m_barSeries1 = m_chart3->addSeries(QStringLiteral("BarSeries1"), wrong, Red);
    m_series2 = m_chart3->addSeries(QStringLiteral("Series2"), correct, Green);

    QWidget *questionPage = m_pages->widget(QuestionPage);
    m_chart5 =
        makeChart(QStringLiteral("Chart5"), questionPage, QRect(112, 8, 577, 145), SpringGreen);
    m_chart5->setTitles(QStringLiteral("Время ответа на вопросы"), questionNumbers, seconds);
    m_chart5->setNoDataLabel(QStringLiteral("Label9"), noStatistics, QPoint(61, 48));
    m_barSeries4 = m_chart5->addSeries(QStringLiteral("BarSeries4"), answerTime, TimeBars);

    m_chart1 = makeChart(QStringLiteral("Chart1"), questionPage, QRect(112, 160, 577, 148), Aqua);
    m_chart1->setTitles(QStringLiteral("Количество ответов на вопросы билета"), questionNumbers,
                        answers);
    m_chart1->setLegendVisible(true);
    m_chart1->setNoDataLabel(QStringLiteral("Label12"), noStatistics, QPoint(61, 48));
    m_barSeries3 = m_chart1->addSeries(QStringLiteral("BarSeries3"), wrong, Red);
    m_barSeries7 = m_chart1->addSeries(QStringLiteral("BarSeries7"), correct, Green);

    for (BarChart *chart : {m_chart4, m_chart2, m_chart3, m_chart5, m_chart1})
        chart->updateBars();

    connect(m_chart4, &BarChart::clickSeries, this, &TForm5::Chart2ClickSeries);
    connect(m_chart2, &BarChart::clickSeries, this, &TForm5::Chart2ClickSeries);
    connect(m_chart3, &BarChart::clickSeries, this, &TForm5::Chart3ClickSeries);
    connect(m_chart5, &BarChart::clickSeries, this, &TForm5::Chart5ClickSeries);
    connect(m_chart1, &BarChart::clickSeries, this, &TForm5::Chart6ClickSeries);
}

void TForm5::buildFilter()
{
    auto *caption =
        new QLabel(QStringLiteral("Показывать статистику только   для   режимов:"), this);
    caption->setObjectName(QStringLiteral("Label2"));
    caption->setGeometry(8, 408, 145, 33);
    caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    caption->setWordWrap(true);
    QFont captionFont = DesignFonts::font(designFamily(), 8, true);
    captionFont.setUnderline(true);
    caption->setFont(captionFont);

    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setGeometry(160, 408, 377, 33);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bevel->setLineWidth(1);

    struct Filter
    {
        const char *objectName;
        const char *caption;
        int left;
        int width;
        ModeFilter filter;
    };
    const Filter filters[] = {
        {"rb1", "Общая", 168, 65, ModeFilter::All},
        {"rb2", "Обучение", 248, 81, ModeFilter::Learning},
        {"rb3", "Тренировка", 344, 97, ModeFilter::Training},
        {"rb4", "Экзамен", 456, 73, ModeFilter::Exam},
    };
    for (const Filter &f : filters) {
        auto *button = new QRadioButton(QString::fromUtf8(f.caption), this);
        button->setObjectName(QString::fromLatin1(f.objectName));
        button->setGeometry(f.left, 416, f.width, 17);
        button->setChecked(f.filter == m_filter);
        const ModeFilter filter = f.filter;
        connect(button, &QRadioButton::toggled, this,
                [this, filter](bool checked) { filterClicked(filter, checked); });
    }
}

void TForm5::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        centreOnDesktop();
        m_activatedThisOpening = false;
        FormShow();
    }
    QDialog::showEvent(event);
}

bool TForm5::event(QEvent *event)
{
    // The activation steps run once per opening, when the window first takes
    // the focus; closing one of its own message boxes activates it again and
    // must not move the user back to the first page.
    if (event->type() == QEvent::WindowActivate && isVisible() && !m_activatedThisOpening) {
        m_activatedThisOpening = true;
        FormActivate();
    }
    return QDialog::event(event);
}

void TForm5::centreOnDesktop()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect desktop = screen->availableGeometry();
    move(desktop.center() - rect().center());
}

void TForm5::FormShow()
{
    RefreshTicketCharts();
}

void TForm5::FormActivate()
{
    navigateToTicket(0);
    m_pages->setCurrentIndex(RatingPage);
}

void TForm5::filterClicked(ModeFilter filter, bool checked)
{
    if (!checked)
        return;
    m_filter = filter;
    RefreshTicketCharts();
}

void TForm5::RefreshTicketCharts()
{
    for (ChartSeries *series : {m_series1, m_barSeries1, m_series2, m_barSeries2})
        series->clear();

    const TicketRatings ratings = computeTicketRatings(GlobalStatRecord(), m_filter);
    for (int ticket = 1; ticket <= 40; ++ticket) {
        const QString label = QString::number(ticket);
        const AnswerTotals &totals = ratings.totals[ticket];
        m_series1->add(double(totals.seconds), label);
        m_barSeries1->add(totals.wrong, label);
        m_series2->add(totals.correct, label);
        if (ratings.bestValue != 0.0) {
            QColor colour;
            if (ticket == ratings.bestTicket)
                colour = Green;
            else if (ticket == ratings.worstTicket)
                colour = Red;
            m_barSeries2->add(ratings.percentOfBest(ticket), label, colour);
        }
    }
    m_chart4->updateBars();
    m_chart2->updateBars();
    m_chart3->updateBars();

    RefreshQuestionCharts();
}

void TForm5::RefreshQuestionCharts()
{
    const QList<QListWidgetItem *> selected = m_tickets->selectedItems();
    if (selected.isEmpty())
        return;
    const int ticket = m_tickets->row(selected.first()) + 1;

    for (ChartSeries *series : {m_barSeries4, m_barSeries3, m_barSeries7})
        series->clear();
    const StatRecord &record = GlobalStatRecord();
    for (int question = 1; question <= 20; ++question) {
        const QString label = QString::number(question);
        const AnswerTotals totals = questionTotals(record, ticket, question, m_filter);
        m_barSeries4->add(double(totals.seconds), label);
        // The bars are drawn in the colours of what they count (correct
        // green, wrong red) while the legend keeps the series colours.
        m_barSeries3->add(totals.correct, label, Green);
        m_barSeries7->add(totals.wrong, label, Red);
    }
    m_chart5->updateBars();
    m_chart1->updateBars();
}

void TForm5::ListView1SelectItem()
{
    RefreshQuestionCharts();
}

void TForm5::navigateToTicket(int index)
{
    m_pages->setCurrentIndex(QuestionPage);
    m_tickets->setCurrentRow(index);
    m_tickets->scrollToItem(m_tickets->item(index));
}

void TForm5::Chart2ClickSeries(ChartSeries *, int index)
{
    navigateToTicket(index);
}

void TForm5::Chart3ClickSeries(ChartSeries *, int index)
{
    navigateToTicket(index);
}

void TForm5::Chart5ClickSeries(ChartSeries *series, int index)
{
    MessageBoxes::information(this, QStringLiteral("ВРЕМЯ"),
                              QStringLiteral("На решение вопроса №%1 затрачено %2 сек.")
                                  .arg(index + 1)
                                  .arg(formatValue(series->value(index))));
}

void TForm5::Chart6ClickSeries(ChartSeries *series, int index)
{
    if (series == m_barSeries3) {
        MessageBoxes::information(
            this, QStringLiteral("Правильные ответы"),
            QStringLiteral("При решении вопроса №%1 получено %2 правильных ответов.")
                .arg(index + 1)
                .arg(formatValue(series->value(index))));
    } else {
        MessageBoxes::information(this, QStringLiteral("Неправильные ответы"),
                                  QStringLiteral("При решении вопроса №%1 сделано %2 ошибок.")
                                      .arg(index + 1)
                                      .arg(formatValue(series->value(index))));
    }
}

void TForm5::SpeedButton1Click()
{
    Help::showTopic(this, QStringLiteral("stat"));
}
