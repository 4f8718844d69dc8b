// SPDX-License-Identifier: Apache-2.0
#pragma once
// The date picker: a day shown in the user's short date pattern, with a button that drops
// down a month calendar; no check box, no earliest or latest day.

#include <QDateEdit>
#include <QString>
#include <string_view>

namespace kalmora::core {
struct Date;
struct DateSettings;
} // namespace kalmora::core

namespace kalmora::widgets {

class DatePicker final : public QDateEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent);
    ~DatePicker() override;
    DatePicker(const DatePicker &) = delete;
    DatePicker &operator=(const DatePicker &) = delete;

    /// The day shown; the picker holds no time of day.
    core::Date day() const;
    void setDay(const core::Date &day);

    /// Shows the day in the short date pattern of `settings`.
    void applyDateSettings(const core::DateSettings &settings);

    /// A short date pattern (the pattern language of core/date_format.h) as a Qt display
    /// format: d/dd/ddd/dddd, m/mm/mmm/mmmm, y/yy and yyy.. fields in either case, "/" the
    /// separator, quoted text and every other character copied as written; era letters g
    /// and G dropped.
    static QString displayFormatFor(std::string_view pattern, char separator);

protected:
    /// Tab leaves the box instead of stepping through the day, month and year.
    bool focusNextPrevChild(bool next) override;
};

} // namespace kalmora::widgets
