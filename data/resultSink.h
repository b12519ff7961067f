#pragma once

#include <QList>
#include <QStringList>

#include "data/cellStore.h"

// Takes a statement's result while it is fetched, on the thread that fetches it.
class ResultSink {
public:
    virtual ~ResultSink() = default;
    // The result's columns, before any of its rows.
    virtual void Columns(const QStringList &names, const QList<int> &types) = 0;
    // The next rows of the result, in order, as a store of their own (the same column count).
    // The first rows come as soon as the driver has returned them; later ones are gathered and
    // handed over a few times a second, and what is left at the end of the fetch.
    virtual void Rows(CellStore rows) = 0;
};
