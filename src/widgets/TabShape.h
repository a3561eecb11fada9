#pragma once

#include <QColor>
#include <QWidget>

// An index tab cut from card, standing out of the book's edge on the left or the right.
class TabShape final : public QWidget
{
    Q_OBJECT

public:
    enum class Side { Left, Right };
    TabShape(Side side, const QColor &colour, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    Side m_side;
    QColor m_colour;
};
