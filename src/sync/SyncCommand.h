// SyncCommand: "quillomar --sync", one pass with the server and no window.
#pragma once

// One pass on the agenda the program would open, for scripts and for a computer without a
// display: the account and password are the program's (or QUILLOMAR_DAV_URL, _USER and _PASSWORD),
// what came and went is said on the standard output, a failure on the standard error. Deletions
// a pass holds back (a collection that came back empty or lost more than half of its items) are
// made only with --force.
namespace SyncCommand {

// Takes "--sync" and, with it, "--force" off the command line, before Qt reads it: Qt takes
// "-sync" for one of its X11 options. Returns whether "--sync" was there.
bool takeFromArguments(int &argc, char **argv, bool *force);

// Runs the pass; returns the exit status: 0 when it went to its end, 1 otherwise.
int run(int argc, char **argv, bool force);

} // namespace SyncCommand
