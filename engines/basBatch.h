#pragma once

#include <QStringList>

// Cuts a query text into batches at separator lines that read GO (any case, surrounded by
// spaces or ideographic spaces only). Every line of a batch ends with one CR; LF becomes CR, so
// a CR LF pair gives two CRs. There is always one batch more than there are separators. A text
// may have any number of lines.
QStringList SplitBatches(QString text);
