#pragma once

#include <QTimer>
#include <QWidget>
#include <array>

class Diary;
class ImageButton;
class TabShape;

// The book's index tabs, one card for each of the five sections (search, calendar, phone book,
// tasks, the week). The tabs up to and including the chosen one stand out of the left edge, the
// others out of the right edge; a gold mark shows the chosen one. The tasks tab blinks while
// tasks are pending. The strip lies over the whole window, but only its tabs take the pointer.
class TabStrip final : public QWidget
{
    Q_OBJECT

public:
    TabStrip(const Diary &diary, QWidget *parent);

    // The tooltip of the tab of section index (0 to 4).
    static QString toolTip(int index);

    void SelectTab(int n);
    void Timer3_Timer();

    QTimer Timer3; // blinks the tasks tab while tasks are pending (200 ms)
    int TabBlinkCount = 0;

    std::array<TabShape *, 5> SolapaI{};
    std::array<TabShape *, 4> SolapaD{};
    std::array<ImageButton *, 5> Image7{};
    std::array<ImageButton *, 4> ImagenI{};
    QWidget *Image2 = nullptr;

signals:
    // Image7_Click: the tab of section index was clicked, on either edge.
    void tabClicked(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeRightTabs();
    void updateMask();
    void setGeometryTwips(QWidget *widget, double left, double top, double width, double height);
    int px(double twips) const;

    const Diary &m_diary;
};
