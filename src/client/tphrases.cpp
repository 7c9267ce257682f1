// The phrase editor's layout and its Done button.
#include "tphrases.h"

#include "window_style.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Tphrases::Tphrases(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Tphrases"));
    setWindowTitle(QStringLiteral("Lexmire - Phrase List"));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    setStyleSheet(
        QStringLiteral("Tphrases { background: #0b1a5c; }"
                       "QLabel { color: #ffffff; font-size: 9pt; }"
                       "QLabel#label_title { color: #f0c850; font-size: 12pt; font-weight: bold; }"
                       "QLabel#label_note { color: #f0c850; font-size: 8pt; font-style: italic; }"
                       "QLineEdit { background: #ffffff; color: #000040; border: 1px solid #6a78b8;"
                       " border-radius: 2px; padding: 2px 4px; font-size: 9pt;"
                       " selection-background-color: #f0c850; selection-color: #000040; }"
                       "QLineEdit:focus { border: 1px solid #f0c850; }")
        + windowstyle::goldButtons("4px 22px"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(14, 12, 14, 12);
    outer->setSpacing(8);

    auto* title = new QLabel(QStringLiteral("Phrase Buttons"), this);
    title->setObjectName(QStringLiteral("label_title"));
    outer->addWidget(title);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(5);
    for (int i = 0; i < phraseCount; ++i) {
        const QString n = QString::number(i + 1);
        auto* label = new QLabel(QStringLiteral("Phrase Button ") + n + u':', this);
        label->setObjectName(QStringLiteral("label_phrase") + n);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("phrase") + n);
        edit->setMaxLength(maxPhraseLength);
        edit->setMinimumWidth(230);
        label->setBuddy(edit);
        grid->addWidget(label, i, 0);
        grid->addWidget(edit, i, 1);
        edits[std::size_t(i)] = edit;
    }
    outer->addLayout(grid);

    auto* note = new QLabel(QStringLiteral("Buttons can only be used once every 2 seconds"), this);
    note->setObjectName(QStringLiteral("label_note"));
    note->setAlignment(Qt::AlignCenter);
    outer->addWidget(note);

    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("SelButton8"));
    done->setDefault(true);
    done->setCursor(Qt::PointingHandCursor);
    outer->addWidget(done, 0, Qt::AlignHCenter);
    connect(done, &QPushButton::clicked, this, &Tphrases::SelButton8Click);

    setFixedSize(sizeHint());
}

void Tphrases::setPhrases(const QStringList& phrases)
{
    for (int i = 0; i < phraseCount; ++i)
        edits[std::size_t(i)]->setText(phrases.value(i));
}

QStringList Tphrases::phrases() const
{
    QStringList out;
    for (const QLineEdit* e : edits)
        out << e->text();
    return out;
}

void Tphrases::SelButton8Click()
{
    emit phrasesDone(phrases());
    hide();
}
