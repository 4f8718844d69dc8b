#include "cli/voucher_listing.h"

#include "data/client_data_set.h"

#include <ostream>
#include <string>

namespace kalmora::cli {

namespace {

void reopen(data::TClientDataSet &dataSet, std::string text)
{
    dataSet.close();
    dataSet.setCommandText(std::move(text));
    dataSet.open();
}

} // namespace

bool printVoucher(data::TClientDataSet &lookup, std::int64_t voucher, bool stored,
                  std::ostream &out)
{
    const std::string id = std::to_string(voucher);
    // Amounts as the server writes them (two decimals): exact, and summed there.
    reopen(lookup, "select c.comp_fecha, c.ptvt_id, (select count(*) from facturas f where "
                   "f.comp_id = c.comp_id), cast((select coalesce(sum(d.cmde_debito), 0) "
                   "from comprobantes_det d where d.comp_id = c.comp_id) as varchar(30)), "
                   "cast((select coalesce(sum(d.cmde_credito), 0) from comprobantes_det d "
                   "where d.comp_id = c.comp_id) as varchar(30)), c.comp_detalle, c.comp_numero "
                   "from comprobantes c where c.comp_id = " +
                       id);
    if (lookup.isEmpty()) {
        lookup.close();
        out << "Comprobante " << id << ": no existe.\n";
        return false;
    }
    const std::string heading = lookup.fields(5).asString();
    const std::string point = lookup.fields(1).asString();
    const std::string invoices = lookup.fields(2).asString();
    const std::string debits = lookup.fields(3).asString();
    const std::string credits = lookup.fields(4).asString();
    const std::string number =
        !stored || lookup.fields(6).isNull()
            ? std::string()
            : "Comprobante " + id + ", número " + lookup.fields(6).asString() + ": ";

    out << number << heading << " (punto de venta " << point << ", " << invoices << " facturas)\n"
        << "Cuenta\tTasa\tDébito\tCrédito\tDetalle\n";
    reopen(lookup, "select cuen_cod, texto_porcentaje(cmde_porc), cast(cmde_debito as "
                   "varchar(30)), cast(cmde_credito as varchar(30)), cmde_detalle from "
                   "comprobantes_det where comp_id = " +
                       id + " order by cmde_item");
    for (lookup.first(); !lookup.eof(); lookup.next()) {
        for (int c = 0; c < lookup.fieldCount(); ++c)
            out << (c ? "\t" : "") << lookup.fields(c).asString();
        out << '\n';
    }
    lookup.close();
    out << "Totales\t\t" << debits << '\t' << credits << '\n';
    out.flush();
    return debits == credits; // both written with the column's two decimals
}

} // namespace kalmora::cli
