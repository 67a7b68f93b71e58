#pragma once

#include <QString>

namespace lexiglow {

// Tells the user something and waits until they have taken note: a message
// box in the program, standard error in the command-line tool, a recorder in
// tests.
class Notice
{
public:
    virtual ~Notice() = default;
    virtual void tell(const QString &message) = 0;
};

// Tells nobody: for a reader whose caller words what went wrong itself.
class QuietNotice final : public Notice
{
public:
    void tell(const QString &) override {}
};

} // namespace lexiglow
