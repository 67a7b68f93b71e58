#pragma once

#include <QPlainTextEdit>
#include <QTimer>

#include <optional>
#include <vector>

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

    // Replaces the text, as setPlainText does; beyond the first few thousand
    // lines, the rest follows in pieces, and shown() once it is all there.
    void showText(const QString &text);
    // Whether part of the text is still to come.
    bool isShowing() const { return m_shownTo < m_text.size(); }

    // Gives the lines whose numbers are set in marked a background of
    // colour across the box; none when marked is empty.
    void setMarks(std::vector<bool> marked, const QColor &colour);
    const std::vector<bool> &marks() const { return m_marks; }
    QColor markColour() const { return m_markColour; }

    // The size the window first gives the box.
    void setSizeHint(QSize size) { m_sizeHint = size; }
    QSize sizeHint() const override { return m_sizeHint.isValid() ? m_sizeHint : QPlainTextEdit::sizeHint(); }

signals:
    void passwordChosen(const QString &password);
    void shown();

protected:
    void paintEvent(QPaintEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // Selects the password's line, so that the user sees what was copied.
    bool choose(QTextCursor cursor);

    void showNextPiece();
    void afterPiece();

    QSize m_sizeHint;
    // The text being shown, and how much of it is in the box.
    QString m_text;
    qsizetype m_shownTo = 0;
    QTimer m_pieces;
    std::vector<bool> m_marks;
    QColor m_markColour;
};

} // namespace lexiglow
