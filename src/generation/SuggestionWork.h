#pragma once

#include "generation/StrengthAdvice.h"
#include "generation/SuggestionEngine.h"
#include "platform/Notice.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace lexiglow {

// A batch and what the model says of it, for the suggestions window to show.
struct BatchOutcome
{
    // Asked to stop before it was whole: there is nothing to show.
    bool stopped = false;
    // The heading, a blank line and the passwords, one a line; the heading
    // and the line break alone when no batch was made.
    QString text = {};
    BatchReport report = {};
    // What the user is to be told, in order.
    QStringList messages = {};
    // The model's word on the floor asked for; a floor it refuses makes no
    // batch.
    FloorOutcome floor = {};
    bool workedOut = false;
    bool hasWords = false;
    bool anyFits = false;
    StrengthFigures figures = {};
    // Each password's bits, in order; none where the model gives none. Empty
    // when the model is not worked out.
    std::vector<std::optional<double>> bits = {};
};

// What the suggestions window works out away from its thread: the word pool,
// each batch with its strength, and the advice. Its calls run one after
// another on one thread at a time, never two at once; each stops soon when
// asked to. The model of the pool and the rules is worked out once and kept
// until either changes, and so is the advice.
class SuggestionWork final
{
public:
    explicit SuggestionWork(RandomSource &random, ModelMaker makeModel = makeStrengthModel);
    Q_DISABLE_COPY_MOVE(SuggestionWork)

    // A fresh random sequence and the words of the ticked rows' lists; lists
    // names the lists the advice would read. Tells nobody: returns the rows
    // whose list was not read, for the window's owner to tell once and mark.
    QList<UnreadList> buildlist(const QList<ListRow> &rows, const QStringList &passfiles, const AdviceLists &lists);
    // A batch of request, whose settings all read.
    BatchOutcome makeBatch(const PasswordRequest &request, std::stop_token stop);
    // The advice for the rules and floor of the last batch, or nothing
    // without a model worked out.
    std::optional<StrengthAdvice> advise(std::stop_token stop);

private:
    // Gathers what the engine tells, for the window to show.
    class Messages final : public Notice
    {
    public:
        void tell(const QString &message) override { told.append(message); }
        QStringList told;
    };

    Messages m_messages;
    SuggestionEngine m_engine;
    ModelMaker m_makeModel;
    AdviceLists m_lists;
    std::unique_ptr<StrengthModel> m_model; // of the pool and the last batch's rules
    // The rules and floor of the last batch, which the advice is for; the
    // count is left at its initial value, as it changes nothing of it.
    std::optional<PasswordRequest> m_adviceRequest;
    std::optional<std::pair<PasswordRequest, StrengthAdvice>> m_advice;
};

} // namespace lexiglow
