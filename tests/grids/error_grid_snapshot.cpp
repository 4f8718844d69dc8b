// SPDX-License-Identifier: Apache-2.0
// Renders the error grid as the window shows it after a failed posting: three errors read
// from a demo company, the grid enabled and focused on the second row's "Valor" cell. Writes
// the grab to the file given as the first argument, and a copy enlarged four times beside
// it. Not a test: a way to look at the grid.
#include "core/quoting.h"
#include "company/data_module.h"
#include "grids/db_grid_eh.h"
#include "app/window_grids.h"
#include "support/company_database.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QTest>

using namespace kalmora;

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Windows"));
    const QString file =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/shots/error-grid.png");

    test::CompanyDatabase company;
    company::DataModule dm;
    dm.Kalmora.params().setValue("Database", company.databasePath());
    dm.Kalmora.params().setValue("User_Name", "SYSDBA");
    dm.Kalmora.params().setValue("Password", "masterkey");
    dm.Kalmora.execute("delete from errores");
    int item = 0;
    for (const auto &[codigo, cadena] :
         {std::pair{"Prefijo no existe", "FV9"}, std::pair{"NIT no existe", "222222222"},
          std::pair{"Cuenta sin definir", "41350501"}})
        dm.Kalmora.execute("insert into errores (erro_item, erro_tipodoc, erro_iddoc, "
                           "erro_codigo, erro_cadena) values (" +
                           std::to_string(++item) + ", 31, 0, " + core::quotedString(codigo) +
                           ", " + core::quotedString(cadena) + ")");

    QWidget panel; // Panel3
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    panel.setFont(font);
    panel.setAutoFillBackground(true);
    panel.setBackgroundRole(QPalette::Button);
    panel.resize(358, 83);
    {
        auto *grid = new grids::DBGridEh(&panel);
        grid->setGeometry(1, 1, 356, 81);
        app::applyErrorGridSettings(*grid, dm.DError);
        grid->setEnabled(true);
        dm.CError.setCommandText("select erro_codigo, erro_cadena, 'VENTAS CONTADO' as Interfaz "
                                 "from errores order by erro_item");
        dm.CError.open();
        panel.show();
        panel.activateWindow();
        if (!QTest::qWaitForWindowActive(&panel))
            return 1;
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Right);
        QApplication::processEvents();
    }
    const QImage image = panel.grab().toImage();
    image.save(file);
    const QFileInfo info(file);
    image.scaled(image.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(info.path() + QStringLiteral("/") + info.completeBaseName() +
              QStringLiteral("-x4.png"));
    dm.CError.close();
    return 0;
}
