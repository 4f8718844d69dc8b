#pragma once
// The data grid control. Flat, its border is a one-pixel line drawn by the grid; otherwise
// it keeps the sunken edge.

#include <QAbstractScrollArea>

namespace kalmora::grids {

class DBGridEh final : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit DBGridEh(QWidget *parent);
    ~DBGridEh() override;
    DBGridEh(const DBGridEh &) = delete;
    DBGridEh &operator=(const DBGridEh &) = delete;

    bool isFlat() const { return flat_; }
    void setFlat(bool flat);

private:
    bool flat_ = false;
};

} // namespace kalmora::grids
