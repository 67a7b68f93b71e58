#pragma once

#include "generation/SuggestionWork.h"
#include "settings/GenerationSettings.h"

#include <QDialog>
#include <QThreadPool>

#include <memory>
#include <stop_token>

class QLabel;
class QProgressBar;
class QPushButton;

namespace lexiglow {

class Notice;
class RandomSource;
class SecretClipboard;
class SettingsWindow;
class SuggestionText;

// The suggestions window: shows a batch of passwords to select and copy
// from, and makes a new batch on "New List", or after the Advanced Settings
// dialog on "Modify Settings". It owns the word pool from one buildlist to the
// next. A status line under the passwords tells what was copied and when the
// clipboard is cleared.
//
// The work (reading the lists, the strength model, the batch, the advice)
// runs on a worker thread of its own, one piece after another, while the
// window goes on painting and shows that it works. A new request stops what
// an older one still does and drops its results; so does closing the
// window, and its destruction waits only for the worker to see that: a
// millisecond or so.
class passSug final : public QDialog
{
    Q_OBJECT

public:
    static inline const QString title = QStringLiteral("Your Password Suggestions");

    passSug(RandomSource &random, SettingsWindow &settings, Notice &notice, SecretClipboard &clipboard,
            QWidget *parent = nullptr);
    ~passSug() override;
    Q_DISABLE_COPY_MOVE(passSug)

    // The large list the advice names when the library lacks it (see
    // largeListPath); none by default.
    void setLargeList(const QString &path) { m_largeList = path; }
    // How strength models are made; for tests, before the first buildlist.
    void setModelMaker(ModelMaker makeModel);

    // A fresh random sequence and the words of the ticked rows' lists, read
    // on the worker; listsRead then names those that could not be read.
    void buildlist(const QList<ListRow> &rows, const QStringList &passfiles);
    // Replaces the text by a new batch under the settings in force.
    void generate();
    // Whether the window is still working on the last request.
    bool isWorking() const;

signals:
    // The lists of the last buildlist are read; unread names those that could
    // not be, foreign files included.
    void listsRead(const QList<lexiglow::UnreadList> &unread);
    // The user closed the window through its title bar; its owner discards it.
    void discarded();

public slots:
    // Esc does what "Close" does.
    void reject() override;
    // Sized to its controls and its screen before it shows.
    void setVisible(bool visible) override;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Runs work on the worker and hands its result to then, on the window's
    // thread.
    template <typename Work, typename Then>
    void runOnWorker(Work work, Then then);

    void buildControls();
    // Lets Tab stop on the lines under the passwords that say something.
    void showLines();
    void modifySettings();
    void closeWindow();
    void copyPassword(const QString &password);
    // Whether the settings read let a batch be made; if not, says why.
    bool readable(const RequestReading &reading);
    void showBatch(const BatchOutcome &outcome);
    // The strength line and the marks of weak passwords.
    void showStrength(const BatchOutcome &outcome);
    void showAdvice(const std::optional<StrengthAdvice> &advice);
    void showPasswordAtCursor();
    // Stops the work of the request in hand; its results are dropped.
    void supersede();
    void showWorking();

    RandomSource &m_random;
    SettingsWindow &m_settings;
    SecretClipboard &m_clipboard;
    Notice &m_notice;
    QString m_largeList;
    // Used on the worker only, one call at a time.
    std::unique_ptr<SuggestionWork> m_work;
    // One thread: the work runs in the order it is asked for.
    QThreadPool m_worker;
    std::stop_source m_poolStop, m_requestStop;
    // The request in hand; results of earlier ones are dropped.
    quint64 m_request = 0;
    bool m_batchPending = false, m_advicePending = false;
    // Of the batch shown: each password's bits, and the figures.
    std::vector<std::optional<double>> m_bits;
    StrengthFigures m_figures;
    SuggestionText *m_text = nullptr;
    QProgressBar *m_busy = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_strengthLine = nullptr;
    QLabel *m_adviceLine = nullptr;
    QLabel *m_passwordLine = nullptr;
    QPushButton *m_modifySettings = nullptr;
    QPushButton *m_newList = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace lexiglow
