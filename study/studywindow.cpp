// SPDX-License-Identifier: GPL-3.0-or-later
#include "studywindow.h"

#include "companioncommands.h"
#include "studychart.h"
#include "studylabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>


namespace orvella {

namespace {

constexpr int kDefaultPoints = 101;
const QString kMissing = QStringLiteral("–");

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The calculators that compute from their fields; a study varies a field.
std::vector<const CalculatorModel*> computingModels(const std::vector<const CalculatorModel*>& models)
{
    std::vector<const CalculatorModel*> out;
    for (const CalculatorModel* m : models)
        if (m->computes())
            out.push_back(m);
    return out;
}

std::string decimalMark() { return QLocale().decimalPoint().toStdString(); }

// The input studied first: the one with `key`, else the last.
int firstVariable(const CalculatorModel& m, const std::string& key)
{
    const int same = m.inputIndex(key);
    return same >= 0 ? same : int(m.inputs.size()) - 1;
}

// The spacing the first study of `m` over `variable` is expected to have.
Spacing expectedSpacing(const CalculatorModel& m, int variable)
{
    return variable >= 0 ? m.inputs[std::size_t(variable)].study.spacing : Spacing::Linear;
}

// A number written as the calculators write theirs: the user's decimal
// mark, no trailing zeros, as many decimals as it has.
QString numberText(double value)
{
    return qs(cellText(value, exactDecimals(value), decimalMark(), kMissing.toStdString()));
}

QString withUnit(const QString& number, const std::string& unit)
{
    return unit.empty() ? number : number + u' ' + qs(unit);
}

QString quantityName(const InputQuantity& q) { return qs(q.label) + u' ' + qs(q.symbol); }

}  // namespace

// --- window -----------------------------------------------------------------

StudyWindow::StudyWindow(const CompanionRequest& request)
    : link_(request.link), title_(request.title), models_(computingModels(request.models))
{
    setObjectName(QStringLiteral("studyWindow"));
    setWindowTitle(QStringLiteral("Parameterstudie – ") + request.title);

    // The half of the calculator that holds the focus, and the input field
    // that holds it, if any, are studied first.
    const int first = link_ ? std::max(link_->focusedModel(models_), 0) : 0;
    if (link_)
        preferredKey_ = link_->focusedInput(*models_[std::size_t(first)]);

    // Left: what is studied, above the buttons; right: the chart above the
    // table. On a small screen the groups scroll and the buttons stay in
    // sight.
    auto* controls = new QWidget;
    auto* left = new QVBoxLayout(controls);
    left->setContentsMargins(0, 0, 0, 0);

    if (models_.size() > 1) {
        auto* box = new QGroupBox(QStringLiteral("Umrechnung"));
        auto* layout = new QVBoxLayout(box);
        conversion_ = new QComboBox;
        conversion_->setObjectName(QStringLiteral("conversion"));
        for (const CalculatorModel* m : models_) {
            QStringList in, out;
            for (const InputQuantity& q : m->inputs)
                in << qs(q.symbol);
            for (const Quantity& q : m->results)
                out << qs(q.symbol);
            conversion_->addItem(QStringLiteral("%1 (%2 → %3)")
                                     .arg(qs(m->part), in.join(QStringLiteral(", ")),
                                          out.join(QStringLiteral(", "))));
        }
        layout->addWidget(conversion_);
        left->addWidget(box);
    }

    auto* rangeBox = new QGroupBox(QStringLiteral("Veränderliche Größe"));
    auto* grid = new QGridLayout(rangeBox);
    variableBox_ = new QComboBox;
    variableBox_->setObjectName(QStringLiteral("variable"));
    fromEdit_ = new QLineEdit;
    fromEdit_->setObjectName(QStringLiteral("from"));
    toEdit_ = new QLineEdit;
    toEdit_->setObjectName(QStringLiteral("to"));
    fromUnit_ = new StudyLabel;
    toUnit_ = new StudyLabel;
    points_ = new QSpinBox;
    points_->setObjectName(QStringLiteral("points"));
    points_->setRange(kMinStudyPoints, kMaxStudyPoints);
    points_->setValue(kDefaultPoints);
    logarithmic_ = new QCheckBox(QStringLiteral("&Logarithmisch geteilt"));
    logarithmic_->setObjectName(QStringLiteral("logarithmic"));
    note_ = new QLabel;
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);
    note_->setTextFormat(Qt::PlainText);
    note_->hide();
    const struct {
        const char* text;
        QWidget* field;
        QLabel* unit;
    } rows[] = {{"&Größe:", variableBox_, nullptr},
                {"&von:", fromEdit_, fromUnit_},
                {"&bis:", toEdit_, toUnit_},
                {"&Punkte:", points_, nullptr}};
    int row = 0;
    for (const auto& r : rows) {
        auto* label = new StudyLabel(QString::fromUtf8(r.text));
        label->setBuddy(r.field);
        grid->addWidget(label, row, 0);
        grid->addWidget(r.field, row, 1, 1, r.unit ? 1 : 2);
        if (r.unit)
            grid->addWidget(r.unit, row, 2);
        ++row;
    }
    grid->addWidget(logarithmic_, row++, 1, 1, 2);
    grid->addWidget(note_, row++, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    left->addWidget(rangeBox);

    auto* inputsBox = new QGroupBox(QStringLiteral("Eingaben aus dem Rechner"));
    inputList_ = new QGridLayout(inputsBox);
    inputList_->setColumnStretch(0, 1);
    left->addWidget(inputsBox);
    left->addStretch(1);

    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("controls"));
    scroll->setWidget(controls);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* panel = new QWidget;
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(scroll, 1);

    // Escape closes.
    for (auto [text, key, name, run] :
         {std::tuple{"&CSV speichern…", QKeySequence(), "saveCsv", &StudyWindow::saveCsv},
          std::tuple{"&Diagramm speichern…", QKeySequence(), "saveChart", &StudyWindow::saveChart}})
        panelLayout->addWidget(commandButton(addCompanionCommand(this, QString::fromUtf8(text), key, run),
                                             QLatin1String(name)));
    panelLayout->addWidget(commandButton(
        addCompanionCommand(this, QStringLiteral("Schließen"), QKeySequence(Qt::Key_Escape), &QWidget::close),
        QStringLiteral("close")));
    controlsWidth_ = qMax(330, fontMetrics().averageCharWidth() * 48);
    // The groups keep their width when the scroll bar shows.
    controls->setMinimumWidth(controlsWidth_);
    panel->setFixedWidth(controlsWidth_ + scroll->verticalScrollBar()->sizeHint().width());

    // The chart with its legend, on white as it is saved.
    figure_ = new QWidget;
    figure_->setObjectName(QStringLiteral("figure"));
    QPalette white = figure_->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    figure_->setPalette(white);
    figure_->setAutoFillBackground(true);
    // The chart a closed study of this calculator left, if it fits.
    const CalculatorModel& firstModel = *models_[std::size_t(first)];
    chart_ = StudyChart::takeKept(firstModel, expectedSpacing(firstModel, firstVariable(firstModel, preferredKey_)));
    const bool keptChart = chart_ != nullptr;
    if (!keptChart)
        chart_ = new StudyChart;
    chart_->setMinimumSize(420, 280);
    legend_ = new StudyLegend(chart_);
    auto* figureLayout = new QVBoxLayout(figure_);
    figureLayout->setContentsMargins(0, 0, 0, 0);
    figureLayout->setSpacing(0);
    figureLayout->addWidget(chart_, 1);
    figureLayout->addWidget(legend_);
    if (keptChart)
        chart_->setHidden(false);  // hidden when it was taken out of its window
    chart_->setAccessibleName(QStringLiteral("Diagramm der Parameterstudie"));
    table_ = new StudyTableView;
    table_->setAccessibleName(QStringLiteral("Tabelle der Parameterstudie"));
    tableModel_ = new StudyTableModel(this);
    table_->setModel(tableModel_);
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(figure_);
    splitter->addWidget(table_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({560, 180});
    splitter->setChildrenCollapsible(false);

    auto* main = new QHBoxLayout(this);
    main->addWidget(panel);
    main->addWidget(splitter, 1);

    // The calculator's current texts are the fixed inputs: the study follows
    // them as the user edits the calculator, and never writes them.
    auto* refresh = new QTimer(this);
    refresh->setSingleShot(true);
    refresh->setInterval(0);
    connect(refresh, &QTimer::timeout, this, [this] {
        // A closed study catches up when it is shown again.
        if (isVisible())
            recompute();
        else
            stale_ = true;
    });
    if (link_)
        connect(link_, &CompanionLink::inputsChanged, refresh, qOverload<>(&QTimer::start));

    chooseModel(first);

    if (conversion_) {
        conversion_->setCurrentIndex(modelIndex_);
        connect(conversion_, &QComboBox::currentIndexChanged, this, &StudyWindow::chooseModel);
    }
    connect(variableBox_, &QComboBox::currentIndexChanged, this, &StudyWindow::chooseVariable);
    connect(fromEdit_, &QLineEdit::textEdited, this, &StudyWindow::rangeEdited);
    connect(toEdit_, &QLineEdit::textEdited, this, &StudyWindow::rangeEdited);
    connect(points_, &QSpinBox::valueChanged, this, &StudyWindow::recompute);
    connect(logarithmic_, &QCheckBox::toggled, this, &StudyWindow::recompute);

    resize(1120, 740);
    table_->setFocus();
}

// The chart stays for the next study of the calculator when it can serve as
// a new one.
StudyWindow::~StudyWindow() { StudyChart::keep(chart_); }

void StudyWindow::chooseModel(int index)
{
    if (index < 0 || std::size_t(index) >= models_.size())
        return;
    // Another conversion keeps the variable where it has the same input.
    const std::string previousKey = variableBox_->count() > 0 ? model().inputs[std::size_t(variable_)].key
                                                              : preferredKey_;
    modelIndex_ = index;
    const CalculatorModel& m = model();
    const int variable = firstVariable(m, previousKey);
    chart_->setCalculator(m, expectedSpacing(m, variable));

    // The fixed inputs: a row per input, its name and its value as read.
    for (QLabel* l : std::as_const(inputLabels_))
        delete l;
    inputLabels_.clear();
    for (std::size_t i = 0; i < m.inputs.size(); ++i) {
        auto* name = new StudyLabel(quantityName(m.inputs[i]));
        name->setWordWrap(true);
        name->setToolTip(QStringLiteral("Feld %1 des Rechners").arg(qs(m.inputs[i].field)));
        auto* value = new StudyLabel;
        value->setObjectName(QStringLiteral("input_") + qs(m.inputs[i].key));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        inputList_->addWidget(name, int(i), 0);
        inputList_->addWidget(value, int(i), 1);
        inputLabels_ << name << value;
    }

    updating_ = true;
    variableBox_->clear();
    for (const InputQuantity& q : m.inputs)
        variableBox_->addItem(quantityName(q) + QStringLiteral(" [%1]").arg(q.unit.empty() ? "-" : qs(q.unit)));
    updating_ = false;
    chooseVariable(variable);
}

void StudyWindow::chooseVariable(int index)
{
    if (updating_ || index < 0 || std::size_t(index) >= model().inputs.size())
        return;
    variable_ = index;
    const InputQuantity& input = model().inputs[std::size_t(index)];
    std::optional<double> current;
    try {
        current = readInput(input, fieldTexts()[std::size_t(index)]);
    } catch (const ArithmeticError&) {
    }
    const StudyRange range = defaultStudyRange(input, current);

    updating_ = true;
    variableBox_->setCurrentIndex(index);
    from_ = range.from;
    to_ = range.to;
    rangeProblem_.clear();
    fromEdit_->setText(numberText(from_));
    toEdit_->setText(numberText(to_));
    for (QLineEdit* e : {fromEdit_, toEdit_})
        e->setStyleSheet(QString());
    fromUnit_->setText(qs(input.unit));
    toUnit_->setText(qs(input.unit));
    // Logarithmic spacing is offered where the description suggests it: for
    // distances.
    const bool offered = input.study.spacing == Spacing::Logarithmic;
    logarithmic_->setEnabled(offered);
    logarithmic_->setChecked(range.spacing == Spacing::Logarithmic);
    logarithmic_->setToolTip(offered ? QString() : QStringLiteral("Nur für Abstände"));
    updating_ = false;
    recompute();
}

void StudyWindow::rangeEdited()
{
    const std::optional<double> from = parseRangeNumber(fromEdit_->text().toStdString());
    const std::optional<double> to = parseRangeNumber(toEdit_->text().toStdString());
    QStringList problems;
    for (auto [edit, value, name] : {std::tuple{fromEdit_, from, "„von“"}, std::tuple{toEdit_, to, "„bis“"}}) {
        edit->setStyleSheet(value ? QString() : QStringLiteral("color: #c00000"));
        if (!value)
            problems << QStringLiteral("%1 ist keine Zahl.").arg(QString::fromUtf8(name));
    }
    rangeProblem_ = problems.join(u' ');
    if (from && to) {
        from_ = *from;
        to_ = *to;
    }
    recompute();
}

std::vector<std::string> StudyWindow::fieldTexts() const
{
    std::vector<std::string> texts;
    if (link_)
        for (const QString& text : link_->inputTexts(model()))
            texts.push_back(text.toStdString());
    texts.resize(model().inputs.size());
    return texts;
}

void StudyWindow::recompute()
{
    if (updating_)
        return;
    StudyRequest request;
    request.model = &model();
    request.texts = fieldTexts();
    request.variable = variable_;
    request.range = {from_, to_, points_->value(),
                     logarithmic_->isEnabled() && logarithmic_->isChecked() ? Spacing::Logarithmic
                                                                             : Spacing::Linear};
    outcome_ = runStudy(request);
    const CalculatorModel& m = model();
    const InputQuantity& input = m.inputs[std::size_t(variable_)];
    QStringList tips{quantityName(input)};
    for (const Quantity& r : m.results)
        tips << qs(r.label) + u' ' + qs(r.symbol);
    tableModel_->setTable(studyTable(m, variable_, outcome_, decimalMark(), kMissing.toStdString()), tips);
    chart_->showStudy(variable_, outcome_);

    const StudyRangePlan& plan = outcome_.plan;
    QStringList notes;
    if (!rangeProblem_.isEmpty())
        notes << rangeProblem_;
    if (plan.swapped)
        notes << QStringLiteral("„von“ ist größer als „bis“: gerechnet von %1 bis %2.")
                     .arg(numberText(plan.from), numberText(plan.to));
    if (plan.logFallback)
        notes << QStringLiteral("Logarithmische Teilung nur für Bereiche über 0: linear geteilt.");
    if (outcome_.unreadableInput >= 0)
        notes << QStringLiteral("%1 ist im Rechner zu groß, um gelesen zu werden: kein Punkt hat "
                                "ein Ergebnis.")
                     .arg(quantityName(m.inputs[std::size_t(outcome_.unreadableInput)]));
    else if (outcome_.answered == 0)
        notes << QStringLiteral("Kein Punkt des Bereichs hat ein Ergebnis.");
    else if (outcome_.answered < int(outcome_.xs.size()))
        notes << QStringLiteral("%1 von %2 Punkten ohne Ergebnis („–“, Lücke im Diagramm).")
                     .arg(int(outcome_.xs.size()) - outcome_.answered)
                     .arg(outcome_.xs.size());
    if (outcome_.currentX && (*outcome_.currentX < plan.from || *outcome_.currentX > plan.to))
        notes << QStringLiteral("Der Wert im Rechner, %1, liegt außerhalb des Bereichs.")
                     .arg(withUnit(numberText(*outcome_.currentX), input.unit));
    note_->setText(notes.join(u'\n'));
    note_->setVisible(!notes.isEmpty());
    // A wrapped label does not ask its layout for the height it needs: the
    // panel has a fixed width, so the label's width is known.
    const int width = note_->width() > 40 ? note_->width() : controlsWidth_ - 40;
    note_->setMinimumHeight(notes.isEmpty() ? 0 : note_->heightForWidth(width));
    updateInputList();
}

void StudyWindow::updateInputList()
{
    const CalculatorModel& m = model();
    for (std::size_t i = 0; i < m.inputs.size(); ++i) {
        auto* value = qobject_cast<QLabel*>(inputList_->itemAtPosition(int(i), 1)
                                                ? inputList_->itemAtPosition(int(i), 1)->widget()
                                                : nullptr);
        if (!value)
            continue;
        const std::optional<double>& v = outcome_.inputs[i];
        QString text = v ? withUnit(numberText(*v), m.inputs[i].unit) : QStringLiteral("zu groß");
        if (int(i) == variable_)
            text = QStringLiteral("veränderlich (%1)").arg(text);
        value->setText(text);
    }
}

void StudyWindow::showEvent(QShowEvent* event)
{
    if (stale_) {
        stale_ = false;
        recompute();
    }
    QWidget::showEvent(event);
}

QString StudyWindow::note() const { return note_->isVisible() ? note_->text() : QString(); }

// --- files ------------------------------------------------------------------

QString StudyWindow::fileName() const
{
    return QStringLiteral("Parameterstudie %1 – %2")
        .arg(title_, qs(model().inputs[std::size_t(variable_)].symbol));
}

bool StudyWindow::saveCsv() { return saveStudyCsv(this, fileName(), model(), variable_, outcome_); }

bool StudyWindow::saveChart() { return saveStudyFigure(this, fileName(), figure_, windowTitle()); }

QWidget* openStudyWindow(const CompanionRequest& request)
{
    const QString name = QStringLiteral("studyWindow");
    // A study shown again gives its table the keyboard.
    if (auto* study = qobject_cast<StudyWindow*>(findCompanion(request.owner, name)); study && !study->isVisible())
        study->tableView()->setFocus();
    // Closing the study hides it: F2 shows it again at once, with the range
    // the user chose.
    return openOrRaiseCompanion(request.owner, name, OnClose::Hide, [&]() -> QWidget* {
        return computingModels(request.models).empty() ? nullptr : new StudyWindow(request);
    });
}

}  // namespace orvella
