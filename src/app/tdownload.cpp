// Tdownload: offers the Brellow Lobby to a solo player; its controls, the
// buttons that do not download, and the progress texts.
#include "tdownload.h"

#include "download_limits.h"
#include "jpeg_module.h"
#include "window_style.h"

#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char* const kPicture = ":/pictures/lobby.jpg";
constexpr int kPictureWidth = 200;
constexpr int kPictureHeight = 150;
constexpr int kWindowWidth = 560;
constexpr int kTitleFontSize = 16;

// A label whose text wraps to the width the layout gives it.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    // Plain text keeps every character as written, double blanks included.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter must not start a download or leave the game by accident.
    button->setAutoDefault(false);
    return button;
}

QFrame* makeRule(QWidget* parent)
{
    auto* rule = new QFrame(parent);
    rule->setObjectName("rule");
    rule->setFrameShape(QFrame::NoFrame);
    rule->setFixedHeight(1);
    return rule;
}

void setBold(QLabel* label, int pointSize = 0)
{
    QFont font = label->font();
    font.setBold(true);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    label->setFont(font);
}

// A warning, in the alert colour that reads on the window's navy.
void setRed(QLabel* label) { label->setProperty("alert", true); }

} // namespace

Tdownload::Tdownload(
    QString folder, QString url, QString program, std::function<void()> exit, QWidget* parent)
    // A tool window of its parent, the main window: above it, yet never above the
    // main window's message boxes, as a window kept above every other would be.
    : QDialog(parent, Qt::Tool)
    , installerFolder(std::move(folder))
    , lobbyUrl(std::move(url))
    , lobbyProgram(std::move(program))
    , exitProgram(std::move(exit))
    , sizeLimit(kInstallerSizeLimit)
{
    setObjectName("Tdownload");
    setWindowTitle("Download The Brellow Lobby");
    // Narrow button margins: the longest caption only just fits beside the picture.
    setStyleSheet(windowstyle::navyWindow("Tdownload") + windowstyle::goldButtons("4px 2px")
        + QString("QLabel[alert=\"true\"] { color: %1; }")
              .arg(windowstyle::css(windowpalette::warningRed())));
    buildControls();
    setDownloadState(NotStarted);

    // Boxes carry the program's title, like every other box of the game.
    showMessage = [this](const QString& text) {
        QMessageBox box(
            QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, this);
        box.exec();
    };
    showError = [this](const QString& text) {
        QMessageBox::critical(this, QGuiApplication::applicationDisplayName(), text);
    };
    // No is the default: Enter alone never runs a program.
    askQuestion = [this](const QString& text) {
        return QMessageBox::question(this, QGuiApplication::applicationDisplayName(), text,
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    };
    startProgram = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments, QFileInfo(program).absolutePath());
    };
    freeSpace = [](const QString& folder) -> qint64 {
        const QStorageInfo storage(folder);
        return storage.isValid() && storage.isReady() ? storage.bytesAvailable() : -1;
    };

    makeHttpClient = [] { return DownloadModule::load(); };
    decodePicture = [](const QByteArray& data) { return JpegModule::decode(data); };

    secureAttemptTimer = new QTimer(this);
    secureAttemptTimer->setObjectName("secureAttemptTimer");
    secureAttemptTimer->setSingleShot(true);
    secureAttemptTimer->setInterval(kSecureAttemptTimeoutMs);
    connect(secureAttemptTimer, &QTimer::timeout, this, &Tdownload::secureAttemptExpired);
}

void Tdownload::buildControls()
{
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setFixedSize(kPictureWidth, kPictureHeight);
    Image1->setAlignment(Qt::AlignCenter);

    Label2 = makeLabel(this, "Label2", "IS CLOSED");
    Label2->setAlignment(Qt::AlignCenter);
    setBold(Label2, kTitleFontSize);
    setRed(Label2);

    Label1 = makeLabel(this, "Label1",
        "Download The Brellow Lobby Now to play this  and other exciting games online with other players!");
    getbutton = makeButton(this, "getbutton", "Download And Install The Brellow Lobby Now");
    infolabel = makeLabel(this, "infolabel", QString());
    infolabel3 = makeLabel(this, "infolabel3", QString());
    for (QLabel* progress : { infolabel, infolabel3 }) {
        setBold(progress);
        // Reserve the line so that the window does not jump when text appears.
        progress->setMinimumHeight(progress->fontMetrics().height());
    }
    abortbutton = makeButton(this, "abortbutton", "Stop Download");
    // Nothing to stop until a download runs.
    abortbutton->setEnabled(false);
    infolabel2 = makeLabel(this, "infolabel2", QString());
    infolabel2->hide();

    Label7 = makeLabel(this, "Label7",
        "To proceed to the game without the ability to play against others click the button below.");
    Button1 = makeButton(this, "Button1", "Play Solo Game");
    Label3 = makeLabel(this, "Label3",
        "Note: Even if you are playing offline, you will need to configure your FIREWALL to allow "
        "the game to access the internet components.");
    setRed(Label3);
    Label5 = makeLabel(this, "Label5",
        "If you already have The Brellow Lobby and you wish to play with others then click the button below "
        "to close this game and open The Brellow Lobby.");
    Button2 = makeButton(this, "Button2", "Play with Others");

    auto* picturePane = new QVBoxLayout;
    picturePane->addWidget(Image1);
    picturePane->addWidget(Label2);
    picturePane->addStretch();

    auto* downloadPane = new QVBoxLayout;
    downloadPane->addWidget(Label1);
    downloadPane->addSpacing(6);
    downloadPane->addWidget(getbutton);
    downloadPane->addWidget(infolabel);
    downloadPane->addWidget(infolabel3);
    downloadPane->addWidget(abortbutton, 0, Qt::AlignLeft);
    downloadPane->addStretch();

    auto* top = new QHBoxLayout;
    top->setSpacing(14);
    top->addLayout(picturePane);
    top->addLayout(downloadPane, 1);

    auto* soloRow = new QHBoxLayout;
    soloRow->addStretch();
    soloRow->addWidget(Button1);
    soloRow->addStretch();
    auto* othersRow = new QHBoxLayout;
    othersRow->addStretch();
    othersRow->addWidget(Button2);
    othersRow->addStretch();
    for (QPushButton* button : { Button1, Button2 })
        button->setMinimumWidth(kPictureWidth);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(14, 14, 14, 14);
    window->addLayout(top);
    window->addWidget(makeRule(this));
    window->addWidget(Label7);
    window->addLayout(soloRow);
    window->addWidget(Label3);
    window->addWidget(makeRule(this));
    window->addWidget(Label5);
    window->addLayout(othersRow);
    window->addWidget(infolabel2);

    connect(getbutton, &QPushButton::clicked, this, &Tdownload::getbuttonClick);
    connect(abortbutton, &QPushButton::clicked, this, &Tdownload::abortbuttonClick);
    connect(Button1, &QPushButton::clicked, this, &Tdownload::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tdownload::Button2Click);

    setFixedWidth(kWindowWidth);
    setFixedHeight(window->totalHeightForWidth(kWindowWidth));
}

void Tdownload::showEvent(QShowEvent* event)
{
    // The illustration is decoded when the window is first shown, by the hook tests may set;
    // without its module the window goes without it, and is not asked again.
    if (!pictureDecoded && decodePicture) {
        pictureDecoded = true;
        QFile picture(QString::fromLatin1(kPicture));
        if (picture.open(QIODevice::ReadOnly))
            Image1->setPixmap(QPixmap::fromImage(decodePicture(picture.readAll())));
    }
    QDialog::showEvent(event);
    if (centred)
        return;
    centred = true;
    if (QScreen* desktop = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(desktop->availableGeometry().center());
        move(frame.topLeft());
    }
}

int Tdownload::downloadState() const { return infolabel->property("tag").toInt(); }

void Tdownload::setDownloadState(int state) { infolabel->setProperty("tag", state); }

void Tdownload::setSizeLimit(qint64 bytes) { sizeLimit = bytes; }

void Tdownload::setSecurePort(int port) { securePort = port; }

void Tdownload::abortbuttonClick()
{
    // Aborting ends the request at once; the waiting getbuttonClick then
    // finds it stopped, follows no redirect and tries no other address.
    if (busy)
        stopRequested = true;
    if (reply)
        reply->abort();
    infolabel->setText("Download has been aborted.");
    setDownloadState(Aborted);
    infolabel3->setText("Download Aborted");
}

void Tdownload::Button1Click() { close(); }

void Tdownload::Button2Click()
{
    if (!QFileInfo::exists(lobbyProgram)) {
        showMessage(
            "Please close the game and open the Brellow Lobby using the icon on your desktop or using "
            "the your Window's start-up menu.");
        return;
    }
    // Leaving the game for a lobby that did not start would leave the player
    // with nothing; say so and stay instead.
    if (!startProgram(lobbyProgram, {})) {
        showMessage("An Error has Occurred.");
        return;
    }
    if (exitProgram)
        exitProgram();
}

void Tdownload::HttpCli1HeaderData() { infolabel->setText(infolabel->text() + '.'); }

void Tdownload::HttpCli1DocBegin() { infolabel3->setText("Downloading: " + infolabel2->text()); }

void Tdownload::HttpCli1DocData(qint64 total) { infolabel->setText(QString::number(total) + " bytes"); }
