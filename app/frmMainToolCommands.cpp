// The main window's commands on files, the editor's text, search, font, time-out, the table
// list and export: each hands its work to the procedure that carries it out.
#include <QComboBox>
#include <QTableView>

#include "app/basExec.h"
#include "app/basGlobals.h"
#include "app/frmMain.h"
#include "core/failure.h"
#include "core/settings.h"
#include "data/basRecordSet.h"
#include "data/basTableList.h"
#include "engines/basFind.h"
#include "engines/clsArrangeQuery.h"
#include "files/basSqlFile.h"
#include "ui/fontDialog.h"
#include "ui/frmSQL.h"
#include "ui/frmSearch.h"
#include "ui/frmTimeout.h"
#include "ui/queryEditor.h"
#include "ui/sqlFileDialogs.h"

frmSQL *frmMain::activeOrNewDoc() {
    if (gDocCount < 1 && !ReportFailure([&] { LoadNewDoc(); })) {
        return nullptr;
    }
    return ActiveDoc();
}

void frmMain::mnuFileOpen_Click() {
    QString path;
    if (!ShowOpenDialog(this, Settings::Read(Settings::OpenSql), path)) {
        return;
    }
    if (frmSQL *doc = activeOrNewDoc()) {
        LoadSqlFile(doc, path);
    }
    Settings::Write(Settings::OpenSql, path);
}

void frmMain::LoadSqlFile(frmSQL *doc, const QString &path) {
    // A file that cannot be read has shown its box; the window keeps its text and its file.
    SqlFileFormat format;
    const std::optional<QString> text = ReadSqlFile(path, &format);
    if (!text) {
        return;
    }
    doc->setCaption(path);
    doc->setFileFormat(text->isEmpty() ? std::nullopt : std::optional(format));
    doc->txtQry()->setText(*text);
}

void frmMain::mnuFileSave_Click() {
    frmSQL *doc = ActiveDoc();
    if (!doc) {
        return;
    }
    const QString initial = doc->IsUntitled() ? Settings::Read(Settings::SaveSql) : doc->Caption();
    QString path;
    if (!ShowSaveDialog(this, initial, path)) {
        return;
    }
    // The window's own file goes back in the encoding and line breaks it came in; new text as
    // CP932 with CR LF. The window takes the new name only once the file holds its text (an
    // empty text writes nothing, and still names the window); a failed write has shown its box.
    const QString text = doc->txtQry()->Text();
    if (const auto written = WriteSqlFile(path, text, doc->FileFormat())) {
        doc->setFileFormat(written);
        doc->setCaption(path);
    } else if (text.isEmpty()) {
        doc->setCaption(path);
    }
    Settings::Write(Settings::SaveSql, path);
}

void frmMain::mnuQryArrange_Click() {
    if (frmSQL *doc = ActiveDoc()) {
        const QString arranged = clsArrangeQuery(keywordFile(QStringLiteral("KEYWORD_ARRANGE.CSV")))
                                     .CArrange(doc->txtQry()->Text());
        // An empty result means the formatter failed (its box has been shown): keep the text.
        if (!arranged.isEmpty()) {
            doc->txtQry()->setText(arranged);
        }
    }
}

QString frmMain::keywordFile(const QString &fileName) const {
    return keywordFolder_.isEmpty() ? QString() : keywordFolder_ + QLatin1Char('/') + fileName;
}

void frmMain::mnuQryTimeout_Click() {
    int timeout = gCommand.CommandTimeout();
    if (frmTimeout::ShowTimeoutDialog(timeout, this)) {
        gCommand.setCommandTimeout(timeout);
    }
}

void frmMain::findFrom(int start) {
    frmSQL *doc = ActiveDoc();
    if (!doc) {
        return;
    }
    QueryEditor *editor = doc->txtQry();
    const std::optional<TextSelection> found =
        FindInEditor(editor->Text(), start, gSearchWord, gSearchIgnoreCase);
    if (found) {
        editor->setSelStart(found->start);
        editor->setSelLength(found->length);
        editor->ensureCursorVisible();
    }
}

// Shows the find dialog on the shared search word and keeps what the user chose.
void frmMain::AskSearchWord() {
    if (const std::optional<SearchChoice> choice = frmSearch::ShowSearchDialog(gSearchWord, this)) {
        gSearchWord = choice->word;
        gSearchIgnoreCase = choice->ignoreCase;
    }
}

void frmMain::mnuEditSearch_Click() {
    AskSearchWord();
    if (frmSQL *doc = ActiveDoc()) {
        findFrom(SearchStart(doc->txtQry()->SelStart()));
    }
}

void frmMain::mnuEditResearch_Click() {
    if (gSearchWord.isEmpty()) {
        AskSearchWord();
    }
    if (frmSQL *doc = ActiveDoc()) {
        findFrom(FindNextStart(doc->txtQry()->SelStart(), doc->txtQry()->SelLength()));
    }
}

void frmMain::mnuEditAll_Click() {
    if (frmSQL *doc = ActiveDoc()) {
        doc->txtQry()->setSelStart(0);
        doc->txtQry()->setSelLength(int(doc->txtQry()->Text().size()));
    }
}

void frmMain::mnuFontFont_Click() {
    if (frmSQL *doc = ActiveDoc()) {
        ShowFontDialog(this, doc->txtQry(), doc->grdQry());
        StoreEditorFont(doc->txtQry());
    }
}

void frmMain::mnuToolExcel_Click() {
    StartRun(ActiveDoc(), [this](frmSQL *doc, bool ran) {
        RefreshTableListAfterRun(doc);
        if (ran && doc) {
            StartExport(*doc);
        }
    });
}

void frmMain::cboTable_Click(int index) {
    const QString table = cboTable_->itemText(index);
    if (frmSQL *doc = activeOrNewDoc()) {
        doc->txtQry()->setFocus();
        doc->txtQry()->setText(TableQueryText(table, tableListSqlServer_));
        doc->txtQry()->setSelStart(0);
    }
}
