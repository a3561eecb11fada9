#include "PhonePages.h"

#include "PageFlow.h"
#include "PrintText.h"
#include "data/Diary.h"
#include "data/Schema.h"
#include "data/WriteRules.h"
#include "data/store/RecordCursor.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/PhoneSearch.h"

#include <QCollator>
#include <algorithm>

namespace Column = Schema::Telefonos;

namespace {

// The card's columns in the table's order, the order of Card's fields.
QStringList cardColumns()
{
    return {Column::Nombre, Column::Tel1,   Column::Tel2,      Column::Tel3,      Column::Fax,       Column::Email1,
            Column::Email2, Column::Email3, Column::Direccion, Column::Poblacion, Column::Provincia, Column::Pais};
}

} // namespace

PhonePages::PhonePages(const PrintRequest &request)
    : m_request(request)
{}

QString PhonePages::title() const
{
    if (m_request.phoneSearch.isEmpty())
        return QStringLiteral("Teléfonos");
    return QStringLiteral("Teléfonos: búsqueda «%1»").arg(m_request.phoneSearch);
}

QString PhonePages::read(Diary &diary)
{
    RecordCursor telefonos;
    if (!WriteRules::openOn(telefonos, diary.databaseFile(), Column::Table))
        return PrintText::unreadable(telefonos.lastError());
    const auto add = [this](const QVariantList &values) {
        Card card;
        for (int field = 0; field < Card::FieldCount; ++field)
            card.fields[size_t(field)] = values[field].toString();
        // A card never saved has no name and is no card of the book.
        if (!card.name().isEmpty())
            m_cards << card;
    };
    if (m_request.phoneSearch.isEmpty()) {
        if (!telefonos.ReadAll(cardColumns(), add))
            return PrintText::unreadable(telefonos.lastError());
    } else {
        const Criterion criterion = PhoneSearch::criterionFor(m_request.phoneSearch);
        for (bool found = telefonos.FindFirst(criterion); found && !telefonos.NoMatch();
             found = telefonos.FindNext(criterion)) {
            QVariantList values;
            for (const QString &column : cardColumns())
                values << telefonos.Field(column);
            add(values);
        }
    }
    QCollator collator(QLocale(QLocale::Spanish, QLocale::Spain));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(m_cards.begin(), m_cards.end(),
                     [&collator](const Card &a, const Card &b) { return collator.compare(a.name(), b.name()) < 0; });
    return {};
}

int PhonePages::layout(PageFlow &flow, const QSizeF &body)
{
    const QFont name = PrintText::serif(11, true);
    const QFont text = PrintText::sans(9);
    if (m_cards.isEmpty()) {
        const QString none = m_request.phoneSearch.isEmpty()
            ? QStringLiteral("No hay fichas en la agenda.")
            : QStringLiteral("Ninguna ficha responde a «%1».").arg(m_request.phoneSearch);
        flow.addBlock(flow.wrap(none, text, Qt::black, body.width()), true);
    }
    for (const Card &card : std::as_const(m_cards)) {
        const QStringList shown = PhoneBook::cardText(card).split(u'\n', Qt::SkipEmptyParts);
        QList<PrintedLine> lines = flow.wrap(shown.first(), name, Qt::black, body.width());
        for (const QString &line : shown.mid(1))
            lines << flow.wrap(line, text, Qt::black, body.width(), flow.millimetres(4));
        flow.addBlock(lines, true, flow.points(9));
    }
    return flow.layout(body.height());
}
