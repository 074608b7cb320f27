// SPDX-License-Identifier: GPL-3.0-or-later
#include "studyexport.h"

#include "savefile.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>

namespace orvella {

namespace {

StudyFileDialog& fileDialog()
{
    static StudyFileDialog dialog;
    return dialog;
}

QString& lastFolder()
{
    static QString folder = QDir::homePath();
    return folder;
}

QString askFile(QWidget* parent, const QString& name, const QString& caption, const QString& suffix,
                const QString& filters, QString* selectedFilter)
{
    QString fileName = name;
    fileName.replace(u'/', u'-');
    const QString suggested = QDir(lastFolder()).filePath(fileName + suffix);
    return fileDialog() ? fileDialog()(parent, caption, suggested, filters, selectedFilter)
                        : QFileDialog::getSaveFileName(parent, caption, suggested, filters, selectedFilter);
}

SaveFailureText saveFailureText()
{
    SaveFailureText text;
    text.title = QStringLiteral("Parameterstudie");
    text.objectName = QStringLiteral("writeFailure");
    return text;
}

}  // namespace

void setStudyFileDialog(StudyFileDialog dialog) { fileDialog() = std::move(dialog); }

bool saveStudyCsv(QWidget* parent, const QString& name, const CalculatorModel& model, int variable,
                  const StudyOutcome& outcome)
{
    QString filter = QStringLiteral("CSV-Dateien (*.csv)");
    QString path = askFile(parent, name, QStringLiteral("CSV speichern"), QStringLiteral(".csv"),
                           filter + QStringLiteral(";;Alle Dateien (*)"), &filter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    // Under German settings spreadsheets expect a decimal comma and
    // semicolons between the cells; a point and commas otherwise. A point
    // without an answer is an empty cell.
    const bool decimalComma = QLocale().decimalPoint() == QLatin1String(",");
    const TextTable table = studyTable(model, variable, outcome, decimalComma ? "," : ".", "");
    // With a byte order mark, so that spreadsheets read the text as UTF-8.
    const std::string text = "\xEF\xBB\xBF" + csvText(table, decimalComma);
    if (!saveAtomically(
            parent, path,
            [&](QSaveFile& f) { return f.write(text.data(), qint64(text.size())) == qint64(text.size()); },
            saveFailureText()))
        return false;
    lastFolder() = QFileInfo(path).absolutePath();
    return true;
}

bool saveStudyFigure(QWidget* parent, const QString& name, QWidget* figure, const QString& title)
{
    const QString png = QStringLiteral("PNG-Bild (*.png)");
    const QString svg = QStringLiteral("SVG-Grafik (*.svg)");
    QString filter = png;
    QString path = askFile(parent, name, QStringLiteral("Diagramm speichern"), QStringLiteral(".png"),
                           png + QStringLiteral(";;") + svg, &filter);
    if (path.isEmpty())
        return false;
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg")) {
        suffix = filter == svg ? QStringLiteral("svg") : QStringLiteral("png");
        path += u'.' + suffix;
    }
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
    lastFolder() = QFileInfo(path).absolutePath();
    return true;
}

}  // namespace orvella
