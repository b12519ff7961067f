#include "app/basGlobals.h"

Connection gConnection;
Command gCommand;
QString gDataSourceName;
short gDocCount = 0;
QString gSearchWord;
bool gSearchIgnoreCase = false;
