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

    namespace pal = windowpalette;
    setStyleSheet(QStringLiteral("Tphrases { background: %1; }"
                                 "QLabel { color: %2; font-size: 9pt; }"
                                 "QLabel#label_title { color: %3; font-size: 12pt; font-weight: bold; }"
                                 "QLabel#label_note { color: %3; font-size: 8pt; font-style: italic; }"
                                 "QLineEdit { background: %2; color: %4; border: 2px solid %5;"
                                 " border-radius: 2px; padding: 1px 4px; font-size: 9pt;"
                                 " selection-background-color: %3; selection-color: %4; }")
                      .arg(windowstyle::css(pal::navyDeep()), windowstyle::css(pal::white()),
                          windowstyle::css(pal::gold()), windowstyle::css(pal::ink()),
                          windowstyle::css(pal::scrollHandle()))
        + windowstyle::focusRing() + windowstyle::goldButtons("4px 22px"));

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
