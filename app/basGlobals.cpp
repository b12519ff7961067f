#include "app/basGlobals.h"

#include "ui/frmConnect.h"

Connection gConnection;
Command gCommand;
QString gDataSourceName;
short gDocCount = 0;
QString gSearchWord;
bool gSearchIgnoreCase = false;

void RememberDataSource(const ConnectAttempt &attempt) {
    if (attempt.opened) {
        gDataSourceName = attempt.dataSource;
    }
}
