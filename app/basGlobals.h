#pragma once

#include <QString>

#include "data/command.h"
#include "data/connection.h"

// The program's shared state, one instance each for the whole run.
extern Connection gConnection;   // the one database connection
extern Command gCommand;         // the one command; its time-out is the query time-out
extern QString gDataSourceName;  // data source of the last successful connection
extern short gDocCount;          // open query windows
extern QString gSearchWord;      // last search word
extern bool gSearchIgnoreCase;   // true when the search ignores case

struct ConnectAttempt;
// Keeps the data source of a connection that opened as gDataSourceName.
void RememberDataSource(const ConnectAttempt &attempt);
