#pragma once

#include <QObject>

struct AppContext;

// Every press, key, wheel turn or pointer move anywhere in the program is the user being there:
// it sets the shared count of idle seconds to 0. One filter on the whole application, so no window
// has to remember it.
class ActivityWatch final : public QObject
{
    Q_OBJECT

public:
    explicit ActivityWatch(AppContext &context, QObject *parent = nullptr);
    ~ActivityWatch() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppContext &m_context;
};
