#pragma once

#include <QStringList>

namespace lexiglow {

// Keeps the passwords in the program's memory out of core files and away
// from the user's other processes. On Linux: a core-file limit of 0, and the
// process made non-dumpable, so that the kernel writes no core file of it and
// only a process with the right to trace any process (CAP_SYS_PTRACE) may
// read its memory or attach to it. On Windows: the process's access list lets
// the user's other processes do no more than see it, wait for it and end it.
// Processes the program starts (a browser for the web site) begin dumpable
// again and may raise their own core-file limit.
//
// Returns what could not be done, one sentence each; nothing when all is done.
QStringList hardenProcess();

// hardenProcess() first thing in main(): each failure is told on standard
// error, after the program's name, and the program goes on.
void hardenProcessOrWarn(const char *program);

} // namespace lexiglow
