// SPDX-License-Identifier: Apache-2.0
#include "plain_client.h"

#include <array>
#include <memory>

namespace kalmora::bench {

using namespace Firebird;

PlainClient::PlainClient(const std::string &database, const std::string &user,
                         const std::string &password)
    : master_(fb_get_master_interface()), util_(master_->getUtilInterface()),
      status_(master_->getStatus())
{
    provider_ = master_->getDispatcher();
    const auto dispose = [](IXpbBuilder *builder) { builder->dispose(); };
    const std::unique_ptr<IXpbBuilder, decltype(dispose)> dpb(
        util_->getXpbBuilder(&status_, IXpbBuilder::DPB, nullptr, 0), dispose);
    dpb->insertString(&status_, isc_dpb_user_name, user.c_str());
    dpb->insertString(&status_, isc_dpb_password, password.c_str());
    dpb->insertInt(&status_, isc_dpb_sql_dialect, 3);
    attachment_ = provider_->attachDatabase(
        &status_, database.c_str(), dpb->getBufferLength(&status_), dpb->getBuffer(&status_));
}

PlainClient::~PlainClient()
{
    CheckStatusWrapper status(master_->getStatus());
    if (attachment_)
        attachment_->detach(&status);
    provider_->release();
    status.dispose();
    status_.dispose();
}

ITransaction *PlainClient::startTransaction()
{
    static const unsigned char driverMode[] = {isc_tpb_version3, isc_tpb_read_committed,
                                               isc_tpb_rec_version, isc_tpb_write, isc_tpb_wait};
    return attachment_->startTransaction(&status_, sizeof driverMode, driverMode);
}

void PlainClient::execute(const std::string &text)
{
    ITransaction *transaction = startTransaction();
    attachment_->execute(&status_, transaction, 0, text.c_str(), 3, nullptr, nullptr, nullptr,
                         nullptr);
    transaction->commit(&status_);
}

void PlainClient::readAll(const std::string &text)
{
    ITransaction *transaction = startTransaction();
    IStatement *statement = attachment_->prepare(&status_, transaction, 0, text.c_str(), 3,
                                                 IStatement::PREPARE_PREFETCH_METADATA);
    PlainMessage row(status_, statement->getOutputMetadata(&status_));
    IResultSet *cursor =
        statement->openCursor(&status_, transaction, nullptr, nullptr, row.metadata, 0);
    while (cursor->fetchNext(&status_, row.buffer.data()) == IStatus::RESULT_OK) {
    }
    cursor->close(&status_);
    statement->free(&status_);
    transaction->commit(&status_);
}

std::string PlainClient::errorText(const FbException &failure)
{
    std::array<char, 2048> text{};
    fb_get_master_interface()->getUtilInterface()->formatStatus(text.data(), unsigned(text.size()),
                                                                failure.getStatus());
    return text.data();
}

PlainMessage::PlainMessage(ThrowStatusWrapper &status, IMessageMetadata *described)
    : metadata(described)
{
    buffer.assign(metadata->getMessageLength(&status), 0);
    const unsigned count = metadata->getCount(&status);
    for (unsigned i = 0; i < count; ++i) {
        offsets.push_back(metadata->getOffset(&status, i));
        nullOffsets.push_back(metadata->getNullOffset(&status, i));
    }
}

PlainMessage::~PlainMessage()
{
    metadata->release();
}

} // namespace kalmora::bench
