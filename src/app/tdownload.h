// Tdownload: the window a solo game opens to offer the Brellow Lobby, which
// arranges games with others: download and install it, play on alone, or
// leave for an installed lobby.
#pragma once

#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;

class Tdownload : public QDialog {
    Q_OBJECT

public:
    // What infolabel's tag holds.
    enum DownloadState { NotStarted = 0, Started = 1, Aborted = 2 };

    // folder: where the installer is written; url: the installer's address,
    // whose last segment names the file; program: the installed lobby
    // program; exit: ends the game (the main window's File -> Exit).
    Tdownload(
        QString folder, QString url, QString program, std::function<void()> exit, QWidget* parent = nullptr);

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

    int downloadState() const;

    // How the window talks to the world; tests replace them. showMessage is
    // an information box, showError an error box; startProgram starts a
    // program detached and says whether it started.
    std::function<void(const QString&)> showMessage;
    std::function<void(const QString&)> showError;
    std::function<bool(const QString& program, const QStringList& arguments)> startProgram;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void setDownloadState(int state);
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

    QNetworkAccessManager* HttpCli1 = nullptr;
    QPointer<QNetworkReply> reply; // the running request, if any
    QFile installer;
    qint64 received = 0;
    bool bodyBegun = false;
    bool writeFailed = false;
    bool centred = false;
};
