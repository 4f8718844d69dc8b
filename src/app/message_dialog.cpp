// SPDX-License-Identifier: Apache-2.0
#include "app/message_dialog.h"

#include "core/errors.h"
#include "app/application_title.h"
#include "app/failure_display.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>
#include <memory>
#include <vector>

namespace kalmora::app {

namespace {

MessageDialog::ClipboardWriter clipboardWriter;

// a × b / c rounded to the nearest integer, halves away from zero (all values positive here).
int mulDiv(int a, int b, int c)
{
    return (2 * a * b + c) / (2 * c);
}

// A carriage return, a line feed, or the pair of them starts a new line.
QString withLineFeeds(const QString &text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

bool writeSystemClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text);
    // The platform gives no status: reading back tells whether the text got there.
    return clipboard->text() == text;
}

QScreen *screenOfActiveWindow()
{
    if (QWidget *active = QApplication::activeWindow())
        return active->screen();
    return QGuiApplication::primaryScreen();
}

// The message laid out as the dialog measures it: broken at line ends and wrapped at word
// boundaries within the wrap width, tabs every 8 average characters, each line one character
// height below the one before.
class MessageText final : public QWidget
{
public:
    MessageText(const QString &lines, int wrapWidth, int lineHeight, int tabWidth, QWidget *parent)
        : QWidget(parent)
    {
        const QFontMetrics metrics(parent->font());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        option.setTabStopDistance(tabWidth);
        int y = 0;
        for (const QString &paragraph : lines.split(QLatin1Char('\n'))) {
            auto layout = std::make_unique<QTextLayout>(paragraph, parent->font());
            layout->setTextOption(option);
            layout->beginLayout();
            for (QTextLine line = layout->createLine(); line.isValid();
                 line = layout->createLine()) {
                line.setLineWidth(wrapWidth);
                line.setPosition(QPointF(0, y));
                // A line is as wide as its text, blanks at a wrap not counted.
                QString text = paragraph.mid(line.textStart(), line.textLength());
                while (!text.isEmpty() && text.back().isSpace())
                    text.chop(1);
                block_.setWidth(std::max(block_.width(), metrics.horizontalAdvance(text)));
                y += lineHeight;
            }
            layout->endLayout();
            layouts_.push_back(std::move(layout));
        }
        block_.setHeight(y);
    }

    /// The text block: as wide as its longest line and as high as its lines.
    QSize block() const { return block_; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        for (const auto &layout : layouts_)
            layout->draw(&painter, QPointF(0, 0));
    }

private:
    std::vector<std::unique_ptr<QTextLayout>> layouts_;
    QSize block_{0, 0};
};

} // namespace

MessageDialog::MessageDialog(const QString &text, QWidget *parent)
    : MessageDialog(Kind::Plain, text, parent)
{
}

MessageDialog::MessageDialog(Kind kind, const QString &text, QWidget *parent)
    : QDialog(parent), text_(text)
{
    const bool question = kind == Kind::Confirmation;
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(question ? QStringLiteral("Confirm") : applicationTitle());
    setFont(QApplication::font("QMessageBox"));

    // Dialog units: the average width of the 52 letters and their height.
    const QFontMetrics metrics(font());
    const int averageWidth = metrics.horizontalAdvance(QStringLiteral(
                                 "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                             52;
    const int height = metrics.height();
    const int horizontalMargin = mulDiv(8, averageWidth, 4);
    const int verticalMargin = mulDiv(8, height, 8);
    const int horizontalSpacing = mulDiv(10, averageWidth, 4);
    const int verticalSpacing = mulDiv(10, height, 8);
    const int buttonSpacing = mulDiv(4, averageWidth, 4);
    const int buttonHeight = mulDiv(14, height, 8);
    const QStringList captions = question
                                     ? QStringList{QStringLiteral("OK"), QStringLiteral("Cancel")}
                                     : QStringList{QStringLiteral("OK")};
    // The buttons share one width, wide enough for the longest caption.
    int buttonWidth = mulDiv(50, averageWidth, 4);
    for (const QString &caption : captions)
        buttonWidth = std::max(buttonWidth, metrics.horizontalAdvance(caption) + 8);
    const int buttonsWidth =
        int(captions.size()) * buttonWidth + int(captions.size() - 1) * buttonSpacing;

    QScreen *screen = screenOfActiveWindow();
    const QRect screenArea = screen->geometry();
    auto *message = new MessageText(withLineFeeds(text), screenArea.width() / 2, height,
                                    8 * averageWidth, this);
    message->setObjectName(QStringLiteral("Message"));
    QSize textBlock = message->block();

    // The question's icon stands at the margins; the text block starts right of it and is
    // at least as high.
    constexpr int kIconSize = 32;
    int textLeft = horizontalMargin;
    if (question) {
        auto *icon = new QLabel(this);
        icon->setObjectName(QStringLiteral("Icon"));
        icon->setPixmap(
            style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(kIconSize, kIconSize));
        icon->setGeometry(horizontalMargin, verticalMargin, kIconSize, kIconSize);
        textLeft += kIconSize + horizontalSpacing;
        textBlock.setHeight(std::max(textBlock.height(), kIconSize));
    }

    const int clientWidth =
        std::max(textLeft - horizontalMargin + textBlock.width(), buttonsWidth) +
        2 * horizontalMargin;
    const int clientHeight =
        textBlock.height() + buttonHeight + verticalSpacing + 2 * verticalMargin;
    setFixedSize(clientWidth, clientHeight);

    message->setGeometry(textLeft, verticalMargin, textBlock.width(), message->block().height());

    int buttonLeft = (clientWidth - buttonsWidth) / 2;
    for (const QString &caption : captions) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(caption);
        button->setGeometry(buttonLeft, textBlock.height() + verticalMargin + verticalSpacing,
                            buttonWidth, buttonHeight);
        buttonLeft += buttonWidth + buttonSpacing;
        buttons_.push_back(button);
    }
    // "OK" is the default button. Esc and the frame's close button reject: for the plain
    // dialog that is "OK" too, its one button being also the cancel button; for the
    // confirmation it is "Cancel".
    buttons_.front()->setDefault(true);
    connect(buttons_.front(), &QPushButton::clicked, this, &QDialog::accept);
    if (question)
        connect(buttons_.back(), &QPushButton::clicked, this, &QDialog::reject);

    move(screenArea.x() + (screenArea.width() - clientWidth) / 2,
         screenArea.y() + (screenArea.height() - clientHeight) / 2);
}

MessageDialog::~MessageDialog() = default;

void MessageDialog::run(const QString &text)
{
    MessageDialog dialog(text);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    dialog.exec();
    QApplication::restoreOverrideCursor();
}

bool MessageDialog::ask(const QString &text)
{
    MessageDialog dialog(Kind::Confirmation, text);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool ok = dialog.exec() == QDialog::Accepted;
    QApplication::restoreOverrideCursor();
    return ok;
}

QString MessageDialog::clipboardText() const
{
    const QString rule(27, QLatin1Char('-'));
    const QString end = QStringLiteral("\r\n");
    QString buttons;
    for (const QPushButton *button : buttons_)
        buttons += button->text().remove(QLatin1Char('&')) + QStringLiteral("   ");
    return rule + end + windowTitle() + end + rule + end + text_ + end + rule + end + buttons +
           end + rule + end;
}

void MessageDialog::setClipboardWriter(ClipboardWriter writer)
{
    clipboardWriter = std::move(writer);
}

void MessageDialog::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_C && modifiers == Qt::ControlModifier) {
        QApplication::beep();
        const bool written = clipboardWriter ? clipboardWriter(clipboardText())
                                             : writeSystemClipboard(clipboardText());
        if (!written)
            showFailure(core::Exception("Cannot open clipboard"));
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kalmora::app
