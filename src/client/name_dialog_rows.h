// The rows the host and join dialogs share: the player's name, a line that
// says what went wrong, and the action and Cancel buttons.
#pragma once

#include <QString>

class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace dialogrows {

// "Your name:" and its field, which takes no more than the server keeps of a name.
QLineEdit* addNameRow(QDialog* dialog, QVBoxLayout* layout);
// Hidden until something goes wrong; plain text, whatever the text holds.
QLabel* addProblemLine(QDialog* dialog, QVBoxLayout* layout);
// The default action button and Cancel, which rejects the dialog.
QPushButton* addButtonRow(
    QDialog* dialog, QVBoxLayout* layout, const QString& action, const QString& objectName);

} // namespace dialogrows
