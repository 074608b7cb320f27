// SPDX-License-Identifier: GPL-3.0-or-later
#include "studywindow.h"

#include "savefile.h"
#include "studychart.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QSvgGenerator>
#include <QTimer>
#include <QVBoxLayout>

#include <set>

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

}  // namespace

void setStudyFileDialog(StudyFileDialog dialog) { fileDialog() = std::move(dialog); }

// --- table ------------------------------------------------------------------

void StudyTableModel::setTable(const TextTable& table, const QStringList& headerTips)
{
    headerTips_ = headerTips;
    const bool sameShape = table.header == table_.header && table.rows.size() == table_.rows.size();
    if (sameShape) {
        table_ = table;
        if (!table_.rows.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
        return;
    }
    beginResetModel();
    table_ = table;
    endResetModel();
}

int StudyTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(table_.rows.size());
}

int StudyTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(table_.header.size());
}

QVariant StudyTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return qs(table_.rows[std::size_t(index.row())][std::size_t(index.column())]);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant StudyTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal)
        return headerTips_.value(section);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < columnCount() ? qs(table_.header[std::size_t(section)]) : QVariant();
    return section + 1;
}

StudyTableView::StudyTableView(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("table"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void StudyTableView::copySelection()
{
    auto* m = qobject_cast<StudyTableModel*>(model());
    if (!m)
        return;
    const TextTable& all = m->table();
    std::set<int> rows, columns;
    for (const QModelIndex& i : selectionModel()->selectedIndexes()) {
        rows.insert(i.row());
        columns.insert(i.column());
    }
    TextTable copy;
    copy.alignRight = all.alignRight;
    if (rows.empty()) {
        copy = all;
    } else {
        // The block that spans the selection, as spreadsheets copy it.
        for (int c = *columns.begin(); c <= *columns.rbegin(); ++c)
            copy.header.push_back(all.header[std::size_t(c)]);
        for (int r = *rows.begin(); r <= *rows.rbegin(); ++r) {
            std::vector<std::string> row;
            for (int c = *columns.begin(); c <= *columns.rbegin(); ++c)
                row.push_back(all.rows[std::size_t(r)][std::size_t(c)]);
            copy.rows.push_back(std::move(row));
        }
    }
    auto* mime = new QMimeData;
    mime->setText(qs(tabSeparatedText(copy)));
    mime->setHtml(qs(htmlTable(copy)));
    QApplication::clipboard()->setMimeData(mime);
}

void StudyTableView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void StudyTableView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("&Kopieren"), this, &StudyTableView::copySelection);
    copy->setShortcut(QKeySequence::Copy);
    QAction* all = menu.addAction(QStringLiteral("&Alles auswählen"), this, &QTableView::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

// --- window -----------------------------------------------------------------

StudyWindow::StudyWindow(const CompanionRequest& request)
    : owner_(request.owner), title_(request.title), models_(computingModels(request.models))
{
    setObjectName(QStringLiteral("studyWindow"));
    setWindowTitle(QStringLiteral("Parameterstudie – ") + request.title);

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
    fromUnit_ = new QLabel;
    toUnit_ = new QLabel;
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
        auto* label = new QLabel(QString::fromUtf8(r.text));
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

    auto* saveCsv = new QPushButton(QStringLiteral("&CSV speichern…"));
    saveCsv->setObjectName(QStringLiteral("saveCsv"));
    auto* saveChart = new QPushButton(QStringLiteral("&Diagramm speichern…"));
    saveChart->setObjectName(QStringLiteral("saveChart"));
    auto* close = new QPushButton(QStringLiteral("Schließen"));
    close->setObjectName(QStringLiteral("close"));
    for (QPushButton* b : {saveCsv, saveChart, close}) {
        b->setAutoDefault(false);
        panelLayout->addWidget(b);
    }
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
    chart_ = new StudyChart;
    chart_->setMinimumSize(420, 280);
    legend_ = new StudyLegend(chart_);
    auto* figureLayout = new QVBoxLayout(figure_);
    figureLayout->setContentsMargins(0, 0, 0, 0);
    figureLayout->setSpacing(0);
    figureLayout->addWidget(chart_, 1);
    figureLayout->addWidget(legend_);
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
    std::set<QString> watched;
    for (const CalculatorModel* m : models_)
        for (const InputQuantity& q : m->inputs)
            if (QLineEdit* edit = owner_ ? owner_->findChild<QLineEdit*>(qs(q.field)) : nullptr)
                if (watched.insert(edit->objectName()).second)
                    connect(edit, &QLineEdit::textChanged, refresh, qOverload<>(&QTimer::start));

    // The half of the calculator that holds the focus, and the input field
    // that holds it, if any, are studied first.
    QWidget* focus = owner_ ? owner_->focusWidget() : nullptr;
    int first = 0;
    for (std::size_t i = 0; i < models_.size() && focus; ++i) {
        QWidget* button = owner_->findChild<QWidget*>(qs(models_[i]->calculateButton));
        QWidget* frame = button ? button->parentWidget() : nullptr;
        if (frame && frame != owner_ && frame->isAncestorOf(focus)) {
            first = int(i);
            break;
        }
    }
    if (focus)
        for (const InputQuantity& q : models_[std::size_t(first)]->inputs)
            if (focus->objectName() == qs(q.field))
                preferredKey_ = q.key;
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
    connect(saveCsv, &QPushButton::clicked, this, &StudyWindow::saveCsv);
    connect(saveChart, &QPushButton::clicked, this, &StudyWindow::saveChart);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    resize(1120, 740);
    table_->setFocus();
}

void StudyWindow::chooseModel(int index)
{
    if (index < 0 || std::size_t(index) >= models_.size())
        return;
    // Another conversion keeps the variable where it has the same input.
    const std::string previousKey = variableBox_->count() > 0 ? model().inputs[std::size_t(variable_)].key
                                                              : preferredKey_;
    modelIndex_ = index;
    const CalculatorModel& m = model();
    chart_->setCalculator(m);

    // The fixed inputs: a row per input, its name and its value as read.
    for (QLabel* l : std::as_const(inputLabels_))
        delete l;
    inputLabels_.clear();
    for (std::size_t i = 0; i < m.inputs.size(); ++i) {
        auto* name = new QLabel(quantityName(m.inputs[i]));
        name->setWordWrap(true);
        name->setToolTip(QStringLiteral("Feld %1 des Rechners").arg(qs(m.inputs[i].field)));
        auto* value = new QLabel;
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
    const int same = m.inputIndex(previousKey);
    chooseVariable(same >= 0 ? same : int(m.inputs.size()) - 1);
}

void StudyWindow::chooseVariable(int index)
{
    if (updating_ || index < 0 || std::size_t(index) >= model().inputs.size())
        return;
    variable_ = index;
    const InputQuantity& input = model().inputs[std::size_t(index)];
    std::optional<double> current;
    try {
        current = readInput(input, fieldText(input.field).toStdString());
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

QString StudyWindow::fieldText(const std::string& field) const
{
    const QLineEdit* edit = owner_ ? owner_->findChild<QLineEdit*>(qs(field)) : nullptr;
    return edit ? edit->text() : QString();
}

std::vector<std::string> StudyWindow::fieldTexts() const
{
    std::vector<std::string> texts;
    for (const InputQuantity& q : model().inputs)
        texts.push_back(fieldText(q.field).toStdString());
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

QString StudyWindow::suggestedName(const QString& suffix) const
{
    QString name = QStringLiteral("Parameterstudie %1 – %2")
                       .arg(title_, qs(model().inputs[std::size_t(variable_)].symbol));
    name.replace(u'/', u'-');
    return QDir(lastFolder()).filePath(name + suffix);
}

QString StudyWindow::askFile(const QString& caption, const QString& suffix, const QString& filters,
                             QString* selectedFilter)
{
    const QString suggested = suggestedName(suffix);
    return fileDialog() ? fileDialog()(this, caption, suggested, filters, selectedFilter)
                        : QFileDialog::getSaveFileName(this, caption, suggested, filters, selectedFilter);
}

namespace {

SaveFailureText saveFailureText()
{
    SaveFailureText text;
    text.title = QStringLiteral("Parameterstudie");
    text.objectName = QStringLiteral("writeFailure");
    return text;
}

}  // namespace

bool StudyWindow::saveCsv()
{
    QString filter = QStringLiteral("CSV-Dateien (*.csv)");
    QString path = askFile(QStringLiteral("CSV speichern"), QStringLiteral(".csv"),
                           filter + QStringLiteral(";;Alle Dateien (*)"), &filter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    // Under German settings spreadsheets expect a decimal comma and
    // semicolons between the cells; a point and commas otherwise. A point
    // without an answer is an empty cell.
    const bool decimalComma = QLocale().decimalPoint() == QLatin1String(",");
    const TextTable table = studyTable(model(), variable_, outcome_, decimalComma ? "," : ".", "");
    // With a byte order mark, so that spreadsheets read the text as UTF-8.
    const std::string text = "\xEF\xBB\xBF" + csvText(table, decimalComma);
    if (!saveAtomically(
            this, path,
            [&](QSaveFile& f) { return f.write(text.data(), qint64(text.size())) == qint64(text.size()); },
            saveFailureText()))
        return false;
    lastFolder() = QFileInfo(path).absolutePath();
    return true;
}

bool StudyWindow::saveChart()
{
    const QString png = QStringLiteral("PNG-Bild (*.png)");
    const QString svg = QStringLiteral("SVG-Grafik (*.svg)");
    QString filter = png;
    QString path = askFile(QStringLiteral("Diagramm speichern"), QStringLiteral(".png"),
                           png + QStringLiteral(";;") + svg, &filter);
    if (path.isEmpty())
        return false;
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg")) {
        suffix = filter == svg ? QStringLiteral("svg") : QStringLiteral("png");
        path += u'.' + suffix;
    }
    const QSize size = figure_->size();
    std::function<bool(QSaveFile&)> write;
    QImage image;
    if (suffix == QLatin1String("svg")) {
        write = [&](QSaveFile& f) {
            QSvgGenerator generator;
            generator.setOutputDevice(&f);
            generator.setSize(size);
            generator.setViewBox(QRect(QPoint(0, 0), size));
            generator.setTitle(windowTitle());
            generator.setDescription(QStringLiteral("Orvella"));
            QPainter painter;
            if (!painter.begin(&generator))
                return false;
            figure_->render(&painter);
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
            figure_->render(&painter);
        }
        write = [&](QSaveFile& f) { return image.save(&f, "PNG"); };
    }
    if (!saveAtomically(this, path, write, saveFailureText()))
        return false;
    lastFolder() = QFileInfo(path).absolutePath();
    return true;
}

QWidget* openStudyWindow(const CompanionRequest& request)
{
    QWidget* window = findCompanion(request.owner, QStringLiteral("studyWindow"));
    if (!window) {
        if (computingModels(request.models).empty())
            return nullptr;
        auto* study = new StudyWindow(request);
        attachCompanion(request.owner, study);
        // Closing the study hides it: F2 shows it again at once, with the
        // range the user chose. It is deleted with its calculator (without
        // one, when it is closed).
        if (request.owner)
            study->setAttribute(Qt::WA_DeleteOnClose, false);
        window = study;
    } else if (!window->isVisible()) {
        if (auto* study = qobject_cast<StudyWindow*>(window))
            study->tableView()->setFocus();
    }
    raiseCompanion(window);
    return window;
}

}  // namespace orvella
