// SPDX-License-Identifier: Apache-2.0
#include "widgets/date_picker.h"

#include "core/date_format.h"

#include <QDate>
#include <algorithm>
#include <cctype>
#include <string>

namespace kalmora::widgets {

namespace {

// Text that Qt must show as written: quoted, a quote doubled.
QString literal(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

DatePicker::DatePicker(QWidget *parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setMinimumDate(QDate(100, 1, 1));
    setMaximumDate(QDate(9999, 12, 31));
    applyDateSettings(data::currentDateSettings());
}

DatePicker::~DatePicker() = default;

data::Date DatePicker::day() const
{
    const QDate shown = date();
    return {shown.year(), shown.month(), shown.day()};
}

void DatePicker::setDay(const data::Date &day)
{
    setDate(QDate(day.year, day.month, day.day));
}

void DatePicker::applyDateSettings(const data::DateSettings &settings)
{
    setDisplayFormat(displayFormatFor(settings.shortPattern, settings.separator));
}

bool DatePicker::focusNextPrevChild(bool next)
{
    return QWidget::focusNextPrevChild(next);
}

QString DatePicker::displayFormatFor(std::string_view pattern, char separator)
{
    QString format;
    std::string pending; // literal bytes, converted together so multibyte characters survive
    auto flush = [&] {
        if (!pending.empty())
            format += literal(QString::fromLocal8Bit(pending.data(), qsizetype(pending.size())));
        pending.clear();
    };
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        const char lower = char(std::tolower(static_cast<unsigned char>(c)));
        if (c == '\'' || c == '"') {
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            pending += pattern.substr(i + 1, end - i - 1);
            i = end == pattern.size() ? end : end + 1;
            continue;
        }
        if (lower == 'd' || lower == 'm' || lower == 'y' || lower == 'g') {
            std::size_t run = 1;
            while (i + run < pattern.size() &&
                   std::tolower(static_cast<unsigned char>(pattern[i + run])) == lower)
                ++run;
            i += run;
            flush();
            const int n = int(std::min<std::size_t>(run, 4));
            if (lower == 'd')
                format += QString(n, QLatin1Char('d'));
            else if (lower == 'm')
                format += QString(n, QLatin1Char('M'));
            else if (lower == 'y')
                format += run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
            continue;
        }
        pending += c == '/' ? separator : c;
        ++i;
    }
    flush();
    return format;
}

} // namespace kalmora::widgets
