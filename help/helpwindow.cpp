// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpwindow.h"

#include "companioncommands.h"
#include "companionfiles.h"
#include "helptext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLocale>
#include <QMessageBox>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <utility>

namespace orvella {

namespace {

const QString kObjectName = QStringLiteral("helpWindow");

const QString kStyleSheet = QString::fromLatin1(help::kPageStyleSheet);

PrintQuestion& printQuestion()
{
    static PrintQuestion question;
    return question;
}

bool askForPrinter(QWidget* parent, QPrinter* printer)
{
    QPrintDialog dialog(printer, parent);
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    return dialog.exec() == QDialog::Accepted;
}

HelpSubject::Kind kindOf(const CompanionRequest& request)
{
    if (request.ownerIsMenu)
        return HelpSubject::Kind::Overview;
    if (request.evaluation)
        return HelpSubject::Kind::Evaluation;
    return HelpSubject::Kind::Calculator;
}

// The page a closed help leaves with its owner, parsed and laid out: its
// browser, kept as a hidden window of the owner. The owner's next help that
// shows the same page takes it instead of parsing and laying out the HTML
// again (two thirds of opening a help); a window of another width lays it
// out again.
const QString kKeptPage = QStringLiteral("keptHelpPage");
// The page's HTML, as a dynamic property of the kept browser.
const char* const kKeptHtml = "keptHelpHtml";

QTextBrowser* keptPage(const QWidget* owner)
{
    return owner ? owner->findChild<QTextBrowser*>(kKeptPage, Qt::FindDirectChildrenOnly) : nullptr;
}

}  // namespace

void setSaveFileQuestion(SaveFileQuestion question)
{
    if (!question)
        return setFileDialog({});
    setFileDialog([question](QWidget* parent, const QString&, const QString& suggested, const QString&, QString*) {
        return question(parent, suggested);
    });
}
void setPrintQuestion(PrintQuestion question)
{
    printQuestion() = std::move(question);
}

HelpWindow::HelpWindow(const CompanionRequest& request)
    : request_(request), kind_(kindOf(request))
{
    setObjectName(kObjectName);
    setWindowTitle(kind_ == HelpSubject::Kind::Overview     ? QStringLiteral("Hilfe – Orvella")
                   : kind_ == HelpSubject::Kind::Evaluation ? QStringLiteral("Hilfe – ") +
                                                                  QString::fromStdString(request.evaluation->title)
                                                            : QStringLiteral("Hilfe und Rechenweg – ") + request.title);

    browser_ = newBrowser();

    // Escape closes, F5 reads the fields again, Ctrl+P prints.
    QAction* refresh = addCompanionCommand(this, QStringLiteral("Aktualisieren"), QKeySequence(Qt::Key_F5),
                                           &HelpWindow::refresh);
    QAction* print = addCompanionCommand(this, QStringLiteral("Drucken…"), QKeySequence::Print, &HelpWindow::print);
    QAction* pdf = addCompanionCommand(this, QStringLiteral("Als PDF speichern…"), {}, &HelpWindow::saveAsPdf);
    QAction* close = addCompanionCommand(this, QStringLiteral("Schließen"), QKeySequence(Qt::Key_Escape), &QWidget::close);
    QPushButton* refreshButton = commandButton(refresh, QStringLiteral("helpRefresh"));
    refreshButton->setToolTip(QStringLiteral("Den Rechenweg mit den jetzigen Feldtexten neu aufbauen (F5)"));
    // The overview has no numbers to read again.
    refreshButton->setVisible(kind_ != HelpSubject::Kind::Overview);
    refresh->setEnabled(kind_ != HelpSubject::Kind::Overview);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(refreshButton);
    buttons->addStretch(1);
    buttons->addWidget(commandButton(print, QStringLiteral("helpPrint")));
    buttons->addWidget(commandButton(pdf, QStringLiteral("helpPdf")));
    buttons->addWidget(commandButton(close, QStringLiteral("helpClose")));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_, 1);
    layout->addLayout(buttons);

    connectToOwner();
    browser_->setFocus();
    // Wide enough for the tables of the worked calculation, a page high;
    // raiseCompanion shrinks it to a smaller screen, where the text reflows.
    resize(720, 860);
}

QTextBrowser* HelpWindow::newBrowser()
{
    auto* browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("helpBrowser"));
    browser->setOpenExternalLinks(false);
    // Every page is longer than the window; a scroll bar that appears only
    // after the first layout would cost a second one.
    browser->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    browser->document()->setDefaultStyleSheet(kStyleSheet);
    browser->document()->setDocumentMargin(12);
    return browser;
}

void HelpWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    QWidget* owner = request_.owner;
    if (!event->isAccepted() || !owner || shownPage_.isEmpty())
        return;
    // The closed window gets an empty browser until it is deleted (or shown
    // again, and filled again).
    const QString html = std::exchange(shownPage_, QString());
    QTextBrowser* page = std::exchange(browser_, newBrowser());
    delete layout()->replaceWidget(page, browser_);
    delete keptPage(owner);
    page->setParent(owner, Qt::Window);
    page->setObjectName(kKeptPage);
    page->setProperty(kKeptHtml, html);
}

void HelpWindow::showKeptPage(QTextBrowser* kept)
{
    // As a new help shows it: at the top, nothing selected, no link followed.
    kept->setParent(this);
    kept->setObjectName(browser_->objectName());
    kept->setProperty(kKeptHtml, QVariant());
    kept->clearHistory();
    kept->setTextCursor(QTextCursor(kept->document()));
    kept->verticalScrollBar()->setValue(0);
    kept->horizontalScrollBar()->setValue(0);
    delete layout()->replaceWidget(browser_, kept);
    delete std::exchange(browser_, kept);
    layout()->activate();
    browser_->show();
    browser_->setFocus();
}

void HelpWindow::connectToOwner()
{
    // The page is read again once a calculation has written its fields.
    if (kind_ != HelpSubject::Kind::Overview && request_.link)
        connect(request_.link, &CompanionLink::calculated, this, &HelpWindow::refresh);
}

HelpSubject HelpWindow::subject() const
{
    HelpSubject s;
    s.kind = kind_;
    s.title = request_.title;
    s.models = request_.models;
    s.decimalMark = QLocale().decimalPoint();
    if (kind_ == HelpSubject::Kind::Calculator) {
        for (const CalculatorModel* m : request_.models)
            s.fieldTexts.push_back(request_.link ? request_.link->inputTexts(*m)
                                                 : std::vector<QString>(m->inputs.size()));
        if (request_.state)
            s.windowState = request_.state();
    }
    if (kind_ == HelpSubject::Kind::Evaluation) {
        s.evaluation = request_.evaluation;
        if (request_.evaluationInput)
            s.evaluationInput = request_.evaluationInput();
    }
    return s;
}

void HelpWindow::refresh()
{
    // Laying out the page is the slow part of opening and refreshing; an
    // unchanged page is left as it is.
    const QString page = helpPageHtml(subject());
    if (page == shownPage_)
        return;
    QTextBrowser* kept = shownPage_.isEmpty() ? keptPage(request_.owner) : nullptr;
    shownPage_ = page;
    if (kept && kept->property(kKeptHtml).toString() == page)
        return showKeptPage(kept);
    QScrollBar* bar = browser_->verticalScrollBar();
    const int position = bar->value();
    browser_->setHtml(page);
    bar->setValue(position);
}

QString HelpWindow::pageText() const
{
    return browser_->toPlainText();
}

QString HelpWindow::printHtml() const
{
    const QString when =
        QLocale(QLocale::German, QLocale::Germany)
            .toString(QDateTime::currentDateTime(), QStringLiteral("dd.MM.yyyy, HH:mm 'Uhr'"));
    return QStringLiteral("<h1>%1</h1><p>Orvella, %2</p>").arg(windowTitle().toHtmlEscaped(), when) +
           helpPageBody(subject());
}

void HelpWindow::printTo(QPagedPaintDevice* device) const
{
    QTextDocument document;
    document.setDefaultStyleSheet(kStyleSheet);
    document.setDefaultFont(browser_->font());
    document.setHtml(printHtml());
    // Not paginated yet: print() lays it out for the page, with margins of
    // 2 cm and the page number at the foot of each page.
    document.print(device);
}

void HelpWindow::writePdf(QIODevice* device) const
{
    QPdfWriter writer(device);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(300);
    writer.setTitle(windowTitle());
    writer.setCreator(QStringLiteral("Orvella"));
    printTo(&writer);
}

void HelpWindow::saveAsPdf()
{
    refresh();
    const QString path = askSaveFile(this, FileKind::Pdf, QStringLiteral("Als PDF speichern"), windowTitle(),
                                     {QStringLiteral("PDF-Dokumente (*.pdf)")});
    if (path.isEmpty())
        return;
    SaveFailureText text;
    text.objectName = QStringLiteral("helpWriteError");
    text.message = QStringLiteral("Die PDF-Datei konnte nicht gespeichert werden:\n%1");
    text.advice = QStringLiteral("Der Ordner ist nicht beschreibbar, existiert nicht, oder der Datenträger "
                                 "ist voll. Eine vorhandene Datei dieses Namens bleibt unverändert. Bitte "
                                 "wählen Sie einen anderen Ort.");
    // Written beside the target and renamed over it only when complete, so
    // a failure leaves no half-written file and an existing file unchanged.
    if (saveAtomically(
            this, path,
            [this](QSaveFile& file) {
                writePdf(&file);
                return true;
            },
            text))
        rememberFolder(FileKind::Pdf, path);
}

void HelpWindow::print()
{
    refresh();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(windowTitle());
    printer.setCreator(QStringLiteral("Orvella"));
    const PrintQuestion& ask = printQuestion();
    if (!(ask ? ask(this, &printer) : askForPrinter(this, &printer)))
        return;
    printTo(&printer);
    if (printer.printerState() == QPrinter::Error) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Orvella"),
                        QStringLiteral("Der Druck ist fehlgeschlagen. Bitte prüfen Sie den Drucker und "
                                       "versuchen Sie es noch einmal."),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("helpPrintError"));
        box.exec();
    }
}

QWidget* openHelpWindow(const CompanionRequest& request)
{
    QWidget* window = openOrRaiseCompanion(request.owner, kObjectName, OnClose::Delete,
                                           [&] { return new HelpWindow(request); });
    // The page is laid out once the window has its size (shown, before the
    // first paint), not at the width of a widget not yet shown.
    if (auto* help = qobject_cast<HelpWindow*>(window))
        help->refresh();
    return window;
}

}  // namespace orvella
