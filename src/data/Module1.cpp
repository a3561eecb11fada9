#include "Module1.h"

#include "Messenger.h"
#include "store/FailureText.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cmath>
#include <limits>

namespace Module1 {

double RoundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

qint16 ToSetting(double value)
{
    const double rounded = RoundHalfEven(value);
    if (std::isnan(rounded))
        return 0;
    if (rounded < std::numeric_limits<qint16>::min())
        return std::numeric_limits<qint16>::min();
    if (rounded > std::numeric_limits<qint16>::max())
        return std::numeric_limits<qint16>::max();
    return static_cast<qint16>(rounded);
}

void DefaultSettings(Settings &settings, QSize screenTwips, const QString &dataFolder)
{
    settings.Alpha = 80;
    settings.Delay = 15;
    settings.MainWidth = ToSetting(screenTwips.width() / 2.0);
    settings.MainHeight = ToSetting(screenTwips.height() / 2.0);
    settings.MainLeft = ToSetting(screenTwips.width() / 4.0);
    settings.MainTop = ToSetting(screenTwips.height() / 4.0);
    settings.DataFolder = dataFolder;
    settings.WidgetLeft = settings.MainLeft;
    settings.WidgetTop = settings.MainTop;
}

// The longest leading decimal number after spaces: an optional sign, digits, an optional
// fraction. No digits at all reads as 0.
static double leadingNumber(const QString &line)
{
    qsizetype i = 0;
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
        ++i;
    QString number;
    if (i < line.size() && (line[i] == u'-' || line[i] == u'+'))
        number += line[i++];
    bool anyDigit = false;
    while (i < line.size() && line[i] >= u'0' && line[i] <= u'9') {
        number += line[i++];
        anyDigit = true;
    }
    if (i + 1 < line.size() && line[i] == u'.' && line[i + 1] >= u'0' && line[i + 1] <= u'9') {
        number += line[i++];
        while (i < line.size() && line[i] >= u'0' && line[i] <= u'9') {
            number += line[i++];
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    return number.toDouble();
}

std::optional<qint16> ParseSettingNumber(const QString &line)
{
    const double rounded = RoundHalfEven(leadingNumber(line));
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

// Longer than any path: a longer line is damage, not a setting, and is read as a missing one.
static constexpr qint64 MaxLineBytes = 4096;

// Reads one line of at most MaxLineBytes bytes, without its line end. A longer line is skipped
// whole and gives nothing.
static std::optional<QString> readBoundedLine(QFile &file)
{
    QByteArray line = file.readLine(MaxLineBytes + 3); // the text, CR and LF
    bool tooLong = false;
    while (!line.endsWith('\n') && !file.atEnd()) {
        tooLong = true;
        line = file.readLine(64 * 1024);
    }
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    if (tooLong || line.size() > MaxLineBytes)
        return std::nullopt;
    return QString::fromUtf8(line);
}

void LoadSettings(Settings &settings, const QString &path, QSize screenTwips, const QString &defaultDataFolder)
{
    QFile file(path);
    if (!file.exists()) {
        DefaultSettings(settings, screenTwips, defaultDataFolder);
        return;
    }
    if (!file.open(QIODevice::ReadOnly))
        return;

    qint16 *numbers[] = {
        &settings.Alpha,   &settings.Delay, &settings.MainWidth,  &settings.MainHeight, &settings.MainLeft,
        &settings.MainTop, nullptr,         &settings.WidgetLeft, &settings.WidgetTop};
    for (qint16 *target : numbers) {
        if (file.atEnd())
            break;
        const std::optional<QString> line = readBoundedLine(file);
        if (!line)
            continue;
        if (!target) {
            settings.DataFolder = *line;
            continue;
        }
        const std::optional<qint16> value = ParseSettingNumber(*line);
        if (!value)
            break;
        *target = *value;
    }
}

bool SaveSettings(const Settings &settings, const QString &path, QString *error)
{
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = FailureText::ofFile(file.error(), errno);
        return false;
    }
    // Plain concatenation: a folder holding "%1" must be written as it stands.
    const QString lineEnd = QStringLiteral("\r\n");
    QString text;
    for (qint16 number :
         {settings.Alpha, settings.Delay, settings.MainWidth, settings.MainHeight, settings.MainLeft, settings.MainTop})
        text += QString::number(number) + lineEnd;
    text += settings.DataFolder + lineEnd;
    text += QString::number(settings.WidgetLeft) + lineEnd + QString::number(settings.WidgetTop) + lineEnd;
    const QByteArray bytes = text.toUtf8();
    // A full disk shows only when the buffered bytes reach the file: flush and check before the
    // old file is replaced, so a failed write keeps it whole.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        if (error)
            *error = FailureText::ofFile(file.error(), errno);
        file.cancelWriting();
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        if (error)
            *error = FailureText::ofFile(file.error(), errno);
        return false;
    }
    return true;
}

// The numeric value of a two-character part: spaces skipped, digits up to the first character
// that is not one; no digits gives 0. A sign is not a digit: "+1" reads as 0.
static int partValue(QStringView part)
{
    qsizetype i = 0;
    while (i < part.size() && part[i] == u' ')
        ++i;
    int value = 0;
    while (i < part.size() && part[i] >= u'0' && part[i] <= u'9')
        value = value * 10 + (part[i++].unicode() - u'0');
    return value;
}

bool CheckTime(const QString &text)
{
    if (text.size() < 3 || text[2] != u':')
        return false;
    const QStringView hourPart = QStringView(text).left(2);
    const int h = partValue(hourPart);
    if (h > 23 || (h < 1 && hourPart != u"00"))
        return false;
    const QStringView minutePart = QStringView(text).right(2);
    const int m = partValue(minutePart);
    if (m > 59 || (m < 1 && minutePart != u"00"))
        return false;
    return true;
}

QDate EmptyDate()
{
    return QDate(1899, 12, 30);
}

QDate EasterSunday(int year, Messenger *messenger)
{
    if (year < 1900 || year > 2100) {
        if (messenger)
            messenger->ask(QStringLiteral("No puedo calcular DIA DE PASCUA para este año"), QStringLiteral("Error"),
                           Messenger::Icon::Critical, Messenger::Ok);
        return EmptyDate();
    }
    const int a = year % 19;
    const int b = year % 4;
    const int c = year % 7;
    const int d = (19 * a + 24) % 30;
    const int n = year == 2100 ? 6 : 5;
    const int e = (2 * b + 4 * c + 6 * d + n) % 7;
    if (22 + d + e <= 31)
        return QDate(year, 3, 22 + d + e);
    int day = d + e - 9;
    if (day == 26)
        day = 19;
    else if (day == 25 && d == 28 && e == 6)
        day = 18;
    return QDate(year, 4, day);
}

} // namespace Module1
