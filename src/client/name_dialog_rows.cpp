// The rows the host and join dialogs share.
#include "name_dialog_rows.h"

#include "window_style.h"
#include "wire_limits.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace dialogrows {

QLineEdit* addNameRow(QDialog* dialog, QVBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    auto* label = new QLabel("Your name:", dialog);
    auto* edit = new QLineEdit(dialog);
    edit->setObjectName("edit_playername");
    // The server keeps this many bytes of a name; longer ones would be cut.
    edit->setMaxLength(int(wire::kMaxNameBytes));
    label->setBuddy(edit);
    row->addWidget(label);
    row->addWidget(edit, 1);
    layout->addLayout(row);
    return edit;
}

QLabel* addProblemLine(QDialog* dialog, QVBoxLayout* layout)
{
    auto* problem = new QLabel(dialog);
    problem->setObjectName("label_problem");
    problem->setStyleSheet(windowstyle::alertLabel());
    problem->setTextFormat(Qt::PlainText);
    problem->hide();
    layout->addWidget(problem);
    return problem;
}

QPushButton* addButtonRow(
    QDialog* dialog, QVBoxLayout* layout, const QString& action, const QString& objectName)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* button = new QPushButton(action, dialog);
    button->setObjectName(objectName);
    button->setDefault(true);
    auto* cancel = new QPushButton("Cancel", dialog);
    cancel->setObjectName("button_cancel");
    row->addWidget(button);
    row->addWidget(cancel);
    layout->addLayout(row);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return button;
}

} // namespace dialogrows
