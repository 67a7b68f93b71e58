#pragma once

#include <QDialog>

#include <atomic>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QThread;

namespace lexiglow {

class Notice;

// "New Word List": makes a word list of a text file, one word a line, in
// Lexiglow's own folder of lists. It shows the list's name (from the file's
// name) and description to edit, how many words the file holds and what
// "lxg create" would warn about; Ok writes the list under a name no file
// there has yet, Cancel writes nothing. Counting and writing run on a worker
// thread, so that a large file leaves the windows responsive; a file that
// cannot become a list is told, and nothing is written.
class NewWordList final : public QDialog
{
    Q_OBJECT

public:
    static inline const QString title = QStringLiteral("New Word List");

    NewWordList(const QString &textFile, const QString &listFolder, Notice &notice, QWidget *parent = nullptr);
    ~NewWordList() override;
    Q_DISABLE_COPY_MOVE(NewWordList)

    // Counts the words, and shows the dialog modally unless the file was
    // refused within a moment. Returns the path of the list written, or
    // nothing.
    QString run();
    // Starts counting the words, which run() does first.
    void count();
    // Whether the words are counted, so that Ok writes the list.
    bool isReady() const { return m_stage == Stage::Ready; }

public slots:
    // Ok and Enter: writes the list, then closes.
    void accept() override;
    // Cancel, Esc and the close box: stops the worker, writes nothing.
    void reject() override;
    // Sized to its controls and its screen before it shows.
    void setVisible(bool visible) override;

private:
    enum class Stage { Counting, Ready, Writing, Done };
    // What the worker hands back, read once it has finished.
    struct Outcome
    {
        qint64 words = 0;
        QStringList warnings;
        QString failure;
        QString written;
    };

    void buildControls();
    void startWorker(Stage stage);
    void workerFinished();
    void showWarnings();
    // Whether the name and description can be written; tells why not.
    bool textsFit();
    // Closes the dialog and tells why no list was made.
    void fail(const QString &failure);

    QString m_textFile;
    QString m_listFolder;
    Notice &m_notice;
    Stage m_stage = Stage::Counting;
    std::atomic_bool m_cancelled{false};
    std::unique_ptr<QThread> m_worker;
    Outcome m_outcome;
    QStringList m_lineWarnings;
    QString m_written;

    QLabel *m_words = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_description = nullptr;
    QPlainTextEdit *m_warnings = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace lexiglow
