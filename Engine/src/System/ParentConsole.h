#pragma once

// A game built as a window program has no console of its own on Windows. Started from a console (cmd,
// PowerShell), it borrows its parent's, so that --help, usage errors and replay results are printed
// there; standard output and error that were already redirected (to a file, a pipe) stay where they
// go. Started from Explorer, or on any other system, nothing changes. Call it first thing in main.
void attachParentConsole();
