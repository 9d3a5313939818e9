#pragma once

#include "topicprogress.h"

#include <QList>
#include <QString>
#include <QWidget>

class QLabel;
class QScrollArea;

// "По темам": one row per topic of the database — its name, how many of its
// questions were last answered right, and a button that asks for an attempt
// over the topic. Without topics it says where they would come from. It
// only shows what it is given and forwards the buttons.
class TopicsPage : public QWidget
{
    Q_OBJECT
public:
    explicit TopicsPage(QWidget *parent = nullptr);

    // Shows these topics; an empty list reads as a database without topics.
    void setTopics(const QList<TopicProgress> &topics);
    // Hides the list and explains that the topics come from the file
    // `topicsFileName` beside the question database; `problem`, when given,
    // says first why that file gave none.
    void showNoTopics(const QString &topicsFileName, const QString &problem = QString());

    const QList<TopicProgress> &topics() const { return m_topics; }

signals:
    // The learner chose the topic at `index` of the list; `questions` is its
    // next batch (TopicProgress::nextBatch).
    void topicRequested(int index, const QList<int> &questions);

private:
    QWidget *createRows();

    QList<TopicProgress> m_topics;
    QLabel *m_header = nullptr;
    QLabel *m_noTopics = nullptr;
    QScrollArea *m_scrollArea = nullptr;
};
