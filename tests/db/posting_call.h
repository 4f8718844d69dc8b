// SPDX-License-Identifier: Apache-2.0
#pragma once
// What the tests of the company database send and read back, in the program's own
// words: the posting call, the error-list query, and a demo day written in a date order.

#include "support/isql.h"

#include <string>
#include <vector>

namespace kalmora::test {

/// The arguments of contabil_facturas_contado.
struct PostingArgs
{
    std::string day;    // the day as the workstation writes it
    std::string nit;    // the cash customer's NIT
    std::string prefix; // the invoice prefix
    std::string point;  // PTVT_ID as text
    std::string interfaceId;
};

/// The demo's arguments for point 1 (Almacén Principal) on `day`.
PostingArgs mainPoint(const std::string &day);

/// "select * from contabil_facturas_contado(...)" as the program builds it.
std::string postingCall(const PostingArgs &args);

/// The program's error-list query after a failed posting whose ERROR was `reachBack`
/// (ordered by item, so that comparisons are stable).
std::string errorListQuery(int reachBack);
/// Its rows as "ERRO_CODIGO|ERRO_CADENA".
std::vector<std::string> errorListRows(const std::vector<SqlRow> &rows);
/// Runs that query.
std::vector<std::string> errorList(const Isql &sql, int reachBack);

/// A day "YYYY-MM-DD" written as the workstation would in `order` ("DMY", "MDY",
/// "YMD"): two-digit day and month, four-digit year, "/" between (YMD uses "-").
std::string dayText(const std::string &isoDay, const std::string &order);

/// The days that hold demo invoices, oldest first, as "YYYY-MM-DD".
std::vector<std::string> demoDays(const Isql &sql);

} // namespace kalmora::test
