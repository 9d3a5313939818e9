#pragma once

#include <QImage>
#include <QWidget>

// A picture stretched over the control, either keeping its proportions
// (drawn from the top-left corner) or filling the whole control.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    QImage image() const { return m_image; }
    void clear();

    void setProportional(bool proportional);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage m_image;
    bool m_proportional = true;
};
