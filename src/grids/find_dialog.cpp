// SPDX-License-Identifier: Apache-2.0
#include "grids/find_dialog.h"

#include "grids/db_grid_eh.h"
#include "grids/failure_report.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>

namespace kalmora::grids {

namespace {

const QString kAll = QStringLiteral("<All>");

QPointer<TDBGridEhFindDlg> &theDialog()
{
    static QPointer<TDBGridEhFindDlg> dialog;
    return dialog;
}

QComboBox *list(QWidget *parent, const QStringList &items, const QRect &place)
{
    auto *box = new QComboBox(parent);
    box->addItems(items);
    box->setGeometry(place);
    box->setMaxVisibleItems(17);
    return box;
}

} // namespace

TDBGridEhFindDlg *TDBGridEhFindDlg::instance()
{
    return theDialog();
}

TDBGridEhFindDlg::TDBGridEhFindDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDBGridEhFindDlg"));
    setWindowTitle(QStringLiteral("Find text"));
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);
    setFixedSize(505, 124);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    cbText = list(this, {}, QRect(88, 9, 316, 21));
    cbText->setEditable(true);
    cbText->setInsertPolicy(QComboBox::NoInsert);
    cbFindIn = list(this, {}, QRect(88, 32, 192, 21));
    cbMatchinType = list(this,
                         {QStringLiteral("From any part of field"), QStringLiteral("Whole field"),
                          QStringLiteral("From beging of field")},
                         QRect(88, 55, 144, 21));
    cbFindDirection =
        list(this, {QStringLiteral("Up"), QStringLiteral("Down"), QStringLiteral("All")},
             QRect(88, 79, 144, 21));
    cbFindDirection->setCurrentIndex(2);
    cbCharCase = new QCheckBox(QStringLiteral("Match &Case"), this);
    cbCharCase->setGeometry(88, 105, 144, 17);
    cbUseFormat = new QCheckBox(QStringLiteral("Match F&ormat"), this);
    cbUseFormat->setGeometry(260, 105, 144, 17);
    cbUseFormat->setChecked(true);
    bFind = new QPushButton(QStringLiteral("&Find next"), this);
    bFind->setGeometry(413, 9, 82, 25);
    bFind->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("Close"), this);
    bCancel->setGeometry(413, 37, 82, 25);

    const struct
    {
        const char *text;
        int top;
        QWidget *buddy;
    } labels[] = {{"Fi&nd What:", 12, cbText},
                  {"Find &in:", 35, cbFindIn},
                  {"Matc&h:", 58, cbMatchinType},
                  {"Sea&rch:", 82, cbFindDirection}};
    for (const auto &label : labels) {
        auto *caption = new QLabel(QString::fromLatin1(label.text), this);
        caption->move(10, label.top);
        caption->setBuddy(label.buddy);
    }
    QWidget *order[] = {cbText,     cbFindIn,    cbMatchinType, cbFindDirection,
                        cbCharCase, cbUseFormat, bFind,         bCancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // A new text, direction or column starts again at the first try.
    const auto again = [this] { firstTry_ = true; };
    connect(cbText, &QComboBox::editTextChanged, this, again);
    connect(cbFindDirection, &QComboBox::currentIndexChanged, this, again);
    connect(cbFindIn, &QComboBox::currentIndexChanged, this, again);
    connect(bFind, &QPushButton::clicked, this, [this] { findNext(); });
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TDBGridEhFindDlg::open(DBGridEh &grid)
{
    if (!theDialog())
        theDialog() = new TDBGridEhFindDlg(grid.window());
    TDBGridEhFindDlg *dialog = theDialog();
    dialog->prepare(grid);
    dialog->exec();
}

void TDBGridEhFindDlg::prepare(DBGridEh &grid)
{
    grid_ = &grid;
    cbText->setEditText(QString());
    cbFindIn->clear();
    const QString focusedTitle =
        grid.focusedColumn() >= 0 ? grid.columnTitle(grid.focusedColumn()) : QString();
    int chosen = -1;
    for (const auto &[title, column] : grid.visibleColumnTitles()) {
        if (chosen < 0 && title == focusedTitle)
            chosen = cbFindIn->count();
        cbFindIn->addItem(title, column);
    }
    cbFindIn->addItem(kAll, -1);
    cbFindIn->setCurrentIndex(chosen >= 0 ? chosen : cbFindIn->count() - 1);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    move(screen.center() - rect().center());
    cbText->setFocus(Qt::OtherFocusReason);
    firstTry_ = true;
}

void TDBGridEhFindDlg::findNext()
{
    const QString text = cbText->currentText();
    if (cbText->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        // Remembering the text is no change of it: the first try stays as it is.
        const QSignalBlocker quiet(cbText);
        cbText->addItem(text);
        cbText->setEditText(text);
    }
    if (!grid_)
        return;
    TextLocation request;
    request.text = text;
    request.column = cbFindIn->currentData().toInt();
    request.match = MatchKind(cbMatchinType->currentIndex());
    request.ignoreCase = !cbCharCase->isChecked();
    request.displayed = cbUseFormat->isChecked();
    const int direction = cbFindDirection->currentIndex();
    request.direction = direction == 0   ? SearchDirection::Up
                        : direction == 1 ? SearchDirection::Down
                        : firstTry_      ? SearchDirection::FromFirst
                                         : SearchDirection::Down;
    if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier)
        request.direction = direction == 0 ? SearchDirection::Down : SearchDirection::Up;
    try {
        if (grid_->locateText(request))
            firstTry_ = false;
    } catch (...) {
        reportFailure(std::current_exception());
    }
}

} // namespace kalmora::grids
