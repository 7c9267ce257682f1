// The desktop program's informational options, answered without a window or a display.
#include "info_options.h"

#include "app_paths.h"
#include "desktop_identity.h"
#include "protocol.h"
#include "sound_module.h"
#include "sound_player.h"
#include "tile_images.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>

#include <cstdio>
#include <sstream>

namespace InfoOptions {

const char* const kUsage = "usage: lexmire                    play a solo game\n"
                           "       lexmire NAME HOST false    join the game hosted at HOST as NAME\n"
                           "       lexmire NAME ANY true      host a game as NAME on port 7772\n"
                           "       lexmire --version          print the version\n"
                           "       lexmire --list-tile-sets   print the tile sets found, and where\n"
                           "       lexmire --list-sounds      print the sound clips and their module\n"
                           "       lexmire --help             print this text\n";

Request requestOf(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return Request::None;
    const QString& option = arguments.front();
    if (option == QLatin1String("--version"))
        return Request::Version;
    if (option == QLatin1String("--help") || option == QLatin1String("-h"))
        return Request::Help;
    if (option == QLatin1String("--list-tile-sets"))
        return Request::ListTileSets;
    if (option == QLatin1String("--list-sounds"))
        return Request::ListSounds;
    return option.startsWith(QLatin1String("--")) ? Request::Unknown : Request::None;
}

Request requestOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return requestOf(arguments);
}

void printVersion(std::ostream& out) { out << "lexmire " << wire::kVersionText << "\n"; }

int listTileSets(const QStringList& folders, std::ostream& out, std::ostream& err)
{
    out << "Classic\t(built in)\n";
    int status = 0;
    for (const QString& name : TileImages::setNames(folders)) {
        const QString path = TileImages::setPath(folders, name);
        out << name.toStdString() << '\t' << path.toStdString() << '\n';
        // The header tells whether the file is a picture at all, without decoding it whole.
        QImageReader reader(path);
        if (path.isEmpty() || !reader.canRead() || reader.size().isEmpty()) {
            err << "lexmire: tile set " << name.toStdString() << " cannot be read\n";
            status = 1;
        }
    }
    return status;
}

int listSounds(std::ostream& out, std::ostream& err, const QStringList& modulePaths)
{
    int status = 0;
    // The clips are embedded in the module that plays them: loading it brings them in.
    const QString module = SoundModule::locate(modulePaths);
    for (const QString& name : SoundPlayer::effectNames() + SoundPlayer::chatterNames()) {
        QFile clip(SoundPlayer::resourcePath(name));
        const qint64 bytes = clip.open(QIODevice::ReadOnly) ? clip.size() : 0;
        out << name.toStdString() << '\t' << bytes << '\n';
        if (bytes <= 0) {
            err << "lexmire: sound " << name.toStdString() << " is missing\n";
            status = 1;
        }
    }
    // Without the module the game is silent.
    out << "sound module\t" << (module.isEmpty() ? "none" : module.toStdString()) << '\n';
    if (module.isEmpty()) {
        err << "lexmire: the sound module " << SoundModule::fileName().toStdString() << " is missing\n";
        status = 1;
    }
    return status;
}

namespace {

    int answerInto(Request request, int argc, char** argv, std::ostream& out, std::ostream& err)
    {
        switch (request) {
        case Request::None:
            break;
        case Request::Version:
            printVersion(out);
            return 0;
        case Request::Help:
            out << kUsage;
            return 0;
        case Request::Unknown:
            err << "lexmire: unknown option " << argv[argc - 1] << "\n" << kUsage;
            return 2;
        case Request::ListTileSets:
        case Request::ListSounds: {
            // A core application, not a GUI one: where files live needs the program's folder and
            // name, and pictures are checked by their headers, so no display is needed.
            QCoreApplication app(argc, argv);
            QCoreApplication::setApplicationName(QString::fromLatin1(DesktopIdentity::kApplicationName));
            return request == Request::ListTileSets ? listTileSets(AppPaths::tileFolders(), out, err)
                                                    : listSounds(out, err, SoundModule::searchPaths());
        }
        }
        return 0;
    }

}

// The answers are gathered, then written through C's streams: a program that includes
// <iostream> sets the eight standard streams and their locale up before main at every
// start, a game or not.
int answer(Request request, int argc, char** argv)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = answerInto(request, argc, argv, out, err);
    std::fputs(out.str().c_str(), stdout);
    std::fputs(err.str().c_str(), stderr);
    return status;
}

} // namespace InfoOptions
