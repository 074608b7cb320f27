// SPDX-License-Identifier: GPL-3.0-or-later
#include "describedform.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvella {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

constexpr int kFieldWidth = 96;   // pixels: a number of ten digits in the bold field font
constexpr int kChoiceWidth = 220;  // pixels: the longest choice text

QFont windowFont(bool bold)
{
    QFont font(QString::fromLatin1(kFontFamily));
    font.setPointSizeF(kRegular.pointSize);
    font.setBold(bold);
    return font;
}

// A click into the choice's text opens its list, as a click on the arrow
// does: the text itself cannot be typed over.
class OpensList : public QObject {
public:
    explicit OpensList(QComboBox* box) : QObject(box), box_(box) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonPress)
            return false;
        box_->showPopup();
        return true;
    }

private:
    QComboBox* box_;
};

// The list of a choice; its text field holds the chosen text and is what the
// calculation, the companions and the Verlauf read and type into. A text
// typed into the field selects its entry when there is one.
QWidget* choiceField(const Quantity& q, const QString& initial, QLineEdit** field)
{
    auto* box = new QComboBox;
    box->setObjectName(qs(q.field) + QStringLiteral("_list"));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& choice : q.choices)
        box->addItem(qs(choice));
    QLineEdit* edit = box->lineEdit();
    edit->setObjectName(qs(q.field));
    edit->setReadOnly(true);
    edit->installEventFilter(new OpensList(box));
    QObject::connect(edit, &QLineEdit::textChanged, box, [box](const QString& text) {
        const int i = box->findText(text.trimmed());
        if (i >= 0 && i != box->currentIndex())
            box->setCurrentIndex(i);
    });
    const int start = box->findText(initial);
    box->setCurrentIndex(start >= 0 ? start : 0);
    box->setMinimumWidth(kChoiceWidth);
    *field = edit;
    return box;
}

QString nameWithUnit(const Quantity& q)
{
    return q.unit.empty() ? qs(q.label) : qs(q.label) + QStringLiteral(" [") + qs(q.unit) + u']';
}

// A row of the frame: label, symbol, field and unit; a choice spans the
// field's and the unit's column.
QLineEdit* addRow(QGridLayout* grid, const Quantity& q, const QString& initial, bool result)
{
    const int row = grid->rowCount();
    auto* label = new QLabel(qs(q.label));
    auto* symbol = new QLabel(qs(q.symbolHtml));
    symbol->setTextFormat(Qt::RichText);
    grid->addWidget(label, row, 0);
    grid->addWidget(symbol, row, 1);

    QLineEdit* field = nullptr;
    QWidget* shown = nullptr;
    if (!result && !q.choices.empty()) {
        shown = choiceField(q, initial, &field);
    } else {
        field = new QLineEdit(initial);
        field->setObjectName(qs(q.field));
        field->setReadOnly(result);
        shown = field;
    }
    shown->setFont(windowFont(true));
    if (q.choices.empty()) {
        field->setFixedWidth(kFieldWidth);
        grid->addWidget(shown, row, 2);
        grid->addWidget(new QLabel(q.unit.empty() ? QString() : u'[' + qs(q.unit) + u']'), row, 3);
    } else {
        grid->addWidget(shown, row, 2, 1, 2);
    }
    field->setAccessibleName(nameWithUnit(q));
    label->setBuddy(shown);
    return field;
}

}  // namespace

CalculatorWindow* buildDescribedWindow(const CalculatorModel& model)
{
    // No controls from a design: the window's name and caption only.
    auto* w = new CalculatorWindow(WindowDesign{qs(model.window), windowCaption(16), 0, 0, {}});
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    w->setFont(windowFont(false));
    w->setModels({&model});

    auto* frame = new QGroupBox(qs(model.title));
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    grid->setColumnStretch(0, 1);
    std::vector<QWidget*> order;
    for (const InputQuantity& q : model.inputs) {
        QLineEdit* field = addRow(grid, q, qs(q.initial), false);
        order.push_back(field->parentWidget() == frame ? static_cast<QWidget*>(field) : field->parentWidget());
    }
    auto* calculate = new QPushButton(qs(model.calculateCaption));
    calculate->setObjectName(qs(model.calculateButton));
    grid->addWidget(calculate, grid->rowCount(), 0, 1, 4);
    order.push_back(calculate);
    for (const Quantity& q : model.results)
        order.push_back(addRow(grid, q, {}, true));

    auto* close = new QPushButton(QStringLiteral("CLOSE"));
    close->setObjectName(QStringLiteral("cmdUload"));
    close->setFont(windowFont(false));
    order.push_back(close);

    auto* layout = new QVBoxLayout(w);
    layout->addWidget(frame);
    layout->addWidget(close);
    // The size the rows need, fixed like a designed window's.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    QObject::connect(close, &QPushButton::clicked, w, &CalculatorWindow::closeRequested);
    w->onClick(calculate->objectName(), [w, &model] { w->calculate(model); });
    layout->activate();
    order.front()->setFocus();
    return w;
}

std::unique_ptr<CalculatorForm> makeDescribedForm(std::function<void()> showMenu,
                                                  const CalculatorModel& model)
{
    return std::make_unique<CalculatorForm>(std::move(showMenu), [&model] { return buildDescribedWindow(model); });
}

}  // namespace orvella
