#pragma once
// The point-of-sale lookup box: its text at the left and a drop-down button at its right, as
// wide as a vertical scroll bar, inside a sunken border. Until it is given a list it is empty,
// does not open and ignores typing, and its button is greyed.

#include <QString>
#include <QWidget>

namespace kalmora::app {

class LookupBox final : public QWidget
{
    Q_OBJECT
public:
    explicit LookupBox(QWidget *parent);
    ~LookupBox() override;
    LookupBox(const LookupBox &) = delete;
    LookupBox &operator=(const LookupBox &) = delete;

    /// The chosen point's name; empty before any choice.
    QString text() const { return text_; }
    /// Whether there is a list to drop down; the button is greyed while there is none.
    bool hasList() const { return false; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString text_;
};

} // namespace kalmora::app
