// SPDX-License-Identifier: Apache-2.0
#pragma once
// The captioned panel: a raised one-pixel bevel around a button-face background and, at its
// top, a caption bar in one plain colour with its caption text at the left. It cannot be
// moved, sized, collapsed or closed by the user.

#include <QMargins>
#include <QString>
#include <QWidget>

namespace kalmora::widgets {

class AdvPanel final : public QWidget
{
    Q_OBJECT
public:
    explicit AdvPanel(QWidget *parent);
    ~AdvPanel() override;
    AdvPanel(const AdvPanel &) = delete;
    AdvPanel &operator=(const AdvPanel &) = delete;

    QString caption() const { return caption_; }
    void setCaption(const QString &caption);

    /// The height setting of the caption bar.
    static constexpr int kCaptionHeight = 20;
    /// Where the children go: inside the bevel and below the caption bar, which leaves the
    /// children's area at the caption height less 2.
    QMargins clientMargins() const { return {1, kCaptionHeight - 2 + 1, 1, 1}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString caption_;
};

} // namespace kalmora::widgets
