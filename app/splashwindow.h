#pragma once

#include <QDialog>

class QLabel;

// The splash window: a borderless picture that stays on top and closes when
// its drawn start button (an invisible hot area over the picture) is clicked.
class SplashWindow : public QDialog
{
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);
    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onStartClicked();

    QLabel *m_picture;
    QLabel *m_startArea;
};
