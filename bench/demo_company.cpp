// SPDX-License-Identifier: Apache-2.0
#include "demo_company.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace kalmora::bench {

using namespace Firebird;

namespace {

std::string sourceDir()
{
    if (const char *dir = std::getenv("KALMORA_SOURCE_DIR"); dir && *dir)
        return dir;
    return std::filesystem::current_path().string();
}

} // namespace

DemoCompany::DemoCompany(int invoices, int days) : invoices_(invoices)
{
    const std::string maker = sourceDir() + "/db/make-company";
    if (!std::filesystem::exists(maker))
        throw std::runtime_error(maker + " not found: set KALMORA_SOURCE_DIR");
    const char *tmp = std::getenv("TMPDIR");
    folder_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/kalmora-bench.XXXXXX";
    if (!::mkdtemp(folder_.data()))
        throw std::runtime_error("cannot create " + folder_);
    const std::string command = "'" + maker + "' '" + folder_ + "' " + code + " --days " +
                                std::to_string(days) + " --invoices " + std::to_string(invoices) +
                                " --date-order YMD >/dev/null";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("failed: " + command);
    client_ = std::make_unique<PlainClient>(database(), "SYSDBA", "bench");
    // The day as make-company wrote it: the engine's today.
    ITransaction *transaction = client_->startTransaction();
    IStatement *statement =
        client_->attachment()->prepare(&client_->status(), transaction, 0,
                                       "select cast(current_date as varchar(10)) from rdb$database",
                                       3, IStatement::PREPARE_PREFETCH_METADATA);
    PlainMessage row(client_->status(), statement->getOutputMetadata(&client_->status()));
    IResultSet *cursor =
        statement->openCursor(&client_->status(), transaction, nullptr, nullptr, row.metadata, 0);
    cursor->fetchNext(&client_->status(), row.buffer.data());
    today_.assign(reinterpret_cast<const char *>(row.buffer.data() + row.offsets[0] + 2),
                  row.read<std::uint16_t>(0));
    cursor->close(&client_->status());
    statement->free(&client_->status());
    transaction->commit(&client_->status());
}

DemoCompany::~DemoCompany()
{
    client_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void DemoCompany::unmark()
{
    client_->execute("update facturas set comp_id = null where comp_id is not null");
    client_->readAll("select count(*) from facturas");
    client_->readAll("select count(*) from facturas_iva");
}

void DemoCompany::barePosting()
{
    ThrowStatusWrapper &status = client_->status();
    IAttachment *attachment = client_->attachment();
    const std::string call =
        "select * from contabil_facturas_contado('" + today_ + "', '900000001', 'PPAL', 1, 1)";

    ITransaction *transaction = client_->startTransaction();
    IStatement *statement = attachment->prepare(&status, transaction, 0, call.c_str(), 3,
                                                IStatement::PREPARE_PREFETCH_METADATA);
    PlainMessage result(status, statement->getOutputMetadata(&status));
    IResultSet *cursor =
        statement->openCursor(&status, transaction, nullptr, nullptr, result.metadata, 0);
    if (cursor->fetchNext(&status, result.buffer.data()) != IStatus::RESULT_OK)
        throw std::runtime_error("the posting returned no row");
    const auto voucher = result.read<std::int32_t>(1);
    const auto errors = result.read<std::int32_t>(2);
    while (cursor->fetchNext(&status, result.buffer.data()) == IStatus::RESULT_OK) {
    }
    cursor->close(&status);
    statement->free(&status);
    transaction->commit(&status);
    if (errors != 0 || voucher == 0)
        throw std::runtime_error("the posting reported errors");

    transaction = client_->startTransaction();
    statement =
        attachment->prepare(&status, transaction, 0, "execute procedure CONTABILIZA_PENDIENTE (?)",
                            3, IStatement::PREPARE_PREFETCH_METADATA);
    PlainMessage input(status, statement->getInputMetadata(&status));
    input.write<std::int32_t>(0, voucher);
    statement->execute(&status, transaction, input.metadata, input.buffer.data(), nullptr, nullptr);
    statement->free(&status);
    transaction->commit(&status);
}

} // namespace kalmora::bench
