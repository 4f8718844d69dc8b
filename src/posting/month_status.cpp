// SPDX-License-Identifier: Apache-2.0
#include "posting/month_status.h"

#include "core/date_format.h"
#include "core/day_range.h"
#include "data/sql_connection.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <tuple>

namespace kalmora::posting {

namespace {

// The points with the prefix and the cash customer the posting run sends for each.
const char *const kPoints =
    "select p.ptvt_id, p.ptvt_nom, p.pref_pre, "
    "coalesce((select first 1 nullif(trim(a.auto_nitcontado), '') from autorizaciones a "
    "where a.pref_pre = p.pref_pre), (select trim(c.conf_valor) from configuracion c where "
    "c.conf_modulo = 'FACTURACION' and c.conf_categoria = 'FACTURAS' and c.conf_propiedad = "
    "'CODIGO DEL CLIENTE PARA VENTAS DE CONTADO')) from punto_venta p";

// Every invoice of the range once, with its total; grouped by what tells a cash invoice of a
// point (prefix and customer) and by the voucher that marks it.
const char *const kInvoices =
    "select fact_fecha, ptvt_id, pref_pre, terc_nit, comp_id, count(*), sum(total) from "
    "(select f.fact_fecha, f.ptvt_id, f.pref_pre, f.terc_nit, f.comp_id, (select "
    "coalesce(sum(d.faiv_base + d.faiv_iva), 0) from facturas_iva d where d.fact_id = "
    "f.fact_id) as total from facturas f where f.fact_fecha between ? and ?";

// The vouchers of cash sales and their reversals dated in the range, with the sums of their
// lines; the cash line is the first.
const char *const kVouchers =
    "select c.comp_id, c.comp_numero, c.comp_estado, c.comp_fecha, c.ptvt_id, c.comp_origen, "
    "c.comp_revertido_por, coalesce(sum(d.cmde_debito), 0), coalesce(sum(d.cmde_credito), 0), "
    "coalesce(sum(iif(d.cmde_item = 1, d.cmde_debito - d.cmde_credito, 0)), 0) from "
    "comprobantes c left join comprobantes_det d on d.comp_id = c.comp_id where c.comp_fecha "
    "between ? and ? and c.comp_origen in ('FACTURAS CONTADO', 'REVERSION CONTADO')";

const char *const kPostingOrigin = "FACTURAS CONTADO";

data::Param dateParam(const core::Date &day)
{
    return {core::ColumnDesc{"", core::ColumnType::Date}, core::Value{day}};
}

data::Param integerParam(std::int64_t value)
{
    return {core::ColumnDesc{"", core::ColumnType::Integer}, core::Value{value}};
}

std::int64_t integerOf(const core::Value &value)
{
    if (const auto *integer = std::get_if<std::int64_t>(&value))
        return *integer;
    if (const auto *decimal = std::get_if<core::Decimal>(&value)) {
        std::int64_t unscaled = decimal->unscaled;
        for (int s = 0; s < decimal->scale; ++s)
            unscaled /= 10;
        return unscaled;
    }
    return 0;
}

std::optional<std::int64_t> optionalInteger(const core::Value &value)
{
    if (core::isNull(value))
        return std::nullopt;
    return integerOf(value);
}

/// An amount in cents; a null is 0.
std::int64_t centsOf(const core::Value &value)
{
    if (const auto *decimal = std::get_if<core::Decimal>(&value)) {
        std::int64_t unscaled = decimal->unscaled;
        int scale = decimal->scale;
        for (; scale < 2; ++scale)
            unscaled *= 10;
        for (; scale > 2; --scale)
            unscaled /= 10; // amounts carry two decimals; a sum never more
        return unscaled;
    }
    if (const auto *integer = std::get_if<std::int64_t>(&value))
        return *integer * 100;
    return 0;
}

std::string textOf(const core::Value &value)
{
    if (const auto *text = std::get_if<std::string>(&value)) {
        std::string trimmed = *text;
        while (!trimmed.empty() && trimmed.back() == ' ')
            trimmed.pop_back();
        return trimmed;
    }
    return {};
}

core::Date dateOf(const core::Value &value)
{
    if (const auto *day = std::get_if<core::Date>(&value))
        return *day;
    return {};
}

/// Runs `text` with `params` and hands each row's values to `row`.
template <class Row>
void eachRow(data::TSQLConnection &connection, const std::string &text,
             const std::vector<data::Param> &params, Row row)
{
    std::unique_ptr<driver::DriverCursor> cursor = connection.openQuery(text, params);
    while (cursor->next())
        row(*cursor);
    cursor->close();
}

/// The transaction the status reads in: one snapshot, read only; rolled back on every way
/// out, there being nothing to keep.
class ReadOnlySnapshot
{
public:
    explicit ReadOnlySnapshot(data::TSQLConnection &connection) : connection_(connection)
    {
        transaction_.isolation = driver::IsolationLevel::RepeatableRead;
        transaction_.readOnly = true;
        connection_.startTransaction(transaction_);
    }
    ~ReadOnlySnapshot()
    {
        try {
            connection_.rollback(transaction_);
        } catch (...) {
            // A broken connection has no transaction left to end.
        }
    }
    ReadOnlySnapshot(const ReadOnlySnapshot &) = delete;
    ReadOnlySnapshot &operator=(const ReadOnlySnapshot &) = delete;

private:
    data::TSQLConnection &connection_;
    driver::TransactionDesc transaction_;
};

struct PointRow
{
    StatusPoint point;
    std::string prefix;
    std::string cashCustomer;
};

struct VoucherRow
{
    VoucherStatus status;
    core::Date day;
    std::int64_t point = 0;
    bool posting = false; // a posting of cash sales, not a reversal
};

} // namespace

std::string centsText(std::int64_t cents)
{
    const bool negative = cents < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t(0) - std::uint64_t(cents) : std::uint64_t(cents);
    std::string fraction = std::to_string(magnitude % 100);
    if (fraction.size() < 2)
        fraction.insert(0, "0");
    return (negative ? "-" : "") + std::to_string(magnitude / 100) + "." + fraction;
}

std::vector<std::string> monthStatusQueries(bool onePoint)
{
    return {std::string(kPoints) + (onePoint ? " where p.ptvt_id = ?" : "") + " order by 1",
            std::string(kInvoices) + (onePoint ? " and f.ptvt_id = ?" : "") +
                ") t group by 1, 2, 3, 4, 5",
            std::string(kVouchers) + (onePoint ? " and c.ptvt_id = ?" : "") +
                " group by 1, 2, 3, 4, 5, 6, 7"};
}

MonthStatus readMonthStatus(data::TSQLConnection &connection, const core::Date &from,
                            const core::Date &to, std::optional<std::int64_t> point)
{
    const std::vector<std::string> queries = monthStatusQueries(point.has_value());
    std::vector<data::Param> range{dateParam(from), dateParam(to)};
    std::vector<data::Param> pointOnly;
    if (point) {
        range.push_back(integerParam(*point));
        pointOnly.push_back(integerParam(*point));
    }

    MonthStatus status;
    status.days = core::daysBetween(from, to);
    std::vector<PointRow> points;
    // (day, point, prefix, customer, voucher or 0) → invoices and their total.
    std::map<std::tuple<core::Date, std::int64_t, std::string, std::string, std::int64_t>,
             std::pair<std::int64_t, std::int64_t>>
        invoiceGroups;
    std::map<std::int64_t, VoucherRow> vouchers;
    {
        ReadOnlySnapshot snapshot(connection);
        eachRow(connection, queries[0], pointOnly, [&](driver::DriverCursor &row) {
            points.push_back({{integerOf(row.value(0)), textOf(row.value(1))},
                              textOf(row.value(2)),
                              textOf(row.value(3))});
        });
        eachRow(connection, queries[1], range, [&](driver::DriverCursor &row) {
            invoiceGroups[{dateOf(row.value(0)), integerOf(row.value(1)), textOf(row.value(2)),
                           textOf(row.value(3)), integerOf(row.value(4))}] = {
                integerOf(row.value(5)), centsOf(row.value(6))};
        });
        eachRow(connection, queries[2], range, [&](driver::DriverCursor &row) {
            VoucherRow voucher;
            voucher.status.id = integerOf(row.value(0));
            voucher.status.number = optionalInteger(row.value(1));
            voucher.status.completed = textOf(row.value(2)) == "D";
            voucher.day = dateOf(row.value(3));
            voucher.point = integerOf(row.value(4));
            voucher.posting = textOf(row.value(5)) == kPostingOrigin;
            voucher.status.reversedBy = optionalInteger(row.value(6));
            voucher.status.debits = centsOf(row.value(7));
            voucher.status.credits = centsOf(row.value(8));
            voucher.status.cashLine = centsOf(row.value(9));
            vouchers[voucher.status.id] = voucher;
        });
    }

    // What the invoices of the range marked with each voucher add up to, wherever they are.
    for (const auto &[key, group] : invoiceGroups)
        if (const auto found = vouchers.find(std::get<4>(key)); found != vouchers.end())
            found->second.status.invoiced += group.second;
    for (auto &[id, voucher] : vouchers)
        if (voucher.status.reversedBy)
            if (const auto by = vouchers.find(*voucher.status.reversedBy); by != vouchers.end())
                voucher.status.reversedByNumber = by->second.status.number;

    for (const PointRow &row : points)
        status.points.push_back(row.point);

    for (const core::Date &day : status.days) {
        for (const PointRow &row : points) {
            DayStatus entry;
            entry.day = day;
            entry.point = row.point.id;
            entry.pointName = row.point.name;
            const std::string voucherOf = "el comprobante ";

            // The cash invoices, and the marks on them.
            const auto first = invoiceGroups.lower_bound(
                {day, row.point.id, row.prefix, row.cashCustomer, std::int64_t(0)});
            for (auto group = first;
                 group != invoiceGroups.end() && std::get<0>(group->first) == day &&
                 std::get<1>(group->first) == row.point.id &&
                 std::get<2>(group->first) == row.prefix &&
                 std::get<3>(group->first) == row.cashCustomer;
                 ++group) {
                const std::int64_t mark = std::get<4>(group->first);
                const auto [count, total] = group->second;
                entry.invoices += count;
                entry.amount += total;
                if (mark == 0)
                    continue;
                entry.posted += count;
                entry.postedAmount += total;
                const auto voucher = vouchers.find(mark);
                const std::string figures = std::to_string(count) + " facturas por " +
                                            centsText(total) + " están marcadas con " + voucherOf +
                                            std::to_string(mark);
                if (voucher == vouchers.end() || voucher->second.day != day ||
                    voucher->second.point != row.point.id)
                    entry.problems.push_back(
                        figures + ", que no es de este día y punto de venta" +
                        (voucher == vouchers.end()
                             ? std::string()
                             : " (es del " + core::isoDateText(voucher->second.day) +
                                   ", punto de venta " + std::to_string(voucher->second.point) +
                                   ")"));
                else if (!voucher->second.posting)
                    entry.problems.push_back(figures + ", que es una reversión");
                else if (voucher->second.status.reversedBy)
                    entry.problems.push_back(figures + ", que fue revertido por el comprobante " +
                                             std::to_string(*voucher->second.status.reversedBy));
            }

            // The vouchers of the day and point, and their checks.
            bool pending = false;
            bool reversed = false;
            for (const auto &[id, voucher] : vouchers) {
                if (voucher.day != day || voucher.point != row.point.id)
                    continue;
                const VoucherStatus &v = voucher.status;
                if (voucher.posting)
                    entry.vouchers.push_back(v);
                if (!v.completed) {
                    pending = pending || voucher.posting;
                    continue;
                }
                if (v.debits != v.credits)
                    entry.problems.push_back(voucherOf + std::to_string(id) +
                                             " no cuadra: débitos " + centsText(v.debits) +
                                             ", créditos " + centsText(v.credits));
                if (!voucher.posting)
                    continue;
                if (v.reversedBy) {
                    reversed = true;
                } else if (v.cashLine != v.invoiced) {
                    entry.problems.push_back(voucherOf + std::to_string(id) +
                                             ": su línea de caja es " + centsText(v.cashLine) +
                                             " y las facturas marcadas con él suman " +
                                             centsText(v.invoiced));
                }
            }

            if (!entry.problems.empty())
                entry.state = DayState::Inconsistent;
            else if (pending)
                entry.state = DayState::Pending;
            else if (entry.invoices == 0)
                entry.state = DayState::Nothing;
            else if (entry.posted == entry.invoices)
                entry.state = DayState::Posted;
            else if (reversed && entry.posted == 0)
                entry.state = DayState::Reversed;
            else
                entry.state = DayState::ToPost;
            status.entries.push_back(std::move(entry));
        }
    }
    return status;
}

} // namespace kalmora::posting
