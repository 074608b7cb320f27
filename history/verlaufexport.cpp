// SPDX-License-Identifier: GPL-3.0-or-later
#include "verlaufexport.h"

#include "companionfiles.h"
#include "historymodel.h"
#include "verlauftable.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTextDocument>

#include <algorithm>
#include <iterator>

namespace orvella {

namespace {

const QString kTitle = QStringLiteral("Verlauf – Orvella");
// A report of more entries than this is written only after a question: it
// runs to hundreds of pages.
constexpr std::size_t kLargeReport = 200;
// A copy or CSV of more entries than this is made only after a question.
constexpr std::size_t kLargeExport = 1000;
// Entries are read for an export in pages of this many, between which the
// progress dialog answers (its "Abbrechen" too).
constexpr std::size_t kExportPage = 256;

VerlaufQuestion& question()
{
    static VerlaufQuestion ask;
    return ask;
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

SaveFailureText failureText()
{
    SaveFailureText failure;
    failure.title = kTitle;
    failure.objectName = QStringLiteral("verlaufSaveFailure");
    return failure;
}

}  // namespace

void setVerlaufQuestion(VerlaufQuestion ask) { question() = std::move(ask); }

bool askVerlaufQuestion(QWidget* parent, const QString& title, const QString& text)
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

std::vector<std::int64_t> exportedIds(const QTableView& table, HistoryModel& model)
{
    std::vector<std::int64_t> ids;
    QModelIndexList rows = table.selectionModel()->selectedRows();
    if (!rows.isEmpty() && rows.size() < model.rowCount()) {
        std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
        for (const QModelIndex& i : rows)
            ids.push_back(model.entryId(i.row()));
    } else {
        ids = model.matchingIds();
    }
    return ids;
}

VerlaufExport::VerlaufExport(QWidget* window, HistoryHub& hub, std::vector<const CalculatorModel*> models)
    : window_(window), hub_(hub), models_(std::move(models))
{
}

ReportSettings VerlaufExport::reportSettings() const
{
    ReportSettings s;
    s.models = models_;
    s.decimalMark = QLocale().decimalPoint();
    s.programVersion = HistoryRecorder::programVersion();
    s.created = QDateTime::currentDateTime();
    return s;
}

bool VerlaufExport::readEntries(const std::vector<std::int64_t>& ids, std::vector<CalculationRecord>* entries,
                                TextTable* table)
{
    entries->clear();
    entries->reserve(ids.size());
    // Read, and made into the table, in pages behind a progress dialog,
    // which shows itself only when the work takes a while and answers
    // between the pages.
    const int steps = int(ids.size()) * (table ? 2 : 1);
    QProgressDialog progress(QStringLiteral("Die Einträge des Verlaufs werden gelesen …"),
                             QStringLiteral("Abbrechen"), 0, steps, window_);
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

std::vector<CalculationRecord> VerlaufExport::entries(const std::vector<std::int64_t>& ids)
{
    std::vector<CalculationRecord> entries;
    readEntries(ids, &entries);
    return entries;
}

bool VerlaufExport::confirmLargeExport(std::size_t count, const QString& title, const QString& verb)
{
    if (count <= kLargeExport)
        return true;
    return askVerlaufQuestion(window_, title,
                              QStringLiteral("Das sind %1 Einträge. Wählen Sie einzelne Einträge aus, um nur diese "
                                             "zu %2.\n\nAlle %1 Einträge %2?")
                                  .arg(count)
                                  .arg(verb));
}

bool VerlaufExport::confirmLargeReport(std::size_t count)
{
    if (count <= kLargeReport)
        return true;
    return askVerlaufQuestion(window_, QStringLiteral("Bericht"),
                              QStringLiteral("Der Bericht umfasst %1 Rechnungen mit ihrem Rechenweg, etwa %2 Seiten. "
                                             "Wählen Sie einzelne Einträge aus, um nur diese zu berichten.\n\n"
                                             "Den Bericht über alle %1 Rechnungen erstellen?")
                                  .arg(count)
                                  .arg(count));
}

void VerlaufExport::copy(const std::vector<std::int64_t>& ids)
{
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

bool VerlaufExport::saveCsv(const std::function<std::vector<std::int64_t>()>& idsToSave)
{
    const QString path = askSaveFile(window_, FileKind::Csv, QStringLiteral("CSV speichern"), QStringLiteral("Verlauf"),
                                     {QStringLiteral("CSV-Dateien (*.csv)"), QStringLiteral("Alle Dateien (*)")});
    if (path.isEmpty())
        return false;
    const std::vector<std::int64_t> ids = idsToSave();
    std::vector<CalculationRecord> entries;
    std::vector<TextTable> tables(1);
    if (!confirmLargeExport(ids.size(), QStringLiteral("CSV speichern"), QStringLiteral("speichern")) ||
        !readEntries(ids, &entries, &tables.front()))
        return false;
    // Under German settings spreadsheets expect a decimal comma and
    // semicolons between the cells; a point and commas otherwise.
    return saveCsvTables(window_, path, tables, decimalCommaSettings(), failureText());
}

bool VerlaufExport::saveReport(const std::function<std::vector<std::int64_t>()>& idsToReport)
{
    const QString odt = QStringLiteral("ODF-Textdokument (*.odt)");
    const QString path = askSaveFile(window_, FileKind::Pdf, QStringLiteral("Bericht speichern"),
                                     QStringLiteral("Verlauf %1").arg(QDate::currentDate().toString(Qt::ISODate)),
                                     {QStringLiteral("PDF-Dokument (*.pdf)"), odt});
    if (path.isEmpty())
        return false;
    const std::vector<std::int64_t> ids = idsToReport();
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
    const bool odf = QFileInfo(path).suffix().toLower() == QLatin1String("odt");
    const bool saved = saveAtomically(
        window_, path,
        [&](QSaveFile& f) { return odf ? writeReportOdf(&document, &f) : writeReportPdf(&document, &f, kTitle); },
        failureText());
    if (saved)
        rememberFolder(FileKind::Pdf, path);
    return saved;
}

}  // namespace orvella
