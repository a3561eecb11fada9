// libFuzzer target: any bytes through the checks a calendar file passes before an import and the
// reading of what passes them. Nothing may crash, hang or read out of bounds.
#include "data/interchange/CalendarReader.h"
#include "data/interchange/InterchangeFile.h"

#include <QByteArray>
#include <QDate>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const InterchangeFile::Checked checked = InterchangeFile::check(
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), InterchangeFile::Format::Calendar);
    if (checked.error.isEmpty())
        CalendarReader::read(checked.text, QDate(2024, 3, 1));
    return 0;
}
