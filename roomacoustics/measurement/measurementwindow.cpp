// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementwindow.h"

#include "clipboardtext.h"
#include "companioncommands.h"
#include "companionfiles.h"
#include "iso3382.h"
#include "iso3382help.h"
#include "measurementfile.h"
#include "measurementhelpwindow.h"
#include "measurementprognosis.h"
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
#include <QHBoxLayout>
#include <QHeaderView>
#include <QResizeEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace orvella {

namespace {

const QString kObjectName = QStringLiteral("measurementWindow");
// The chart in the report, in pixels: about 17 cm wide on paper, where the
// program's font comes out at some 8 points.
const QSize kReportChartSize(680, 560);

std::string decimalMark() { return QLocale().decimalPoint().toStdString(); }

SaveFailureText saveFailureText()
{
    SaveFailureText text;
    text.title = QStringLiteral("Messauswertung ISO 3382-3");
    return text;
}
QString qs(const std::string& s) { return QString::fromStdString(s); }

// The results an evaluation has, whatever its rows: the rows of the grid.
std::size_t emptyResultCount() { return evaluateIso3382({}, ".").results.size(); }

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
    : link_(request.link), title_(request.title), prognosisModel_(prognosisModelOf(request.models))
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

    // The results: a row each, the name and the note wrapped.
    auto* resultsBox = new QGroupBox(QStringLiteral("Ergebnisse"));
    resultsBox->setObjectName(QStringLiteral("results"));
    results_ = new QGridLayout(resultsBox);
    results_->setHorizontalSpacing(12);
    results_->setVerticalSpacing(4);
    const char* const headings[] = {"Größe", "Bezeichnung", "Wert", "Einheit", "Hinweis"};
    for (int c = 0; c < 5; ++c) {
        auto* heading = new QLabel(QStringLiteral("<b>%1</b>").arg(QString::fromUtf8(headings[c])));
        heading->setAlignment(c == 2 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
        results_->addWidget(heading, 0, c);
    }
    for (int r = 1; r <= int(emptyResultCount()); ++r)
        for (int c = 0; c < 5; ++c) {
            auto* label = new QLabel;
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(c == 1 || c == 4);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            if (c == 2) {
                QFont bold = label->font();
                bold.setBold(true);
                label->setFont(bold);
                label->setAlignment(Qt::AlignRight | Qt::AlignTop);
            } else {
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            }
            results_->addWidget(label, r, c);
        }
    results_->setColumnStretch(1, 3);
    results_->setColumnStretch(4, 2);

    auto* ratingBox = new QGroupBox(ratingHeading());
    rating_ = new QGridLayout(ratingBox);
    rating_->setColumnStretch(2, 1);
    for (int i = 0; i < 3; ++i) {
        auto* requirement = new QLabel;
        auto* value = new QLabel;
        auto* verdict = new QLabel;
        verdict->setObjectName(QStringLiteral("verdict%1").arg(i));
        rating_->addWidget(requirement, i, 0);
        rating_->addWidget(value, i, 1);
        rating_->addWidget(verdict, i, 2);
    }
    rating_->setHorizontalSpacing(18);

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
    refresh_ = new QTimer(this);
    refresh_->setSingleShot(true);
    refresh_->setInterval(0);
    connect(refresh_, &QTimer::timeout, this, [this] {
        if (isVisible())
            recompute();
        else
            stale_ = true;
    });
    if (prognosisModel_ && link_)
        connect(link_, &CompanionLink::inputsChanged, refresh_, qOverload<>(&QTimer::start));

    recompute();
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
    updateResults();
    updateRating();
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

void MeasurementWindow::updateResults()
{
    const TextTable table = resultsTable(evaluation_.results, decimalMark());
    for (int r = 0; r < int(table.rows.size()) && r + 1 < results_->rowCount(); ++r)
        for (int c = 0; c < 5; ++c)
            static_cast<QLabel*>(results_->itemAtPosition(r + 1, c)->widget())
                ->setText(qs(table.rows[std::size_t(r)][std::size_t(c)]));
}

QString MeasurementWindow::resultText(int row, int column) const
{
    QLayoutItem* item = results_->itemAtPosition(row + 1, column);
    return item ? static_cast<QLabel*>(item->widget())->text() : QString();
}

void MeasurementWindow::updateRating()
{
    const std::vector<RatingLine> lines = ratingLines(evaluation_, decimalMark());
    for (int i = 0; i < int(lines.size()) && i < rating_->rowCount(); ++i) {
        const RatingLine& line = lines[std::size_t(i)];
        static_cast<QLabel*>(rating_->itemAtPosition(i, 0)->widget())->setText(line.requirement);
        static_cast<QLabel*>(rating_->itemAtPosition(i, 1)->widget())->setText(line.value);
        auto* verdict = static_cast<QLabel*>(rating_->itemAtPosition(i, 2)->widget());
        verdict->setText(QStringLiteral("<b><font color=\"%1\">%2 %3</font></b>")
                             .arg(verdictColor(line.met).name(),
                                  line.met ? (*line.met ? QStringLiteral("✔") : QStringLiteral("✘"))
                                           : QStringLiteral("–"),
                                  verdictText(line.met)));
        verdict->setAccessibleName(line.requirement + QStringLiteral(": ") + verdictText(line.met));
    }
}

// --- commands -----------------------------------------------------------------

void MeasurementWindow::copyResults()
{
    CopyTable table;
    table.caption = windowTitle().toStdString();
    const std::string mark = decimalMark();
    for (const ResultValue& r : evaluation_.results) {
        std::string label = r.quantity.label + " " + r.quantity.symbol;
        if (!r.quantity.unit.empty())
            label += " [" + r.quantity.unit + "]";
        table.rows.push_back({label, valueText(r, mark), false});
    }
    table.rows.push_back({ratingHeading().toStdString(), {}, true});
    for (const RatingLine& line : ratingLines(evaluation_, mark))
        table.rows.push_back({line.requirement.toStdString(), verdictText(line.met).toStdString(), false});
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
    MeasurementReport r;
    r.title = windowTitle();
    r.when = QDateTime::currentDateTime();
    const std::string mark = decimalMark();
    r.positions = model_->textTable(mark);
    r.positions.header.emplace_back("Hinweis");
    std::size_t row = 0;
    for (const PositionRow& p : evaluation_.positions) {
        if (p.use == PositionUse::Empty)
            continue;
        if (row < r.positions.rows.size())
            r.positions.rows[row++].push_back(p.note);
    }
    r.results = resultsTable(evaluation_.results, mark);
    r.rating = ratingLines(evaluation_, mark);
    r.prognosis = prognosisText_;
    r.methodHtml = qs(iso3382MethodHtml(mark));
    return r;
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
    // The chart of the report is drawn at a size of its own, whatever the
    // size of the window: its labels and legend come out the same on paper
    // every time. Laid out, never shown on the screen.
    MeasurementChart printed;
    printed.setAttribute(Qt::WA_DontShowOnScreen);
    printed.resize(kReportChartSize);
    printed.showEvaluation(evaluation_, curve_);
    printed.show();
    // Aligning the two panels lays them out again; a few rounds settle it.
    for (int round = 0; round < 4; ++round)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const MeasurementReport content = report();
    return saveAtomically(
        this, path, [&](QSaveFile& f) { return writeReportPdf(&f, content, printed); },
        saveFailureText());
}

QWidget* MeasurementWindow::showHelp() { return openMeasurementHelp(this); }

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
    if (stale_) {
        stale_ = false;
        recompute();
    }
    QWidget::showEvent(event);
}

QWidget* openMeasurementWindow(const CompanionRequest& request)
{
    // Closing hides it, with its table: F3 shows it again. It is deleted
    // with its calculator (without one, when it is closed).
    return openOrRaiseCompanion(request.owner, kObjectName, OnClose::Hide,
                                [&request] { return new MeasurementWindow(request); });
}

}  // namespace orvella
