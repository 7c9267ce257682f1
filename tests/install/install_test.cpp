// The game as installed: `cmake --install` into a fresh prefix lays out the freedesktop files,
// they pass the validators, and the installed programs run from there, with no display and
// no build tree beside them, and find the tile sets and sounds that ship with them.
#include "desktop_identity.h"
#include "pump.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLibrary>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <memory>

// Lets a failed comparison show the texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QByteArray& bytes, std::ostream* out) { *out << '"' << bytes.toStdString() << '"'; }

namespace {

// The longest any one step may take before the test gives up on it; an install or a
// validation takes well under a second.
constexpr int kStepSafetyMs = 20000;

const QString kId = QString::fromLatin1(DesktopIdentity::kDesktopId);

struct Outcome {
    int status = -1;
    QString out;
    QString err;
    QString all() const { return out + err; }
};

Outcome run(const QString& program, const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Outcome outcome;
    if (!process.waitForStarted()) {
        outcome.err = program + ": " + process.errorString();
        return outcome;
    }
    if (!testsupport::pumpUntil([&] { return process.state() == QProcess::NotRunning; }, kStepSafetyMs)) {
        process.kill();
        process.waitForFinished();
        outcome.err = program + " did not finish";
        return outcome;
    }
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    outcome.err = QString::fromLocal8Bit(process.readAllStandardError());
    return outcome;
}

// A validator that is not installed fails the test: the check must never pass by being skipped.
QString tool(const QString& name, const QString& package)
{
    const QString path = QStandardPaths::findExecutable(name);
    EXPECT_FALSE(path.isEmpty()) << name.toStdString() << " is missing: install the Debian package "
                                 << package.toStdString() << " (scripts/setup.sh does)";
    return path;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// "Key=value" lines of the [Desktop Entry] group.
QMap<QString, QString> desktopEntry(const QString& path)
{
    QMap<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith('['))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && line.contains('=') && !line.startsWith('#'))
            keys.insert(line.section('=', 0, 0), line.section('=', 1));
    }
    return keys;
}

// The text of every element of a name in an XML file, in document order.
QStringList elementTexts(const QString& path, const QString& element)
{
    QStringList texts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return texts;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == element)
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
    return texts;
}

class InstalledGame : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root = std::make_unique<QTemporaryDir>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DESTDIR");
        installed = run(LEXMIRE_CMAKE_COMMAND,
            { "--install", LEXMIRE_BUILD_DIR, "--prefix", root->filePath("prefix") }, environment);
    }
    static void TearDownTestSuite() { root.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(root->isValid());
        ASSERT_EQ(installed.status, 0) << installed.all().toStdString();
    }

    static QString prefix(const QString& path = {}) { return QDir(root->filePath("prefix")).filePath(path); }

    // What a player's session would give the program, minus a display: a home of its own
    // and the per-user folders inside it. Sanitizer options and the search path stay.
    static QProcessEnvironment playerEnvironment()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LEXMIRE_HOME",
                 "XDG_DATA_DIRS", "XDG_CONFIG_DIRS" })
            environment.remove(name);
        const QString home = root->filePath("home");
        QDir().mkpath(home + "/run");
        QFile::setPermissions(home + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert("HOME", home);
        environment.insert("XDG_CONFIG_HOME", home + "/.config");
        environment.insert("XDG_DATA_HOME", home + "/.local/share");
        environment.insert("XDG_RUNTIME_DIR", home + "/run");
        return environment;
    }

    static Outcome runInstalled(const QString& program, const QStringList& arguments)
    {
        return run(prefix("bin/" + program), arguments, playerEnvironment());
    }

    static inline std::unique_ptr<QTemporaryDir> root;
    static inline Outcome installed;
};

TEST_F(InstalledGame, PutsEachFileWhereTheDesktopLooksForIt)
{
    for (const QString program : { "bin/lexmire", "bin/lexmire-server", "bin/lexmire-bot" }) {
        const QFileInfo info(prefix(program));
        EXPECT_TRUE(info.isFile() && info.isExecutable()) << program.toStdString();
    }
    for (const QString set : { "Ivory", "Neon" })
        EXPECT_TRUE(QFileInfo(prefix("share/lexmire/lexmiretiles/" + set + ".bmp")).isFile())
            << set.toStdString();
    EXPECT_TRUE(QFileInfo(prefix("share/applications/" + kId + ".desktop")).isFile());
    EXPECT_TRUE(QFileInfo(prefix("share/metainfo/" + kId + ".metainfo.xml")).isFile());

    // Each size is a picture of exactly that size, or a desktop would scale the wrong one.
    for (int size : DesktopIdentity::kIconSizes) {
        const QString icon = prefix(QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId));
        QImageReader reader(icon);
        EXPECT_EQ(reader.format(), "png") << icon.toStdString();
        EXPECT_EQ(reader.size(), QSize(size, size)) << icon.toStdString();
    }
    QFile svg(prefix("share/icons/hicolor/scalable/apps/" + kId + ".svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("<svg"));

    for (const QString page : { "lexmire.6.gz", "lexmire-server.6.gz" })
        EXPECT_TRUE(QFileInfo(prefix("share/man/man6/" + page)).isFile()) << page.toStdString();

    // Tile sets live under share, never beside the programs.
    EXPECT_FALSE(QFileInfo::exists(prefix("bin/lexmiretiles")));

    // The modules loaded on first use, each offering its entry point.
    const std::pair<QString, const char*> modules[] = { { "lexmire-sound.so", "lexmire_make_sound_backend" },
        { "lexmire-download.so", "lexmire_make_http_client" }, { "lexmire-jpeg.so", "lexmire_decode_jpeg" },
        { "lexmire-dnssd.so", "lexmire_dnssd_factory" } };
    for (const auto& [file, entry] : modules) {
        QLibrary module(prefix(LEXMIRE_MODULES_DIR "/" + file));
        EXPECT_NE(module.resolve(entry), nullptr) << module.errorString().toStdString();
    }
}

TEST_F(InstalledGame, DesktopEntryPassesTheValidator)
{
    const QString validator = tool("desktop-file-validate", "desktop-file-utils");
    ASSERT_FALSE(validator.isEmpty());
    const Outcome outcome = run(validator, { prefix("share/applications/" + kId + ".desktop") });
    EXPECT_EQ(outcome.status, 0) << outcome.all().toStdString();
    // It exits 0 on hints too; a clean entry has none.
    EXPECT_EQ(outcome.all().trimmed(), QString()) << outcome.all().toStdString();
}

TEST_F(InstalledGame, MetainfoPassesTheValidator)
{
    const QString validator = tool("appstreamcli", "appstream");
    ASSERT_FALSE(validator.isEmpty());
    const Outcome alone
        = run(validator, { "validate", "--no-net", prefix("share/metainfo/" + kId + ".metainfo.xml") });
    EXPECT_EQ(alone.status, 0) << alone.all().toStdString();
    // The whole tree: the metainfo, the desktop entry it launches and the icon, together.
    const Outcome tree = run(validator, { "validate-tree", "--no-net", prefix() });
    EXPECT_EQ(tree.status, 0) << tree.all().toStdString();
}

TEST_F(InstalledGame, EntryIconAndMetainfoNameTheInstalledProgram)
{
    const auto entry = desktopEntry(prefix("share/applications/" + kId + ".desktop"));
    const QString exec = entry.value("Exec").section(' ', 0, 0);
    EXPECT_TRUE(QFileInfo(prefix("bin/" + exec)).isExecutable()) << exec.toStdString();
    EXPECT_EQ(entry.value("Icon"), kId);
    EXPECT_TRUE(entry.value("Categories").split(';').contains("Game"));

    const QString metainfo = prefix("share/metainfo/" + kId + ".metainfo.xml");
    EXPECT_EQ(elementTexts(metainfo, "id"), QStringList { kId });
    EXPECT_EQ(elementTexts(metainfo, "launchable"), QStringList { kId + ".desktop" });
    const QStringList binaries = elementTexts(metainfo, "binary");
    EXPECT_FALSE(binaries.isEmpty());
    for (const QString& binary : binaries)
        EXPECT_TRUE(QFileInfo(prefix("bin/" + binary)).isExecutable()) << binary.toStdString();
    // The release the software centre announces is the one the programs report.
    QFile file(metainfo);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("<release version=\"" LEXMIRE_PROJECT_VERSION "\""));
}

TEST_F(InstalledGame, ProgramsTellTheirVersionWithoutADisplay)
{
    const Outcome game = runInstalled("lexmire", { "--version" });
    EXPECT_EQ(game.status, 0) << game.err.toStdString();
    EXPECT_EQ(game.out, "lexmire " LEXMIRE_PROJECT_VERSION "\n");

    const Outcome server = runInstalled("lexmire-server", { "--version" });
    EXPECT_EQ(server.status, 0) << server.err.toStdString();
    EXPECT_EQ(server.out, "lexmire-server " LEXMIRE_PROJECT_VERSION "\n");

    const Outcome help = runInstalled("lexmire", { "--help" });
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("usage: lexmire")) << help.out.toStdString();

    const Outcome unknown = runInstalled("lexmire", { "--no-such-option" });
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains("--no-such-option")) << unknown.err.toStdString();
}

TEST_F(InstalledGame, ProgramFindsTheShippedTileSetsAndThePlayersOwn)
{
    // The player's own set sits in the per-user data folder, as an installed program keeps it.
    const QString own = root->filePath("home/.local/share/Lexmire/lexmire/lexmiretiles");
    ASSERT_TRUE(QDir().mkpath(own));
    ASSERT_TRUE(QFile::copy(prefix("share/lexmire/lexmiretiles/Ivory.bmp"), own + "/Mine.bmp"));
    const QStringList programs = filesIn(prefix("bin"));

    const Outcome outcome = runInstalled("lexmire", { "--list-tile-sets" });
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    QMap<QString, QString> found;
    QStringList order;
    for (const QString& line : outcome.out.split('\n', Qt::SkipEmptyParts)) {
        order << line.section('\t', 0, 0);
        found.insert(line.section('\t', 0, 0), line.section('\t', 1));
    }
    ASSERT_FALSE(order.isEmpty()) << outcome.all().toStdString();
    EXPECT_EQ(order.front(), "Classic");
    for (const QString set : { "Ivory", "Neon" }) {
        // An installed program reads the shipped sets from <prefix>/share/lexmire/lexmiretiles.
        ASSERT_TRUE(found.contains(set)) << outcome.all().toStdString();
        // From the installed share folder, not from the build tree.
        EXPECT_EQ(QFileInfo(found.value(set)).canonicalFilePath(),
            QFileInfo(prefix("share/lexmire/lexmiretiles/" + set + ".bmp")).canonicalFilePath())
            << found.value(set).toStdString();
    }
    ASSERT_TRUE(found.contains("Mine")) << outcome.all().toStdString();
    EXPECT_EQ(
        QFileInfo(found.value("Mine")).canonicalFilePath(), QFileInfo(own + "/Mine.bmp").canonicalFilePath());

    // An installed program never writes beside itself.
    EXPECT_EQ(filesIn(prefix("bin")), programs);
}

TEST_F(InstalledGame, ProgramOpensEverySoundClipItShips)
{
    const Outcome outcome = runInstalled("lexmire", { "--list-sounds" });
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    QStringList listed;
    for (const QString& line : outcome.out.split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith("sound module\t")) {
            // The installed module, not the build tree's.
            EXPECT_EQ(QFileInfo(line.section('\t', 1)).canonicalFilePath(),
                QFileInfo(prefix(LEXMIRE_MODULES_DIR "/lexmire-sound.so")).canonicalFilePath())
                << line.toStdString();
            continue;
        }
        listed << line.section('\t', 0, 0);
        EXPECT_GT(line.section('\t', 1).toLongLong(), 44) << line.toStdString(); // more than a WAV header
    }
    const QStringList clips
        = QDir(LEXMIRE_SOURCE_DIR "/resources/sounds").entryList({ "*.wav" }, QDir::Files);
    ASSERT_FALSE(clips.isEmpty());
    for (const QString& clip : clips)
        EXPECT_TRUE(listed.contains(QFileInfo(clip).completeBaseName())) << clip.toStdString();
}

} // namespace
