// autorun-check --explain: what the launcher would do on this machine, from
// a medium, and why. On Windows it runs the launcher's own decision flow over
// the launcher's own probes, and prints every step with the facts the probes
// found, after a verdict that says what the launcher would do, why, and what
// to do; it shows no box, starts nothing and writes nothing. Elsewhere it
// only says so.
#pragma once

// The exit status: 0 when the launcher would start a program, 1 when it
// would start nothing (a box, or a silent end), 2 for bad usage. `arguments`
// are what follows --explain: [MEDIUM_FOLDER] [-- TAIL...]. Without a
// folder, and without install.dat in the current directory, every drive
// that holds a medium is explained. In a console window of its own (a
// double-click), it waits for Enter before the window closes.
int Explain(int count, const char* const* arguments);

// Whether the checker was started by a double-click, with a console window
// of its own: it then explains the media it finds, as --explain alone.
bool StartedByDoubleClick();
