#pragma once

#include "PrintRequest.h"
#include "PrintedView.h"
#include "data/Card.h"

#include <QList>

// The phone book on paper: every card, or the cards the search on show finds, by name as the
// names list has them, each card as the book shows it and kept whole on one page.
class PhonePages final : public PrintedView
{
public:
    explicit PhonePages(const PrintRequest &request);

    QString title() const override;
    QString read(Diary &diary) override;
    int layout(PageFlow &flow, const QSizeF &body) override;

private:
    PrintRequest m_request;
    QList<Card> m_cards;
};
