// Tdownload's download: the request chain (the encrypted attempt, the plain
// address, redirects), the bounded write to disk, and the player's consent
// before anything that arrived is started.
#include "tdownload.h"

#include "download_address.h"
#include "download_limits.h"

#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace {

const char* const kUserAgent = "Mozilla/3.0 (compatible)";
const char* const kAccept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
const char* const kInstallerParameters = "/SP- /silent /noicons";

constexpr int kHttpOk = 200;

bool isRedirectStatus(int status) { return status >= 300 && status < 400; }

} // namespace

Tdownload::~Tdownload()
{
    // A request cut short by the window's end must not call back into it.
    if (reply)
        HttpCli1->release(reply);
}

void Tdownload::getbuttonClick()
{
    // The button is disabled while a download runs; this also covers a call
    // made from elsewhere during the wait or the questions.
    if (busy)
        return;
    setDownloadState(Started);
    // The file's name comes from the configured address alone: never from the
    // query, a redirect or anything the server says.
    const QUrl configured(lobbyUrl);
    const QString name
        = DownloadAddress::isWebAddress(configured) ? DownloadAddress::installerName(configured) : QString();
    if (name.isEmpty()) {
        showError("The lobby's address names no installer file: " + lobbyUrl);
        return;
    }
    infolabel2->setText(name);
    if (!HttpCli1 && makeHttpClient)
        HttpCli1 = makeHttpClient();
    if (!HttpCli1) {
        showError("The download module " + DownloadModule::fileName() + " is missing");
        return;
    }
    if (!installer.create(installerFolder, name)) {
        showError("Cannot create file " + QDir::toNativeSeparators(installerFolder + '/' + name));
        return;
    }
    busy = true;
    stopRequested = false;
    quitting = false;
    getbutton->setEnabled(false);
    abortbutton->setEnabled(true);
    infolabel->setText("Loading");
    received = 0;
    bodyBegun = false;
    // The free space is read once, before any byte arrives: the download may
    // use it up to the size limit, never past it.
    const qint64 free = freeSpace ? freeSpace(installerFolder) : -1;
    limitIsFreeSpace = free >= 0 && free < sizeLimit;
    limit = limitIsFreeSpace ? free : sizeLimit;

    // Redirects within these servers are followed as they come; any other
    // server needs the player's yes first.
    configuredAddress = configured;
    trusted = { configured };
    hops = 0;
    over = false;
    // A plain address is tried over TLS first, so that nobody on the way can
    // change the installer when the server offers https.
    const QUrl secure = DownloadAddress::secureForm(configured, securePort);
    if (secure.isValid()) {
        trusted << secure;
        startRequest(secure, true);
    } else {
        startRequest(configured, false);
    }

    // Each request hands over to the next from the event loop, so that
    // another loop running inside this wait never holds the download up.
    QPointer<Tdownload> self(this);
    QEventLoop wait;
    connect(this, &QObject::destroyed, &wait, &QEventLoop::quit);
    waiting = &wait;
    if (!over)
        wait.exec();
    // A window deleted during the wait took its manager, its requests and its
    // file with it; nothing of it may be touched now.
    if (!self)
        return;
    waiting = nullptr;
    if (!over) {
        // Quitting the application ends every event loop, this one included,
        // before the download is over: the request must not outlive the
        // program, and nothing more may be asked or fetched.
        quitting = true;
        if (reply)
            reply->abort();
        requestFinished();
        endDownload(Step::Failed);
    }
    finishDownload();
    // Busy until the player has answered: no second download may replace
    // the file the question is about.
    if (self)
        busy = false;
}

void Tdownload::startRequest(const QUrl& address, bool secureAttempt)
{
    response = Response {};
    response.secureAttempt = secureAttempt;
    currentAddress = address;

    // One request per connection, and the file exactly as served: the byte
    // count shown is the installer's size, not that of a compressed transfer.
    const QList<HttpClient::Header> headers { { "User-Agent", kUserAgent }, { "Accept", kAccept },
        { "Connection", "close" }, { "Accept-Encoding", "identity" } };
    const quint64 number = ++requestNumber;
    HttpFetch::Events events;
    events.headers = [this] { replyMetaData(); };
    events.data = [this] { replyData(); };
    events.finished = [this, number] {
        if (number == requestNumber)
            requestFinished();
    };
    reply = HttpCli1->get(address, headers, kDownloadReadBuffer, std::move(events));
    if (secureAttempt)
        secureAttemptTimer->start();
}

void Tdownload::requestFinished()
{
    HttpFetch* running = reply;
    if (!running)
        return;
    secureAttemptTimer->stop();
    if (!quitting) {
        // The headers and the last bytes of a short answer can come in with
        // its end.
        readAnswer();
        if (running->succeeded())
            replyData();
    }
    const bool clean = running->isFinished() && running->succeeded();
    reply = nullptr;
    ++requestNumber;
    HttpCli1->release(running);
    if (quitting)
        return;

    const Step step = requestOutcome(clean);
    if (step == Step::NoTls) {
        startRequest(configuredAddress, false);
        return;
    }
    if (step != Step::Redirect) {
        endDownload(step);
        return;
    }
    const QUrl target = response.redirectTarget;
    QPointer<Tdownload> self(this);
    const bool follow = ++hops <= kMaxRedirects && followRedirect(target);
    if (!self)
        return;
    if (!follow || stopRequested || quitting) {
        endDownload(Step::Failed);
        return;
    }
    // An answer from TLS stands: whatever it redirects to is never exchanged
    // for a plain address behind the player's back.
    startRequest(target, false);
}

Tdownload::Step Tdownload::requestOutcome(bool clean) const
{
    if (stopRequested || response.tooLarge || response.writeFailed)
        return Step::Failed;
    // No answer at all over TLS (refused, no handshake, no certificate that
    // holds, no TLS here, or no answer in time): TLS cannot be had, so the
    // configured address is used as it is.
    if (response.secureAttempt && !response.headersSeen)
        return Step::NoTls;
    if (response.answer == Answer::Redirect)
        return Step::Redirect;
    return response.answer == Answer::Body && clean ? Step::Complete : Step::Failed;
}

bool Tdownload::followRedirect(const QUrl& target)
{
    if (!DownloadAddress::isWebAddress(target))
        return false;
    if (std::any_of(trusted.cbegin(), trusted.cend(),
            [&target](const QUrl& known) { return DownloadAddress::sameServer(known, target); }))
        return true;
    const bool yes = askQuestion("The download server sends the download on to another host:\n\n"
        + DownloadAddress::serverLabel(target) + "\n\n" + DownloadAddress::shownAddress(target)
        + "\n\nDownload from there?");
    if (yes)
        trusted << target;
    return yes;
}

void Tdownload::endDownload(Step step)
{
    if (over)
        return;
    over = true;
    outcome = step;
    if (waiting)
        waiting->quit();
}

void Tdownload::finishDownload()
{
    const QString path = installer.path();
    const bool complete = outcome == Step::Complete && installer.commit();
    if (complete) {
        infolabel->setText(QString("Received %1 bytes").arg(installer.size()));
    } else {
        // Nothing of a failed download stays: a cut or oversized file must
        // not sit under the installer's name.
        installer.discard();
        infolabel->setText("Download Aborted");
        setDownloadState(Aborted);
        if (response.tooLarge) {
            infolabel3->setText(limitIsFreeSpace ? "Not enough free space for the download"
                                                 : "The download is too large for an installer");
        }
    }
    getbutton->setEnabled(true);
    abortbutton->setEnabled(false);
    if (outcome == Step::Complete && !complete)
        response.writeFailed = true;
    if (response.writeFailed)
        showError("Cannot write file " + QDir::toNativeSeparators(path));
    if (downloadState() == Aborted)
        return;

    QPointer<Tdownload> self(this);
    const bool yes = playerWantsToInstall();
    if (!self)
        return;
    if (!yes) {
        installer.discard();
        infolabel->setText("Download Aborted");
        setDownloadState(Aborted);
        infolabel3->setText("Download Aborted");
        return;
    }
    infolabel3->setText("Installing");
    // Only the file written here runs, and only while its name still holds
    // it: a link or another file put there since is never started.
    const bool started = installer.isInPlace() && installer.makeExecutable()
        && startProgram(path, QProcess::splitCommand(QString::fromLatin1(kInstallerParameters)));
    if (!started) {
        showMessage("An Error has Occurred.");
        return;
    }
    if (exitProgram)
        exitProgram();
}

bool Tdownload::playerWantsToInstall()
{
    // The file is a program from the network: the player sees where it came
    // from and decides.
    QString question = "Start the downloaded installer?\n\n" + infolabel2->text() + " ("
        + QString::number(installer.size()) + " bytes)\nfrom "
        + DownloadAddress::shownAddress(currentAddress);
    if (currentAddress.scheme() != QLatin1String("https"))
        question += "\n\nThis address is not encrypted: anyone on the way could have changed the file.";
    return askQuestion(question);
}

void Tdownload::secureAttemptExpired()
{
    if (reply && response.secureAttempt && !response.headersSeen)
        reply->abort();
}

void Tdownload::readAnswer()
{
    if (!reply || response.headersSeen)
        return;
    const int status = reply->status();
    if (status == 0)
        return;
    response.headersSeen = true;
    secureAttemptTimer->stop();
    // The client hands over the header block whole, so its lines are counted
    // here, one event each.
    const int lines = reply->headerLines();
    for (int i = 0; i < lines; ++i)
        HttpCli1HeaderData();

    if (status == kHttpOk) {
        const qint64 length = reply->contentLength();
        if (length >= 0 && length > limit) {
            response.tooLarge = true;
            reply->abort();
            return;
        }
        response.answer = Answer::Body;
        if (!bodyBegun) {
            bodyBegun = true;
            HttpCli1DocBegin();
        }
        return;
    }
    const QUrl target = reply->redirectTarget();
    if (isRedirectStatus(status) && target.isValid()) {
        response.answer = Answer::Redirect;
        response.redirectTarget = reply->url().resolved(target);
        // The client reads a redirect's note by itself, to its end, with no
        // chunk passing here to be counted: ended now, it cannot run on.
        reply->abort();
    } else {
        response.answer = Answer::Refused;
    }
}

void Tdownload::replyMetaData() { readAnswer(); }

void Tdownload::replyData()
{
    if (!reply)
        return;
    if (response.answer != Answer::Body || response.tooLarge || response.writeFailed) {
        // An error page is of no use. A short one is read to its end, so that
        // the request ends as the server meant; a long one is cut.
        response.ignored += reply->readAll().size();
        if (response.ignored > kMaxIgnoredBody)
            reply->abort();
        return;
    }
    const QByteArray chunk = reply->readAll();
    if (chunk.isEmpty())
        return;
    if (received + chunk.size() > limit) {
        // An endless or oversized body ends here, before the disk fills.
        response.tooLarge = true;
        reply->abort();
        return;
    }
    if (!installer.write(chunk.constData(), chunk.size())) {
        // A cut installer must never be started: end the request as failed.
        response.writeFailed = true;
        reply->abort();
        return;
    }
    received += chunk.size();
    HttpCli1DocData(received);
}
