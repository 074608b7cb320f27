// SPDX-License-Identifier: GPL-3.0-or-later
#include "levellistwindow.h"

#include "keypadentry.h"
#include "keypadmodel.h"
#include "levellisthelp.h"
#include "levellistmodel.h"
#include "levellisttext.h"
#include "pastedtext.h"
#include "resultvalue.h"
#include "savefile.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <new>
#include <set>

namespace orvella {

namespace {

const QString kObjectName = QStringLiteral("levelListWindow");

// The columns of the results table.
enum ResultColumn { Symbol, Meaning, Value, CorrectedValue, Unit, ResultColumns };

QString qs(const std::string& s) { return QString::fromStdString(s); }
std::string decimalMark() { return QLocale().decimalPoint().toStdString(); }

// Results that only grow with every level: of corrected levels of which one
// is an upper bound, they are upper bounds too.
bool growsWithLevels(const std::string& key) { return key != "n" && key != "stddev" && key != "sumMinusMax"; }

QPushButton* button(const QString& text, const QString& name, const QString& tip = {})
{
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setToolTip(tip);
    return b;
}

LevelListFileDialog& fileDialog()
{
    static LevelListFileDialog dialog;
    return dialog;
}

LevelListColumnDialog& columnDialog()
{
    static LevelListColumnDialog dialog;
    return dialog;
}

// How many levels each column shows in the column dialog.
constexpr std::size_t kPreviewLevels = 5;

// Asks which column holds the levels: a list of the columns, each with its
// first levels, the suggested one current; Return takes it, Escape cancels.
std::optional<std::size_t> askColumn(QWidget* parent, const std::vector<QStringList>& preview,
                                     std::size_t suggested)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Spalte wählen – Pegelliste"));
    auto* question = new QLabel(QStringLiteral("Die Zeilen enthalten je %1 Zahlen. Welche Spalte enthält die Pegel?")
                                    .arg(preview.size()));
    question->setWordWrap(true);
    auto* columns = new QListWidget;
    columns->setObjectName(QStringLiteral("columns"));
    for (std::size_t c = 0; c < preview.size(); ++c)
        columns->addItem(QStringLiteral("Spalte %1: %2").arg(c + 1).arg(preview[c].join(QStringLiteral("; "))));
    columns->setCurrentRow(int(suggested) - 1);
    question->setBuddy(columns);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Einfügen"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(columns, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(question);
    layout->addWidget(columns, 1);
    layout->addWidget(buttons);
    columns->setFocus();
    dialog.resize(std::max(dialog.sizeHint().width(), 420), dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted || columns->currentRow() < 0)
        return std::nullopt;
    return std::size_t(columns->currentRow()) + 1;
}

// The folder of the last saved file, offered again in this session.
QString& lastFolder()
{
    static QString folder = QDir::homePath();
    return folder;
}

}  // namespace

void setLevelListFileDialog(LevelListFileDialog dialog) { fileDialog() = std::move(dialog); }

void setLevelListColumnDialog(LevelListColumnDialog dialog) { columnDialog() = std::move(dialog); }

// --- the list ---------------------------------------------------------------

LevelListView::LevelListView(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("levels"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAlternatingRowColors(true);
    setWordWrap(false);
    // Fixed row heights: a list of 100 000 levels is laid out without
    // measuring a row.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
}

std::vector<int> LevelListView::selectedLevelRows() const
{
    std::set<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedIndexes())
        rows.insert(i.row());
    const int levels = model() ? model()->rowCount() - 1 : 0;
    std::vector<int> out;
    for (int r : rows)
        if (r < levels)
            out.push_back(r);
    return out;
}

void LevelListView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deleteRequested();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void LevelListView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const QModelIndex edited = currentIndex();
    QTableView::closeEditor(editor, hint);
    // Return (the delegate submits) goes on to the row below.
    if (hint == QAbstractItemDelegate::SubmitModelCache && edited.isValid()) {
        const QModelIndex below = model()->index(edited.row() + 1, edited.column());
        if (below.isValid()) {
            setCurrentIndex(below);
            scrollTo(below);
        }
    }
}

// --- the window -------------------------------------------------------------

LevelListWindow::LevelListWindow(const CompanionRequest& request) : owner_(request.owner), request_(request)
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
    auto* pasteButton = button(QStringLiteral("&Einfügen"), QStringLiteral("paste"),
                               QStringLiteral("Die Pegel aus der Zwischenablage am Ende anfügen; aus einer Tabelle eine "
                                              "Spalte (Strg+V)"));
    auto* deleteButton = button(QStringLiteral("Zeilen &löschen"), QStringLiteral("deleteRows"),
                                QStringLiteral("Die Zeilen der markierten Zellen löschen (Entf)"));
    auto* clearButton = button(QStringLiteral("Lis&te leeren"), QStringLiteral("clearList"));
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
    results_->setHorizontalHeaderLabels({QStringLiteral("Größe"), QStringLiteral("Bedeutung"), QStringLiteral("Wert"),
                                         QStringLiteral("korrigiert"), QStringLiteral("Einheit")});
    results_->verticalHeader()->setVisible(false);
    results_->setSelectionMode(QAbstractItemView::SingleSelection);
    results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    results_->setWordWrap(false);
    results_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    results_->horizontalHeader()->setSectionResizeMode(Meaning, QHeaderView::Stretch);
    notes_ = new QLabel;
    notes_->setObjectName(QStringLiteral("notes"));
    notes_->setWordWrap(true);
    notes_->setTextFormat(Qt::PlainText);
    notes_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    typeButton_ = button(QStringLiteral("In den &Rechner"), QStringLiteral("typeIntoCalculator"),
                         QStringLiteral("Das markierte Ergebnis (sonst die energetische Summe) in die Anzeige "
                                        "des dB Calculators tippen"));
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

    auto* helpButton = button(QStringLiteral("&Hilfe"), QStringLiteral("help"),
                              QStringLiteral("Formeln und Rechenweg mit Ihren Pegeln (F1)"));
    auto* closeButton = button(QStringLiteral("Schließen"), QStringLiteral("close"));
    auto* copyButton = button(QStringLiteral("&Kopieren"), QStringLiteral("copy"),
                              QStringLiteral("Ergebnisse und Pegel als Tabelle in die Zwischenablage "
                                             "(Strg+Umschalt+C)"));
    auto* csvButton = button(QStringLiteral("CSV &speichern…"), QStringLiteral("saveCsv"),
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
    connect(list_, &LevelListView::deleteRequested, this, &LevelListWindow::deleteSelectedRows);
    connect(background_, &QLineEdit::textChanged, this, &LevelListWindow::recompute);
    connect(pasteButton, &QPushButton::clicked, this, &LevelListWindow::paste);
    connect(deleteButton, &QPushButton::clicked, this, &LevelListWindow::deleteSelectedRows);
    connect(clearButton, &QPushButton::clicked, this, &LevelListWindow::clearList);
    connect(typeButton_, &QPushButton::clicked, this, &LevelListWindow::typeIntoCalculator);
    connect(results_, &QTableWidget::cellDoubleClicked, this, [this] {
        if (typeButton_->isVisible())
            typeIntoCalculator();
    });
    connect(helpButton, &QPushButton::clicked, this, &LevelListWindow::showHelp);
    connect(copyButton, &QPushButton::clicked, this, &LevelListWindow::copyAll);
    connect(csvButton, &QPushButton::clicked, this, &LevelListWindow::saveCsv);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    const auto shortcut = [this](const QKeySequence& key, auto slot) {
        auto* s = new QShortcut(key, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    // A text field being edited keeps its own paste: QLineEdit takes the
    // key before the window's shortcut.
    shortcut(QKeySequence::Paste, &LevelListWindow::paste);
    shortcut(QKeySequence(Qt::Key_F1), &LevelListWindow::showHelp);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &LevelListWindow::copyAll);

    recompute();
    results_->setCurrentCell(1, Value);  // the energetic sum
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
    const std::vector<ResultValue>& results = corrected ? evaluation_.correctedResults : evaluation_.results;
    const ResultValue* r = findResult(results, key.toStdString());
    if (!r)
        return {};
    QString text = qs(valueText(*r, decimalMark()));
    const bool bound = corrected && r->value && growsWithLevels(r->quantity.key) &&
                       std::any_of(evaluation_.corrections.begin(), evaluation_.corrections.end(),
                                   [](const BackgroundCorrection& c) { return c.upperBound(); });
    return bound ? QStringLiteral("≤ ") + text : text;
}

void LevelListWindow::showResults()
{
    const std::vector<ResultValue>& results = evaluation_.results;
    const bool corrected = !evaluation_.correctedResults.empty();
    results_->setRowCount(int(results.size()));
    results_->setColumnHidden(CorrectedValue, !corrected);
    const auto set = [this](int row, int column, const QString& text, Qt::Alignment align) {
        QTableWidgetItem* item = results_->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            results_->setItem(row, column, item);
        }
        item->setText(text);
        item->setTextAlignment(align | Qt::AlignVCenter);
    };
    // The notes, each sentence once with the results it belongs to.
    std::vector<std::pair<std::string, QStringList>> notes;
    const auto note = [&notes](const std::string& text, const QString& symbol) {
        if (text.empty())
            return;
        for (auto& [t, symbols] : notes)
            if (t == text) {
                symbols << symbol;
                return;
            }
        notes.push_back({text, {symbol}});
    };
    for (std::size_t i = 0; i < results.size(); ++i) {
        const ResultValue& r = results[i];
        const QString key = qs(r.quantity.key);
        const int row = int(i);
        set(row, Symbol, qs(r.quantity.symbol), Qt::AlignLeft);
        set(row, Meaning, qs(r.quantity.label), Qt::AlignLeft);
        set(row, Value, resultText(key), Qt::AlignRight);
        set(row, CorrectedValue, corrected ? resultText(key, true) : QString(), Qt::AlignRight);
        set(row, Unit, qs(r.quantity.unit), Qt::AlignLeft);
        note(r.note, qs(r.quantity.symbol));
        if (corrected)
            note(evaluation_.correctedResults[i].note, qs(r.quantity.symbol) + QStringLiteral(" korrigiert"));
    }
    QStringList lines;
    if (!backgroundProblem_.isEmpty())
        lines << QStringLiteral("LB: ") + backgroundProblem_;
    if (!evaluation_.backgroundNote.empty())
        lines << QStringLiteral("LB: ") + qs(evaluation_.backgroundNote);
    for (const auto& [text, symbols] : notes)
        lines << symbols.join(QStringLiteral(", ")) + QStringLiteral(": ") + qs(text);
    notes_->setText(lines.join(u'\n'));
}

QString LevelListWindow::notes() const { return notes_->text(); }

QString LevelListWindow::status() const { return status_->currentMessage(); }

void LevelListWindow::setStatus(const QString& text) { status_->showMessage(text); }

void LevelListWindow::paste()
{
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    try {
        pasteText(mime ? mime->text() : QString());
    } catch (const std::bad_alloc&) {
        setStatus(QStringLiteral("Für den Text der Zwischenablage reicht der Speicher nicht; die Liste ist "
                                 "unverändert."));
    }
}

void LevelListWindow::pasteText(const QString& text)
{
    const QLocale locale;
    if (std::size_t(text.size()) > kMaxPastedChars) {
        setStatus(QStringLiteral("Der eingefügte Text ist mit %1 Zeichen zu lang (höchstens %2); die Liste ist "
                                 "unverändert.")
                      .arg(locale.toString(text.size()), locale.toString(qlonglong(kMaxPastedChars))));
        return;
    }
    const std::size_t room = kMaxLevels - std::min(kMaxLevels, std::size_t(model_->levelCount()));
    if (room == 0) {
        setStatus(QStringLiteral("Die Liste hat schon %1 Pegel, mehr fasst sie nicht; nichts eingefügt.")
                      .arg(locale.toString(qlonglong(kMaxLevels))));
        return;
    }
    PastedLevels pasted;
    QString columnText;
    try {
        const std::string utf8 = text.toStdString();
        const LevelColumns table = levelColumns(utf8);
        LevelColumnChoice choice;
        if (table.columns > 1) {
            std::vector<QStringList> preview(table.columns);
            for (std::size_t c = 0; c < table.columns; ++c)
                for (const PastedLevel& l : levelsFromText(utf8, {c + 1, table.columns}, kPreviewLevels).levels)
                    preview[c] << qs(levelText(l.levelDb, decimalMark()));
            const std::optional<std::size_t> column = columnDialog()
                                                          ? columnDialog()(this, preview, table.columns)
                                                          : askColumn(this, preview, table.columns);
            if (!column) {
                setStatus(QStringLiteral("Einfügen abgebrochen; die Liste ist unverändert."));
                return;
            }
            choice = {*column, table.columns};
            columnText = QStringLiteral(", Spalte %1 von %2").arg(*column).arg(table.columns);
        }
        pasted = levelsFromText(utf8, choice, room);
    } catch (const std::bad_alloc&) {
        setStatus(QStringLiteral("Für den eingefügten Text reicht der Speicher nicht; die Liste ist unverändert."));
        return;
    }
    QString left;
    if (pasted.unreadable == 1)
        left += QStringLiteral(" Eine Zahl ließ sich nicht lesen und fehlt.");
    else if (pasted.unreadable > 1)
        left += QStringLiteral(" %1 Zahlen ließen sich nicht lesen und fehlen.").arg(pasted.unreadable);
    if (pasted.linesSkipped == 1)
        left += QStringLiteral(" Eine Zeile mit anderer Anzahl Zahlen ist übersprungen.");
    else if (pasted.linesSkipped > 1)
        left += QStringLiteral(" %1 Zeilen mit anderer Anzahl Zahlen sind übersprungen.").arg(pasted.linesSkipped);
    if (pasted.moreLevels)
        left += QStringLiteral(" Die Liste fasst höchstens %1 Pegel; die übrigen Zahlen fehlen.")
                    .arg(locale.toString(qlonglong(kMaxLevels)));
    if (pasted.levels.empty()) {
        setStatus(QStringLiteral("Im eingefügten Text steht keine Zahl; die Liste ist unverändert.") + left);
        return;
    }
    const int first = model_->levelCount() + 1;
    model_->append(pasted.levels);
    const int last = model_->levelCount();
    const QString where = first == last ? QStringLiteral("Zeile %1").arg(first)
                                        : QStringLiteral("Zeilen %1–%2").arg(first).arg(last);
    setStatus((pasted.levels.size() == 1 ? QStringLiteral("1 Pegel eingefügt")
                                         : QStringLiteral("%1 Pegel eingefügt").arg(pasted.levels.size())) +
              QStringLiteral(" (%1%2).").arg(where, columnText) + left);
    list_->setCurrentIndex(model_->index(model_->appendRow(), LevelListModel::Level));
    list_->scrollToBottom();
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
    const bool corrected = results_->currentColumn() == CorrectedValue && !evaluation_.correctedResults.empty();
    const ResultValue& r = (corrected ? evaluation_.correctedResults : evaluation_.results)[std::size_t(row)];
    const QString name = qs(r.quantity.symbol) + (corrected ? QStringLiteral(" korrigiert") : QString());
    if (!shownValue(r)) {
        setStatus(QStringLiteral("%1 hat keinen Wert; nichts getippt.").arg(name));
        return false;
    }
    const KeypadState state = keypadStateOf(request_.state ? request_.state() : WindowState{});
    const KeypadEntry entry = keypadEntry(valueText(r, "."), state);
    if (!entry.refusal.empty()) {
        setStatus(qs(entry.refusal));
        return false;
    }
    request_.typeKeys(qs(entry.keys));
    const QString unit = r.quantity.unit.empty() ? QString() : u' ' + qs(r.quantity.unit);
    setStatus(QStringLiteral("%1 = %2%3 in den dB Calculator getippt.")
                  .arg(name, qs(valueText(r, decimalMark())), unit));
    return true;
}

void LevelListWindow::showHelp()
{
    if (!help_) {
        help_ = new QTextBrowser;
        help_->setObjectName(QStringLiteral("levelListHelp"));
        help_->setWindowTitle(QStringLiteral("Hilfe – Pegelliste"));
        help_->document()->setDefaultStyleSheet(
            QStringLiteral("h1 { font-size: x-large; } h2 { font-size: large; margin-top: 14px; }"
                           "th { text-align: left; } td { vertical-align: top; }"));
        help_->document()->setDocumentMargin(12);
        attachCompanion(this, help_);
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), help_);
        connect(escape, &QShortcut::activated, help_, &QWidget::close);
        help_->resize(760, 640);
        refreshHelp();
    }
    raiseCompanion(help_);
}

void LevelListWindow::refreshHelp()
{
    if (!help_)
        return;
    const int scrolled = help_->verticalScrollBar()->value();
    help_->setHtml(qs(levelListHelpPage(model_->levels(), evaluation_, decimalMark())));
    help_->verticalScrollBar()->setValue(scrolled);
}

TextTable LevelListWindow::resultsTable() const
{
    TextTable t;
    t.caption = windowTitle().toStdString();
    std::vector<int> columns;
    for (int c = 0; c < results_->columnCount(); ++c)
        if (!results_->isColumnHidden(c)) {
            columns.push_back(c);
            t.header.push_back(results_->horizontalHeaderItem(c)->text().toStdString());
        }
    for (int r = 0; r < results_->rowCount(); ++r) {
        std::vector<std::string> row;
        for (int c : columns)
            row.push_back(results_->item(r, c)->text().toStdString());
        t.rows.push_back(std::move(row));
    }
    for (const QString& line : notes_->text().split(u'\n', Qt::SkipEmptyParts))
        t.rows.push_back({"Hinweis", line.toStdString()});
    return t;
}

TextTable LevelListWindow::levelsTable() const
{
    TextTable t;
    t.caption = "Pegel";
    if (!evaluation_.corrections.empty())
        t.caption += ", Fremdgeräusch LB = " + levelText(*evaluation_.backgroundDb, decimalMark()) + " dB";
    std::vector<int> columns;
    for (int c = 0; c < LevelListModel::ColumnCount; ++c)
        if (!list_->isColumnHidden(c)) {
            columns.push_back(c);
            t.header.push_back(LevelListModel::columnTitle(c).toStdString());
        }
    t.rows.reserve(std::size_t(model_->levelCount()));
    for (int r = 0; r < model_->levelCount(); ++r) {
        std::vector<std::string> row;
        row.reserve(columns.size());
        for (int c : columns)
            row.push_back(model_->text(r, c).toStdString());
        t.rows.push_back(std::move(row));
    }
    return t;
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
    const QString suggested = QDir(lastFolder()).filePath(QStringLiteral("Pegelliste.csv"));
    QString path = fileDialog() ? fileDialog()(this, suggested)
                                : QFileDialog::getSaveFileName(this, QStringLiteral("CSV speichern"), suggested,
                                                               QStringLiteral("CSV-Dateien (*.csv);;Alle Dateien (*)"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    // Under a decimal comma spreadsheets expect semicolons between the
    // cells; the byte order mark makes them read the text as UTF-8. The two
    // tables are apart by an empty line.
    const bool decimalComma = decimalMark() == ",";
    const std::string text =
        "\xEF\xBB\xBF" + csvText(resultsTable(), decimalComma) + "\r\n" + csvText(levelsTable(), decimalComma);
    SaveFailureText failure;
    failure.title = QStringLiteral("Pegelliste");
    if (!saveAtomically(
            this, path,
            [&text](QSaveFile& f) { return f.write(text.data(), qint64(text.size())) == qint64(text.size()); },
            failure))
        return false;
    lastFolder() = QFileInfo(path).absolutePath();
    setStatus(QStringLiteral("Gespeichert: %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

QWidget* openLevelListWindow(const CompanionRequest& request)
{
    QWidget* window = findCompanion(request.owner, kObjectName);
    if (!window) {
        auto* list = new LevelListWindow(request);
        attachCompanion(request.owner, list);
        // Closing hides the list: opened again, it shows the same levels.
        // It is deleted with its calculator (without one, when it is closed).
        if (request.owner)
            list->setAttribute(Qt::WA_DeleteOnClose, false);
        window = list;
    }
    raiseCompanion(window);
    return window;
}

}  // namespace orvella
