#pragma once

#include <QFrame>

// A page of the book that a section fills: cream paper with a faint edge. The sections' own
// controls are laid on it.
class SectionPanel : public QFrame
{
    Q_OBJECT

public:
    explicit SectionPanel(const QString &name, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
