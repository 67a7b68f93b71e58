#include "generation/SuggestionWork.h"

namespace lexiglow {

namespace {

// Gathers a batch, to hand it to the text box in one piece.
class BatchText final : public SuggestionSink
{
public:
    void setText(const QString &text) override { m_text = text; }
    void append(QStringView text) override { m_text += text; }
    QString &text() { return m_text; }

private:
    QString m_text;
};

} // namespace

SuggestionWork::SuggestionWork(RandomSource &random, ModelMaker makeModel)
    : m_engine(random, m_messages)
    , m_makeModel(std::move(makeModel))
{
}

QList<UnreadList> SuggestionWork::buildlist(const QList<ListRow> &rows, const QStringList &passfiles, const AdviceLists &lists)
{
    m_engine.setStrength(nullptr);
    m_model.reset(); // of the old pool
    m_adviceRequest.reset();
    m_advice.reset();
    m_lists = lists;
    return m_engine.gatherLists(rows, passfiles);
}

BatchOutcome SuggestionWork::makeBatch(const PasswordRequest &request, std::stop_token stop)
{
    BatchOutcome outcome;
    m_adviceRequest.reset();
    if (!m_model || !(m_model->rules() == request.rules)) {
        m_engine.setStrength(nullptr);
        m_model = m_makeModel(m_engine.pool(), request.rules, stop);
        if (m_model->stopped()) {
            m_model.reset();
            return {.stopped = true};
        }
    }
    m_engine.setStrength(m_model.get());
    outcome.floor = m_model->setFloor(request.floor);
    outcome.workedOut = m_model->workedOut();
    outcome.hasWords = m_model->hasWords();
    outcome.anyFits = m_model->anyFits();
    outcome.figures = m_model->figures();
    if (outcome.floor.kind != FloorOutcome::Kind::None && outcome.floor.kind != FloorOutcome::Kind::Met) {
        outcome.text = SuggestionEngine::heading + SuggestionEngine::lineBreak;
        return outcome; // the floor is refused: no batch
    }
    BatchText batch;
    outcome.report = m_engine.generate(request, batch, stop);
    outcome.messages = std::exchange(m_messages.told, {});
    if (outcome.report.stopped)
        return {.stopped = true};
    outcome.text = std::move(batch.text());
    if (outcome.workedOut) {
        // The passwords follow the heading's line, each after a line break.
        const QStringView text(outcome.text);
        const QString &lineBreak = SuggestionEngine::lineBreak;
        qsizetype from = text.indexOf(lineBreak) + lineBreak.size();
        outcome.bits.reserve(std::size_t(outcome.report.passwords));
        while ((from = text.indexOf(lineBreak, from)) >= 0) {
            from += lineBreak.size();
            const qsizetype to = text.indexOf(lineBreak, from);
            outcome.bits.push_back(m_model->bits(text.mid(from, (to < 0 ? text.size() : to) - from)));
        }
    }
    m_adviceRequest = PasswordRequest{.rules = request.rules, .floor = request.floor};
    return outcome;
}

std::optional<StrengthAdvice> SuggestionWork::advise(std::stop_token stop)
{
    if (!m_adviceRequest || !m_model || !m_model->workedOut())
        return std::nullopt;
    if (!m_advice || !(m_advice->first == *m_adviceRequest)) {
        StrengthAdvice advice = adviseOn(*m_model, m_engine.pool(), *m_adviceRequest, m_lists, stop, m_makeModel);
        if (advice.stopped)
            return advice;
        m_advice.emplace(*m_adviceRequest, std::move(advice));
    }
    return m_advice->second;
}

} // namespace lexiglow
