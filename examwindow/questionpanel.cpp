#include "questionpanel.h"

#include "commentlinks.h"

#include "anchorlayout.h"
#include "bundledpictures.h"
#include "clicklabel.h"
#include "designfonts.h"
#include "examwindowstyle.h"
#include "picturebox.h"
#include "piechartview.h"
#include "questionindexentry.h"
#include "variantslabel.h"

#include <QLabel>
#include <QPushButton>

#include <cmath>

using namespace ExamWindowStyle;

namespace {

const QString CommentPrefix = QStringLiteral("Комментарий к вопросу №");
constexpr int MaxVariants = QuestionBankLayout::MaxVariants;

// Rounds halves to even, as the layout rules are stated.
int roundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

struct FontBand
{
    int maxWidth;
    int question;
    int variants;
};

// Font sizes (points) of the question and of the variants and comment by the
// window's outer width; wider than the last band keeps the sizes as they are.
constexpr FontBand FontBands[] = {
    {800, 10, 8}, {900, 12, 10}, {1000, 14, 12}, {1100, 16, 14}, {1200, 18, 16}, {2000, 20, 18},
};

} // namespace

QuestionPanel::QuestionPanel(QWidget *parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("ScrollBox1"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setWidgetResizable(true);
    setFocusPolicy(Qt::NoFocus);
    m_area = new QWidget;
    m_area->setObjectName(QStringLiteral("QuestionArea"));
    QPalette white = m_area->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    m_area->setPalette(white);
    m_area->setAutoFillBackground(true);
    setWidget(m_area);

    m_layout = std::make_unique<AnchorLayout>(QSize(605, 413));
    using A = AnchorLayout;

    m_picture = new PictureBox(m_area);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setProportional(true);
    m_picture->setCursor(Qt::PointingHandCursor);
    m_picture->setToolTip(
        QStringLiteral("Щёлкните, чтобы увеличить рисунок (или нажмите клавишу «+»)"));
    connect(m_picture, &PictureBox::clicked, this, &QuestionPanel::pictureClicked);
    m_layout->add(m_picture, QRect(8, 8, 353, 137));

    m_questionText = new QLabel(m_area);
    m_questionText->setObjectName(QStringLiteral("Label2"));
    m_questionText->setWordWrap(true);
    m_questionText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_questionText->setFont(DesignFonts::font(DesignFamily, 10, true));
    setTextColour(m_questionText, fromBgr(0x800000));
    m_layout->add(m_questionText, QRect(368, 8, 217, 209), A::Top | A::Right | A::Bottom);

    m_variantsText = new VariantsLabel(m_area);
    m_variantsText->setObjectName(QStringLiteral("Label3"));
    m_variantsText->setWordWrap(true);
    m_variantsText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_layout->add(m_variantsText, QRect(8, 148, 577, 85), A::Left | A::Top | A::Right);

    m_commentText = new QLabel(m_area);
    m_commentText->setObjectName(QStringLiteral("Label4"));
    m_commentText->setWordWrap(true);
    m_commentText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(m_commentText, Qt::red);
    m_commentText->hide();
    m_commentText->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(m_commentText, &QLabel::linkActivated, this, [this](const QString &link) {
        if (const std::optional<CommentLink> target = CommentLinks::fromUrl(QUrl(link)))
            emit referenceLinkActivated(target->kind, target->number);
    });
    m_layout->add(m_commentText, QRect(8, 232, 577, 110), A::Left | A::Right | A::Bottom);

    for (int n = 1; n <= MaxVariants; ++n) {
        auto *button = new QPushButton(m_area);
        button->setObjectName(QStringLiteral("BitBtn%1").arg(n));
        button->setIcon(BundledPictures::icon(QStringLiteral(":/exam/answer%1.png").arg(n)));
        button->setIconSize(QSize(20, 20));
        button->setAccessibleName(QString::number(n));
        // The digit keys answer through the question list, which must keep
        // the focus.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        m_layout->add(button, QRect(24 + 80 * (n - 1), 368, 75, 25), A::Left | A::Bottom);
        connect(button, &QPushButton::clicked, this, [this, n] { emit answerClicked(n); });
        m_answerButtons[size_t(n)] = button;
    }

    // The marathon goes on by this button once a question is answered, so
    // that a wrong answer's comment stays until the learner has read it.
    m_nextButton = new QPushButton(QStringLiteral("Далее ▶"), m_area);
    m_nextButton->setObjectName(QStringLiteral("nextQuestionButton"));
    m_nextButton->setToolTip(QStringLiteral("Следующий вопрос (Enter)"));
    m_nextButton->setFocusPolicy(Qt::NoFocus);
    m_nextButton->setAutoDefault(false);
    m_nextButton->hide();
    m_layout->add(m_nextButton, QRect(428, 368, 85, 25), A::Left | A::Bottom);
    connect(m_nextButton, &QPushButton::clicked, this, &QuestionPanel::nextClicked);

    m_pieChart = new PieChartView(m_area);
    m_pieChart->setObjectName(QStringLiteral("Chart1"));
    m_pieChart->setCursor(Qt::PointingHandCursor);
    // A click on the pie toggles the seconds label; it must not take the
    // focus from the question list, where the digit keys answer.
    m_pieChart->setFocusPolicy(Qt::NoFocus);
    m_layout->add(m_pieChart, QRect(520, 336, 65, 58), A::Right | A::Bottom);
    connect(m_pieChart, &PieChartView::clicked, this, &QuestionPanel::toggleSecondsLabel);

    m_secondsLabel = new ClickLabel(QStringLiteral("0000"), m_pieChart);
    m_secondsLabel->setObjectName(QStringLiteral("Label7"));
    m_secondsLabel->setGeometry(10, 16, 45, 24);
    m_secondsLabel->setAlignment(Qt::AlignCenter);
    m_secondsLabel->setFont(pixelFont(DesignFamily, 19, true));
    m_secondsLabel->setToolTip(QStringLiteral("Счетчик времени"));
    setTextColour(m_secondsLabel, Qt::yellow);
    connect(m_secondsLabel, &ClickLabel::clicked, this, &QuestionPanel::toggleSecondsLabel);
}

QuestionPanel::~QuestionPanel() = default;

QImage QuestionPanel::picture() const
{
    return m_picture->isVisibleTo(m_area) ? m_picture->image() : QImage();
}

void QuestionPanel::showQuestion(const std::optional<QImage> &picture, const QString &text,
                                 const QStringList &variants)
{
    if (picture) {
        m_picture->setImage(*picture);
        m_picture->show();
    } else {
        m_picture->clear();
        m_picture->hide();
    }
    placeQuestionText();

    m_questionText->setText(text);
    QString numbered;
    for (int n = 1; n <= variants.size(); ++n)
        numbered += QStringLiteral("%1. %2\n\r").arg(n).arg(variants[n - 1]);
    m_variantsText->setText(numbered);

    const int count = int(variants.size());
    if (count >= 2 && count <= MaxVariants) {
        for (int n = 1; n <= MaxVariants; ++n)
            m_answerButtons[size_t(n)]->setVisible(n <= count);
    }
}

void QuestionPanel::showUnreadable()
{
    m_picture->clear();
    m_picture->hide();
    placeQuestionText();
    m_questionText->clear();
    m_variantsText->clear();
    m_commentText->hide();
    setAnswerButtonsEnabled(false);
    setPieVisible(false);
}

void QuestionPanel::setAnswerButtonsEnabled(bool enabled)
{
    for (int n = 1; n <= MaxVariants; ++n)
        m_answerButtons[size_t(n)]->setEnabled(enabled);
}

void QuestionPanel::showComment(const QString &comment, const Reference *reference)
{
    const QString text = CommentPrefix + comment;
    const QList<CommentLink> links =
        reference ? CommentLinks::find(text, reference) : QList<CommentLink>();
    m_commentText->setTextFormat(links.isEmpty() ? Qt::PlainText : Qt::RichText);
    m_commentText->setText(links.isEmpty() ? text : CommentLinks::toHtml(text, links));
    m_commentText->show();
}

void QuestionPanel::hideComment()
{
    m_commentText->hide();
}

void QuestionPanel::setPieVisible(bool visible)
{
    m_pieChart->setVisible(visible);
    m_secondsLabel->setVisible(visible);
}

void QuestionPanel::setPieCounts(int correct, int wrong, qint64 seconds)
{
    m_pieChart->setCounts(correct, wrong);
    m_secondsLabel->setText(QString::number(seconds));
}

void QuestionPanel::toggleSecondsLabel()
{
    m_secondsLabel->setVisible(!m_secondsLabel->isVisibleTo(m_pieChart));
}

void QuestionPanel::placeQuestionText()
{
    QRect rect = m_questionText->geometry();
    if (m_picture->isVisibleTo(m_area)) {
        rect.moveLeft(m_picture->x() + m_picture->width() + 10);
        rect.setWidth(width() - rect.left() - 10);
    } else {
        rect.moveLeft(8);
        rect.setWidth(roundHalfEven(width() * 0.7));
    }
    m_questionText->setGeometry(rect);
}

void QuestionPanel::fitToWindow(int windowOuterWidth)
{
    m_layout->apply(size());
    const int boxWidth = width();
    const int boxHeight = height();

    m_picture->resize(roundHalfEven(boxWidth * 0.5834), roundHalfEven(boxHeight * 0.3317));
    m_picture->update();

    const FontBand *band = nullptr;
    for (const FontBand &candidate : FontBands) {
        if (windowOuterWidth <= candidate.maxWidth) {
            band = &candidate;
            break;
        }
    }
    if (band)
        m_questionText->setFont(DesignFonts::font(DesignFamily, band->question, true));

    placeQuestionText();

    const int variantsTop = m_picture->y() + m_picture->height() + 5;
    m_variantsText->setGeometry(m_variantsText->x(), variantsTop, m_variantsText->width(),
                                boxHeight / 5);
    const int commentTop = m_variantsText->y() + m_variantsText->height();
    m_commentText->setGeometry(m_commentText->x(), commentTop, m_commentText->width(),
                               m_pieChart->y() - commentTop + 15);

    if (band) {
        m_variantsText->setFont(DesignFonts::font(DesignFamily, band->variants));
        m_commentText->setFont(DesignFonts::font(DesignFamily, band->variants));
    }
    m_questionText->update();
    m_variantsText->update();
    m_commentText->update();
}
