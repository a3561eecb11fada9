#pragma once

#include <QPixmap>
#include <QWidget>

// A picture on the window (a frame piece, a marker, a background): it paints its drawing over
// its whole size and reports the mouse, so handlers can drag or double-click on it.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(const QString &picture = {}, QWidget *parent = nullptr);
    void setPicture(const QString &picture);
    QString picture() const { return m_picture; }
    QSize sizeHint() const override;

signals:
    void mousePressed(QMouseEvent *event);
    void mouseMoved(QMouseEvent *event);
    void mouseReleased(QMouseEvent *event);
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QString m_picture;
    // The drawing as last rendered: a repaint of part of the picture (a clock's figures over a
    // card) copies from it instead of rendering the whole drawing again.
    QPixmap m_rendered;
};
