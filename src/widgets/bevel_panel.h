// SPDX-License-Identifier: Apache-2.0
#pragma once
// A panel: button-face background, an outer and an inner bevel one pixel wide each, and an
// optional one-line caption centred in it. The window's bands and the busy panel.

#include <QString>
#include <QWidget>

namespace kalmora::widgets {

class BevelPanel final : public QWidget
{
    Q_OBJECT
public:
    enum class Bevel { None, Raised, Lowered };

    /// A panel with a raised outer bevel, no inner bevel and no caption.
    explicit BevelPanel(QWidget *parent);
    ~BevelPanel() override;
    BevelPanel(const BevelPanel &) = delete;
    BevelPanel &operator=(const BevelPanel &) = delete;

    void setBevels(Bevel outer, Bevel inner);

    QString caption() const { return caption_; }
    void setCaption(const QString &caption);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Bevel outer_ = Bevel::Raised;
    Bevel inner_ = Bevel::None;
    QString caption_;
};

} // namespace kalmora::widgets
