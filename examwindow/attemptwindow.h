#pragma once

#include "examattempt.h"

#include <QWidget>

#include <memory>

// The window an attempt runs in, as the main window sees it: it is handed the
// attempt, then shown; showing starts the attempt, and closing ends it.
class AttemptWindow : public QWidget
{
public:
    using QWidget::QWidget;

    virtual void setAttempt(std::unique_ptr<ExamAttempt> attempt) = 0;
};
