// SPDX-License-Identifier: Apache-2.0
#pragma once
// A fresh demo company for one test: db/make-company builds it in a temporary folder
// with the embedded engine, and the folder goes away with the object. The demo contents
// (points of sale, interfaces, invoices, rates) are described in db/README.md.

#include "support/isql.h"

#include <string>
#include <vector>

namespace kalmora::test {

struct CompanyOptions
{
    int invoices = 5;              // invoices per point of sale and day
    int days = 3;                  // today and the days before it
    std::string dateOrder = "DMY"; // how the posting procedure reads the day text
    std::string code = "DEMO";     // the company code: the folder under datos/
};

class CompanyDatabase
{
public:
    /// Builds the company; throws std::runtime_error with make-company's output when
    /// that fails.
    explicit CompanyDatabase(CompanyOptions options = {});
    ~CompanyDatabase();
    CompanyDatabase(const CompanyDatabase &) = delete;
    CompanyDatabase &operator=(const CompanyDatabase &) = delete;

    /// The server entry as SERVIDORES.cfg lists it: the folder in front of "/datos/".
    const std::string &serverEntry() const { return serverEntry_; }
    const std::string &code() const { return options_.code; }
    /// serverEntry() + "/datos/" + code() + "/kalmora.fdb".
    const std::string &databasePath() const { return databasePath_; }
    /// isql-fb on the database, embedded, as SYSDBA.
    Isql sql() const { return Isql(databasePath_); }

    /// Moves the invoices of the two newest demo days to 10 December 2026 and 12 October
    /// 2026, the same day and month read the other way round, and gives every day from 1900
    /// to 2099 the demo's rates: two days that a reader of the other date order takes for
    /// each other. Through sql(), so no other connection may be open on the database.
    void pinTwoNewestDays() const;

    /// Every row of every table of the company, table by table, each ordered by all its
    /// columns: two snapshots are equal when nothing was written in between (sequences
    /// aside).
    std::vector<std::vector<SqlRow>> everyTable() const;

private:
    CompanyOptions options_;
    std::string serverEntry_;
    std::string databasePath_;
};

} // namespace kalmora::test
