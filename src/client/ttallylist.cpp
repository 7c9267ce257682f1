// The tally window.
#include "ttallylist.h"

#include "tally_file.h"
#include "window_style.h"
#include "wire_text.h"

#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* valueLabel(const QString& name, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(name);
    label->setProperty("tallyValue", true);
    return label;
}

} // namespace

void Ttallylist::setVisible(bool visible)
{
    // The window is made at start, as it holds the tally, but its controls and its look
    // wait for its first showing: a start that never opens the tally would pay for some
    // fifty controls, each polished under a style sheet, for nothing.
    if (visible)
        buildControls();
    if (visible && styleSheet().isEmpty())
        setStyleSheet(windowstyle::navyWindow("Ttallylist") + windowstyle::fields()
            + windowstyle::goldButtons("4px 18px")
            + QString("QLabel[tallyValue=\"true\"] { color: %1; font-weight: bold; }")
                  .arg(windowstyle::css(windowpalette::goldText())));
    QDialog::setVisible(visible);
}

Ttallylist::Ttallylist(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("Ttallylist");
    setWindowTitle("Lexmire - Tally List");
    resize(489, 467);
    ask = [this](const QString& question) {
        return QMessageBox::question(this, "Lexmire", question, QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes;
    };
    notify = [this](const QString& text) { QMessageBox::information(this, "Lexmire", text); };
}

void Ttallylist::buildControls()
{
    if (listbox_tally)
        return;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel("Players Being Tallied"));
    listbox_tally = new QListWidget;
    listbox_tally->setObjectName("listbox_tally");
    left->addWidget(listbox_tally, 1);
    left->addWidget(new QLabel("Players In Current Game (Click to Start Tally)"));
    checklist = new QListWidget;
    checklist->setObjectName("checklist");
    left->addWidget(checklist, 1);

    auto* own = new QGroupBox("Your Total Tally");
    auto* ownGrid = new QGridLayout(own);
    const std::pair<int, const char*> ownRows[] = { { 1, "Total Games:" }, { 2, "Your Wins:" },
        { 3, "Longest Word:" }, { 5, "Best Scoring:" }, { 7, "Total Words:" }, { 8, "Turn Score:" } };
    int line = 0;
    for (auto [column, caption] : ownRows) {
        ownGrid->addWidget(new QLabel(caption), line, 0);
        ownGrid->addWidget(
            valueLabel(QString("mylabel_%1").arg(column), column == 3 || column == 5 ? "None" : "0"), line,
            1);
        ++line;
    }

    auto* his = new QGroupBox;
    auto* hisGrid = new QGridLayout(his);
    auto* top = valueLabel("label_hisnametop", "'s Tally");
    hisGrid->addWidget(top, 0, 0, 1, 3);
    hisGrid->addWidget(new QLabel("Total"), 1, 1);
    hisGrid->addWidget(new QLabel("Session"), 1, 2);
    const char* captions[] = { "Number of Games:", "XX Wins:", "Your Wins:", "Neither Won:" };
    for (int row = 0; row < 4; ++row) {
        auto* caption = new QLabel(captions[row]);
        if (row == 1)
            caption->setObjectName("label_hisname");
        hisGrid->addWidget(caption, row + 2, 0);
        hisGrid->addWidget(valueLabel(QString("label_%1").arg(row + 1), "0"), row + 2, 1);
        hisGrid->addWidget(valueLabel(QString("label_%1").arg(row + 5), "0"), row + 2, 2);
    }

    auto* reset = new QPushButton("Reset Tally");
    reset->setObjectName("FlatButton2");
    connect(reset, &QPushButton::clicked, this, &Ttallylist::FlatButton2Click);
    auto* ok = new QPushButton("Ok");
    ok->setObjectName("FlatButton1");
    // Enter closes the window wherever the keyboard is; Reset only ever on purpose.
    ok->setDefault(true);
    reset->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::hide);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(reset);
    buttons->addWidget(ok);

    auto* right = new QVBoxLayout;
    right->addWidget(own);
    right->addWidget(his);
    right->addStretch();
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);

    connect(checklist, &QListWidget::itemChanged, this, &Ttallylist::checklistClickCheck);
    connect(listbox_tally, &QListWidget::itemChanged, this, &Ttallylist::listbox_tallyClickCheck);
    connect(listbox_tally, &QListWidget::currentRowChanged, this, &Ttallylist::listbox_tallyClick);

    // Opponents' names come from other players: plain text, never markup.
    for (QLabel* label : findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);

    refreshOwnLabels();
    refreshTalliedList();
    fillChecklist();
}

void Ttallylist::setLabel(const QString& name, const QString& text)
{
    if (auto* label = findChild<QLabel*>(name))
        label->setText(text);
}

void Ttallylist::refreshOwnLabels()
{
    if (!listbox_tally)
        return;
    for (int column : { 1, 2, 3, 5, 7, 8 })
        setLabel(QString("mylabel_%1").arg(column), fromWire(model_.ownLabel(column)));
}

void Ttallylist::refreshTalliedList()
{
    if (!listbox_tally)
        return;
    updatingLists_ = true;
    listbox_tally->clear();
    for (const std::string& name : model_.talliedNames()) {
        auto* item = new QListWidgetItem(fromWire(name), listbox_tally);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    updatingLists_ = false;
}

void Ttallylist::loadFromFile(const QString& path)
{
    // What the player is told about a tally file that cannot be used.
    static const char* const kKeptAside
        = "The tally file could not be read. It is kept as %1, and the tally starts empty.\n\n%2";
    static const char* const kNotAFile
        = "The tally cannot be read: %1. The tally starts empty, and the file is left as it is.";
    static const char* const kLeftDamaged
        = "The tally file could not be read, nor kept aside; it is left as it is, and the tally starts "
          "empty.\n\n%1";

    keepFile_.clear();
    const TallyLoad load = loadTallyFile(QFile::encodeName(path).toStdString());
    const QString problem = QString::fromLocal8Bit(load.problem.c_str());
    QString notice;
    switch (load.outcome) {
    case TallyLoad::Outcome::Loaded:
        model_.loadtally(load.rows);
        break;
    case TallyLoad::Outcome::Missing:
        break;
    case TallyLoad::Outcome::KeptAside:
        notice = QString(kKeptAside).arg(QFile::decodeName(load.keptAs.c_str()), problem);
        break;
    case TallyLoad::Outcome::NotAFile:
        // Left alone, so the tally written at the end must not replace it either.
        keepFile_ = problem;
        notice = QString(kNotAFile).arg(problem);
        break;
    case TallyLoad::Outcome::LeftDamaged:
        keepFile_ = path + " could not be read or kept aside";
        notice = QString(kLeftDamaged).arg(problem);
        break;
    }
    if (!notice.isEmpty()) {
        model_ = TallyModel();
        if (notify)
            notify(notice);
    }
    refreshOwnLabels();
    refreshTalliedList();
}

QString Ttallylist::saveToFile(const QString& path) const
{
    if (!keepFile_.isEmpty())
        return QString("The tally was not saved: %1.").arg(keepFile_);
    try {
        writeTallyFile(QFile::encodeName(path).toStdString(), model_.rows());
    } catch (const std::exception& error) {
        // The previous file stays as it was.
        return QString("The tally could not be saved.\n\n%1").arg(QString::fromLocal8Bit(error.what()));
    }
    return {};
}

void Ttallylist::setPlayersInGame(const QStringList& names)
{
    playersInGame_ = names;
    fillChecklist();
}

void Ttallylist::fillChecklist()
{
    if (!checklist)
        return;
    updatingLists_ = true;
    checklist->clear();
    for (const QString& name : playersInGame_) {
        auto* item = new QListWidgetItem(name, checklist);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(model_.talliedIndex(toWire(name)) >= 0 ? Qt::Checked : Qt::Unchecked);
    }
    updatingLists_ = false;
}

QStringList Ttallylist::playersInGame() const { return playersInGame_; }

void Ttallylist::ownWordAccepted(const QString& word, int score)
{
    if (word.size() > model_.threshold(TallyModel::LongestWord))
        model_.addword(toWire(word), word.size(), TallyModel::LongestWord);
    if (score > model_.threshold(TallyModel::BestWord))
        model_.addword(toWire(word), score, TallyModel::BestWord);
    model_.anotherword(TallyModel::TotalWords);
    refreshOwnLabels();
}

void Ttallylist::roundEnded(int minutesPerRound, int wordsFound, int score)
{
    if (score <= model_.threshold(TallyModel::BestRound))
        return;
    model_.addword(std::to_string(minutesPerRound) + " mins-" + std::to_string(wordsFound) + " Words", score,
        TallyModel::BestRound);
    refreshOwnLabels();
}

void Ttallylist::addgame(const QString& result)
{
    std::vector<std::string> players;
    for (const QString& name : playersInGame())
        players.push_back(toWire(name));
    model_.addgame(toWire(result), players);
    refreshOwnLabels();
    if (listbox_tally && listbox_tally->currentRow() >= 0)
        showRow(listbox_tally->currentRow());
}

void Ttallylist::checklistClickCheck(QListWidgetItem* item)
{
    if (updatingLists_ || !item)
        return;
    const std::string name = toWire(item->text());
    if (model_.talliedIndex(name) >= 0)
        return; // unticking here does not stop a tally
    model_.startTallying(name);
    refreshTalliedList();
}

void Ttallylist::listbox_tallyClickCheck(QListWidgetItem* item)
{
    if (updatingLists_ || !item || item->checkState() == Qt::Checked)
        return;
    const int index = listbox_tally->row(item);
    const QString question = "This will delete " + item->text() + "'s Tally, Are you want to delete it?";
    if (ask && ask(question)) {
        model_.moverow(index + 1);
        refreshTalliedList();
    } else {
        updatingLists_ = true;
        item->setCheckState(Qt::Checked);
        updatingLists_ = false;
    }
}

void Ttallylist::listbox_tallyClick(int index)
{
    if (index >= 0)
        showRow(index);
}

void Ttallylist::showRow(int index)
{
    const int row = index + 1;
    if (row >= model_.rowCount())
        return;
    for (int column = 1; column <= 8; ++column)
        setLabel(QString("label_%1").arg(column), fromWire(model_.cell(row, column)));
    const QString name = fromWire(model_.cell(row, 0));
    setLabel("label_hisname", name + " Wins:");
    setLabel("label_hisnametop", name + "'s Tally");
}

void Ttallylist::FlatButton2Click()
{
    if (!ask || !ask("Are you sure you want to reset the Tally?"))
        return;
    model_.reset();
    refreshOwnLabels();
    refreshTalliedList();
    for (int column = 1; column <= 8; ++column)
        setLabel(QString("label_%1").arg(column), "0");
}
