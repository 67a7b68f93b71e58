#pragma once

#include <QPlainTextEdit>

#include <optional>

namespace lexiglow {

// The suggestions' text box. It is read-only: the passwords can be selected
// and copied, never changed, so that what is copied is always a password the
// generator made. One gesture picks a whole password: a double click on its
// line, Ctrl+C with the cursor on its line and nothing selected, or "Copy
// Password" in the context menu. Whatever it copies is marked as secret.
class SuggestionText final : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit SuggestionText(const QString &text, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SuggestionText)

    // The password on the cursor's line: any line after the heading and the
    // blank line below it, unless it is empty.
    static std::optional<QString> passwordAt(const QTextCursor &cursor);

    // The size the window first gives the box.
    void setSizeHint(QSize size) { m_sizeHint = size; }
    QSize sizeHint() const override { return m_sizeHint.isValid() ? m_sizeHint : QPlainTextEdit::sizeHint(); }

signals:
    void passwordChosen(const QString &password);

protected:
    QMimeData *createMimeDataFromSelection() const override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // Selects the password's line, so that the user sees what was copied.
    bool choose(QTextCursor cursor);

    QSize m_sizeHint;
};

} // namespace lexiglow
