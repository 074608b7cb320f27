// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementwindow.h"

#include "clipboardtext.h"
#include "companioncommands.h"
#include "companionfiles.h"
#include "evaluationhistory.h"
#include "iso3382.h"
#include "measurementfile.h"
#include "iso3382description.h"
#include "measurementprognosis.h"
#include "measurementresults.h"
#include "measurementreport.h"
#include "measurementtable.h"
#include "measurementtexts.h"
#include "numbers.h"
#include "savefile.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QResizeEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace orvella {

namespace {

const QString kObjectName = QStringLiteral("measurementWindow");

std::string decimalMark() { return QLocale().decimalPoint().toStdString(); }

SaveFailureText saveFailureText()
{
    SaveFailureText text;
    text.title = QStringLiteral("Messauswertung ISO 3382-3");
    return text;
}
QString qs(const std::string& s) { return QString::fromStdString(s); }

QString count(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

}  // namespace

void setMeasurementFileDialog(MeasurementFileDialog dialog)
{
    if (!dialog) {
        setFileDialog({});
        return;
    }
    setFileDialog([dialog](QWidget* parent, const QString& caption, const QString& suggested, const QString& filters,
                           QString* selected) { return dialog(parent, caption, suggested, filters, selected); });
}

MeasurementWindow::MeasurementWindow(const CompanionRequest& request)
    : link_(request.link), title_(request.title), prognosisModel_(prognosisModelOf(request.models)),
      helpLink_(new EvaluationLink(this))
{
    setObjectName(kObjectName);
    setWindowTitle(QStringLiteral("Messauswertung ISO 3382-3 – ") + request.title);

    // Left: the positions, a note on them and the commands.
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(QStringLiteral("&Messpositionen"));
    model_ = new MeasurementTableModel(this);
    table_ = new MeasurementTableView;
    table_->setModel(model_);
    table_->setAccessibleName(QStringLiteral("Messpositionen"));
    caption->setBuddy(table_);
    note_ = new QLabel;
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);
    note_->setTextFormat(Qt::PlainText);
    note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note_->hide();
    leftLayout->addWidget(caption);
    leftLayout->addWidget(table_, 1);
    leftLayout->addWidget(note_);

    // The commands: the table's own, then the window's; each a button.
    const auto withTip = [](QPushButton* b, const char* tip) {
        b->setToolTip(QString::fromUtf8(tip));
        return b;
    };
    const auto command = [this](const char* text, const QKeySequence& key, auto run) {
        return addCompanionCommand(this, QString::fromUtf8(text), key, run);
    };
    const QList<QPushButton*> buttonList{
        withTip(commandButton(table_->insertRowAction(), QStringLiteral("insertRow")),
                "Eine leere Zeile über der aktuellen (Strg+Plus)"),
        withTip(commandButton(table_->removeRowsAction(), QStringLiteral("removeRows")),
                "Die markierten Zeilen löschen (Strg+Minus)"),
        withTip(commandButton(command("CSV ö&ffnen…", QKeySequence::Open, &MeasurementWindow::openCsv),
                              QStringLiteral("openCsv")),
                "Messwerte aus einer CSV-Datei lesen (Strg+O)"),
        withTip(commandButton(command("CSV &speichern…", QKeySequence::Save, &MeasurementWindow::saveCsv),
                              QStringLiteral("saveCsv")),
                "Die Messwerte als CSV-Datei speichern (Strg+S)"),
        withTip(commandButton(command("Ergebnisse &kopieren", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                                      &MeasurementWindow::copyResults),
                              QStringLiteral("copyResults")),
                "Ergebnisse und Bewertung kopieren (Strg+Umschalt+C)"),
        withTip(commandButton(command("Bericht als &PDF…", QKeySequence::Print, &MeasurementWindow::saveReport),
                              QStringLiteral("saveReport")),
                "Tabelle, Ergebnisse, Bewertung, Diagramm und Verfahren als PDF (Strg+P)"),
        withTip(commandButton(command("&Hilfe", QKeySequence(Qt::Key_F1), &MeasurementWindow::showHelp),
                              QStringLiteral("help")),
                "Was gemessen wird, das Verfahren und seine Grenzen (F1)"),
        // Escape reaches the window only when no cell is being edited.
        withTip(commandButton(command("Schließen", QKeySequence(Qt::Key_Escape), &QWidget::close),
                              QStringLiteral("close")),
                "Das Fenster schließen; die Tabelle bleibt erhalten (Esc)"),
    };
    auto* buttons = new QGridLayout;
    for (int i = 0; i < int(buttonList.size()); ++i)
        buttons->addWidget(buttonList[i], i / 2, i % 2);
    leftLayout->addLayout(buttons);

    // Right: the chart above the results and the rating.
    chart_ = new MeasurementChart;
    prognosisLabel_ = new QLabel;
    prognosisLabel_->setObjectName(QStringLiteral("prognosis"));
    prognosisLabel_->setWordWrap(true);
    prognosisLabel_->setTextFormat(Qt::PlainText);
    auto* figure = new QWidget;
    auto* figureLayout = new QVBoxLayout(figure);
    figureLayout->setContentsMargins(0, 0, 0, 0);
    figureLayout->addWidget(chart_, 1);
    figureLayout->addWidget(prognosisLabel_);

    QGroupBox* resultsBox = makeResultsBox(&results_);
    QGroupBox* ratingBox = makeRatingBox(&rating_);

    auto* lower = new QWidget;
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(resultsBox);
    lowerLayout->addWidget(ratingBox);
    lowerLayout->addStretch(1);
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("resultsArea"));
    scroll->setWidget(lower);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumHeight(110);

    auto* right = new QSplitter(Qt::Vertical);
    right->setObjectName(QStringLiteral("chartAndResults"));
    rightSplitter_ = right;
    lower_ = lower;
    resultsArea_ = scroll;
    right->addWidget(figure);
    right->addWidget(scroll);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);
    right->setSizes({520, 300});  // until fitResultsPane knows the results' height
    right->setChildrenCollapsible(false);

    auto* main = new QSplitter(Qt::Horizontal);
    main->addWidget(left);
    main->addWidget(right);
    main->setStretchFactor(0, 0);
    main->setStretchFactor(1, 1);
    main->setChildrenCollapsible(false);
    // The left side is as narrow as the table's columns of numbers allow.
    right->setMinimumWidth(480);
    main->setSizes({420, 820});
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(main);

    connect(model_, &MeasurementTableModel::edited, this, &MeasurementWindow::edited);
    connect(table_, &MeasurementTableView::pasted, this,
            [this](const PasteOutcome& outcome) { showNotes(outcome.notes); });
    connect(table_, &MeasurementTableView::message, this, [this](const QString& text) { showNotes({text}); });

    // The prognosis follows the calculator's fields as the user edits them.
    if (prognosisModel_ && link_)
        followInputs(this, link_, [this] { recompute(); });

    recompute();
    new EvaluationHistory(this, iso3382Model(), request, helpLink_,
                          [this] { return EvaluationSnapshot{.input = iso3382Input(model_->positions())}; },
                          [this](const EvaluationSnapshot& s) { model_->setPositions(positionsOf(s.input, kMaxPositions)); });
    table_->setCurrentIndex(model_->index(0, 0));
    table_->setFocus();
    // Fits a 1280 × 1024 screen beside nothing; raiseCompanion shrinks it to
    // a smaller screen, down to the minimum, which fits 960 × 540.
    resize(1240, 820);
    setMinimumHeight(460);
}

void MeasurementWindow::edited()
{
    actionNotes_.clear();
    recompute();
}

void MeasurementWindow::recompute()
{
    evaluation_ = evaluateIso3382(model_->positions(), decimalMark());
    model_->setEvaluated(evaluation_.positions);
    showResults(results_, evaluation_, decimalMark());
    showRating(rating_, evaluation_, decimalMark());
    const auto [from, to] = chartDistanceRange(evaluation_);
    curve_ = prognosisCurve(prognosisModel_,
                            prognosisModel_ && link_ ? link_->inputTexts(*prognosisModel_) : std::vector<QString>(),
                            title_, from, to);
    const PrognosisCurve& curve = curve_;
    prognosisText_ = curve.note;
    prognosisLabel_->setText(prognosisText_);
    prognosisLabel_->setVisible(!prognosisText_.isEmpty());
    chart_->showEvaluation(evaluation_, curve);
    showNotes(actionNotes_);
    helpLink_->changed();
}

void MeasurementWindow::showNotes(const QStringList& notes)
{
    actionNotes_ = notes;
    QStringList all = notes;
    int leftOut = 0, outside = 0;
    for (const PositionRow& p : evaluation_.positions) {
        leftOut += p.use == PositionUse::LeftOut;
        outside += p.use == PositionUse::OutsideRange;
    }
    if (leftOut > 0)
        all << QStringLiteral("%1 nicht ausgewertet: rot markierte Zellen, der Grund steht unter „Hinweis“.")
                   .arg(count(leftOut, "Zeile wird", "Zeilen werden"));
    if (outside > 0)
        all << QStringLiteral("%1 außerhalb von %2 m bis %3 m (grau): gezeigt, nicht in den Regressionen.")
                   .arg(count(outside, "Position liegt", "Positionen liegen"),
                        qs(FormatResult(iso3382::kMinDistanceM, 2, decimalMark())),
                        qs(FormatResult(iso3382::kMaxDistanceM, 2, decimalMark())));
    note_->setText(all.join(u'\n'));
    note_->setVisible(!all.isEmpty());
    fitNote();
}

void MeasurementWindow::fitNote()
{
    // A wrapped label does not ask its layout for the height it needs
    // across the splitter: it is given it here, for the width it has.
    const int width = note_->width() > 40 ? note_->width() : table_->width();
    note_->setMinimumHeight(note_->text().isEmpty() ? 0 : note_->heightForWidth(width));
}

void MeasurementWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitNote();
}

QString MeasurementWindow::note() const { return note_->isVisible() ? note_->text() : QString(); }

QString MeasurementWindow::prognosisText() const { return prognosisText_; }

QString MeasurementWindow::resultText(int row, int column) const { return resultsGridText(results_, row, column); }


// --- commands -----------------------------------------------------------------

void MeasurementWindow::copyResults()
{
    const CopyTable table = resultsCopy(evaluation_, windowTitle().toStdString(), decimalMark());
    auto* mime = new QMimeData;
    mime->setText(qs(tableAsText(table)));
    mime->setHtml(qs(tableAsHtml(table)));
    QApplication::clipboard()->setMimeData(mime);
}

bool MeasurementWindow::openCsv()
{
    const QString path = askOpenFile(this, FileKind::Csv, QStringLiteral("CSV öffnen"),
                                     {QStringLiteral("CSV-Dateien (*.csv)"), QStringLiteral("Textdateien (*.txt)"),
                                      QStringLiteral("Alle Dateien (*)")});
    return !path.isEmpty() && openCsvFile(path);
}

bool MeasurementWindow::openCsvFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const MeasurementFile file = readMeasurementFile(path, name);
    if (!file.read) {
        showNotes(file.notes);
        return false;
    }
    model_->setPositions({});
    PasteOutcome outcome = model_->paste(0, 0, file.table);
    outcome.notes[0] = QStringLiteral("%1 aus „%2“ gelesen.").arg(count(outcome.rows, "Zeile", "Zeilen"), name);
    showNotes(outcome.notes + file.notes);
    table_->setCurrentIndex(model_->index(0, 0));
    return true;
}

bool MeasurementWindow::saveCsv()
{
    const bool decimalComma = QLocale().decimalPoint() == QLatin1String(",");
    const TextTable table = model_->textTable(decimalComma ? "," : ".");
    if (table.rows.empty()) {
        showNotes({QStringLiteral("Die Tabelle ist leer; es gibt nichts zu speichern.")});
        return false;
    }
    const QString path = askSaveFile(this, FileKind::Csv, QStringLiteral("CSV speichern"),
                                     QStringLiteral("Messung ISO 3382-3"), {QStringLiteral("CSV-Dateien (*.csv)")});
    return !path.isEmpty() && saveCsvTables(this, path, {table}, decimalComma, saveFailureText());
}

MeasurementReport MeasurementWindow::report() const
{
    return measurementReport(windowTitle(), model_->textTable(decimalMark()), evaluation_, prognosisText_,
                             decimalMark());
}

bool MeasurementWindow::saveReport()
{
    if (model_->textTable(".").rows.empty()) {
        showNotes({QStringLiteral("Die Tabelle ist leer; für einen Bericht fehlen die Messwerte.")});
        return false;
    }
    const QString path = askSaveFile(this, FileKind::Pdf, QStringLiteral("Bericht als PDF speichern"),
                                     QStringLiteral("Messauswertung ISO 3382-3"), {QStringLiteral("PDF-Dokumente (*.pdf)")});
    if (path.isEmpty())
        return false;
    const MeasurementReport content = report();
    return saveAtomically(
        this, path, [&](QSaveFile& f) { return writeReportPdf(&f, content, evaluation_, curve_); },
        saveFailureText());
}

QWidget* MeasurementWindow::showHelp()
{
    return openEvaluationHelp(this, iso3382Model(), [this] { return iso3382Input(model_->positions()); }, helpLink_);
}

void MeasurementWindow::fitResultsPane()
{
    // The results and the rating whole below the chart, where the chart
    // keeps the height it needs to be read; the rest scrolls.
    const int width = resultsArea_->viewport()->width();
    int needed = lower_->heightForWidth(width);
    if (needed < 0)
        needed = lower_->sizeHint().height();
    const int total = rightSplitter_->height() - rightSplitter_->handleWidth();
    const int chart = std::max(rightSplitter_->widget(0)->minimumSizeHint().height(), total * 11 / 20);
    const int lower = std::min(needed + 2, std::max(total - chart, resultsArea_->minimumHeight()));
    rightSplitter_->setSizes({total - lower, lower});
}

void MeasurementWindow::showEvent(QShowEvent* event)
{
    if (!fitted_) {
        fitted_ = true;
        fitResultsPane();
    }
    QWidget::showEvent(event);
}

QWidget* openMeasurementWindow(const CompanionRequest& request)
{
    // Closing hides it, with its table: F3 shows it again. It is deleted
    // with its calculator (without one, when it is closed).
    return openEvaluationCompanion(request, kObjectName, [&request] { return new MeasurementWindow(request); });
}

}  // namespace orvella
