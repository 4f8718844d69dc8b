// SPDX-License-Identifier: Apache-2.0
#include "support/company_database.h"

#include "support/run_program.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace kalmora::test {
namespace {

std::string sourceDir()
{
    if (const char *dir = std::getenv("KALMORA_SOURCE_DIR"); dir && *dir)
        return dir;
    return KALMORA_DEFAULT_SOURCE_DIR;
}

std::string makeTempDir()
{
    const char *tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/kalmora-company.XXXXXX";
    if (!::mkdtemp(path.data()))
        throw std::runtime_error("cannot create a temporary folder under " + path);
    return path;
}

} // namespace

CompanyDatabase::CompanyDatabase(CompanyOptions options)
    : options_(std::move(options)), serverEntry_(makeTempDir())
{
    databasePath_ = serverEntry_ + "/datos/" + options_.code + "/kalmora.fdb";
    ProgramResult made;
    try {
        made = runProgram({sourceDir() + "/db/make-company", serverEntry_, options_.code,
                           "--invoices", std::to_string(options_.invoices), "--days",
                           std::to_string(options_.days), "--date-order", options_.dateOrder});
    } catch (...) {
        std::filesystem::remove_all(serverEntry_);
        throw;
    }
    if (made.exitCode != 0) {
        std::filesystem::remove_all(serverEntry_);
        throw std::runtime_error("db/make-company failed: " + made.out + made.err);
    }
}

void CompanyDatabase::pinTwoNewestDays() const
{
    const Isql database = sql();
    const std::vector<SqlRow> days =
        database.query("select distinct fact_fecha as dia from facturas order by 1 desc");
    database.execute("update facturas set fact_fecha = case fact_fecha when date '" +
                     *days.at(0).at("DIA") + "' then date '2026-12-10' when date '" +
                     *days.at(1).at("DIA") +
                     "' then date '2026-10-12' else fact_fecha end;\n"
                     "delete from ajuste_cierre;\n"
                     "insert into ajuste_cierre values (0, date '1900-01-01', date "
                     "'2099-12-31', 0, 0.6);\n"
                     "insert into ajuste_cierre values (0, date '1900-01-01', date "
                     "'2099-12-31', 5, 0.75);\n"
                     "insert into ajuste_cierre values (0, date '1900-01-01', date "
                     "'2099-12-31', 19, 0.8)");
}

CompanyDatabase::~CompanyDatabase()
{
    std::error_code ignored;
    std::filesystem::remove_all(serverEntry_, ignored);
}

std::vector<std::vector<SqlRow>> CompanyDatabase::everyTable() const
{
    const Isql isql = sql();
    std::vector<std::string> selects;
    for (const SqlRow &table :
         isql.query("select trim(r.rdb$relation_name) as nombre, count(*) as columnas from "
                    "rdb$relations r join rdb$relation_fields f on f.rdb$relation_name = "
                    "r.rdb$relation_name where r.rdb$system_flag = 0 and r.rdb$view_blr is null "
                    "group by 1 order by 1")) {
        std::string orderBy;
        for (int c = 1; c <= std::stoi(*table.at("COLUMNAS")); ++c)
            orderBy += (c > 1 ? ", " : "") + std::to_string(c);
        selects.push_back("select * from " + *table.at("NOMBRE") + " order by " + orderBy);
    }
    return isql.queries(selects);
}

} // namespace kalmora::test
