// The phrase editor: the nine canned lines of the phrase buttons.
#pragma once

#include <QDialog>
#include <QStringList>

#include <array>

class QLineEdit;

class Tphrases : public QDialog {
    Q_OBJECT

public:
    static constexpr int phraseCount = 9;
    static constexpr int maxPhraseLength = 50;

    explicit Tphrases(QWidget* parent = nullptr);

    // Fills the edits phrase1..phrase9 in order; missing entries become empty.
    void setPhrases(const QStringList& phrases);
    QStringList phrases() const;

public slots:
    // "Done": hands the nine texts on and hides the editor.
    void SelButton8Click();

signals:
    // Always nine texts, empty ones included, phrase1 first.
    void phrasesDone(const QStringList& phrases);

private:
    std::array<QLineEdit*, phraseCount> edits {};
};
