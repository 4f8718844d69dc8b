// SPDX-License-Identifier: Apache-2.0
#pragma once
// Docking of child controls to the edges of their parent: top bands stack down from the top
// and bottom bands up from the bottom, in the order they were added, each keeping its height
// and taking the full width; one control may fill what is left between them. Controls that
// are not in the layout keep their place and size.

#include <QLayout>
#include <QList>

namespace kalmora::widgets {

class DockLayout final : public QLayout
{
    Q_OBJECT
public:
    enum class Dock { Top, Bottom, Fill };

    /// Lays out the children of `parent` inside its rectangle less `margins`.
    DockLayout(QWidget *parent, const QMargins &margins);
    ~DockLayout() override;

    /// Docks `widget` (a child of the parent) to `dock`; bands keep the height they have now.
    void addDocked(QWidget *widget, Dock dock);

    void addItem(QLayoutItem *item) override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    int count() const override;
    /// The parent may be made as small as one likes: the bands then overlap.
    QSize minimumSize() const override { return {0, 0}; }
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    struct Entry
    {
        QLayoutItem *item;
        Dock dock;
        int height; // the band's height, kept on every resize
    };
    QList<Entry> entries_;
};

} // namespace kalmora::widgets
