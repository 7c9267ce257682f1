// Tdownload: the window a solo game opens to offer the Brellow Lobby, which
// arranges games with others: download and install it, play on alone, or
// leave for an installed lobby.
#pragma once

#include "http_client.h"
#include "installer_file.h"

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

class QEventLoop;
class QLabel;
class QPushButton;
class QTimer;

class Tdownload : public QDialog {
    Q_OBJECT

public:
    // What infolabel's tag holds.
    enum DownloadState { NotStarted = 0, Started = 1, Aborted = 2 };

    // folder: where the installer is written; url: the installer's address,
    // whose last path segment names the file; program: the installed lobby
    // program; exit: ends the game (the main window's File -> Exit).
    Tdownload(
        QString folder, QString url, QString program, std::function<void()> exit, QWidget* parent = nullptr);
    ~Tdownload() override;

    // Button handlers. getbuttonClick returns only when the download is over;
    // the event loop runs meanwhile, so the other handlers may run inside it.
    void getbuttonClick();
    void abortbuttonClick();
    void Button1Click();
    void Button2Click();

    // Progress of the request: one call per response header line, one when
    // the body begins, one per chunk written with the body bytes so far.
    void HttpCli1HeaderData();
    void HttpCli1DocBegin();
    void HttpCli1DocData(qint64 received);

    // Tick handler of the encrypted attempt's deadline: an attempt still
    // without an answer is given up for the plain address.
    void secureAttemptExpired();

    int downloadState() const;

    // The largest installer accepted; kInstallerSizeLimit unless changed.
    void setSizeLimit(qint64 bytes);
    // The port on which a plain http address is first tried over https;
    // -1, https's own port, unless changed.
    void setSecurePort(int port);

    // How the window talks to the world; tests replace them. showMessage is
    // an information box, showError an error box; askQuestion asks Yes or No
    // and says whether the answer was Yes; startProgram starts a program
    // detached and says whether it started; freeSpace gives the bytes free
    // in a folder, or -1 when that cannot be told.
    std::function<void(const QString&)> showMessage;
    std::function<void(const QString&)> showError;
    std::function<bool(const QString&)> askQuestion;
    std::function<bool(const QString& program, const QStringList& arguments)> startProgram;
    std::function<qint64(const QString& folder)> freeSpace;
    // Makes the HTTP client at the first download; null when it cannot be had. The default
    // loads the lexmire-download module.
    std::function<std::unique_ptr<HttpClient>()> makeHttpClient;
    // Decodes the illustration when the window is first shown. The default decodes it in
    // the lexmire-jpeg module.
    std::function<QImage(const QByteArray&)> decodePicture;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // How one request ended.
    enum class Step { Complete, Redirect, NoTls, Failed };
    // What the answer to the running request turned out to be.
    enum class Answer { Unknown, Body, Redirect, Refused };

    // The running request's answer, as far as it has come in.
    struct Response {
        bool secureAttempt = false;
        bool headersSeen = false;
        Answer answer = Answer::Unknown;
        QUrl redirectTarget;
        bool tooLarge = false;
        bool writeFailed = false;
        qint64 ignored = 0; // body bytes read and thrown away
    };

    void buildControls();
    void setDownloadState(int state);
    void startRequest(const QUrl& address, bool secureAttempt);
    void requestFinished();
    Step requestOutcome(bool clean) const;
    bool followRedirect(const QUrl& target);
    void endDownload(Step step);
    void finishDownload();
    bool playerWantsToInstall();
    void readAnswer();
    void replyMetaData();
    void replyData();

    QString installerFolder;
    QString lobbyUrl;
    QString lobbyProgram;
    std::function<void()> exitProgram;

    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* getbutton = nullptr;
    QLabel* infolabel = nullptr;
    QLabel* infolabel3 = nullptr;
    QPushButton* abortbutton = nullptr;
    QLabel* infolabel2 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Button2 = nullptr;

    std::unique_ptr<HttpClient> HttpCli1; // made at the first download
    QTimer* secureAttemptTimer = nullptr;
    HttpFetch* reply = nullptr; // the running request, if any
    quint64 requestNumber = 0; // tells the running request's end from a stale one
    Response response;
    InstallerFile installer;
    QPointer<QEventLoop> waiting; // getbuttonClick's wait, while it lasts
    QUrl configuredAddress;
    QUrl currentAddress;
    QList<QUrl> trusted; // servers this download may be redirected to unasked
    int hops = 0;
    bool over = true; // no request runs or follows
    Step outcome = Step::Failed;
    bool quitting = false;
    qint64 sizeLimit;
    int securePort = -1;
    qint64 limit = 0; // this download's bound: the size limit or the free space
    bool limitIsFreeSpace = false;
    qint64 received = 0;
    bool busy = false;
    bool stopRequested = false;
    bool bodyBegun = false;
    bool centred = false;
    bool pictureDecoded = false;
};
