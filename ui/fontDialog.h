#pragma once

class QTableView;
class QWidget;
class QueryEditor;

// Shows Qt's own font dialog on the editor's font (screen fonts, no effects). After OK the
// editor, and the grid when one is given, take the chosen face, size, bold and italic; true.
// Cancel changes nothing and returns false.
bool ShowFontDialog(QWidget *parent, QueryEditor *editor, QTableView *grid);

// Stores the editor's font as the font of new query windows.
void StoreEditorFont(const QueryEditor *editor);
