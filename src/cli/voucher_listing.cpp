// SPDX-License-Identifier: Apache-2.0
#include "cli/voucher_listing.h"

#include "data/client_data_set.h"

#include <ostream>

namespace kalmora::cli {

namespace {

void reopen(data::TClientDataSet &dataSet, std::string text)
{
    dataSet.close();
    dataSet.setCommandText(std::move(text));
    dataSet.open();
}

} // namespace

std::optional<VoucherListing> readVoucher(data::TClientDataSet &lookup, std::int64_t voucher)
{
    const std::string id = std::to_string(voucher);
    // A voucher's invoices are found by its day, point, prefix and customer.
    reopen(lookup, "select c.comp_numero, c.comp_detalle, c.ptvt_id, (select count(*) from "
                   "facturas f where f.fact_fecha = c.comp_fecha and f.ptvt_id = c.ptvt_id and "
                   "f.pref_pre = c.pref_pre and f.terc_nit = c.terc_nit and f.comp_id = "
                   "c.comp_id), cast((select "
                   "coalesce(sum(d.cmde_debito), 0) from comprobantes_det d where d.comp_id = "
                   "c.comp_id) as varchar(30)), cast((select coalesce(sum(d.cmde_credito), 0) "
                   "from comprobantes_det d where d.comp_id = c.comp_id) as varchar(30)) from "
                   "comprobantes c where c.comp_id = " +
                       id);
    if (lookup.isEmpty()) {
        lookup.close();
        return std::nullopt;
    }
    VoucherListing listing;
    listing.id = voucher;
    if (!lookup.fields(0).isNull())
        listing.number = lookup.fields(0).asString();
    listing.detail = lookup.fields(1).asString();
    listing.point = lookup.fields(2).asString();
    listing.invoices = lookup.fields(3).asString();
    listing.debits = lookup.fields(4).asString();
    listing.credits = lookup.fields(5).asString();

    reopen(lookup, "select cuen_cod, texto_porcentaje(cmde_porc), cast(cmde_debito as "
                   "varchar(30)), cast(cmde_credito as varchar(30)), cmde_detalle from "
                   "comprobantes_det where comp_id = " +
                       id + " order by cmde_item");
    for (lookup.first(); !lookup.eof(); lookup.next())
        listing.lines.push_back({lookup.fields(0).asString(), lookup.fields(1).asString(),
                                 lookup.fields(2).asString(), lookup.fields(3).asString(),
                                 lookup.fields(4).asString()});
    lookup.close();
    return listing;
}

void printVoucher(const VoucherListing &voucher, bool stored, std::ostream &out)
{
    if (stored && voucher.number)
        out << "Comprobante " << voucher.id << ", número " << *voucher.number << ": ";
    out << voucher.detail << " (punto de venta " << voucher.point << ", " << voucher.invoices
        << " facturas)\n"
        << "Cuenta\tTasa\tDébito\tCrédito\tDetalle\n";
    for (const VoucherLine &line : voucher.lines)
        out << line.account << '\t' << line.rate << '\t' << line.debit << '\t' << line.credit
            << '\t' << line.detail << '\n';
    out << "Totales\t\t" << voucher.debits << '\t' << voucher.credits << '\n';
    out.flush();
}

} // namespace kalmora::cli
