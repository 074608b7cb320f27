// SPDX-License-Identifier: GPL-3.0-or-later
#include "studyexport.h"

#include "companionfiles.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>

namespace orvella {

namespace {

SaveFailureText saveFailureText()
{
    SaveFailureText text;
    text.title = QStringLiteral("Parameterstudie");
    text.objectName = QStringLiteral("writeFailure");
    return text;
}

}  // namespace

void setStudyFileDialog(StudyFileDialog dialog) { setFileDialog(std::move(dialog)); }

bool saveStudyCsv(QWidget* parent, const QString& name, const CalculatorModel& model, int variable,
                  const StudyOutcome& outcome)
{
    const QString path = askSaveFile(parent, FileKind::Csv, QStringLiteral("CSV speichern"), name,
                                     {QStringLiteral("CSV-Dateien (*.csv)"), QStringLiteral("Alle Dateien (*)")});
    if (path.isEmpty())
        return false;
    // A point without an answer is an empty cell.
    const bool decimalComma = decimalCommaSettings();
    return saveCsvTables(parent, path, {studyTable(model, variable, outcome, decimalComma ? "," : ".", "")},
                         decimalComma, saveFailureText());
}

bool saveStudyFigure(QWidget* parent, const QString& name, QWidget* figure, const QString& title)
{
    const QString path = askSaveFile(parent, FileKind::Image, QStringLiteral("Diagramm speichern"), name,
                                     {QStringLiteral("PNG-Bild (*.png)"), QStringLiteral("SVG-Grafik (*.svg)")});
    if (path.isEmpty())
        return false;
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QSize size = figure->size();
    std::function<bool(QSaveFile&)> write;
    QImage image;
    if (suffix == QLatin1String("svg")) {
        write = [&](QSaveFile& f) {
            QSvgGenerator generator;
            generator.setOutputDevice(&f);
            generator.setSize(size);
            generator.setViewBox(QRect(QPoint(0, 0), size));
            generator.setTitle(title);
            generator.setDescription(QStringLiteral("Orvella"));
            QPainter painter;
            if (!painter.begin(&generator))
                return false;
            figure->render(&painter);
            return painter.end() && f.error() == QFileDevice::NoError;
        };
    } else {
        // Twice the screen's resolution, sharp in documents and in print.
        image = QImage(size * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2.0);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            figure->render(&painter);
        }
        write = [&](QSaveFile& f) { return image.save(&f, "PNG"); };
    }
    if (!saveAtomically(parent, path, write, saveFailureText()))
        return false;
    rememberFolder(FileKind::Image, path);
    return true;
}

}  // namespace orvella
