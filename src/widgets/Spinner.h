#pragma once

#include <QScrollBar>

// A small vertical scroll bar used as a spinner beside a box: it only tells a direction. Its range
// is wide so the user never reaches an end; a drag of the thumb counts once, when let go, like a
// click on an arrow.
class Spinner final : public QScrollBar
{
    Q_OBJECT

public:
    Spinner(const QString &name, const QString &accessibleName, int start, QWidget *parent);

    static constexpr int Maximum = 32767;
};
