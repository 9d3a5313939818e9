#include "statisticswindow.h"

#include "barchart.h"
#include "bundledpictures.h"
#include "chartseries.h"
#include "designfonts.h"
#include "dynamicspage.h"
#include "help.h"
#include "messageboxes.h"
#include "statrecord.h"
#include "tabrows.h"
#include "ticketlistview.h"

#include <QFrame>
#include <QIcon>
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

StatisticsWindow::StatisticsWindow(QWidget *parent)
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

    m_okButton = new QPushButton(BundledPictures::icon(QStringLiteral(":/statistics/ok.png")),
                                 QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("BitBtn1"));
    m_okButton->setGeometry(640, 412, 75, 25);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    arrangeTabRows();
}

StatisticsWindow::~StatisticsWindow() = default;

void StatisticsWindow::buildHeading()
{
    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(16, 8, 17, 17);
    // Through QIcon, which takes the "@2x" drawing on a HiDPI screen.
    image->setPixmap(BundledPictures::icon(QStringLiteral(":/statistics/heading.png"))
                         .pixmap(QSize(17, 17), devicePixelRatioF()));

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
    m_helpButton->setIcon(BundledPictures::icon(QStringLiteral(":/statistics/help.png")));
    m_helpButton->setIconSize(QSize(13, 13));
    m_helpButton->setAutoRaise(true);
    m_helpButton->setFocusPolicy(Qt::NoFocus);
    m_helpButton->setToolTip(QStringLiteral("Справка"));
    connect(m_helpButton, &QToolButton::clicked, this, &StatisticsWindow::onHelpClicked);
}

void StatisticsWindow::buildPages()
{
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->setGeometry(8, 32, 705, 369);
    m_pages->setIconSize(QSize(16, 16));

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
        m_pages->addTab(sheet, BundledPictures::icon(QString::fromLatin1(page.icon)),
                        QString::fromUtf8(page.caption));
    }

    QWidget *questionPage = m_pages->widget(QuestionPage);
    m_tickets = new TicketListView(questionPage);
    m_tickets->setObjectName(QStringLiteral("ListView3"));
    m_tickets->setGeometry(8, 8, 97, 289);
    connect(m_tickets, &QListWidget::itemSelectionChanged, this,
            &StatisticsWindow::onTicketSelected);

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

    // After the four pages over "stat.dat", the one over the answer history.
    m_dynamics = new DynamicsPage;
    m_dynamics->setObjectName(QStringLiteral("dynamicsPage"));
    m_pages->addTab(m_dynamics, QStringLiteral("Динамика"));

    // The four captions already fill a row: the tabs go in as many rows as
    // they need, every caption whole and every page one click away.
    m_tabRows = new TabRows(m_pages, this);
    m_tabRows->setObjectName(QStringLiteral("pageTabs"));
    auto *tabStyle = new HotTrackTabStyle;
    tabStyle->setParent(m_tabRows);
    m_tabRows->setStyle(tabStyle);
}

void StatisticsWindow::arrangeTabRows()
{
    // Under the rows of tabs the pages keep the height their contents were
    // laid out for (the explanations end at 345); the window grows by what
    // the tabs and the pages take beyond the design's 369, and the controls
    // under the pages move down by as much.
    const QRect design(8, 32, 705, 369);
    constexpr int SheetHeight = 346;
    constexpr int PaneFrame = 2; // the pages' frame on each side
    m_tabRows->setGeometry(design.left(), design.top(), design.width(), 1);
    m_tabRows->relayout();
    const int tabsHeight = m_tabRows->sizeHint().height();
    m_tabRows->resize(design.width(), tabsHeight);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, m_pages);
    const int pagesTop = design.top() + tabsHeight - overlap;
    const int pagesHeight = SheetHeight + 2 * PaneFrame;
    m_pages->setGeometry(design.left(), pagesTop, design.width(), pagesHeight);
    m_tabRows->raise();
    const int extra = qMax(0, pagesTop + pagesHeight - design.bottom() - 1);
    for (const char *name : {"Label2", "Bevel1", "rb1", "rb2", "rb3", "rb4", "BitBtn1"}) {
        if (auto *below = findChild<QWidget *>(QString::fromLatin1(name)))
            below->move(below->pos() + QPoint(0, extra));
    }
    setFixedSize(722, 448 + extra);
}

void StatisticsWindow::buildCharts()
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

    m_ratingChart =
        makeChart(QStringLiteral("Chart4"), m_pages->widget(0), QRect(-16, 8, 713, 294), Yellowish);
    m_ratingChart->setTitles(QStringLiteral("Рейтинг билетов"), ticketNumbers,
                             QStringLiteral("Уровень рейтинга %"));
    m_ratingChart->setFixedValueRange(0, 100, 10);
    m_ratingChart->setNoDataLabel(QStringLiteral("Label6"), QStringLiteral("РЕЙТИНГ ОТСУТСТВУЕТ"),
                                  QPoint(168, 120));
    m_ratingSeries = m_ratingChart->addSeries(QStringLiteral("BarSeries2"), answerTime, Blue);

    m_ticketTimeChart = makeChart(QStringLiteral("Chart2"), m_pages->widget(1),
                                  QRect(-16, 8, 713, 294), SpringGreen);
    m_ticketTimeChart->setTitles(QStringLiteral("Общее время ответа на билеты"), ticketNumbers,
                                 seconds);
    m_ticketTimeChart->setNoDataLabel(QStringLiteral("Label7"), noStatistics, QPoint(136, 120));
    m_ticketTimeSeries =
        m_ticketTimeChart->addSeries(QStringLiteral("Series1"), answerTime, TimeBars);

    m_ticketAnswerChart =
        makeChart(QStringLiteral("Chart3"), m_pages->widget(2), QRect(-16, 8, 713, 305), Aqua);
    m_ticketAnswerChart->setTitles(QStringLiteral("Количество ответов на вопросы билетов"),
                                   ticketNumbers, answers);
    m_ticketAnswerChart->setLegendVisible(true);
    m_ticketAnswerChart->setNoDataLabel(QStringLiteral("Label8"), noStatistics, QPoint(136, 120));
    m_ticketWrongSeries = m_ticketAnswerChart->addSeries(QStringLiteral("BarSeries1"), wrong, Red);
    m_ticketCorrectSeries =
        m_ticketAnswerChart->addSeries(QStringLiteral("Series2"), correct, Green);

    QWidget *questionPage = m_pages->widget(QuestionPage);
    m_questionTimeChart =
        makeChart(QStringLiteral("Chart5"), questionPage, QRect(112, 8, 577, 145), SpringGreen);
    m_questionTimeChart->setTitles(QStringLiteral("Время ответа на вопросы"), questionNumbers,
                                   seconds);
    m_questionTimeChart->setNoDataLabel(QStringLiteral("Label9"), noStatistics, QPoint(61, 48));
    m_questionTimeSeries =
        m_questionTimeChart->addSeries(QStringLiteral("BarSeries4"), answerTime, TimeBars);

    m_questionAnswerChart =
        makeChart(QStringLiteral("Chart1"), questionPage, QRect(112, 160, 577, 148), Aqua);
    m_questionAnswerChart->setTitles(QStringLiteral("Количество ответов на вопросы билета"),
                                     questionNumbers, answers);
    m_questionAnswerChart->setLegendVisible(true);
    m_questionAnswerChart->setNoDataLabel(QStringLiteral("Label12"), noStatistics, QPoint(61, 48));
    m_questionCorrectSeries =
        m_questionAnswerChart->addSeries(QStringLiteral("BarSeries3"), wrong, Red);
    m_questionWrongSeries =
        m_questionAnswerChart->addSeries(QStringLiteral("BarSeries7"), correct, Green);

    for (BarChart *chart : {m_ratingChart, m_ticketTimeChart, m_ticketAnswerChart,
                            m_questionTimeChart, m_questionAnswerChart})
        chart->updateBars();

    connect(m_ratingChart, &BarChart::clickSeries, this, &StatisticsWindow::onTicketBarClicked);
    connect(m_ticketTimeChart, &BarChart::clickSeries, this, &StatisticsWindow::onTicketBarClicked);
    connect(m_ticketAnswerChart, &BarChart::clickSeries, this,
            &StatisticsWindow::onTicketBarClicked);
    connect(m_questionTimeChart, &BarChart::clickSeries, this,
            &StatisticsWindow::onQuestionTimeBarClicked);
    connect(m_questionAnswerChart, &BarChart::clickSeries, this,
            &StatisticsWindow::onQuestionAnswerBarClicked);
}

void StatisticsWindow::buildFilter()
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
                [this, filter](bool checked) { onFilterToggled(filter, checked); });
    }
}

void StatisticsWindow::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        centreOnDesktop();
        m_activatedThisOpening = false;
        refreshTicketCharts();
        m_dynamics->refresh();
    }
    QDialog::showEvent(event);
}

bool StatisticsWindow::event(QEvent *event)
{
    // The activation steps run once per opening, when the window first takes
    // the focus; closing one of its own message boxes activates it again and
    // must not move the user back to the first page.
    if (event->type() == QEvent::WindowActivate && isVisible() && !m_activatedThisOpening) {
        m_activatedThisOpening = true;
        onFirstActivation();
    }
    return QDialog::event(event);
}

void StatisticsWindow::centreOnDesktop()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect desktop = screen->availableGeometry();
    move(desktop.center() - rect().center());
}

void StatisticsWindow::onFirstActivation()
{
    navigateToTicket(0);
    m_pages->setCurrentIndex(RatingPage);
}

void StatisticsWindow::onFilterToggled(ModeFilter filter, bool checked)
{
    if (!checked)
        return;
    m_filter = filter;
    refreshTicketCharts();
}

void StatisticsWindow::refreshTicketCharts()
{
    for (ChartSeries *series :
         {m_ticketTimeSeries, m_ticketWrongSeries, m_ticketCorrectSeries, m_ratingSeries})
        series->clear();

    const TicketRatings ratings = computeTicketRatings(globalStatRecord(), m_filter);
    for (int ticket = 1; ticket <= 40; ++ticket) {
        const QString label = QString::number(ticket);
        const AnswerTotals &totals = ratings.totals[ticket];
        m_ticketTimeSeries->add(double(totals.seconds), label);
        m_ticketWrongSeries->add(totals.wrong, label);
        m_ticketCorrectSeries->add(totals.correct, label);
        if (ratings.bestValue != 0.0) {
            QColor colour;
            if (ticket == ratings.bestTicket)
                colour = Green;
            else if (ticket == ratings.worstTicket)
                colour = Red;
            m_ratingSeries->add(ratings.percentOfBest(ticket), label, colour);
        }
    }
    m_ratingChart->updateBars();
    m_ticketTimeChart->updateBars();
    m_ticketAnswerChart->updateBars();

    refreshQuestionCharts();
}

void StatisticsWindow::refreshQuestionCharts()
{
    const QList<QListWidgetItem *> selected = m_tickets->selectedItems();
    if (selected.isEmpty())
        return;
    const int ticket = m_tickets->row(selected.first()) + 1;

    for (ChartSeries *series :
         {m_questionTimeSeries, m_questionCorrectSeries, m_questionWrongSeries})
        series->clear();
    const StatRecord &record = globalStatRecord();
    for (int question = 1; question <= 20; ++question) {
        const QString label = QString::number(question);
        const AnswerTotals totals = questionTotals(record, ticket, question, m_filter);
        m_questionTimeSeries->add(double(totals.seconds), label);
        // The bars are drawn in the colours of what they count (correct
        // green, wrong red) while the legend keeps the series colours.
        m_questionCorrectSeries->add(totals.correct, label, Green);
        m_questionWrongSeries->add(totals.wrong, label, Red);
    }
    m_questionTimeChart->updateBars();
    m_questionAnswerChart->updateBars();
}

void StatisticsWindow::onTicketSelected()
{
    refreshQuestionCharts();
}

void StatisticsWindow::navigateToTicket(int index)
{
    m_pages->setCurrentIndex(QuestionPage);
    m_tickets->setCurrentRow(index);
    m_tickets->scrollToItem(m_tickets->item(index));
}

void StatisticsWindow::onTicketBarClicked(ChartSeries *, int index)
{
    navigateToTicket(index);
}

void StatisticsWindow::onQuestionTimeBarClicked(ChartSeries *series, int index)
{
    MessageBoxes::information(this, QStringLiteral("ВРЕМЯ"),
                              QStringLiteral("На решение вопроса №%1 затрачено %2 сек.")
                                  .arg(index + 1)
                                  .arg(formatValue(series->value(index))));
}

void StatisticsWindow::onQuestionAnswerBarClicked(ChartSeries *series, int index)
{
    if (series == m_questionCorrectSeries) {
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

void StatisticsWindow::onHelpClicked()
{
    Help::showTopic(this, QStringLiteral("stat"));
}
