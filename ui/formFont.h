#pragma once

#include <QFont>

// The face of the program's own windows and dialogs, at a size in points: 9.75 for their text,
// larger for a title.
QFont FormFont(double points = 9.75);
