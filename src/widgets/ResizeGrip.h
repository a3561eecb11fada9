#pragma once

#include <QPixmap>
#include <QSizeGrip>

// A frameless window's resize grip, drawn with one of the program's pictures. Qt's size grip
// resizes the window it belongs to, never below the window's minimumSizeHint(), and hides itself
// while that window is maximised.
class ResizeGrip final : public QSizeGrip
{
    Q_OBJECT

public:
    ResizeGrip(const QString &picture, QWidget *window);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_picture;
    QPixmap m_rendered;
};
