// SPDX-License-Identifier: GPL-3.0-or-later
#include "verlaufwindow.h"

#include "companioncommands.h"
#include "verlaufapply.h"
#include "verlaufstatus.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace orvella {

namespace {

const QString kObjectName = QStringLiteral("verlaufWindow");
const QString kTitle = QStringLiteral("Verlauf – Orvella");
// The search waits for a pause in the typing.
constexpr int kSearchDelayMs = 200;

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The calculators' ids and those of the evaluations their companions keep.
QStringList idsOf(const std::vector<const CalculatorModel*>& models)
{
    QStringList ids;
    for (const CalculatorModel* m : models)
        ids << qs(m->id);
    return ids + evaluationIds(models);
}

}  // namespace

void setVerlaufFileDialog(VerlaufFileDialog dialog) { setFileDialog(std::move(dialog)); }

// --- window -----------------------------------------------------------------

VerlaufWindow::VerlaufWindow(const CompanionRequest& request, HistoryHub& hub)
    : owner_(request.owner),
      link_(request.link),
      request_(request),
      allModels_(request.allModels.empty() ? request.models : request.allModels),
      hub_(hub),
      export_(this, hub, allModels_)
{
    setObjectName(kObjectName);
    setWindowTitle(kTitle);

    // The owner's calculators whose entries go back into its fields: those
    // whose calculate button is in the owner (none in the menu), and those
    // with a companion that keeps an evaluation (opened with its rows).
    for (const CalculatorModel* m : request.models)
        if (request.link && (request.link->calculates(*m) || (!request.ownerIsMenu && keepsEvaluations(*m))))
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

    enabled_ = new QCheckBox(QStringLiteral("Verlauf &führen"));
    enabled_->setObjectName(QStringLiteral("verlaufEnabled"));
    enabled_->setChecked(hub_.isEnabled());
    enabled_->setToolTip(QStringLiteral("Jede abgeschlossene Rechnung in den Verlauf eintragen"));

    // The commands: their buttons, keys and the table's menu.
    const ButtonCommands commands = addCommands();
    applyButton_ = commandButton(applyCommand_, QStringLiteral("verlaufApply"));
    applyButton_->setToolTip(QStringLiteral("Die Eingaben des Eintrags in den Rechner übernehmen und "
                                            "rechnen (Eingabetaste, Doppelklick)"));
    applyButton_->setVisible(!ownerModels_.empty());
    QPushButton* csv = commandButton(commands.csv, QStringLiteral("verlaufCsv"));
    QPushButton* report = commandButton(commands.report, QStringLiteral("verlaufReport"));
    const QString which = QStringLiteral("die ausgewählten Einträge, ohne Auswahl alle gefundenen");
    csv->setToolTip(QStringLiteral("Speichert %1 als CSV-Datei").arg(which));
    report->setToolTip(QStringLiteral("Speichert %1 mit Rechenweg als PDF oder ODF-Text").arg(which));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(applyButton_);
    buttons->addWidget(csv);
    buttons->addWidget(report);
    buttons->addStretch(1);
    buttons->addWidget(enabled_);
    buttons->addWidget(commandButton(commands.clear, QStringLiteral("verlaufClear")));
    buttons->addWidget(commandButton(commands.close, QStringLiteral("verlaufClose")));

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
    connect(table_, &VerlaufTableView::menuRequested, this, &VerlaufWindow::showMenu);
    connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this, &VerlaufWindow::updateButtons);
    connect(model_, &QAbstractItemModel::modelReset, this, &VerlaufWindow::updateButtons);
    connect(model_, &QAbstractItemModel::modelReset, this, &VerlaufWindow::updateStatus);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &VerlaufWindow::updateButtons);
    connect(enabled_, &QCheckBox::toggled, this, [this](bool on) { hub_.setEnabled(on); });

    // What happens to the history elsewhere: a calculation recorded, the
    // history cleared or switched, the file replaced after a failure.
    // A closed Verlauf is only hidden, so that it opens again at once; what
    // was recorded meanwhile is read when it shows again.
    connect(&hub_, &HistoryHub::recorded, this, [this] {
        if (isVisible())
            model_->fetchNewer();
    });
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

void VerlaufWindow::updateStatus() { status_->setText(verlaufStatusText(hub_, *model_)); }

void VerlaufWindow::updateButtons()
{
    const QModelIndex current = table_->currentIndex();
    applyCommand_->setEnabled(current.isValid() && canApply(current.row()));
    noteCommand_->setEnabled(current.isValid());
}

bool VerlaufWindow::canApply(int row) const
{
    const QString id = model_->index(row, 0).data(HistoryModel::CalculatorIdRole).toString();
    return !id.isEmpty() && idsOf(ownerModels_).contains(id);
}

bool VerlaufWindow::apply()
{
    const QModelIndex current = table_->currentIndex();
    if (!owner_ || !current.isValid() || !canApply(current.row())) {
        QApplication::beep();
        return false;
    }
    const std::optional<CalculationRecord> record = hub_.store().entry(model_->entryId(current.row()));
    if (record && !record->evaluationKey.empty())
        return reopenEvaluation(request_, ownerModels_, *record, this);
    const CalculatorModel* model = record ? modelOfRecord(*record, ownerModels_) : nullptr;
    if (!model || !applyRecord(link_, *model, *record)) {
        QApplication::beep();
        return false;
    }
    owner_->raise();
    return true;
}

VerlaufWindow::ButtonCommands VerlaufWindow::addCommands()
{
    // The keys of the table's commands reach them through the table alone,
    // so that the search field and the note's editor keep their Enter and
    // Ctrl+C: as shortcuts of the window itself, which never holds the
    // keyboard, they only label the menu's entries.
    const auto onTable = [](QAction* action) {
        action->setShortcutContext(Qt::WidgetShortcut);
        return action;
    };
    applyCommand_ = onTable(addCompanionCommand(this, QStringLiteral("Ü&bernehmen"), QKeySequence(Qt::Key_Return),
                                                &VerlaufWindow::apply));
    applyCommand_->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    applyCommand_->setVisible(!ownerModels_.empty());
    noteCommand_ = onTable(addCompanionCommand(this, QStringLiteral("&Notiz bearbeiten"), QKeySequence(Qt::Key_F2), [this] {
        const QModelIndex current = table_->currentIndex();
        table_->edit(current.sibling(current.row(), HistoryModel::NoteColumn));
    }));
    table_->setKeyCommands(
        {applyCommand_, noteCommand_,
         onTable(addCompanionCommand(this, QStringLiteral("&Kopieren"), QKeySequence::Copy, &VerlaufWindow::copyEntries)),
         onTable(addCompanionCommand(this, QStringLiteral("&Alles auswählen"), QKeySequence::SelectAll,
                                     [this] { table_->selectAll(); }))});
    ButtonCommands commands;
    commands.csv = addCompanionCommand(this, QStringLiteral("&CSV speichern…"), {}, &VerlaufWindow::saveCsv);
    commands.report = addCompanionCommand(this, QStringLiteral("&Bericht…"), {}, &VerlaufWindow::saveReport);
    commands.clear = addCompanionCommand(this, QStringLiteral("Verlauf &löschen…"), {}, &VerlaufWindow::clearHistory);
    commands.close = addCompanionCommand(this, QStringLiteral("Schließen"), QKeySequence(Qt::Key_Escape), &QWidget::close);
    // Ctrl+F: to the search field (no menu entry).
    addCompanionCommand(this, QString(), QKeySequence::Find, [this] {
        search_->setFocus();
        search_->selectAll();
    });
    return commands;
}

void VerlaufWindow::showMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("verlaufMenu"));
    addCommandsToMenu(menu, this);
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

std::vector<std::int64_t> VerlaufWindow::exportedIds() { return orvella::exportedIds(*table_, *model_); }
std::vector<CalculationRecord> VerlaufWindow::exportedEntries() { return export_.entries(exportedIds()); }
ReportSettings VerlaufWindow::reportSettings() const { return export_.reportSettings(); }
void VerlaufWindow::copyEntries() { export_.copy(exportedIds()); }
void VerlaufWindow::showEvent(QShowEvent* event)
{
    // Entries of this program recorded while it was hidden, and those another
    // Orvella wrote meanwhile.
    model_->fetchNewer();
    updateStatus();
    QWidget::showEvent(event);
}

bool VerlaufWindow::saveCsv() { return export_.saveCsv([this] { return exportedIds(); }); }
bool VerlaufWindow::saveReport() { return export_.saveReport([this] { return exportedIds(); }); }

bool VerlaufWindow::clearHistory()
{
    if (!askVerlaufQuestion(this, QStringLiteral("Verlauf löschen"),
                  QStringLiteral("Alle Einträge des Verlaufs löschen?\n\nDie Einträge werden aus der Datei "
                                 "entfernt und überschrieben; das lässt sich nicht rückgängig machen.")))
        return false;
    return hub_.clear();
}

QWidget* openVerlaufWindow(const CompanionRequest& request, HistoryHub& hub)
{
    return openOrRaiseCompanion(request.owner, kObjectName, OnClose::Hide,
                                [&] { return new VerlaufWindow(request, hub); });
}

}  // namespace orvella
