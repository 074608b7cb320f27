// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementwindow.h"

#include "clipboardtext.h"
#include "iso3382.h"
#include "iso3382help.h"
#include "measurementreport.h"
#include "measurementtable.h"
#include "measurementtexts.h"
#include "numbers.h"
#include "savefile.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>

namespace orvella {

namespace {

const QString kObjectName = QStringLiteral("measurementWindow");
const QString kHelpName = QStringLiteral("measurementHelp");
const QString kCsvFilter = QStringLiteral("CSV-Dateien (*.csv);;Textdateien (*.txt);;Alle Dateien (*)");
const QString kPdfFilter = QStringLiteral("PDF-Dokumente (*.pdf)");
// A measurement along a line has a few dozen rows; a file far larger than
// any such table is not read into memory.
constexpr qint64 kLargestCsvBytes = 20 * 1024 * 1024;
// The chart in the report, in pixels: about 17 cm wide on paper, where the
// program's font comes out at some 8 points.
const QSize kReportChartSize(680, 560);
// Points of the prognosis curve across the chart.
constexpr int kPrognosisPoints = 81;

std::string decimalMark() { return QLocale().decimalPoint().toStdString(); }

// Text saved as UTF-16 without a byte order mark: in Latin text every
// second byte is a NUL, the high byte of each character; NULs at odd
// offsets mean little-endian, at even offsets big-endian. Nothing when the
// beginning of the file does not look so.
std::optional<QStringConverter::Encoding> unmarkedUtf16(const QByteArray& bytes)
{
    const qsizetype n = std::min<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i < n; ++i)
        if (bytes[i] == '\0')
            ++(i % 2 ? odd : even);
    const qsizetype characters = n / 2;
    if (characters == 0)
        return std::nullopt;
    if (2 * odd >= characters && 8 * even < characters)
        return QStringConverter::Utf16LE;
    if (2 * even >= characters && 8 * odd < characters)
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

SaveFailureText saveFailureText()
{
    SaveFailureText text;
    text.title = QStringLiteral("Messauswertung ISO 3382-3");
    return text;
}
QString qs(const std::string& s) { return QString::fromStdString(s); }

MeasurementFileDialog& fileDialog()
{
    static MeasurementFileDialog dialog;
    return dialog;
}

QString& lastFolder()
{
    static QString folder = QDir::homePath();
    return folder;
}

// The calculator whose prognosis the chart shows: one that computes the
// level `lr` over the distance `r`.
const CalculatorModel* prognosisModelOf(const CompanionRequest& request)
{
    for (const CalculatorModel* m : request.models)
        if (m->computes() && m->inputIndex("r") >= 0 && m->resultIndex("lr") >= 0)
            return m;
    return nullptr;
}

// The results an evaluation has, whatever its rows: the rows of the grid.
std::size_t emptyResultCount() { return evaluateIso3382({}, ".").results.size(); }

QString count(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

}  // namespace

void setMeasurementFileDialog(MeasurementFileDialog dialog) { fileDialog() = std::move(dialog); }

MeasurementWindow::MeasurementWindow(const CompanionRequest& request)
    : link_(request.link), title_(request.title), prognosisModel_(prognosisModelOf(request))
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

    const struct {
        const char* name;
        const char* text;
        const char* tip;
    } commands[] = {
        {"insertRow", "Zeile &einfügen", "Eine leere Zeile über der aktuellen (Strg+Plus)"},
        {"removeRows", "Zeilen &löschen", "Die markierten Zeilen löschen (Strg+Minus)"},
        {"openCsv", "CSV ö&ffnen…", "Messwerte aus einer CSV-Datei lesen (Strg+O)"},
        {"saveCsv", "CSV &speichern…", "Die Messwerte als CSV-Datei speichern (Strg+S)"},
        {"copyResults", "Ergebnisse &kopieren", "Ergebnisse und Bewertung kopieren (Strg+Umschalt+C)"},
        {"saveReport", "Bericht als &PDF…", "Tabelle, Ergebnisse, Bewertung, Diagramm und Verfahren als PDF "
                                            "(Strg+P)"},
        {"help", "&Hilfe", "Was gemessen wird, das Verfahren und seine Grenzen (F1)"},
        {"close", "Schließen", "Das Fenster schließen; die Tabelle bleibt erhalten (Esc)"},
    };
    auto* buttons = new QGridLayout;
    QList<QPushButton*> buttonList;
    for (int i = 0; i < int(std::size(commands)); ++i) {
        auto* b = new QPushButton(QString::fromUtf8(commands[i].text));
        b->setObjectName(QString::fromLatin1(commands[i].name));
        b->setToolTip(QString::fromUtf8(commands[i].tip));
        b->setAutoDefault(false);
        buttons->addWidget(b, i / 2, i % 2);
        buttonList << b;
    }
    leftLayout->addLayout(buttons);
    connect(buttonList[0], &QPushButton::clicked, table_, &MeasurementTableView::insertRow);
    connect(buttonList[1], &QPushButton::clicked, table_, &MeasurementTableView::removeSelectedRows);
    connect(buttonList[2], &QPushButton::clicked, this, &MeasurementWindow::openCsv);
    connect(buttonList[3], &QPushButton::clicked, this, &MeasurementWindow::saveCsv);
    connect(buttonList[4], &QPushButton::clicked, this, &MeasurementWindow::copyResults);
    connect(buttonList[5], &QPushButton::clicked, this, &MeasurementWindow::saveReport);
    connect(buttonList[6], &QPushButton::clicked, this, &MeasurementWindow::showHelp);
    connect(buttonList[7], &QPushButton::clicked, this, &QWidget::close);

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

    const auto shortcut = [this](const QKeySequence& key, auto slot) {
        auto* s = new QShortcut(key, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_F1), &MeasurementWindow::showHelp);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &MeasurementWindow::copyResults);
    shortcut(QKeySequence::Open, &MeasurementWindow::openCsv);
    shortcut(QKeySequence::Save, &MeasurementWindow::saveCsv);
    shortcut(QKeySequence::Print, &MeasurementWindow::saveReport);

    connect(model_, &MeasurementTableModel::edited, this, &MeasurementWindow::edited);
    connect(table_, &MeasurementTableView::pasted, this,
            [this](const PasteOutcome& outcome) { showNotes(outcome.notes); });

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
    curve_ = prognosis(from, to);
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

PrognosisCurve MeasurementWindow::prognosis(double from, double to) const
{
    PrognosisCurve curve;
    if (!prognosisModel_)
        return curve;
    const CalculatorModel& m = *prognosisModel_;
    curve.label = QStringLiteral("Prognose %1(%2)").arg(qs(m.results[std::size_t(m.resultIndex("lr"))].symbol),
                                                         qs(m.inputs[std::size_t(m.inputIndex("r"))].symbol));
    const std::vector<QString> texts = link_ ? link_->inputTexts(m) : std::vector<QString>(m.inputs.size());
    std::vector<double> inputs;
    for (std::size_t i = 0; i < m.inputs.size(); ++i) {
        const InputQuantity& q = m.inputs[i];
        try {
            inputs.push_back(readInput(q, texts[i].toStdString()));
        } catch (const ArithmeticError&) {
            curve.note = QStringLiteral("Keine Prognose: %1 im Rechner ist zu groß, um gelesen zu werden.")
                             .arg(qs(q.label));
            return curve;
        }
    }
    // What the prognosis is computed from: its results at the calculator's
    // own inputs, except the level that the curve shows.
    const Evaluation current = evaluate(m, inputs);
    if (current.ok) {
        QStringList values;
        for (std::size_t i = 0; i < m.results.size(); ++i) {
            if (m.results[i].key == "lr")
                continue;
            try {
                values << QStringLiteral("%1 = %2 %3")
                              .arg(qs(m.results[i].symbol),
                                   qs(FormatResult(current.results[i], m.results[i].decimals, decimalMark())),
                                   qs(m.results[i].unit));
            } catch (const ArithmeticError&) {
            }
        }
        curve.note = QStringLiteral("%1 mit den Eingaben des Rechners „%2“: %3.")
                         .arg(curve.label, title_, values.join(QStringLiteral(", ")));
    }
    const int r = m.inputIndex("r");
    const int lr = m.resultIndex("lr");
    for (int i = 0; i < kPrognosisPoints; ++i) {
        const double distance = from * std::pow(to / from, double(i) / (kPrognosisPoints - 1));
        inputs[std::size_t(r)] = distance;
        const Evaluation e = evaluate(m, inputs);
        if (e.ok)
            curve.points << QPointF(distance, e.results[std::size_t(lr)]);
    }
    if (curve.points.isEmpty())
        curve.note = QStringLiteral("Keine Prognose: mit den Eingaben des Rechners „%1“ hat die Berechnung kein "
                                    "Ergebnis.")
                         .arg(title_);
    return curve;
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

QString MeasurementWindow::askFile(const QString& caption, const QString& suggestedName, const QString& filter,
                                   bool save)
{
    const QString suggested = QDir(lastFolder()).filePath(suggestedName);
    QString path;
    if (fileDialog())
        path = fileDialog()(this, caption, suggested, filter, save);
    else if (save)
        path = QFileDialog::getSaveFileName(this, caption, suggested, filter);
    else
        path = QFileDialog::getOpenFileName(this, caption, lastFolder(), filter);
    if (!path.isEmpty())
        lastFolder() = QFileInfo(path).absolutePath();
    return path;
}

bool MeasurementWindow::openCsv()
{
    const QString path = askFile(QStringLiteral("CSV öffnen"), QString(), kCsvFilter, false);
    return !path.isEmpty() && openCsvFile(path);
}

bool MeasurementWindow::openCsvFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    try {
        return readCsvFile(path, name);
    } catch (const std::bad_alloc&) {
        showNotes({QStringLiteral("Für „%1“ reicht der Speicher nicht; die Tabelle bleibt, wie sie ist.").arg(name)});
        return false;
    }
}

bool MeasurementWindow::readCsvFile(const QString& path, const QString& name)
{
    // Only a regular file: a device such as /dev/zero never ends, and
    // opening a named pipe waits for a writer that may never come.
    const QString notAFile =
        QStringLiteral("„%1“ ist keine gewöhnliche Datei und wird nicht gelesen; die Tabelle bleibt, wie sie ist.")
            .arg(name);
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        showNotes({notAFile});
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showNotes({QStringLiteral("„%1“ kann nicht gelesen werden (%2); die Tabelle bleibt, wie sie ist.")
                       .arg(name, file.errorString())});
        return false;
    }
    if (file.isSequential()) {
        showNotes({notAFile});
        return false;
    }
    // The size the file system gives may be wrong (0 for some files that
    // hold text): at most one byte more than the limit is read.
    const QByteArray bytes = file.size() > kLargestCsvBytes ? QByteArray() : file.read(kLargestCsvBytes + 1);
    if (file.size() > kLargestCsvBytes || bytes.size() > kLargestCsvBytes) {
        const QLocale locale;
        showNotes({QStringLiteral("„%1“ ist mit mehr als %2 MB zu groß für eine Messreihe; die Tabelle bleibt, "
                                  "wie sie ist.")
                       .arg(name, locale.toString(kLargestCsvBytes / (1024 * 1024)))});
        return false;
    }
    QStringList notes;
    // A byte order mark names the encoding: spreadsheets save "Unicode
    // text" as UTF-16 with one. Without a mark, text in UTF-16 shows by its
    // NULs; otherwise it is UTF-8 when it reads as such.
    std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(bytes);
    if (!encoding) {
        encoding = unmarkedUtf16(bytes);
        if (encoding)
            notes << QStringLiteral("Die Datei ist in UTF-16 ohne Byte-Order-Mark geschrieben; sie wurde als "
                                    "UTF-16 gelesen.");
    }
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    QString text = decoder(bytes);
    if (decoder.hasError() && !encoding) {
        // Spreadsheets under Windows write their own code page.
        QStringDecoder windows("windows-1252");
        if (!windows.isValid())
            windows = QStringDecoder(QStringConverter::Latin1);
        text = windows(bytes);
        notes << QStringLiteral("Die Datei ist nicht in UTF-8 geschrieben; sie wurde als Windows-1252 (Latin-1) "
                                "gelesen.");
    }
    const PastedTable table = parsePastedTable(text.toStdString(), positionLimits());
    if (table.rows.empty()) {
        showNotes(QStringList{QStringLiteral("„%1“ enthält keine Zeile mit Messwerten; die Tabelle bleibt, wie "
                                             "sie ist.")
                                  .arg(name)} +
                  notes);
        return false;
    }
    model_->setPositions({});
    PasteOutcome outcome = model_->paste(0, 0, table);
    outcome.notes[0] = QStringLiteral("%1 aus „%2“ gelesen.").arg(count(outcome.rows, "Zeile", "Zeilen"), name);
    showNotes(outcome.notes + notes);
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
    QString path = askFile(QStringLiteral("CSV speichern"), QStringLiteral("Messung ISO 3382-3.csv"),
                           QStringLiteral("CSV-Dateien (*.csv)"), true);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    // Under German settings spreadsheets expect semicolons and a decimal
    // comma; with a byte order mark they read the text as UTF-8.
    const std::string text = "\xEF\xBB\xBF" + csvText(table, decimalComma);
    return saveAtomically(
        this, path,
        [&](QSaveFile& f) { return f.write(text.data(), qint64(text.size())) == qint64(text.size()); },
        saveFailureText());
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
    QString path = askFile(QStringLiteral("Bericht als PDF speichern"), QStringLiteral("Messauswertung ISO 3382-3.pdf"),
                           kPdfFilter, true);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
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

QWidget* MeasurementWindow::showHelp()
{
    QWidget* help = findCompanion(this, kHelpName);
    if (!help) {
        help = new QWidget;
        help->setObjectName(kHelpName);
        help->setWindowTitle(QStringLiteral("Hilfe – Messauswertung ISO 3382-3"));
        auto* browser = new QTextBrowser;
        browser->setObjectName(QStringLiteral("helpBrowser"));
        browser->document()->setDefaultStyleSheet(
            QStringLiteral("h1 { font-size: x-large; margin-bottom: 6px; }"
                           "h2 { font-size: large; margin-top: 16px; margin-bottom: 4px; }"));
        browser->document()->setDocumentMargin(12);
        browser->setHtml(qs(iso3382HelpHtml(decimalMark())));
        auto* close = new QPushButton(QStringLiteral("Schließen"));
        close->setAutoDefault(false);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(close);
        auto* layout = new QVBoxLayout(help);
        layout->addWidget(browser, 1);
        layout->addLayout(buttons);
        connect(close, &QPushButton::clicked, help, &QWidget::close);
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), help);
        connect(escape, &QShortcut::activated, help, &QWidget::close);
        attachCompanion(this, help);
        help->resize(680, 780);
    }
    raiseCompanion(help);
    return help;
}

void MeasurementWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape reaches the window only when no cell is being edited.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
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
    if (stale_) {
        stale_ = false;
        recompute();
    }
    QWidget::showEvent(event);
}

QWidget* openMeasurementWindow(const CompanionRequest& request)
{
    QWidget* window = findCompanion(request.owner, kObjectName);
    if (!window) {
        auto* measurement = new MeasurementWindow(request);
        attachCompanion(request.owner, measurement);
        // Closing hides it, with its table: F3 shows it again. It is deleted
        // with its calculator (without one, when it is closed).
        if (request.owner)
            measurement->setAttribute(Qt::WA_DeleteOnClose, false);
        window = measurement;
    }
    raiseCompanion(window);
    return window;
}

}  // namespace orvella
