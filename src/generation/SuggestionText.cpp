#include "generation/SuggestionText.h"

#include "platform/SecretMimeData.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocumentFragment>

namespace lexiglow {

namespace {

// Lines a turn: a few tens of milliseconds on a slow machine.
constexpr qsizetype linesAPiece = 4000;

// Where the piece of text that begins at from ends: before the line break
// that closes its last line, or at the end.
qsizetype pieceEnd(const QString &text, qsizetype from)
{
    qsizetype after = from;
    for (qsizetype line = 0; line < linesAPiece; ++line) {
        after = text.indexOf(u'\n', after);
        if (after < 0)
            return text.size();
        ++after;
    }
    const qsizetype end = after - 1;
    return end > from && text[end - 1] == u'\r' ? end - 1 : end;
}

} // namespace

SuggestionText::SuggestionText(const QString &text, QWidget *parent)
    : QPlainTextEdit(text, parent)
{
    setReadOnly(true);
    // Read-only, but with a cursor the keys move, for Ctrl+C on a line.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Nothing to undo in a box that cannot be changed; keeping the edits of
    // a long batch would cost more than making it.
    document()->setUndoRedoEnabled(false);
    m_pieces.setSingleShot(true);
    connect(&m_pieces, &QTimer::timeout, this, &SuggestionText::showNextPiece);
}

void SuggestionText::showText(const QString &text)
{
    m_pieces.stop();
    m_text = text;
    m_shownTo = pieceEnd(text, 0);
    setPlainText(text.left(m_shownTo));
    afterPiece();
}

void SuggestionText::showNextPiece()
{
    const qsizetype end = pieceEnd(m_text, m_shownTo);
    QTextCursor atEnd(document());
    atEnd.movePosition(QTextCursor::End);
    atEnd.insertText(m_text.sliced(m_shownTo, end - m_shownTo));
    m_shownTo = end;
    afterPiece();
}

void SuggestionText::afterPiece()
{
    if (isShowing()) {
        m_pieces.start(0);
        return;
    }
    m_text.clear();
    m_shownTo = 0;
    emit shown();
}

void SuggestionText::setMarks(std::vector<bool> marked, const QColor &colour)
{
    m_marks = std::move(marked);
    m_markColour = colour;
    viewport()->update();
}

void SuggestionText::paintEvent(QPaintEvent *event)
{
    if (!m_marks.empty()) {
        QPainter painter(viewport());
        const QPointF offset = contentOffset();
        for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
            const QRectF line = blockBoundingGeometry(block).translated(offset);
            if (line.top() > event->rect().bottom())
                break;
            const auto number = std::size_t(block.blockNumber());
            if (number < m_marks.size() && m_marks[number])
                painter.fillRect(QRectF(0, line.top(), viewport()->width(), line.height()), m_markColour);
        }
    }
    QPlainTextEdit::paintEvent(event);
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
