// SPDX-License-Identifier: GPL-3.0-or-later
#include "levellistwindow.h"

#include "companioncommands.h"
#include "companionfiles.h"
#include "evaluationhistory.h"
#include "keypadmodel.h"
#include "levellistdescription.h"
#include "levellistmodel.h"
#include "levellistresults.h"
#include "levellisttext.h"
#include "pastedtext.h"
#include "resultvalue.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace orvella {

namespace {

const QString kObjectName = QStringLiteral("levelListWindow");

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void setLevelListFileDialog(LevelListFileDialog dialog)
{
    if (!dialog) {
        setFileDialog({});
        return;
    }
    setFileDialog([dialog](QWidget* parent, const QString&, const QString& suggested, const QString&, QString*) {
        return dialog(parent, suggested);
    });
}

LevelListWindow::LevelListWindow(const CompanionRequest& request)
    : owner_(request.owner), request_(request), helpLink_(new EvaluationLink(this))
{
    setObjectName(kObjectName);
    setWindowTitle(QStringLiteral("Pegelliste – ") + request.title);

    auto* backgroundLabel = new QLabel(QStringLiteral("&Fremdgeräusch LB [dB]:"));
    background_ = new QLineEdit;
    background_->setObjectName(QStringLiteral("background"));
    background_->setPlaceholderText(QStringLiteral("ohne Korrektur"));
    background_->setToolTip(QStringLiteral("Der Pegel bei abgeschalteter Quelle; leer: ohne Korrektur"));
    background_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("ohne Korrektur")) + 24);
    backgroundLabel->setBuddy(background_);
    auto* top = new QHBoxLayout;
    top->addWidget(backgroundLabel);
    top->addWidget(background_);
    top->addStretch(1);

    // Left: the list and what edits it.
    model_ = new LevelListModel(this);
    list_ = new LevelListView;
    list_->setModel(model_);
    for (int c : {LevelListModel::Level, LevelListModel::Delta, LevelListModel::K1, LevelListModel::Corrected})
        list_->setColumnWidth(c, list_->fontMetrics().horizontalAdvance(LevelListModel::columnTitle(c)) + 24);
    list_->setColumnWidth(LevelListModel::Name, list_->fontMetrics().horizontalAdvance(u'x') * 12);
    list_->setColumnWidth(LevelListModel::Flag,
                          list_->fontMetrics().horizontalAdvance(QStringLiteral("keine Korrektur nötig")) + 16);
    // The commands: the list's own (its keys work while it has the keyboard;
    // Ctrl+V anywhere in the window but in a text field), then the window's.
    connect(list_, &LevelListView::pasteRequested, this, &LevelListWindow::pasteText);
    connect(list_, &LevelListView::deleteRequested, this, &LevelListWindow::deleteSelectedRows);
    connect(list_, &LevelListView::message, this, &LevelListWindow::setStatus);
    list_->pasteAction()->setShortcutContext(Qt::WindowShortcut);
    const auto withTip = [](QPushButton* b, const QString& tip) {
        b->setToolTip(tip);
        return b;
    };
    auto* pasteButton = withTip(commandButton(list_->pasteAction(), QStringLiteral("paste")),
                                QStringLiteral("Die Pegel aus der Zwischenablage am Ende anfügen; aus einer Tabelle "
                                               "eine Spalte (Strg+V)"));
    auto* deleteButton = withTip(commandButton(list_->deleteAction(), QStringLiteral("deleteRows")),
                                 QStringLiteral("Die Zeilen der markierten Zellen löschen (Entf)"));
    auto* clearButton = commandButton(
        addCompanionCommand(this, QStringLiteral("Lis&te leeren"), {}, &LevelListWindow::clearList),
        QStringLiteral("clearList"));
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(pasteButton);
    listButtons->addWidget(deleteButton);
    listButtons->addWidget(clearButton);
    listButtons->addStretch(1);
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(list_, 1);
    leftLayout->addLayout(listButtons);

    // Right: the results, their notes and "In den Rechner".
    results_ = new QTableWidget(0, ResultColumns);
    results_->setObjectName(QStringLiteral("results"));
    results_->setHorizontalHeaderLabels(levelListResultTitles());
    results_->verticalHeader()->setVisible(false);
    results_->setSelectionMode(QAbstractItemView::SingleSelection);
    results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    results_->setWordWrap(false);
    results_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    results_->horizontalHeader()->setSectionResizeMode(MeaningColumn, QHeaderView::Stretch);
    notes_ = new QLabel;
    notes_->setObjectName(QStringLiteral("notes"));
    notes_->setWordWrap(true);
    notes_->setTextFormat(Qt::PlainText);
    notes_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    typeButton_ = withTip(
        commandButton(addCompanionCommand(this, QStringLiteral("In den &Rechner"), {},
                                          &LevelListWindow::typeIntoCalculator),
                      QStringLiteral("typeIntoCalculator")),
        QStringLiteral("Das markierte Ergebnis (sonst die energetische Summe) in die Anzeige des dB Calculators "
                       "tippen"));
    typeButton_->setVisible(bool(request.typeKeys));
    auto* resultButtons = new QHBoxLayout;
    resultButtons->addStretch(1);
    resultButtons->addWidget(typeButton_);
    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(results_);
    rightLayout->addWidget(notes_, 1);
    rightLayout->addLayout(resultButtons);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);

    auto* helpButton = withTip(commandButton(addCompanionCommand(this, QStringLiteral("&Hilfe"),
                                                                 QKeySequence(Qt::Key_F1), &LevelListWindow::showHelp),
                                             QStringLiteral("help")),
                               QStringLiteral("Formeln und Rechenweg mit Ihren Pegeln (F1)"));
    auto* closeButton = commandButton(addCompanionCommand(this, QStringLiteral("Schließen"), {}, &QWidget::close),
                                      QStringLiteral("close"));
    auto* copyButton = withTip(
        commandButton(addCompanionCommand(this, QStringLiteral("&Kopieren"),
                                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &LevelListWindow::copyAll),
                      QStringLiteral("copy")),
        QStringLiteral("Ergebnisse und Pegel als Tabelle in die Zwischenablage (Strg+Umschalt+C)"));
    auto* csvButton = withTip(commandButton(addCompanionCommand(this, QStringLiteral("CSV &speichern…"), {},
                                                                &LevelListWindow::saveCsv),
                                            QStringLiteral("saveCsv")),
                              QStringLiteral("Ergebnisse und Pegel als CSV-Datei speichern"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(copyButton);
    bottom->addWidget(csvButton);
    bottom->addStretch(1);
    bottom->addWidget(helpButton);
    bottom->addWidget(closeButton);

    status_ = new QStatusBar;
    status_->setObjectName(QStringLiteral("status"));
    status_->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);
    layout->addWidget(status_);

    connect(model_, &LevelListModel::levelsChanged, this, &LevelListWindow::recompute);
    connect(model_, &LevelListModel::rejected, this, &LevelListWindow::setStatus);
    connect(background_, &QLineEdit::textChanged, this, &LevelListWindow::recompute);
    connect(results_, &QTableWidget::cellDoubleClicked, this, [this] {
        if (typeButton_->isVisible())
            typeIntoCalculator();
    });

    recompute();
    new EvaluationHistory(this, levelListModel(), request, helpLink_,
                          [this] { return model_->snapshot(evaluation_.backgroundDb); },
                          [this](const EvaluationSnapshot& s) { background_->setText(model_->reopen(s)); });
    results_->setCurrentCell(1, ValueColumn);  // the energetic sum
    // The results table needs no scroll bar: its rows are fixed.
    results_->setMinimumHeight(results_->horizontalHeader()->sizeHint().height() +
                               results_->verticalHeader()->length() + 2 * results_->frameWidth());
    results_->setMaximumHeight(results_->minimumHeight());
    // The list as wide as all its columns (the corrected ones too, row
    // numbers up to 100000 and a scroll bar), the results as wide as theirs;
    // on a smaller screen both shrink in proportion.
    int listWidth = list_->fontMetrics().horizontalAdvance(QStringLiteral("1000")) + 8 + 2 * list_->frameWidth() +
                    list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 0; c < LevelListModel::ColumnCount; ++c)
        listWidth += list_->columnWidth(c);
    int resultsWidth = 2 * results_->frameWidth();
    for (int c = 0; c < ResultColumns; ++c) {
        int column = results_->horizontalHeader()->sectionSizeHint(c);
        for (int r = 0; r < results_->rowCount(); ++r)
            column = std::max(column, results_->fontMetrics().horizontalAdvance(results_->item(r, c)->text()) + 12);
        resultsWidth += column;
    }
    // "≤ " before a corrected result.
    resultsWidth += results_->fontMetrics().horizontalAdvance(QStringLiteral("≤ 100,00"));
    splitter->setSizes({listWidth, resultsWidth});
    setMinimumSize(720, 420);
    resize(listWidth + resultsWidth + 2 * layout->contentsMargins().left() + splitter->handleWidth(), 620);
    list_->setCurrentIndex(model_->index(model_->appendRow(), LevelListModel::Level));
    list_->setFocus();
}

std::optional<double> LevelListWindow::backgroundLevel(QString* problem) const
{
    const QString text = background_->text().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    const TableCell cell = readCell(text.toStdString());
    if (!cell.number) {
        *problem = QStringLiteral("„%1“ ist kein Pegel: ohne Fremdgeräusch gerechnet.").arg(text);
        return std::nullopt;
    }
    return cell.number;
}

void LevelListWindow::recompute()
{
    backgroundProblem_.clear();
    const std::optional<double> background = backgroundLevel(&backgroundProblem_);
    background_->setStyleSheet(backgroundProblem_.isEmpty() ? QString() : QStringLiteral("color: #c00000"));
    evaluation_ = evaluateLevelList(model_->levels(), background);
    model_->setEvaluation(&evaluation_);
    const bool corrected = background && evaluation_.backgroundNote.empty();
    for (int c = LevelListModel::Delta; c <= LevelListModel::Corrected; ++c)
        list_->setColumnHidden(c, !corrected);
    showResults();
    refreshHelp();
    emit evaluated();
}

QString LevelListWindow::resultText(const QString& key, bool corrected) const
{
    return levelListResultText(evaluation_, key.toStdString(), corrected);
}

void LevelListWindow::showResults()
{
    showLevelListResults(*results_, evaluation_);
    noteLines_ = levelListNotes(evaluation_, backgroundProblem_);
    notes_->setText(noteLines_.join(u'\n'));
}

QString LevelListWindow::notes() const { return notes_->text(); }

QString LevelListWindow::status() const { return status_->currentMessage(); }

void LevelListWindow::setStatus(const QString& text) { status_->showMessage(text); }

void LevelListWindow::paste() { list_->pasteClipboard(); }

void LevelListWindow::pasteText(const QString& text)
{
    const int before = model_->levelCount();
    setStatus(pasteLevels(this, *model_, text));
    if (model_->levelCount() != before) {
        list_->setCurrentIndex(model_->index(model_->appendRow(), LevelListModel::Level));
        list_->scrollToBottom();
    }
}

void LevelListWindow::deleteSelectedRows()
{
    const std::vector<int> rows = list_->selectedLevelRows();
    if (rows.empty()) {
        setStatus(QStringLiteral("Keine Zeile markiert."));
        return;
    }
    const int current = list_->currentIndex().row();
    model_->removeLevelRows(rows);
    setStatus(rows.size() == 1 ? QStringLiteral("1 Zeile gelöscht.")
                               : QStringLiteral("%1 Zeilen gelöscht.").arg(rows.size()));
    const int row = std::min(std::max(current - int(std::count_if(rows.begin(), rows.end(),
                                                                  [current](int r) { return r < current; })),
                                      0),
                             model_->appendRow());
    list_->setCurrentIndex(model_->index(row, LevelListModel::Level));
}

void LevelListWindow::clearList()
{
    const int n = model_->levelCount();
    model_->clear();
    setStatus(n == 0 ? QStringLiteral("Die Liste ist schon leer.") : QStringLiteral("Liste geleert (%1 Pegel).").arg(n));
}

bool LevelListWindow::typeIntoCalculator()
{
    if (!request_.typeKeys || !owner_) {
        setStatus(QStringLiteral("Kein dB Calculator, in den getippt werden kann."));
        return false;
    }
    int row = results_->currentRow();
    if (row < 0 || std::size_t(row) >= evaluation_.results.size())
        row = 1;  // the energetic sum
    const bool corrected = results_->currentColumn() == CorrectedColumn && !evaluation_.correctedResults.empty();
    const LevelListTyping typing = keysOfResult(
        evaluation_, std::size_t(row), corrected, keypadStateOf(request_.state ? request_.state() : WindowState{}));
    if (typing.typed)
        request_.typeKeys(typing.keys);
    setStatus(typing.status);
    return typing.typed;
}

void LevelListWindow::showHelp()
{
    openEvaluationHelp(
        this, levelListModel(),
        [this] {
            EvaluationInput input;
            input.rows.reserve(model_->levels().size());
            for (const double level : model_->levels())
                input.rows.push_back({level});
            input.parameters = {evaluation_.backgroundDb};
            return input;
        },
        helpLink_);
}

void LevelListWindow::refreshHelp() { helpLink_->changed(); }

QTextBrowser* LevelListWindow::help() const
{
    QWidget* window = findCompanion(this, QStringLiteral("helpWindow"));
    return window ? window->findChild<QTextBrowser*>() : nullptr;
}

TextTable LevelListWindow::resultsTable() const
{
    return levelListResultsTable(evaluation_, windowTitle().toStdString(), noteLines_);
}

TextTable LevelListWindow::levelsTable() const
{
    return levelListLevelsTable(*model_, evaluation_, [this](int c) { return !list_->isColumnHidden(c); });
}

void LevelListWindow::copyAll()
{
    const TextTable results = resultsTable();
    const TextTable levels = levelsTable();
    auto* mime = new QMimeData;
    mime->setText(qs(tabSeparatedText(results) + '\n' + tabSeparatedText(levels)));
    mime->setHtml(qs(htmlTable(results) + htmlTable(levels)));
    QApplication::clipboard()->setMimeData(mime);
    setStatus(QStringLiteral("Ergebnisse und %1 Pegel kopiert.").arg(model_->levelCount()));
}

bool LevelListWindow::saveCsv()
{
    const QString path = askSaveFile(this, FileKind::Csv, QStringLiteral("CSV speichern"), QStringLiteral("Pegelliste"),
                                     {QStringLiteral("CSV-Dateien (*.csv)"), QStringLiteral("Alle Dateien (*)")});
    if (path.isEmpty())
        return false;
    // The two tables are apart by an empty line.
    SaveFailureText failure;
    failure.title = QStringLiteral("Pegelliste");
    if (!saveCsvTables(this, path, {resultsTable(), levelsTable()}, decimalCommaSettings(), failure))
        return false;
    setStatus(QStringLiteral("Gespeichert: %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

QWidget* openLevelListWindow(const CompanionRequest& request)
{
    // Closing hides the list: opened again, it shows the same levels. It is
    // deleted with its calculator (without one, when it is closed).
    return openEvaluationCompanion(request, kObjectName, [&request] { return new LevelListWindow(request); });
}

}  // namespace orvella
