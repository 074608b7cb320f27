// SPDX-License-Identifier: GPL-3.0-or-later
#include "clipboard.h"

#include "accessibility.h"
#include "commands.h"
#include "form.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>

#include <algorithm>
#include <map>
#include <utility>

namespace orvella {

namespace {

std::string decimalMark() { return QLocale().decimalPoint().toStdString(); }

// Top, then left: the reading order of controls on a window.
bool above(const QPoint& a, const QPoint& b)
{
    return std::make_pair(a.y(), a.x()) < std::make_pair(b.y(), b.x());
}

}  // namespace

QString numberForCopy(const QString& text)
{
    const std::string number = numberOrText(text.trimmed().toStdString(), decimalMark());
    return QString::fromStdString(number);
}

CopyTable copyTableOf(const CalculatorWindow& window)
{
    // The fields grouped by the frame that holds them, each with its place on the window.
    struct Placed {
        QPoint at;
        const QLineEdit* field;
    };
    std::map<const QWidget*, std::vector<Placed>> byFrame;
    for (const QLineEdit* field : window.findChildren<QLineEdit*>()) {
        // The text of a list to choose from belongs to the list's frame.
        const QWidget* holder = field->parentWidget();
        if (qobject_cast<const QComboBox*>(holder))
            holder = holder->parentWidget();
        byFrame[holder].push_back({field->mapTo(&window, QPoint(0, 0)), field});
    }

    std::vector<std::pair<QPoint, const QWidget*>> frames;
    for (auto& [frame, fields] : byFrame) {
        std::sort(fields.begin(), fields.end(),
                  [](const Placed& a, const Placed& b) { return above(a.at, b.at); });
        frames.emplace_back(frame->mapTo(&window, QPoint(0, 0)), frame);
    }
    // Frames side by side: the left one first.
    std::sort(frames.begin(), frames.end(), [](const auto& a, const auto& b) {
        return std::make_pair(a.first.x(), a.first.y()) < std::make_pair(b.first.x(), b.first.y());
    });

    const std::string mark = decimalMark();
    CopyTable table;
    table.caption = window.menuTitle().toStdString();
    for (const auto& [at, frame] : frames) {
        if (frames.size() > 1) {
            const auto* box = qobject_cast<const QGroupBox*>(frame);
            const QString caption = box ? spokenCaption(box->title()) : QString();
            table.rows.push_back({caption.toStdString(), {}, true});
        }
        for (const Placed& p : byFrame[frame])
            table.rows.push_back({p.field->accessibleName().toStdString(),
                                  numberOrText(p.field->text().toStdString(), mark), false});
    }
    return table;
}

QMimeData* mimeDataOf(const CopyTable& table)
{
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(tableAsText(table)));
    data->setHtml(QString::fromStdString(tableAsHtml(table)));
    return data;
}

void copyNumber(const QString& text) { QApplication::clipboard()->setText(numberForCopy(text)); }

void copyInputsAndResults(const CalculatorWindow& window)
{
    const QList<QLineEdit*> fields = window.findChildren<QLineEdit*>();
    const bool computesFromFields = std::any_of(window.models().begin(), window.models().end(),
                                                [](const CalculatorModel* m) { return m->computes(); });
    if (!computesFromFields && fields.size() == 1) {
        copyNumber(fields.front()->text());
        return;
    }
    QApplication::clipboard()->setMimeData(mimeDataOf(copyTableOf(window)));
}

void installCopyCommand()
{
    addWindowCommand({QStringLiteral("Eingaben und Ergebnisse kopieren"),
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                      [](const DesignedWindow& w) { return qobject_cast<const CalculatorWindow*>(&w) != nullptr; },
                      [](DesignedWindow& w) {
                          if (const auto* calculator = qobject_cast<const CalculatorWindow*>(&w))
                              copyInputsAndResults(*calculator);
                      }});
}

}  // namespace orvella
