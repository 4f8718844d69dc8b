// SPDX-License-Identifier: Apache-2.0
#pragma once
// A grid at the window's place (303 by 123) in a window of its own, over the rows of a demo
// company, driven with real key events offscreen.

#include "grids/db_grid_eh.h"
#include "error_rows_fixture.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace kalmora::test {

class GridHostTest : public ErrorRowsTest
{
public: // the cases of a table act on the fixture
    void SetUp() override
    {
        ErrorRowsTest::SetUp();
        host = std::make_unique<QWidget>();
        host->resize(400, 200);
        addControlsBeforeGrid();
        grid = new grids::DBGridEh(host.get());
        grid->setGeometry(0, 0, 303, 123);
    }
    void TearDown() override
    {
        host.reset(); // the grid goes before the data source it watches
        ErrorRowsTest::TearDown();
    }

    /// Shows the window, makes it active and gives the grid the focus.
    void show()
    {
        host->show();
        host->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
        grid->setFocus();
    }
    /// A key as the keyboard delivers it: to whatever has the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    std::unique_ptr<QWidget> host;
    grids::DBGridEh *grid = nullptr;

protected:
    /// Other controls of the window, made before the grid so that they come first in it.
    virtual void addControlsBeforeGrid() {}
};

} // namespace kalmora::test
