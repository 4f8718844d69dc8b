// SPDX-License-Identifier: Apache-2.0
#pragma once
// A demo company for the posting benchmarks (db/make-company: one day, today, or the D days
// up to today, four points of N invoices each a day, 90 % of them cash sales; the company
// reads day texts as YYYY-MM-DD),
// removed at exit; and the bare posting of its point 1 over the plain client API, the
// reference those benchmarks measure the program against. Set KALMORA_SOURCE_DIR to the
// source tree when running from elsewhere.

#include "plain_client.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kalmora::bench {

class DemoCompany
{
public:
    explicit DemoCompany(int invoices, int days = 1);
    ~DemoCompany();
    DemoCompany(const DemoCompany &) = delete;
    DemoCompany &operator=(const DemoCompany &) = delete;

    /// The server entry (the folder above datos/), the company code and the database file.
    const std::string &folder() const { return folder_; }
    static constexpr const char *code = "BENCH";
    std::string database() const { return folder_ + "/datos/BENCH/kalmora.fdb"; }
    /// Today as the company reads it.
    const std::string &today() const { return today_; }
    /// The cash invoices of one point: what a posting of the day marks.
    int cashInvoices() const { return invoices_ - invoices_ / 10; }

    /// Every invoice unposted again, and the old record versions this leaves collected at
    /// once, so that no timed posting pays for them.
    void unmark();
    /// The posting call of point 1 and the completion of its voucher, each statement in a
    /// transaction of its own, over the plain client API.
    void barePosting();

    PlainClient &client() { return *client_; }

private:
    std::string folder_;
    int invoices_;
    std::string today_;
    std::unique_ptr<PlainClient> client_;
};

} // namespace kalmora::bench
