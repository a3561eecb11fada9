#include "TestDoubles.h"

Messenger::Button RecordingMessenger::ask(const QString &text, const QString &title, Icon icon, unsigned buttons)
{
    shown.append({text, title, icon, buttons});
    if (!m_answers.empty()) {
        const Button answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    for (Button b : {Ok, Yes, No, Cancel})
        if (buttons & b)
            return b;
    return Ok;
}

QStringList RecordingMessenger::texts() const
{
    QStringList result;
    for (const Shown &s : shown)
        result << s.text;
    return result;
}
