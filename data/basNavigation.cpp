#include "data/basNavigation.h"

#include "core/failure.h"
#include "data/recordset.h"

namespace {

void Repeat(int times, Recordset &recordset, void (Recordset::*move)()) {
    for (int i = 0; i < times; ++i) {
        IgnoreFailure([&] { (recordset.*move)(); });
    }
}

}  // namespace

void NavigateRecordset(Recordset &recordset, const QString &key) {
    if (key == QLatin1String("START")) {
        Repeat(1, recordset, &Recordset::MoveFirst);
    } else if (key == QLatin1String("DBL_BACK")) {
        Repeat(10, recordset, &Recordset::MovePrevious);
    } else if (key == QLatin1String("SGL_BACK")) {
        Repeat(1, recordset, &Recordset::MovePrevious);
    } else if (key == QLatin1String("SGL_NEXT")) {
        Repeat(1, recordset, &Recordset::MoveNext);
    } else if (key == QLatin1String("DBL_NEXT")) {
        Repeat(10, recordset, &Recordset::MoveNext);
    } else if (key == QLatin1String("END")) {
        Repeat(1, recordset, &Recordset::MoveLast);
    }
}
