// SPDX-License-Identifier: Apache-2.0
#pragma once
// The search text of a lookup box's incremental search: the characters typed so far, which
// a pause of more than two seconds between search keystrokes starts afresh. At most 32
// characters are kept.

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace kalmora::widgets {

class IncrementalSearch
{
public:
    /// Milliseconds of a steady clock; tests replace it to control the pauses.
    using Clock = std::function<std::int64_t()>;

    static constexpr std::int64_t kPauseMs = 2000;
    static constexpr int kMaxLength = 32;

    IncrementalSearch();

    void setClock(Clock clock);
    /// The text that the rows are searched for.
    const QString &text() const { return text_; }
    void clear() { text_.clear(); }

    /// A search keystroke of `character`: after a pause of more than kPauseMs the text is
    /// emptied first. Returns the text to search for (the text followed by the character),
    /// or nullopt when the text is full and the character is ignored.
    std::optional<QString> extend(QChar character);
    /// The search for `candidate` (as extend returned it) found a row: it becomes the text.
    void accept(const QString &candidate) { text_ = candidate; }

private:
    Clock clock_;
    QString text_;
    std::optional<std::int64_t> lastKeystroke_;
};

} // namespace kalmora::widgets
