// SPDX-License-Identifier: Apache-2.0
#include "db/posting_call.h"

namespace kalmora::test {

PostingArgs mainPoint(const std::string &day)
{
    return {day, "900000001", "PPAL", "1", "1"};
}

std::string postingCall(const PostingArgs &args)
{
    return "select * from contabil_facturas_contado(" + sqlLiteral(args.day) + ", " +
           sqlLiteral(args.nit) + ", " + sqlLiteral(args.prefix) + ", " + args.point + ", " +
           args.interfaceId + ")";
}

std::string errorListQuery(int reachBack)
{
    return "select erro_codigo,erro_cadena,'' as Interfaz from errores where erro_item >= "
           "(select (max(erro_item) -" +
           std::to_string(reachBack) +
           ") from errores where erro_tipodoc = 31 and erro_iddoc = 0) order by erro_item";
}

std::vector<std::string> errorListRows(const std::vector<SqlRow> &rows)
{
    std::vector<std::string> list;
    for (const SqlRow &row : rows)
        list.push_back(row.at("ERRO_CODIGO").value_or("<null>") + "|" +
                       row.at("ERRO_CADENA").value_or("<null>"));
    return list;
}

std::vector<std::string> errorList(const Isql &sql, int reachBack)
{
    return errorListRows(sql.query(errorListQuery(reachBack)));
}

std::string dayText(const std::string &isoDay, const std::string &order)
{
    const std::string year = isoDay.substr(0, 4), month = isoDay.substr(5, 2),
                      day = isoDay.substr(8, 2);
    if (order == "DMY")
        return day + "/" + month + "/" + year;
    if (order == "MDY")
        return month + "/" + day + "/" + year;
    return year + "-" + month + "-" + day;
}

std::vector<std::string> demoDays(const Isql &sql)
{
    std::vector<std::string> days;
    for (const SqlRow &row :
         sql.query("select distinct fact_fecha as dia from facturas order by 1"))
        days.push_back(*row.at("DIA"));
    return days;
}

} // namespace kalmora::test
