// SPDX-License-Identifier: Apache-2.0
#include "error_rows_fixture.h"

#include "core/quoting.h"

namespace kalmora::test {

std::vector<ErrorRow> ErrorRowsTest::threeErrors()
{
    return {{"Prefijo no existe", "FV9"},
            {"NIT no existe", "222222222"},
            {"Cuenta sin definir", "41350501"}};
}

std::vector<ErrorRow> ErrorRowsTest::numberedErrors(int count)
{
    std::vector<ErrorRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({"Error " + std::to_string(i), std::to_string(i)});
    return rows;
}

void ErrorRowsTest::openErrors(const std::vector<ErrorRow> &rows, const std::string &interfaceName)
{
    std::vector<std::string> statements{"delete from errores"};
    int item = 0;
    for (const ErrorRow &row : rows)
        statements.push_back(
            "insert into errores (erro_item, erro_tipodoc, erro_iddoc, erro_codigo, erro_cadena) "
            "values (" +
            std::to_string(++item) + ", 31, 0, " + core::quotedString(row.codigo) + ", " +
            core::quotedString(row.cadena) + ")");
    run(statements);
    dm->CError.close();
    dm->CError.setCommandText("select erro_codigo, erro_cadena, " +
                              core::quotedString(interfaceName) +
                              " as Interfaz from errores order by erro_item");
    dm->CError.open();
}

} // namespace kalmora::test
