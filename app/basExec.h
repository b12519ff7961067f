#pragma once

#include <QString>

#include <optional>

class frmSQL;

// The text a run of the window sends: the selection of its editor, or its whole text when
// nothing is selected.
QString TextToRun(const frmSQL &doc);

// The text a run sends: the selection of the window's editor, or its whole text when nothing is
// selected. Nothing (after a warning box) when no database is connected.
std::optional<QString> TakeTextToRun(frmSQL &doc);
