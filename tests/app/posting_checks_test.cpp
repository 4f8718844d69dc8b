// The posting run's safeguards through the main window on a demo company: a company code
// cannot lead out of the server's datos/ folder.
#include "app/bevel_panel.h"
#include "app/lookup_box.h"
#include "company/data_module.h"
#include "company_window.h"

#include <filesystem>

namespace kalmora::test {
namespace {

using app::MessageWindow;

class PostingChecksTest : public CompanyWindowTest
{
protected:
    app::LookupBox *box() const { return find<app::LookupBox>("Pto"); }
};

// Guards against a company code typed in the company box that leads out of the server's
// datos/ folder, where a database placed beside it would open: the code is refused in the
// error box before anything is shown or opened, and nothing becomes usable.
TEST_F(PostingChecksTest, ACompanyCodeThatLeavesDatosIsRefusedInTheErrorBox)
{
    const std::string outside = company().serverEntry() + "/fuera";
    std::filesystem::create_directories(outside);
    std::filesystem::copy_file(company().databasePath(), outside + "/kalmora.fdb",
                               std::filesystem::copy_options::overwrite_existing);

    connect(QStringLiteral("../fuera"));
    EXPECT_EQ(shown(MessageWindow::ErrorBox),
              QStringList{QStringLiteral("El código de compañía «../fuera» no es válido: no "
                                         "puede contener «/», «\\», «..» ni «:».")});
    EXPECT_FALSE(find("Panel5")->isVisible());
    EXPECT_FALSE(find("EFecIni")->isEnabled());
    EXPECT_FALSE(find("SpeedButton3")->isEnabled());
    EXPECT_FALSE(box()->hasList());
    EXPECT_FALSE(window->dataModule().Kalmora.connected());
}

} // namespace
} // namespace kalmora::test
