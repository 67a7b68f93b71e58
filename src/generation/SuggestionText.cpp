#include "generation/SuggestionText.h"

#include "platform/SecretMimeData.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextDocumentFragment>

namespace lexiglow {

SuggestionText::SuggestionText(const QString &text, QWidget *parent)
    : QPlainTextEdit(text, parent)
{
    setReadOnly(true);
    // Read-only, but with a cursor the keys move, for Ctrl+C on a line.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

std::optional<QString> SuggestionText::passwordAt(const QTextCursor &cursor)
{
    const QTextBlock line = cursor.block();
    if (line.blockNumber() < 2 || line.text().isEmpty())
        return std::nullopt;
    return line.text();
}

QMimeData *SuggestionText::createMimeDataFromSelection() const
{
    return new SecretMimeData(textCursor().selection().toPlainText());
}

bool SuggestionText::choose(QTextCursor cursor)
{
    const std::optional<QString> password = passwordAt(cursor);
    if (!password)
        return false;
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    emit passwordChosen(*password);
    return true;
}

void SuggestionText::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A word-wise selection would stop at "@" or punctuation inside the password.
    if (event->button() != Qt::LeftButton || !choose(cursorForPosition(event->position().toPoint())))
        QPlainTextEdit::mouseDoubleClickEvent(event);
}

void SuggestionText::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy) && !textCursor().hasSelection() && choose(textCursor()))
        return;
    QPlainTextEdit::keyPressEvent(event);
}

void SuggestionText::contextMenuEvent(QContextMenuEvent *event)
{
    const QTextCursor under = cursorForPosition(event->pos());
    QMenu *menu = createStandardContextMenu(event->pos());
    auto *copyPassword = new QAction(QStringLiteral("Copy Password"), menu);
    copyPassword->setObjectName(QStringLiteral("copyPassword"));
    copyPassword->setEnabled(passwordAt(under).has_value());
    connect(copyPassword, &QAction::triggered, this, [this, under] { choose(under); });
    menu->insertAction(menu->actions().value(0), copyPassword);
    menu->insertSeparator(menu->actions().value(1));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

} // namespace lexiglow
