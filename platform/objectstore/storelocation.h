#pragma once

#include <string>

// Where the phone's store lives: one SQLite file that is the object-store volume, holding the call
// log database "clog.db" among others, or a dialler's call history read in its place. The default,
// in $XDG_DATA_HOME (else ~/.local/share): GNOME Calls' calls/records.db where it exists, else
// Plasma Dialer's plasmaphonedialer/calls.sqlite where it exists, else the program's own
// zonrik/phone.db. --store FILE chooses another.

// Uses path instead of the default (empty restores the default).
void SetStorePath(const std::string& path);

std::string StorePath();

// How long an operation waits for another process (the phone's dialler, ringlog-tool) that holds
// the store locked before it gives up. Default 5000 ms.
void SetStoreBusyTimeout(int milliseconds);
int StoreBusyTimeout();
