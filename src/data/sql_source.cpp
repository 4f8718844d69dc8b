// SPDX-License-Identifier: Apache-2.0
#include "data/sql_source.h"

#include "core/errors.h"
#include "data/statement_sender.h"

namespace kalmora::data {

std::string withoutLeadingBlanks(const std::string &text)
{
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= 32)
        ++i;
    return text.substr(i);
}

TSQLSource::TSQLSource(std::string name, TSQLConnection &connection)
    : name_(std::move(name)), connection_(connection)
{
    connection_.addClient(this);
}

TSQLSource::~TSQLSource()
{
    connection_.removeClient(this);
}

void TSQLSource::setCommandText(const std::string &text)
{
    close();
    commandText_ = withoutLeadingBlanks(text);
}

void TSQLSource::open()
{
    if (active())
        return;
    const std::string text = statementText();
    if (text.empty())
        fail("No SQL statement available");
    std::unique_ptr<driver::DriverCursor> cursor = openStatement(connection_, text);
    if (!cursor)
        fail("Cursor not returned from Query");
    cursor_ = std::move(cursor);
}

void TSQLSource::close()
{
    if (!cursor_)
        return;
    std::unique_ptr<driver::DriverCursor> cursor = std::move(cursor_);
    cursor->close();
}

driver::DriverCursor &TSQLSource::cursor()
{
    if (!cursor_)
        fail("Cannot perform this operation on a closed dataset");
    return *cursor_;
}

void TSQLSource::connectionClosing()
{
    // The connection is going away: release the statement without ending it on the server.
    cursor_.reset();
}

void TSQLSource::fail(const std::string &text) const
{
    throw core::EDatabaseError(name_ + ": " + text);
}

} // namespace kalmora::data
