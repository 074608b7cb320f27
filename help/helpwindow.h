// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help window of a calculator ("Hilfe und Rechenweg – ..."), or the
// overview of all of them ("Hilfe – Orvella"), opened from the menu. It
// belongs to its designed window and closes with it. The worked calculation
// follows the window: it is read again on "Aktualisieren" and after every
// click of the window's calculate buttons.

#include "companion.h"
#include "helpcontent.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QIODevice;
class QPagedPaintDevice;
class QPrinter;
class QPushButton;
class QTextBrowser;

namespace orvella {

// Opens the help window for the request, or raises the open one.
QWidget* openHelpWindow(const CompanionRequest& request);

// Asks for the file a PDF is saved to; an empty answer cancels. The program
// asks with a file dialog; tests answer themselves.
using SaveFileQuestion = std::function<QString(QWidget* parent, const QString& suggestedPath)>;
void setSaveFileQuestion(SaveFileQuestion question);

// Asks how and where to print; false cancels. The program shows the print
// dialog; tests answer themselves.
using PrintQuestion = std::function<bool(QWidget* parent, QPrinter* printer)>;
void setPrintQuestion(PrintQuestion question);

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // An empty window; openHelpWindow shows it and fills it with refresh().
    explicit HelpWindow(const CompanionRequest& request);

    // Reads the window's fields (or its state) again and rebuilds
    // the page, keeping the scroll position.
    void refresh();

    // Asks for a file and saves the page as a PDF there. A file that cannot
    // be written is reported in a message box; nothing else changes.
    void saveAsPdf();
    // Asks for a printer and prints the page.
    void print();

    // Writes the printed page as a PDF to `device`.
    void writePdf(QIODevice* device) const;

    QTextBrowser* browser() const { return browser_; }
    // The page as it is shown now, as plain text.
    QString pageText() const;

protected:
    // Closed, it leaves its parsed page with its owner for the owner's next
    // help.
    void closeEvent(QCloseEvent* event) override;

private:
    HelpSubject subject() const;
    // The printed page: the window's title, date and time, then the page.
    QString printHtml() const;
    void printTo(QPagedPaintDevice* device) const;
    void connectToOwner();
    // An empty browser with the help's style sheet and margin.
    QTextBrowser* newBrowser();
    // Shows the page a closed help of the owner left (keptPage) instead of
    // the window's empty browser.
    void showKeptPage(QTextBrowser* kept);

    CompanionRequest request_;
    HelpSubject::Kind kind_;
    QTextBrowser* browser_ = nullptr;
    QString shownPage_;
};

}  // namespace orvella
