#pragma once

#include <QDialog>

class QLabel;

// The splash window: a borderless picture that stays on top and closes when
// its drawn start button (the invisible hot area Image2) is clicked.
class TForm6 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm6(QWidget *parent = nullptr);

    void Image2Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *Image1;
    QLabel *Image2;
};
