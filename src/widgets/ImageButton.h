#pragma once

#include <QAbstractButton>

// A small inked picture that acts as a button: it shows a quiet highlight under the pointer and
// a focus ring when it has the keyboard focus, and announces its tooltip to screen readers.
class ImageButton : public QAbstractButton
{
    Q_OBJECT

public:
    ImageButton(const QString &picture, const QString &toolTip, QWidget *parent = nullptr);
    void setPicture(const QString &picture);
    void setToolTipText(const QString &toolTip); // tooltip and accessible name together
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString m_picture;
    bool m_hover = false;
};
