// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmschall.h"

#include "fields.h"
#include "schallmodel.h"

#include <QMessageBox>

namespace orvella {

namespace {

WindowDesign schallDesign()
{
    using K = ControlKind;
    return {
        "frmSchall",
        windowCaption(142),
        9840,
        3150,
        {
            {"Frame1", K::Frame, {}, "Schallleistungspegel", 120, 120, 4695, 2415, 8, kRegular},
            {"Label1", K::Label, "Frame1", "Schalldruckpegel" + blanks(15) + "[dB]", 120, 480, 3135, 375, 12, kRegular},
            {"txPegel_l", K::TextBox, "Frame1", "50", 3360, 480, 1095, 375, 13, kBold},
            {"Label2", K::Label, "Frame1", "Abstand" + blanks(36) + "[m]", 120, 1080, 3135, 375, 11, kRegular},
            {"txAbstand_l", K::TextBox, "Frame1", "1", 3360, 1080, 1095, 375, 14, kBold},
            {"cmdRun_l", K::Button, "Frame1", QString::fromStdString(schallPowerModel().calculateCaption), 240, 1680, 2895, 375, 9, kRegular},
            {"txLeistug_l", K::TextBox, "Frame1", "0", 3360, 1680, 1095, 375, 10, kBold},
            {"Schalldruckpegel", K::Frame, {}, "Schalldruckpegel", 4920, 120, 4815, 2415, 1, kRegular},
            {"Label3", K::Label, "Schalldruckpegel", "Schallleistungspegel" + blanks(12) + "[dB]", 120, 480, 3135, 375, 6, kRegular},
            {"txLeistug_p", K::TextBox, "Schalldruckpegel", "66", 3480, 480, 1095, 375, 2, kBold},
            {"Label4", K::Label, "Schalldruckpegel", "Abstand" + blanks(36) + "[m]", 240, 1080, 3015, 375, 7, kRegular},
            {"txAbstand_p", K::TextBox, "Schalldruckpegel", "1", 3480, 1080, 1095, 375, 3, kBold},
            {"cmdRun_p", K::Button, "Schalldruckpegel", QString::fromStdString(schallPressureModel().calculateCaption), 240, 1680, 3015, 375, 5, kRegular},
            {"txPegel_p", K::TextBox, "Schalldruckpegel", "0", 3480, 1680, 1095, 375, 4, kBold},
            closeButton(120, 2640, 9615, 375, 0),
        },
    };
}

ErrorQuestion& errorQuestion()
{
    static ErrorQuestion question;
    return question;
}

class SchallWindow : public CalculatorWindow {
public:
    SchallWindow() : CalculatorWindow(schallDesign())
    {
        setModels({&schallPowerModel(), &schallPressureModel()});
        onClick("cmdRun_l", [this] { convert(schallPowerModel()); });
        onClick("cmdRun_p", [this] { convert(schallPressureModel()); });
    }

private:
    // The steps of either half (CalculationSteps), each under the error
    // path: comma fix and read the level, comma fix and read the distance,
    // convert, format the result with two decimals, write it and comma-fix
    // it, so that a decimal comma of the regional settings shows as a
    // point. Each click starts from values of 0, which is what Ignore leaves
    // in a value whose step failed. A run that reaches its end with the
    // result written is recorded, after Ignore too: the window shows it.
    void convert(const CalculatorModel& model)
    {
        CalculationSteps calculation(*this, model);
        const bool completed = runSteps(calculation.steps(), [this] {
            const ErrorQuestion& ask = errorQuestion();
            return ask ? ask(this) : askAbortRetryIgnore(this);
        });
        if (completed)
            calculation.finish();
    }
};

class SchallForm : public CalculatorForm {
public:
    using CalculatorForm::CalculatorForm;

protected:
    CalculatorWindow* create() override { return new SchallWindow; }
};

}  // namespace

std::unique_ptr<CalculatorForm> makeSchallForm(std::function<void()> showMenu)
{
    return std::make_unique<SchallForm>(std::move(showMenu));
}

void setErrorQuestion(ErrorQuestion question) { errorQuestion() = std::move(question); }

ErrorChoice askAbortRetryIgnore(QWidget* parent)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kSchallErrorTitle),
                    QString::fromUtf8(kSchallErrorMessage),
                    QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, parent);
    box.setObjectName(QStringLiteral("errorMessageBox"));
    box.setDefaultButton(QMessageBox::Abort);
    box.setEscapeButton(QMessageBox::Abort);
    switch (box.exec()) {
    case QMessageBox::Retry: return ErrorChoice::Retry;
    case QMessageBox::Ignore: return ErrorChoice::Ignore;
    default: return ErrorChoice::Abort;
    }
}

}  // namespace orvella
