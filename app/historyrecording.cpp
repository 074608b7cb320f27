// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyrecording.h"

#include "calculationrecord.h"
#include "historyservice.h"
#include "historysettings.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>

namespace orvella {

namespace {

const QString kNoticeName = QStringLiteral("historyNotice");

struct Recording {
    HistoryService* service = nullptr;
    bool unavailable = false;  // the plugin could not be loaded (reported once)
    QPointer<QMessageBox> notice;
};

Recording& recording()
{
    static Recording r;
    return r;
}

// A box over the active window that the user closes when it suits; the
// calculation that caused it has written its results already.
void showNotice(const QString& text)
{
    Recording& r = recording();
    if (r.notice) {
        r.notice->setText(r.notice->text() + QStringLiteral("\n\n") + text);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Verlauf – Orvella"), text,
                                QMessageBox::Ok, QApplication::activeWindow());
    box->setObjectName(kNoticeName);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    r.notice = box;
}

HistoryService* service()
{
    Recording& r = recording();
    if (r.service || r.unavailable)
        return r.service;
    QString error;
    r.service = loadHistoryService(&error);
    if (!r.service) {
        r.unavailable = true;
        showNotice(QStringLiteral("Der Verlauf ist in dieser Sitzung nicht verfügbar, weil ein Teil des "
                                  "Programms fehlt oder beschädigt ist. Die Rechner arbeiten wie gewohnt; "
                                  "ihre Rechnungen werden nicht eingetragen.\n\n%1")
                       .arg(error));
        return nullptr;
    }
    r.service->setNotifier(showNotice);
    return r.service;
}

// The history, loaded unless it is switched off by the user (then it stays
// unloaded); null when off or unavailable.
HistoryService* enabledService()
{
    if (!recording().service && !recording().unavailable) {
        const QSettings settings(defaultSettingsPath(), QSettings::IniFormat);
        if (!historyEnabled(settings))
            return nullptr;
    }
    return service();
}

void recordCalculation(const CalculationRecord& record)
{
    if (HistoryService* history = enabledService())
        history->record(record);
}

void recordEvaluation(std::shared_ptr<const EvaluationSnapshot> snapshot)
{
    if (HistoryService* history = enabledService())
        history->recordEvaluation(std::move(snapshot));
}

bool& installed()
{
    static bool on = false;
    return on;
}

}  // namespace

void installHistoryRecording()
{
    setCalculationObserver(recordCalculation);
    installed() = true;
}

std::function<void(std::shared_ptr<const EvaluationSnapshot>)> evaluationRecorder()
{
    if (!installed())
        return {};
    return recordEvaluation;
}

QWidget* historyNotice() { return recording().notice; }

}  // namespace orvella
