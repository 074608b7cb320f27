// SPDX-License-Identifier: GPL-3.0-or-later
#include "raumbilanzwindow.h"

#include "companioncommands.h"
#include "companionfiles.h"
#include "evaluationhistory.h"
#include "nachhallmodel.h"
#include "numbers.h"
#include "raumbilanzchart.h"
#include "raumbilanzdescription.h"
#include "raumbilanzreport.h"
#include "raumbilanzroom.h"
#include "raumbilanztext.h"
#include "raumbilanztable.h"
#include "savefile.h"
#include "tablefile.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvella {

namespace {

const QString kObjectName = QStringLiteral("raumbilanzWindow");
const QString kTitle = QStringLiteral("Raumbilanz in Oktavbändern");

std::string decimalMark() { return QLocale().decimalPoint().toStdString(); }

QString qs(const std::string& s) { return QString::fromStdString(s); }

SaveFailureText saveFailureText()
{
    SaveFailureText text;
    text.title = kTitle;
    return text;
}

// A read-only table of results; its cells are set by fill().
QTableWidget* resultsTable(const QString& name, const QString& accessibleName)
{
    auto* t = new QTableWidget;
    t->setObjectName(name);
    t->setAccessibleName(accessibleName);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::ContiguousSelection);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->horizontalHeader()->setStretchLastSection(true);
    t->setWordWrap(false);
    return t;
}

void fill(QTableWidget* widget, const TextTable& table)
{
    widget->setColumnCount(int(table.header.size()));
    widget->setRowCount(int(table.rows.size()));
    for (int c = 0; c < int(table.header.size()); ++c)
        widget->setHorizontalHeaderItem(c, new QTableWidgetItem(qs(table.header[std::size_t(c)])));
    for (int r = 0; r < int(table.rows.size()); ++r)
        for (int c = 0; c < int(table.rows[std::size_t(r)].size()); ++c)
        {
            auto* item = new QTableWidgetItem(qs(table.rows[std::size_t(r)][std::size_t(c)]));
            item->setToolTip(item->text());
            widget->setItem(r, c, item);
        }
    widget->resizeColumnsToContents();
}

}  // namespace

RaumbilanzWindow::RaumbilanzWindow(const CompanionRequest& request)
    : link_(request.link), calculator_(calculatorOf(request.models)), helpLink_(new EvaluationLink(this))
{
    setObjectName(kObjectName);
    setWindowTitle(kTitle + QStringLiteral(" – ") + request.title);

    // Left: the room from the calculator, the rows, a note and the commands.
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    roomLabel_ = new QLabel;
    roomLabel_->setObjectName(QStringLiteral("room"));
    roomLabel_->setWordWrap(true);
    roomLabel_->setTextFormat(Qt::PlainText);
    auto* caption = new QLabel(QStringLiteral("&Flächen und Objekte"));
    model_ = new BalanceTableModel(this);
    table_ = new BalanceTableView;
    table_->setModel(model_);
    table_->setAccessibleName(QStringLiteral("Flächen und Objekte"));
    caption->setBuddy(table_);
    note_ = new QLabel;
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);
    note_->setTextFormat(Qt::PlainText);
    note_->hide();
    leftLayout->addWidget(roomLabel_);
    leftLayout->addWidget(caption);
    leftLayout->addWidget(table_, 1);
    leftLayout->addWidget(note_);

    const auto command = [this](const char* text, const QKeySequence& key, auto run, const char* name,
                                const char* tip) {
        QPushButton* b = commandButton(addCompanionCommand(this, QString::fromUtf8(text), key, run),
                                       QString::fromLatin1(name));
        b->setToolTip(QString::fromUtf8(tip));
        return b;
    };
    const QList<QPushButton*> buttonList{
        command("In den &Rechner", {}, &RaumbilanzWindow::applyToCalculator, "toCalculator",
                "Das Mittel von A bei 500 und 1000 Hz als vorhandene Absorptionsfläche in den Rechner"),
        command("Ergebnisse &kopieren", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &RaumbilanzWindow::copyResults,
                "copyResults", "Oktavbänder und Ergebnisse kopieren (Strg+Umschalt+C)"),
        command("CSV &öffnen…", QKeySequence::Open, &RaumbilanzWindow::openCsv, "openCsv",
                "Flächen und Objekte aus einer CSV-Datei lesen, auch aus einer Tabellenkalkulation (Strg+O)"),
        command("CSV &speichern…", QKeySequence::Save, &RaumbilanzWindow::saveCsv, "saveCsv",
                "Tabelle und Ergebnisse als CSV-Datei speichern (Strg+S)"),
        command("Bericht als &PDF…", QKeySequence::Print, &RaumbilanzWindow::saveReport, "saveReport",
                "Tabelle, Ergebnisse, Diagramm und Verfahren als PDF (Strg+P)"),
        command("&Hilfe", QKeySequence(Qt::Key_F1), &RaumbilanzWindow::showHelp, "help",
                "Was die Raumbilanz rechnet, das Verfahren und seine Grenzen (F1)"),
        // Escape reaches the window only when no cell is being edited.
        command("Schließen", QKeySequence(Qt::Key_Escape), &QWidget::close, "close",
                "Das Fenster schließen; die Tabelle bleibt erhalten (Esc)"),
    };
    auto* buttons = new QGridLayout;
    for (int i = 0; i < int(buttonList.size()); ++i)
        buttons->addWidget(buttonList[i], i / 4, i % 4);
    leftLayout->addLayout(buttons);

    // Beside the rows the chart; below both the verdict, the bands and the summary.
    chart_ = new BalanceChart;
    verdict_ = new QLabel;
    verdict_->setObjectName(QStringLiteral("verdict"));
    verdict_->setWordWrap(true);
    verdict_->setTextFormat(Qt::PlainText);
    QFont bold = verdict_->font();
    bold.setBold(true);
    verdict_->setFont(bold);
    bands_ = resultsTable(QStringLiteral("bands"), QStringLiteral("Oktavbänder"));
    summary_ = resultsTable(QStringLiteral("summary"), QStringLiteral("Ergebnisse"));
    auto* bandsPane = new QWidget;
    auto* bandsLayout = new QVBoxLayout(bandsPane);
    bandsLayout->setContentsMargins(0, 0, 0, 0);
    bandsLayout->addWidget(verdict_);
    bandsLayout->addWidget(bands_, 1);

    auto* top = new QSplitter(Qt::Horizontal);
    top->addWidget(left);
    top->addWidget(chart_);
    top->setSizes({700, 560});
    auto* bottom = new QSplitter(Qt::Horizontal);
    bottom->addWidget(bandsPane);
    bottom->addWidget(summary_);
    bottom->setSizes({660, 600});
    auto* main = new QSplitter(Qt::Vertical);
    main->addWidget(top);
    main->addWidget(bottom);
    main->setSizes({520, 300});
    for (QSplitter* splitter : {top, bottom, main})
        splitter->setChildrenCollapsible(false);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(main);

    connect(model_, &BalanceTableModel::edited, this, [this] {
        notes_.clear();
        recompute();
    });
    connect(table_, &BalanceTableView::pasted, this, &RaumbilanzWindow::showNotes);
    connect(table_, &BalanceTableView::message, this, [this](const QString& text) { showNotes({text}); });

    // The room follows the calculator's fields as the user edits them.
    if (calculator_ && link_)
        followInputs(this, link_, [this] { recompute(); });

    recompute();
    // One Verlauf entry per table, replaced as it changes; "Übernehmen" on it
    // puts the rows and the room back.
    new EvaluationHistory(this, raumbilanzModel(), request, helpLink_,
                          [this] { return EvaluationSnapshot{.input = evaluationInput()}; },
                          [this](const EvaluationSnapshot& s) { reopen(s.input); });
    table_->setCurrentIndex(model_->index(0, 0));
    table_->setFocus();
    resize(1280, 860);
    // Small enough for a screen of 960 x 540 with the window manager's frame.
    setMinimumSize(880, 480);
}

void RaumbilanzWindow::readRoom()
{
    const CalculatorRoom room = roomOfCalculator(link_, calculator_, decimalMark());
    room_ = room.room;
    roomText_ = room.text;
}

void RaumbilanzWindow::recompute()
{
    readRoom();
    roomLabel_->setText(roomText_);
    const std::string mark = decimalMark();
    evaluation_ = evaluateBalance(model_->balanceRows(), room_, mark);
    model_->setEvaluated(evaluation_.rows);
    fill(bands_, bandTable(evaluation_, mark));
    for (int b = 0; b < raumbilanz::kBands; ++b) {
        const BandVerdict v = evaluation_.bands[std::size_t(b)].verdict;
        if (v == BandVerdict::Above || v == BandVerdict::Below)
            for (int c = 0; c < bands_->columnCount(); ++c)
                bands_->item(b, c)->setForeground(QColor(0xa0, 0x00, 0x00));
    }
    fill(summary_, summaryTable(evaluation_, mark));
    verdict_->setText(qs(balanceVerdict(evaluation_, mark)));
    chart_->showEvaluation(evaluation_);
    showNotes(notes_);
    helpLink_->changed();
}

void RaumbilanzWindow::showNotes(const QStringList& notes)
{
    notes_ = notes;
    QStringList all = notes;
    const auto leftOut = std::count_if(evaluation_.rows.begin(), evaluation_.rows.end(),
                                       [](const BalanceRow& r) { return r.use == BalanceUse::LeftOut; });
    if (leftOut > 0)
        all << (leftOut == 1 ? QStringLiteral("1 Zeile wird nicht gezählt")
                             : QStringLiteral("%1 Zeilen werden nicht gezählt").arg(leftOut)) +
                   QStringLiteral(": rot markierte Zellen, der Grund steht unter „Hinweis“.");
    note_->setText(all.join(u'\n'));
    note_->setVisible(!all.isEmpty());
}

QString RaumbilanzWindow::roomText() const { return roomText_; }
QString RaumbilanzWindow::verdictText() const { return verdict_->text(); }
QString RaumbilanzWindow::note() const { return note_->isVisible() ? note_->text() : QString(); }

QString RaumbilanzWindow::bandText(int band, int column) const
{
    const QTableWidgetItem* item = bands_->item(band, column);
    return item ? item->text() : QString();
}

void RaumbilanzWindow::reopen(const EvaluationInput& input)
{
    // The room the entry was evaluated for goes back into the calculator, as
    // "Übernehmen" puts a calculation's inputs back: typed into its fields,
    // then calculated. A room that is there already is left alone.
    const BalanceParameters room = balanceParametersOf(input);
    if (calculator_ && link_ && (room.group != room_.group || room.volume != room_.volume ||
                                 room.height != room_.height)) {
        link_->applyAndCalculate(*calculator_, roomTexts(*calculator_, room, decimalMark()));
        readRoom();
    }
    model_->setBalanceRows(balanceRowsOf(input));
}

EvaluationInput RaumbilanzWindow::evaluationInput() const { return raumbilanzInput(model_->balanceRows(), room_); }

// --- commands -----------------------------------------------------------------

bool RaumbilanzWindow::applyToCalculator()
{
    const ResultValue* mid = findResult(evaluation_.summary, "Am");
    if (!mid || !mid->value) {
        showNotes({QStringLiteral("Es gibt noch keine Absorptionsfläche bei 500 und 1000 Hz; der Rechner bleibt, wie "
                                  "er ist.")});
        return false;
    }
    const QString text = qs(valueText(*mid, decimalMark()));
    if (!calculator_ || !link_ || !link_->applyAndCalculate(*calculator_, {{"a", text}})) {
        showNotes({QStringLiteral("Der Rechner nimmt den Wert nicht an; er bleibt, wie er ist.")});
        return false;
    }
    showNotes({QStringLiteral("A = %1 m² in den Rechner übernommen und berechnet.").arg(text)});
    return true;
}

void RaumbilanzWindow::copyResults()
{
    const std::string mark = decimalMark();
    TextTable bands = bandTable(evaluation_, mark);
    bands.caption = windowTitle().toStdString() + " – " + bands.caption;
    const TextTable summary = summaryTable(evaluation_, mark);
    const std::string verdict = balanceVerdict(evaluation_, mark);
    auto* mime = new QMimeData;
    mime->setText(qs(tabSeparatedText(bands) + tabSeparatedText(summary) + verdict + "\n"));
    mime->setHtml(qs(htmlTable(bands) + htmlTable(summary)) + QStringLiteral("<p>%1</p>").arg(qs(verdict).toHtmlEscaped()));
    QApplication::clipboard()->setMimeData(mime);
}

bool RaumbilanzWindow::openCsv()
{
    const QString path = askOpenFile(this, FileKind::Csv, QStringLiteral("CSV öffnen"),
                                     {QStringLiteral("CSV-Dateien (*.csv)"), QStringLiteral("Textdateien (*.txt)"),
                                      QStringLiteral("Alle Dateien (*)")});
    return !path.isEmpty() && openCsvFile(path);
}

bool RaumbilanzWindow::openCsvFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    TableLimits limits;
    limits.rows = std::size_t(raumbilanz::kMaxRows);
    const TableFile file = readTableFile(path, name, {QStringLiteral("eine Raumbilanz"), QStringLiteral("Zahlen")},
                                         [&limits](std::string_view text) {
                                             return firstTableOf(parsePastedTable(text, limits));
                                         });
    // Read into a table of its own first: the window's rows stay as they are
    // when the file has none.
    BalanceTableModel read;
    QStringList notes;
    const int rows = file.read ? read.paste(0, 0, file.table, &notes) : 0;
    if (rows == 0) {
        showNotes(file.read ? QStringList{QStringLiteral("„%1“ enthält keine Zeile mit Flächen oder Objekten; die "
                                                         "Tabelle bleibt, wie sie ist.").arg(name)}
                            : file.notes);
        return false;
    }
    model_->setBalanceRows(read.balanceRows());
    notes[0] = rows == 1 ? QStringLiteral("1 Zeile aus „%1“ gelesen.").arg(name)
                         : QStringLiteral("%1 Zeilen aus „%2“ gelesen.").arg(QLocale().toString(rows), name);
    showNotes(notes + file.notes);
    table_->setCurrentIndex(model_->index(0, 0));
    return true;
}

bool RaumbilanzWindow::saveCsv()
{
    const bool comma = decimalCommaSettings();
    const std::string mark = comma ? "," : ".";
    TextTable rows = model_->textTable(mark, false);
    if (rows.rows.empty()) {
        showNotes({QStringLiteral("Die Tabelle ist leer; es gibt nichts zu speichern.")});
        return false;
    }
    rows.caption = "Flächen und Objekte";
    const QString path = askSaveFile(this, FileKind::Csv, QStringLiteral("CSV speichern"), kTitle,
                                     {QStringLiteral("CSV-Dateien (*.csv)")});
    return !path.isEmpty() &&
           saveCsvTables(this, path, {rows, bandTable(evaluation_, mark), summaryTable(evaluation_, mark)}, comma,
                         saveFailureText());
}

bool RaumbilanzWindow::saveReport()
{
    if (model_->balanceRows().empty()) {
        showNotes({QStringLiteral("Die Tabelle ist leer; für einen Bericht fehlen die Flächen.")});
        return false;
    }
    const QString path = askSaveFile(this, FileKind::Pdf, QStringLiteral("Bericht als PDF speichern"), kTitle,
                                     {QStringLiteral("PDF-Dokumente (*.pdf)")});
    if (path.isEmpty())
        return false;
    const std::string mark = decimalMark();
    const BalanceReport report = balanceReport(windowTitle(), roomText_, model_->textTable(mark, true), evaluation_, mark);
    return saveAtomically(
        this, path, [&](QSaveFile& f) { return writeBalanceReportPdf(&f, report, evaluation_); }, saveFailureText());
}

QWidget* RaumbilanzWindow::showHelp()
{
    return openEvaluationHelp(this, raumbilanzModel(), [this] { return evaluationInput(); }, helpLink_);
}

void RaumbilanzWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    addCommandsToMenu(menu, this);
    menu.exec(event->globalPos());
}

QWidget* openRaumbilanzWindow(const CompanionRequest& request)
{
    // Closing hides it, with its table: F3 shows it again.
    return openEvaluationCompanion(request, kObjectName, [&request] { return new RaumbilanzWindow(request); });
}

}  // namespace orvella
