#pragma once

#include <QString>
#include <QtGlobal>

// The nine values kept from one run to the next, in the order of the settings file.
// Every number is a signed 16-bit value: twips, percent or seconds.
struct Settings
{
    qint16 Alpha = 0;
    qint16 Delay = 0;
    qint16 MainWidth = 0;
    qint16 MainHeight = 0;
    qint16 MainLeft = 0;
    qint16 MainTop = 0;
    QString DataFolder;
    qint16 WidgetLeft = 0;
    qint16 WidgetTop = 0;

    bool operator==(const Settings &) const = default;
};
