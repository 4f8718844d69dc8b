// SPDX-License-Identifier: Apache-2.0
#pragma once
// The find dialog of the grids: one window for the whole program, made the first time a grid
// opens it and kept, in which the user steps from one matching cell of that grid to the
// next. The texts searched and the choices made stay from one opening to the next.

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace kalmora::grids {

class DBGridEh;

class TDBGridEhFindDlg final : public QDialog
{
    Q_OBJECT
public:
    /// Opens the dialog on `grid`, modally; returns when it is closed.
    static void open(DBGridEh &grid);
    /// The program's dialog, or null before the first opening.
    static TDBGridEhFindDlg *instance();

    QComboBox *cbText;
    QComboBox *cbFindIn;
    QComboBox *cbMatchinType;
    QComboBox *cbFindDirection;
    QCheckBox *cbCharCase;
    QCheckBox *cbUseFormat;
    QPushButton *bFind;
    QPushButton *bCancel;

    /// Whether no search of this opening has found anything yet.
    bool firstTry() const { return firstTry_; }

private:
    explicit TDBGridEhFindDlg(QWidget *parent);
    void prepare(DBGridEh &grid);
    void findNext();

    QPointer<DBGridEh> grid_;
    bool firstTry_ = true;
};

} // namespace kalmora::grids
