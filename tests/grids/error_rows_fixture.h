// SPDX-License-Identifier: Apache-2.0
#pragma once
// Grid tests over the error list: ERRORES in the demo company filled with known rows and
// `CError` opened on them through the main window's data components.

#include "data/company_fixture.h"

#include <string>
#include <vector>

namespace kalmora::test {

struct ErrorRow
{
    std::string codigo;
    std::string cadena;
};

class ErrorRowsTest : public CompanyTest
{
protected:
    /// Three errors as a failed posting lists them.
    static std::vector<ErrorRow> threeErrors();
    /// `count` numbered errors ("Error 1" / "1", ...).
    static std::vector<ErrorRow> numberedErrors(int count);
    /// Replaces the rows of ERRORES with `rows` and opens `CError` on them in that order,
    /// with `interfaceName` as every row's INTERFAZ.
    void openErrors(const std::vector<ErrorRow> &rows,
                    const std::string &interfaceName = "VENTAS CONTADO");
};

} // namespace kalmora::test
