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
#include <QTextDocument>
#include <QVBoxLayout>

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

// The parsed page a closed help leaves with its owner: the owner's next
// help that shows the same page takes it instead of parsing the HTML again
// (a fifth of opening a help); it is laid out at the new window's width.
const QString kKeptPage = QStringLiteral("keptHelpPage");
const char* const kKeptHtml = "html";

QTextDocument* keptPage(const QWidget* owner)
{
    return owner ? owner->findChild<QTextDocument*>(kKeptPage, Qt::FindDirectChildrenOnly) : nullptr;
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

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(false);
    // Every page is longer than the window; a scroll bar that appears only
    // after the first layout would cost a second one.
    browser_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    preparePage();

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

void HelpWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    QWidget* owner = request_.owner;
    if (!event->isAccepted() || !owner || shownPage_.isEmpty())
        return;
    delete keptPage(owner);
    QTextDocument* page = browser_->document();
    page->setParent(owner);
    page->setObjectName(kKeptPage);
    page->setProperty(kKeptHtml, shownPage_);
    // The closed window holds an empty page until it is deleted (or shown
    // again, and filled again).
    browser_->setDocument(nullptr);
    preparePage();
    shownPage_.clear();
}

void HelpWindow::preparePage()
{
    browser_->document()->setDefaultStyleSheet(kStyleSheet);
    browser_->document()->setDocumentMargin(12);
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
    shownPage_ = page;
    QScrollBar* bar = browser_->verticalScrollBar();
    const int position = bar->value();
    if (QTextDocument* kept = keptPage(request_.owner);
        kept && kept->property(kKeptHtml).toString() == page && browser_->document()->isEmpty()) {
        kept->setParent(browser_);
        kept->setObjectName(QString());
        browser_->setDocument(kept);
    } else {
        browser_->setHtml(page);
    }
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
