#include "topicspage.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString buttonToolTip(const TopicProgress &topic)
{
    if (topic.runOrder.isEmpty())
        return QStringLiteral("В теме нет вопросов.");
    if (topic.rightCount == topic.questionCount) {
        return QStringLiteral("На все вопросы темы последний ответ верный. Повторить их "
                              "по %1 за раз, начиная с тех, что отвечены давнее всего.")
            .arg(TopicProgress::BatchSize);
    }
    return QStringLiteral("Вопросы темы по %1 за раз, начиная с тех, на которые вы ещё "
                          "не ответили верно.")
        .arg(TopicProgress::BatchSize);
}

QProgressBar *makeProgressBar(const TopicProgress &topic, int index, QWidget *parent)
{
    auto *bar = new QProgressBar(parent);
    bar->setObjectName(QStringLiteral("topicProgress%1").arg(index));
    // A range of 0..0 would turn the bar into a busy indicator.
    bar->setRange(0, std::max(1, topic.questionCount));
    bar->setValue(topic.rightCount);
    bar->setFormat(QStringLiteral("%1 из %2 верно").arg(topic.rightCount).arg(topic.questionCount));
    bar->setAlignment(Qt::AlignCenter);
    bar->setToolTip(QStringLiteral("Отвечено хотя бы раз: %1 из %2.")
                        .arg(topic.answeredCount)
                        .arg(topic.questionCount));
    // Wide enough for the longest count, "800 из 800 верно", at any font.
    bar->setMinimumWidth(bar->fontMetrics().horizontalAdvance(QStringLiteral("800 из 800 верно")) +
                         bar->fontMetrics().averageCharWidth() * 6);
    bar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return bar;
}

} // namespace

TopicsPage::TopicsPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("topicsPage"));

    m_header = new QLabel(this);
    m_header->setObjectName(QStringLiteral("topicsHeader"));
    m_header->setWordWrap(true);
    m_header->setText(QStringLiteral("Верно — вопросы, на которые последний ответ был верным. "
                                     "«Учить» даёт вопросы темы по %1: сначала отвеченные "
                                     "неверно, затем новые, затем отвеченные верно, начиная "
                                     "с самых давних.")
                          .arg(TopicProgress::BatchSize));

    m_noTopics = new QLabel(this);
    m_noTopics->setObjectName(QStringLiteral("noTopicsLabel"));
    m_noTopics->setWordWrap(true);
    m_noTopics->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The learner may want to copy the file name.
    m_noTopics->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("topicsScrollArea"));
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    // Long names wrap instead of widening the rows.
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setMinimumHeight(160);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_header);
    layout->addWidget(m_scrollArea, 1);
    layout->addWidget(m_noTopics, 1);

    setTopics({});
}

void TopicsPage::setTopics(const QList<TopicProgress> &topics)
{
    m_topics = topics;
    // Deleted later: this may run from a click on one of the old buttons.
    if (QWidget *old = m_scrollArea->takeWidget())
        old->deleteLater();
    const bool any = !m_topics.isEmpty();
    if (any)
        m_scrollArea->setWidget(createRows());
    else
        m_noTopics->setText(QStringLiteral("Для этой базы вопросов темы не заданы."));
    m_header->setVisible(any);
    m_scrollArea->setVisible(any);
    m_noTopics->setVisible(!any);
}

void TopicsPage::showNoTopics(const QString &topicsFileName, const QString &problem)
{
    setTopics({});
    QString text = QStringLiteral("Темы берутся из файла «%1» рядом с базой вопросов. Его "
                                  "создают команды «dbv import» и «dbv build», когда у вопросов "
                                  "указаны темы.")
                       .arg(topicsFileName);
    if (!problem.isEmpty())
        text = problem + QStringLiteral("\n\n") + text;
    m_noTopics->setText(text);
}

QWidget *TopicsPage::createRows()
{
    auto *rows = new QWidget;
    rows->setObjectName(QStringLiteral("topicRows"));
    auto *grid = new QGridLayout(rows);
    // Flush with the header above, so the names line up with its text.
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(0, 1);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);

    for (int i = 0; i < m_topics.size(); ++i) {
        const TopicProgress &topic = m_topics.at(i);

        auto *name = new QLabel(topic.name, rows);
        name->setObjectName(QStringLiteral("topicName%1").arg(i));
        name->setWordWrap(true);
        name->setTextFormat(Qt::PlainText);

        auto *button = new QPushButton(QStringLiteral("Учить"), rows);
        button->setObjectName(QStringLiteral("topicButton%1").arg(i));
        button->setToolTip(buttonToolTip(topic));
        button->setEnabled(!topic.runOrder.isEmpty());
        connect(button, &QPushButton::clicked, this,
                [this, i] { emit topicRequested(i, m_topics.at(i).nextBatch()); });

        grid->addWidget(name, i, 0, Qt::AlignVCenter);
        grid->addWidget(makeProgressBar(topic, i, rows), i, 1, Qt::AlignVCenter);
        grid->addWidget(button, i, 2, Qt::AlignVCenter);
    }
    // Few topics stay at the top instead of spreading over the height.
    grid->setRowStretch(int(m_topics.size()), 1);
    return rows;
}
