// SPDX-License-Identifier: GPL-3.0-or-later
#include "verlaufwindow.h"

#include "historysearch.h"
#include "historysettings.h"
#include "savefile.h"
#include "verlaufapply.h"
#include "verlauftable.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace orvella {

namespace {

const QString kObjectName = QStringLiteral("verlaufWindow");
const QString kTitle = QStringLiteral("Verlauf – Orvella");
// A report of more entries than this is written only after a question: it
// runs to hundreds of pages.
constexpr std::size_t kLargeReport = 200;
// A copy or CSV of more entries than this is made only after a question.
constexpr std::size_t kLargeExport = 1000;
// Entries are read for an export in pages of this many, between which the
// progress dialog answers (its "Abbrechen" too).
constexpr std::size_t kExportPage = 256;
// The search waits for a pause in the typing.
constexpr int kSearchDelayMs = 200;

QString qs(const std::string& s) { return QString::fromStdString(s); }

VerlaufFileDialog& fileDialog()
{
    static VerlaufFileDialog dialog;
    return dialog;
}

VerlaufQuestion& question()
{
    static VerlaufQuestion ask;
    return ask;
}

QString& lastFolder()
{
    static QString folder;
    return folder;
}

bool askYesNo(QWidget* parent, const QString& title, const QString& text)
{
    if (question())
        return question()(parent, title, text);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("verlaufQuestion"));
    box.setDefaultButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    return box.exec() == QMessageBox::Yes;
}

QStringList idsOf(const std::vector<const CalculatorModel*>& models)
{
    QStringList ids;
    for (const CalculatorModel* m : models)
        ids << qs(m->id);
    return ids;
}

}  // namespace

void setVerlaufFileDialog(VerlaufFileDialog dialog) { fileDialog() = std::move(dialog); }
void setVerlaufQuestion(VerlaufQuestion ask) { question() = std::move(ask); }

// --- table ------------------------------------------------------------------

VerlaufTableView::VerlaufTableView(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setTextElideMode(Qt::ElideRight);
    // Rows of one height: the view need not measure 100 000 of them.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void VerlaufTableView::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() != QAbstractItemView::EditingState &&
        !(event->modifiers() & ~Qt::KeypadModifier)) {
        emit applyRequested();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        emit copyRequested();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void VerlaufTableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    if (index.column() == HistoryModel::NoteColumn) {
        edit(index);
    } else {
        setCurrentIndex(index);
        emit applyRequested();
    }
    event->accept();
}

void VerlaufTableView::contextMenuEvent(QContextMenuEvent* event)
{
    emit menuRequested(event->globalPos());
    event->accept();
}

// --- window -----------------------------------------------------------------

VerlaufWindow::VerlaufWindow(const CompanionRequest& request, HistoryHub& hub)
    : owner_(request.owner), link_(request.link), allModels_(request.allModels.empty() ? request.models : request.allModels), hub_(hub)
{
    setObjectName(kObjectName);
    setWindowTitle(kTitle);

    // The owner's calculators whose entries go back into its fields: those
    // whose calculate button is in the owner (none in the menu).
    for (const CalculatorModel* m : request.models)
        if (request.link && request.link->calculates(*m))
            ownerModels_.push_back(m);

    filter_ = new QComboBox;
    filter_->setObjectName(QStringLiteral("verlaufFilter"));
    filter_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    buildFilter(request);
    search_ = new QLineEdit;
    search_->setObjectName(QStringLiteral("verlaufSearch"));
    search_->setPlaceholderText(QStringLiteral("Text oder Zahl, z. B. Taupunkt oder %1")
                                    .arg(QLocale().decimalPoint() == QLatin1String(",") ? QStringLiteral("20,5")
                                                                                        : QStringLiteral("20.5")));
    search_->setClearButtonEnabled(true);
    search_->setToolTip(QStringLiteral("Findet Einträge, die jedes Wort enthalten, in Eingaben, Ergebnissen "
                                       "und Notizen; Zahlen mit Komma oder Punkt (Strg+F)"));
    auto* filterLabel = new QLabel(QStringLiteral("&Rechner:"));
    filterLabel->setBuddy(filter_);
    auto* searchLabel = new QLabel(QStringLiteral("&Suchen:"));
    searchLabel->setBuddy(search_);
    auto* top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(filter_);
    top->addSpacing(16);
    top->addWidget(searchLabel);
    top->addWidget(search_, 1);

    model_ = new HistoryModel(hub_.store(), filter_->currentData().toStringList(), this);
    // Notes are written by the history's writer, like the entries: a busy
    // file keeps them waiting instead of losing them.
    model_->setNoteWriter([this](std::int64_t id, const QString& note) { return hub_.setNote(id, note); });
    table_ = new VerlaufTableView;
    table_->setObjectName(QStringLiteral("verlaufTable"));
    table_->setAccessibleName(QStringLiteral("Verlauf der Rechnungen"));
    table_->setModel(model_);
    const QFontMetrics fm = table_->fontMetrics();
    QHeaderView* header = table_->horizontalHeader();
    header->resizeSection(HistoryModel::TimeColumn, fm.horizontalAdvance(QStringLiteral("00.00.0000 00:00:00")) + 24);
    int calculatorWidth = fm.horizontalAdvance(header->model()->headerData(HistoryModel::CalculatorColumn,
                                                                           Qt::Horizontal).toString());
    for (int i = 1; i < filter_->count(); ++i)
        calculatorWidth = std::max(calculatorWidth, fm.horizontalAdvance(filter_->itemText(i).trimmed()));
    header->resizeSection(HistoryModel::CalculatorColumn, std::min(calculatorWidth + 24, fm.averageCharWidth() * 36));
    header->resizeSection(HistoryModel::InputsColumn, fm.averageCharWidth() * 46);
    header->resizeSection(HistoryModel::ResultsColumn, fm.averageCharWidth() * 40);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("verlaufStatus"));
    status_->setWordWrap(true);
    status_->setTextFormat(Qt::PlainText);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    applyButton_ = new QPushButton(QStringLiteral("Ü&bernehmen"));
    applyButton_->setObjectName(QStringLiteral("verlaufApply"));
    applyButton_->setToolTip(QStringLiteral("Die Eingaben des Eintrags in den Rechner übernehmen und "
                                            "rechnen (Eingabetaste, Doppelklick)"));
    applyButton_->setVisible(!ownerModels_.empty());
    auto* csv = new QPushButton(QStringLiteral("&CSV speichern…"));
    csv->setObjectName(QStringLiteral("verlaufCsv"));
    auto* report = new QPushButton(QStringLiteral("&Bericht…"));
    report->setObjectName(QStringLiteral("verlaufReport"));
    const QString which = QStringLiteral("die ausgewählten Einträge, ohne Auswahl alle gefundenen");
    csv->setToolTip(QStringLiteral("Speichert %1 als CSV-Datei").arg(which));
    report->setToolTip(QStringLiteral("Speichert %1 mit Rechenweg als PDF oder ODF-Text").arg(which));
    enabled_ = new QCheckBox(QStringLiteral("Verlauf &führen"));
    enabled_->setObjectName(QStringLiteral("verlaufEnabled"));
    enabled_->setChecked(hub_.isEnabled());
    enabled_->setToolTip(QStringLiteral("Jede abgeschlossene Rechnung in den Verlauf eintragen"));
    auto* clear = new QPushButton(QStringLiteral("Verlauf &löschen…"));
    clear->setObjectName(QStringLiteral("verlaufClear"));
    auto* close = new QPushButton(QStringLiteral("Schließen"));
    close->setObjectName(QStringLiteral("verlaufClose"));
    for (QPushButton* b : {applyButton_, csv, report, clear, close})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(applyButton_);
    buttons->addWidget(csv);
    buttons->addWidget(report);
    buttons->addStretch(1);
    buttons->addWidget(enabled_);
    buttons->addWidget(clear);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);
    layout->addLayout(buttons);

    searchTimer_ = new QTimer(this);
    searchTimer_->setSingleShot(true);
    searchTimer_->setInterval(kSearchDelayMs);
    connect(searchTimer_, &QTimer::timeout, this, &VerlaufWindow::applySearch);
    connect(search_, &QLineEdit::textChanged, searchTimer_, qOverload<>(&QTimer::start));
    connect(search_, &QLineEdit::returnPressed, this, [this] {
        applySearch();
        table_->setFocus();
    });
    connect(filter_, &QComboBox::currentIndexChanged, this, &VerlaufWindow::applyFilter);
    connect(table_, &VerlaufTableView::applyRequested, this, &VerlaufWindow::apply);
    connect(table_, &VerlaufTableView::copyRequested, this, &VerlaufWindow::copyEntries);
    connect(table_, &VerlaufTableView::menuRequested, this, &VerlaufWindow::showMenu);
    connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this, &VerlaufWindow::updateButtons);
    connect(model_, &QAbstractItemModel::modelReset, this, &VerlaufWindow::updateButtons);
    connect(model_, &QAbstractItemModel::modelReset, this, &VerlaufWindow::updateStatus);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &VerlaufWindow::updateButtons);
    connect(applyButton_, &QPushButton::clicked, this, &VerlaufWindow::apply);
    connect(csv, &QPushButton::clicked, this, &VerlaufWindow::saveCsv);
    connect(report, &QPushButton::clicked, this, &VerlaufWindow::saveReport);
    connect(clear, &QPushButton::clicked, this, &VerlaufWindow::clearHistory);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(enabled_, &QCheckBox::toggled, this, [this](bool on) { hub_.setEnabled(on); });

    // What happens to the history elsewhere: a calculation recorded, the
    // history cleared or switched, the file replaced after a failure.
    connect(&hub_, &HistoryHub::recorded, model_, &HistoryModel::fetchNewer);
    connect(&hub_, &HistoryHub::cleared, model_, &HistoryModel::reload);
    connect(&hub_, &HistoryHub::noticed, this, [this] {
        model_->reload();
        updateStatus();
    });
    connect(&hub_, &HistoryHub::statusChanged, this, &VerlaufWindow::updateStatus);
    connect(&hub_, &HistoryHub::enabledChanged, this, [this](bool on) {
        enabled_->setChecked(on);
        updateStatus();
    });

    const auto shortcut = [this](const QKeySequence& key, auto slot) {
        auto* s = new QShortcut(key, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_Escape), &QWidget::close);
    shortcut(QKeySequence::Find, [this] {
        search_->setFocus();
        search_->selectAll();
    });

    if (model_->rowCount() > 0)
        table_->selectionModel()->setCurrentIndex(model_->index(0, 0), QItemSelectionModel::NoUpdate);
    updateStatus();
    updateButtons();
    table_->setFocus();
    resize(1080, 520);
}

void VerlaufWindow::buildFilter(const CompanionRequest& request)
{
    filter_->addItem(QStringLiteral("Alle Rechner"), QStringList());
    // One item per window; a window of two calculators gets one for both
    // and one for each half.
    for (std::size_t i = 0; i < allModels_.size();) {
        std::size_t end = i + 1;
        while (end < allModels_.size() && allModels_[end]->window == allModels_[i]->window)
            ++end;
        const std::vector<const CalculatorModel*> group(allModels_.begin() + std::ptrdiff_t(i),
                                                        allModels_.begin() + std::ptrdiff_t(end));
        filter_->addItem(qs(group.front()->title), idsOf(group));
        if (group.size() > 1)
            for (const CalculatorModel* m : group)
                filter_->addItem(QStringLiteral("    ") + qs(m->part), QStringList{qs(m->id)});
        i = end;
    }
    // From a calculator: its entries; from the menu (every calculator): all.
    const QStringList own = idsOf(request.models);
    if (own.size() < idsOf(allModels_).size())
        for (int i = 1; i < filter_->count(); ++i)
            if (filter_->itemData(i).toStringList() == own)
                filter_->setCurrentIndex(i);
}

void VerlaufWindow::applyFilter()
{
    model_->setCalculatorFilter(filter_->currentData().toStringList());
    if (model_->rowCount() > 0)
        table_->selectionModel()->setCurrentIndex(model_->index(0, 0), QItemSelectionModel::NoUpdate);
}

void VerlaufWindow::applySearch()
{
    searchTimer_->stop();
    model_->setSearchText(search_->text());
    updateStatus();
    if (model_->rowCount() > 0)
        table_->selectionModel()->setCurrentIndex(model_->index(0, 0), QItemSelectionModel::NoUpdate);
}

void VerlaufWindow::updateStatus()
{
    const QString where = QStringLiteral("Der Verlauf liegt in %1 und verlässt diesen Rechner nicht.")
                              .arg(shownPath(hub_.databasePath()));
    QString text;
    if (hub_.store().isOff())
        text = hub_.lastNotice().isEmpty() ? QStringLiteral("Der Verlauf ist in dieser Sitzung nicht verfügbar.")
                                           : hub_.lastNotice();
    else if (!hub_.isEnabled())
        text = QStringLiteral("„Verlauf führen“ ist aus: neue Rechnungen werden nicht eingetragen. ") + where;
    else
        text = where;
    // What the last read and the writer have to say, each on a line.
    QStringList lines{text};
    if (model_->readFailed() && !hub_.store().isOff())
        lines << (hub_.store().lastWasBusy()
                      ? QStringLiteral("Nichts gefunden: ein anderes Programm hält die Verlaufsdatei belegt. "
                                       "Versuchen Sie es gleich noch einmal.")
                      : QStringLiteral("Nichts gefunden: der Verlauf konnte nicht gelesen werden."));
    if (model_->searchCut())
        lines << QStringLiteral("Gesucht wird nach den ersten %1 Wörtern, jedes mit höchstens %2 Zeichen.")
                     .arg(kMaxSearchWords)
                     .arg(kMaxSearchWordLength);
    if (const QString writer = hub_.writerStatus(); !writer.isEmpty())
        lines << writer;
    status_->setText(lines.join(u'\n'));
}

void VerlaufWindow::updateButtons()
{
    const QModelIndex current = table_->currentIndex();
    applyButton_->setEnabled(current.isValid() && canApply(current.row()));
}

bool VerlaufWindow::canApply(int row) const
{
    const QString id = model_->index(row, 0).data(HistoryModel::CalculatorIdRole).toString();
    return !id.isEmpty() && std::any_of(ownerModels_.begin(), ownerModels_.end(),
                                        [&](const CalculatorModel* m) { return qs(m->id) == id; });
}

bool VerlaufWindow::apply()
{
    const QModelIndex current = table_->currentIndex();
    if (!owner_ || !current.isValid() || !canApply(current.row())) {
        QApplication::beep();
        return false;
    }
    const std::optional<CalculationRecord> record = hub_.store().entry(model_->entryId(current.row()));
    const CalculatorModel* model = record ? modelOfRecord(*record, ownerModels_) : nullptr;
    if (!model || !applyRecord(link_, *model, *record)) {
        QApplication::beep();
        return false;
    }
    owner_->raise();
    return true;
}

void VerlaufWindow::showMenu(const QPoint& globalPos)
{
    const QModelIndex current = table_->currentIndex();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("verlaufMenu"));
    if (!ownerModels_.empty()) {
        QAction* a = menu.addAction(QStringLiteral("Ü&bernehmen"), this, &VerlaufWindow::apply);
        a->setShortcut(QKeySequence(Qt::Key_Return));
        a->setEnabled(current.isValid() && canApply(current.row()));
    }
    QAction* note = menu.addAction(QStringLiteral("&Notiz bearbeiten"), this, [this, current] {
        table_->edit(current.sibling(current.row(), HistoryModel::NoteColumn));
    });
    note->setShortcut(QKeySequence(Qt::Key_F2));
    note->setEnabled(current.isValid());
    menu.addSeparator();
    menu.addAction(QStringLiteral("&Kopieren"), this, &VerlaufWindow::copyEntries)->setShortcut(QKeySequence::Copy);
    menu.addAction(QStringLiteral("&Alles auswählen"), table_, &QTableView::selectAll)
        ->setShortcut(QKeySequence::SelectAll);
    menu.addSeparator();
    menu.addAction(QStringLiteral("&CSV speichern…"), this, &VerlaufWindow::saveCsv);
    menu.addAction(QStringLiteral("&Bericht…"), this, &VerlaufWindow::saveReport);
    menu.exec(globalPos);
}

void VerlaufWindow::changeEvent(QEvent* event)
{
    // Another Orvella may have recorded while this window was in the
    // background.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        model_->fetchNewer();
    QWidget::changeEvent(event);
}

// --- export -------------------------------------------------------------------

std::vector<std::int64_t> VerlaufWindow::exportedIds()
{
    std::vector<std::int64_t> ids;
    QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (!rows.isEmpty() && rows.size() < model_->rowCount()) {
        std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
        for (const QModelIndex& i : rows)
            ids.push_back(model_->entryId(i.row()));
    } else {
        ids = model_->matchingIds();
    }
    return ids;
}

bool VerlaufWindow::readEntries(const std::vector<std::int64_t>& ids, std::vector<CalculationRecord>* entries,
                                TextTable* table)
{
    entries->clear();
    entries->reserve(ids.size());
    // Read, and made into the table, in pages behind a progress dialog,
    // which shows itself only when the work takes a while and answers
    // between the pages.
    const int steps = int(ids.size()) * (table ? 2 : 1);
    QProgressDialog progress(QStringLiteral("Die Einträge des Verlaufs werden gelesen …"),
                             QStringLiteral("Abbrechen"), 0, steps, this);
    progress.setObjectName(QStringLiteral("verlaufProgress"));
    progress.setWindowTitle(kTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    for (std::size_t first = 0; first < ids.size(); first += kExportPage) {
        const std::size_t end = std::min(ids.size(), first + kExportPage);
        std::vector<CalculationRecord> page =
            hub_.store().entries({ids.begin() + std::ptrdiff_t(first), ids.begin() + std::ptrdiff_t(end)});
        std::move(page.begin(), page.end(), std::back_inserter(*entries));
        progress.setValue(int(end));
        if (progress.wasCanceled()) {
            entries->clear();
            return false;
        }
    }
    if (!table)
        return true;
    VerlaufTableBuilder builder(*entries, QLocale().decimalPoint().toStdString());
    for (std::size_t first = 0; first < entries->size(); first += kExportPage) {
        builder.addRows(first, first + kExportPage);
        progress.setValue(int(ids.size() + std::min(entries->size(), first + kExportPage)));
        if (progress.wasCanceled())
            return false;
    }
    *table = builder.take();
    return true;
}

std::vector<CalculationRecord> VerlaufWindow::exportedEntries()
{
    std::vector<CalculationRecord> entries;
    readEntries(exportedIds(), &entries);
    return entries;
}

bool VerlaufWindow::confirmLargeExport(std::size_t count, const QString& title, const QString& verb)
{
    if (count <= kLargeExport)
        return true;
    return askYesNo(this, title,
                    QStringLiteral("Das sind %1 Einträge. Wählen Sie einzelne Einträge aus, um nur diese zu %2.\n\n"
                                   "Alle %1 Einträge %2?")
                        .arg(count)
                        .arg(verb));
}

ReportSettings VerlaufWindow::reportSettings() const
{
    ReportSettings s;
    s.models = allModels_;
    s.decimalMark = QLocale().decimalPoint();
    s.programVersion = HistoryRecorder::programVersion();
    s.created = QDateTime::currentDateTime();
    return s;
}

void VerlaufWindow::copyEntries()
{
    const std::vector<std::int64_t> ids = exportedIds();
    if (ids.empty()) {
        QApplication::beep();
        return;
    }
    std::vector<CalculationRecord> entries;
    TextTable table;
    if (!confirmLargeExport(ids.size(), QStringLiteral("Kopieren"), QStringLiteral("kopieren")) ||
        !readEntries(ids, &entries, &table))
        return;
    if (entries.empty()) {
        QApplication::beep();
        return;
    }
    auto* mime = new QMimeData;
    mime->setText(qs(tabSeparatedText(table)));
    mime->setHtml(qs(htmlTable(table)));
    QApplication::clipboard()->setMimeData(mime);
}

QString VerlaufWindow::askFile(const QString& caption, const QString& suggestedName, const QString& filters,
                               QString* selectedFilter)
{
    QString folder = lastFolder();
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString suggested = QDir(folder).filePath(suggestedName);
    const QString path = fileDialog() ? fileDialog()(this, caption, suggested, filters, selectedFilter)
                                      : QFileDialog::getSaveFileName(this, caption, suggested, filters, selectedFilter);
    if (!path.isEmpty())
        lastFolder() = QFileInfo(path).absolutePath();
    return path;
}

bool VerlaufWindow::saveCsv()
{
    QString filter = QStringLiteral("CSV-Dateien (*.csv)");
    QString path = askFile(QStringLiteral("CSV speichern"), QStringLiteral("Verlauf.csv"),
                           filter + QStringLiteral(";;Alle Dateien (*)"), &filter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    const std::vector<std::int64_t> ids = exportedIds();
    std::vector<CalculationRecord> entries;
    TextTable table;
    if (!confirmLargeExport(ids.size(), QStringLiteral("CSV speichern"), QStringLiteral("speichern")) ||
        !readEntries(ids, &entries, &table))
        return false;
    // Under German settings spreadsheets expect a decimal comma and
    // semicolons between the cells; a point and commas otherwise.
    const QString mark = QLocale().decimalPoint();
    const std::string text = "\xEF\xBB\xBF" + csvText(table, mark == QLatin1String(","));
    SaveFailureText failure;
    failure.title = kTitle;
    failure.objectName = QStringLiteral("verlaufSaveFailure");
    return saveAtomically(
        this, path, [&](QSaveFile& f) { return f.write(text.data(), qint64(text.size())) == qint64(text.size()); },
        failure);
}

bool VerlaufWindow::confirmLargeReport(std::size_t count)
{
    if (count <= kLargeReport)
        return true;
    return askYesNo(this, QStringLiteral("Bericht"),
                    QStringLiteral("Der Bericht umfasst %1 Rechnungen mit ihrem Rechenweg, etwa %2 Seiten. "
                                   "Wählen Sie einzelne Einträge aus, um nur diese zu berichten.\n\n"
                                   "Den Bericht über alle %1 Rechnungen erstellen?")
                        .arg(count)
                        .arg(count));
}

bool VerlaufWindow::saveReport()
{
    const QString pdf = QStringLiteral("PDF-Dokument (*.pdf)");
    const QString odt = QStringLiteral("ODF-Textdokument (*.odt)");
    QString filter = pdf;
    QString path = askFile(QStringLiteral("Bericht speichern"),
                           QStringLiteral("Verlauf %1.pdf").arg(QDate::currentDate().toString(Qt::ISODate)),
                           pdf + QStringLiteral(";;") + odt, &filter);
    if (path.isEmpty())
        return false;
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("pdf") && suffix != QLatin1String("odt")) {
        suffix = filter == odt ? QStringLiteral("odt") : QStringLiteral("pdf");
        path += u'.' + suffix;
    }
    const std::vector<std::int64_t> ids = exportedIds();
    if (ids.empty()) {
        QApplication::beep();
        return false;
    }
    std::vector<CalculationRecord> entries;
    if (!confirmLargeReport(ids.size()) || !readEntries(ids, &entries))
        return false;
    if (entries.empty()) {
        QApplication::beep();
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QTextDocument document;
    buildReport(&document, entries, reportSettings());
    QApplication::restoreOverrideCursor();
    SaveFailureText failure;
    failure.title = kTitle;
    failure.objectName = QStringLiteral("verlaufSaveFailure");
    const bool odf = suffix == QLatin1String("odt");
    return saveAtomically(
        this, path,
        [&](QSaveFile& f) { return odf ? writeReportOdf(&document, &f) : writeReportPdf(&document, &f, kTitle); },
        failure);
}

bool VerlaufWindow::clearHistory()
{
    if (!askYesNo(this, QStringLiteral("Verlauf löschen"),
                  QStringLiteral("Alle Einträge des Verlaufs löschen?\n\nDie Einträge werden aus der Datei "
                                 "entfernt und überschrieben; das lässt sich nicht rückgängig machen.")))
        return false;
    return hub_.clear();
}

QWidget* openVerlaufWindow(const CompanionRequest& request, HistoryHub& hub)
{
    QWidget* window = findCompanion(request.owner, kObjectName);
    if (!window) {
        window = new VerlaufWindow(request, hub);
        attachCompanion(request.owner, window);
    }
    raiseCompanion(window);
    return window;
}

}  // namespace orvella
