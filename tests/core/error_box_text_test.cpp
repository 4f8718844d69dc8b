// SPDX-License-Identifier: Apache-2.0
// The error box's text rule, which the window and the headless command share.
#include "core/errors.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace {

using kalmora::core::errorBoxText;

// Guards against a full stop added after punctuation that sorts before ".", missing after a
// character that sorts after it, or added to an empty text.
TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersSortingAfterIt)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Key violation", "Key violation."},
        {"Value 7", "Value 7."},
        {"Really?", "Really?."},
        {"Compañía", "Compañía."},
        {"Año ñ", "Año ñ."}, // a multi-byte last character sorts after "."
        {"a/b", "a/b."},     // "/" sorts after "."
        {"Done.", "Done."},
        {"Stop!", "Stop!"},
        {"(twice)", "(twice)"},
        {"Invalid data type for 'Directorio'", "Invalid data type for 'Directorio'"},
        {"ends in a space ", "ends in a space "},
        {"two\nlines\n", "two\nlines\n"},
        {"a-", "a-"},
        {"", ""},
    };
    for (const auto &[message, shown] : cases)
        EXPECT_EQ(errorBoxText(message), shown) << message;
}

} // namespace
