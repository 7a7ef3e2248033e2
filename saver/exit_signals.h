#pragma once
// SIGTERM, SIGINT and SIGHUP end the show in order: screen-saver hosts stop a
// hack with a signal, and the show must close its windows, stop its loader
// threads and write its settings as after an accepted exit. The end is prompt
// in every phase: before any event loop runs the process dies of the signal
// at once; a list build under way (the folder scan on the main thread) stops
// on it; and when the event loop still cannot take the signal up within three
// seconds, or the orderly end takes more than seven, the process dies of the
// signal. A second signal ends it at once.
//
// Call once after the Qt application exists and before its event loop runs.
void InstallExitSignals();

// What a delivered signal does on the main thread: the exit is accepted
// without a password and every saver window is asked to close; with no
// window yet, the event loop ends.
void EndShowBySignal(int signalNumber);
