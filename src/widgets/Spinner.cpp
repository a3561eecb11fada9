#include "widgets/Spinner.h"

Spinner::Spinner(const QString &name, const QString &accessibleName, int start, QWidget *parent)
    : QScrollBar(Qt::Vertical, parent)
{
    setObjectName(name);
    setAccessibleName(accessibleName);
    setRange(0, Maximum);
    setSingleStep(1);
    setPageStep(1);
    setValue(start);
    setTracking(false);
    setFocusPolicy(Qt::StrongFocus);
}
