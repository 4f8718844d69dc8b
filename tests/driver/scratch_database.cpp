// SPDX-License-Identifier: Apache-2.0
#include "driver/scratch_database.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <firebird/Interface.h>
#include <stdexcept>

namespace kalmora::test {

using namespace Firebird;

namespace {

// A client call that failed, with the client's text.
[[noreturn]] void rethrow(const FbException &e)
{
    std::array<char, 2048> text{};
    fb_get_master_interface()->getUtilInterface()->formatStatus(
        text.data(), static_cast<unsigned>(text.size()), e.getStatus());
    throw std::runtime_error(text.data());
}

// One embedded attachment with its status, released on every path.
class Session
{
public:
    Session(const std::string &path, bool create)
        : master_(fb_get_master_interface()), status_(master_->getStatus()), wrapper_(status_)
    {
        try {
            provider_ = master_->getDispatcher();
            IXpbBuilder *dpb =
                master_->getUtilInterface()->getXpbBuilder(&wrapper_, IXpbBuilder::DPB, nullptr, 0);
            dpb->insertString(&wrapper_, isc_dpb_user_name, "SYSDBA");
            dpb->insertInt(&wrapper_, isc_dpb_sql_dialect, 3);
            try {
                attachment_ = create ? provider_->createDatabase(&wrapper_, path.c_str(),
                                                                 dpb->getBufferLength(&wrapper_),
                                                                 dpb->getBuffer(&wrapper_))
                                     : provider_->attachDatabase(&wrapper_, path.c_str(),
                                                                 dpb->getBufferLength(&wrapper_),
                                                                 dpb->getBuffer(&wrapper_));
            } catch (...) {
                dpb->dispose();
                throw;
            }
            dpb->dispose();
        } catch (const FbException &e) {
            cleanup();
            rethrow(e);
        }
    }
    ~Session() { cleanup(); }

    void execute(const std::string &sql)
    {
        ITransaction *tra = nullptr;
        try {
            tra = attachment_->startTransaction(&wrapper_, 0, nullptr);
            attachment_->execute(&wrapper_, tra, 0, sql.c_str(), 3, nullptr, nullptr, nullptr,
                                 nullptr);
            tra->commit(&wrapper_);
        } catch (const FbException &e) {
            if (tra)
                tra->release();
            rethrow(e);
        }
    }

    std::optional<std::string> text(const std::string &select)
    {
        const std::string sql =
            "select cast(v as varchar(8000)) from (" + select + ") as q(v) rows 1";
        ITransaction *tra = nullptr;
        IResultSet *rs = nullptr;
        IMessageMetadata *meta = nullptr;
        IMetadataBuilder *builder = nullptr;
        std::optional<std::string> result;
        try {
            tra = attachment_->startTransaction(&wrapper_, 0, nullptr);
            builder = master_->getMetadataBuilder(&wrapper_, 1);
            builder->setType(&wrapper_, 0, SQL_VARYING + 1);
            builder->setLength(&wrapper_, 0, 8000);
            builder->setCharSet(&wrapper_, 0, 0);
            meta = builder->getMetadata(&wrapper_);
            std::vector<unsigned char> row(meta->getMessageLength(&wrapper_));
            rs = attachment_->openCursor(&wrapper_, tra, 0, sql.c_str(), 3, nullptr, nullptr, meta,
                                         nullptr, 0);
            if (rs->fetchNext(&wrapper_, row.data()) == IStatus::RESULT_OK) {
                std::int16_t isNull;
                std::memcpy(&isNull, row.data() + meta->getNullOffset(&wrapper_, 0), sizeof isNull);
                if (!isNull) {
                    const unsigned char *data = row.data() + meta->getOffset(&wrapper_, 0);
                    std::uint16_t length;
                    std::memcpy(&length, data, sizeof length);
                    result = std::string(reinterpret_cast<const char *>(data + 2), length);
                }
            }
            rs->close(&wrapper_);
            rs = nullptr;
            tra->commit(&wrapper_);
            tra = nullptr;
        } catch (const FbException &e) {
            release(rs, tra, meta, builder);
            rethrow(e);
        }
        release(rs, tra, meta, builder);
        return result;
    }

private:
    static void release(IResultSet *rs, ITransaction *tra, IMessageMetadata *meta,
                        IMetadataBuilder *builder)
    {
        if (rs)
            rs->release();
        if (tra)
            tra->release();
        if (meta)
            meta->release();
        if (builder)
            builder->release();
    }

    void cleanup()
    {
        if (attachment_) {
            CheckStatusWrapper check(status_);
            attachment_->detach(&check);
            if (check.getState() & IStatus::STATE_ERRORS)
                attachment_->release();
            attachment_ = nullptr;
        }
        if (provider_) {
            provider_->release();
            provider_ = nullptr;
        }
        if (status_) {
            status_->dispose();
            status_ = nullptr;
        }
    }

    IMaster *master_;
    IStatus *status_;
    ThrowStatusWrapper wrapper_;
    IProvider *provider_ = nullptr;
    IAttachment *attachment_ = nullptr;
};

} // namespace

ScratchDatabase::ScratchDatabase(const std::vector<std::string> &statements)
{
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kalmora-driver-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    folder_ = pattern;
    path_ = folder_ + "/kalmora.fdb";
    {
        Session session(path_, true);
        for (const std::string &statement : statements)
            session.execute(statement);
    }
}

ScratchDatabase::~ScratchDatabase()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void ScratchDatabase::execute(const std::vector<std::string> &statements) const
{
    Session session(path_, false);
    for (const std::string &statement : statements)
        session.execute(statement);
}

std::optional<std::string> committedText(const std::string &path, const std::string &select)
{
    return Session(path, false).text(select);
}

std::optional<std::string> ScratchDatabase::text(const std::string &select) const
{
    return committedText(path_, select);
}

int ScratchDatabase::otherAttachments() const
{
    return std::stoi(
        *text("select count(*) from mon$attachments where mon$attachment_id <> current_connection"
              " and mon$system_flag = 0"));
}

} // namespace kalmora::test
