#include "app/startup.h"

#include "backup/backupfolder.h"
#include "core/turkishtext.h"
#include "db/dberror.h"
#include "db/settings.h"
#include "register/importcommand.h"
#include "ui/look.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIODevice>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

static void initStartupResources()
{
    Q_INIT_RESOURCE(startup);
}

namespace zelvo::app {

namespace {

// A damaged embedded file cannot be opened to reach the restore window: the newest copy is
// named, so that it can be put in the file's place by hand.
QString withNewestCopy(const QString& text, const db::DatabaseSettings& settings,
                       const QString& settingsPath)
{
    if (settings.isServer() || !text.contains(QStringLiteral("Yedekten Geri Yükle")))
        return text;
    const backup::BackupFolder folder(settings.file, db::backupFolderSetting(settingsPath));
    const std::optional<backup::BackupFile> newest = folder.newest();
    if (!newest)
        return text + QStringLiteral(" Bu dosyanın yedeği yok (%1).").arg(folder.path());
    return text + QStringLiteral(" En yeni yedek: %1 (%2). Program kapalıyken bu dosya %3 yerine "
                                 "kopyalanarak da geri yüklenebilir.")
                      .arg(newest->path, newest->taken.toString(QStringLiteral("dd.MM.yyyy HH:mm")),
                           settings.file);
}

} // namespace

bool openDatabase(db::Connection& connection, ui::DialogService& dialogs,
                  const QString& settingsPath, std::optional<db::ServerAddress>* serverSignIn)
{
    std::optional<db::DatabaseSettings> settings;
    try {
        settings = db::loadDatabaseSettings(settingsPath);
        if (settings->isServer() && serverSignIn) {
            *serverSignIn = settings->server;
            return true;
        }
        db::openConfigured(connection, *settings);
        return true;
    } catch (const db::DbError& e) {
        dialogs.error(nullptr,
                      db::errorBoxText(settings ? withNewestCopy(e.text(), *settings, settingsPath)
                                                : e.text()));
        return false;
    }
}

void identifyApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Zelvo"));
    QCoreApplication::setOrganizationName(QStringLiteral("Zelvo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZELVO_VERSION));
}

void setUpApplication()
{
    initStartupResources();
    identifyApplication();
    QApplication::setApplicationDisplayName(QStringLiteral("Zelvo İşlemleri"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zelvo/zelvo.png")));
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(core::turkishLocale());
    ui::look::installFontSubstitutions();
    installQtTranslations();
}

bool installQtTranslations()
{
    // The windows are Turkish whatever the workstation's language, so Qt's own dialogs are too.
    auto* translator = new QTranslator(QCoreApplication::instance());
    // the Qt installation's catalogue, else the one a Windows build carries inside
    if (!translator->load(QStringLiteral("qtbase_tr"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        !translator->load(QStringLiteral(":/translations/qtbase_tr.qm"))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Zorunlu staj öğrencilerinin sosyal güvenlik primleri ve SGK'ya aylık "
                       "prim ve hizmet bildirgesi."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral("Tanıtım veritabanıyla başlar: örnek öğrencilerle her açılışta yeniden "
                       "kurulan ayrı bir dosya; kullanıcının kendi veritabanına dokunulmaz."));
    parser.addOption(demo);
    const QCommandLineOption installSchema(
        QStringLiteral("install-schema"),
        QStringLiteral("zelvo.ini'nin adını verdiği PostgreSQL veritabanına Zelvo şemasını kurar "
                       "veya tamamlar (yeniden çalıştırmak bir şey değiştirmez) ve çıkar."));
    parser.addOption(installSchema);

    const QCommandLineOption importStudents(
        QStringLiteral("import-students"),
        QStringLiteral("Öğrencileri bir Excel (.xlsx) ya da metin (.csv, .txt) dosyasından "
                       "denetleyip kaydeder ve çıkar."),
        QStringLiteral("dosya"));
    const QCommandLineOption unit(
        QStringLiteral("unit"),
        QStringLiteral("Birimin kodu: aktarılacak öğrencilerin ya da eklenen kullanıcının."),
        QStringLiteral("kod"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("Yalnız denetler; hiçbir şey kaydetmez."));
    const QCommandLineOption skipInvalid(
        QStringLiteral("skip-invalid"),
        QStringLiteral("Hatalı satırları atlayıp hatasızları kaydeder."));
    parser.addOptions({importStudents, unit, dryRun, skipInvalid});
    const QCommandLineOption addUser(
        QStringLiteral("add-user"),
        QStringLiteral("Sunucuya bir kullanıcı ekler (--unit ile birimi, --admin ile yönetici); "
                       "parolası terminalden sorulur ya da standart girdiden okunur."),
        QStringLiteral("ad"));
    const QCommandLineOption administrator(QStringLiteral("admin"),
                                           QStringLiteral("Eklenen kullanıcı yönetici olur."));
    const QCommandLineOption fullName(QStringLiteral("full-name"),
                                      QStringLiteral("Eklenen kullanıcının adı soyadı."),
                                      QStringLiteral("ad soyad"));
    const QCommandLineOption setPassword(
        QStringLiteral("set-password"),
        QStringLiteral("Sunucudaki bir kullanıcıya yeni parola verir (girişi yoksa açar)."),
        QStringLiteral("ad"));
    const QCommandLineOption removeUser(
        QStringLiteral("remove-user"),
        QStringLiteral("Bir kullanıcıyı ve sunucudaki girişini siler."), QStringLiteral("ad"));
    parser.addOptions({addUser, administrator, fullName, setPassword, removeUser});

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.finished = true;
        result.exitCode = 1;
        result.errorOutput = parser.errorText() + QLatin1Char('\n');
        return result;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.finished = true;
        result.output = parser.helpText();
    } else if (parser.isSet(version)) {
        result.finished = true;
        result.output = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                      QCoreApplication::applicationVersion());
    } else if (!parser.positionalArguments().isEmpty()) {
        result.finished = true;
        result.exitCode = 1;
        result.errorOutput = QStringLiteral("Bilinmeyen argüman: %1\n")
                                 .arg(parser.positionalArguments().join(QLatin1Char(' ')));
    }
    result.demo = parser.isSet(demo);
    result.installSchema = parser.isSet(installSchema);
    result.importStudents = parser.value(importStudents);
    result.importUnit = parser.value(unit);
    result.importDryRun = parser.isSet(dryRun);
    result.importSkipInvalid = parser.isSet(skipInvalid);
    const QList<QPair<const QCommandLineOption*, UserCommand::Kind>> userCommands = {
        {&addUser, UserCommand::Kind::Add},
        {&setPassword, UserCommand::Kind::SetPassword},
        {&removeUser, UserCommand::Kind::Remove}};
    int given = 0;
    for (const auto& [option, kind] : userCommands) {
        if (!parser.isSet(*option))
            continue;
        ++given;
        result.user.kind = kind;
        result.user.name = parser.value(*option);
    }
    result.user.unit = parser.value(unit);
    result.user.administrator = parser.isSet(administrator);
    result.user.fullName = parser.value(fullName);
    if (given > 1 && !result.finished) {
        result.finished = true;
        result.exitCode = 1;
        result.errorOutput = QStringLiteral("--add-user, --set-password ve --remove-user "
                                            "birlikte verilemez\n");
    }
    return result;
}

void installSchemaFromCommandLine(CommandLine& commandLine, const QString& settingsPath)
{
    commandLine.finished = true;
    try {
        const db::DatabaseSettings settings = db::loadDatabaseSettings(settingsPath);
        commandLine.output = db::installConfiguredSchema(settings) + u'\n';
        QTextStream out(&commandLine.output, QIODevice::Append);
        giveLoginsAfterInstall(settings, standardInputIsTerminal(), terminalPasswordPrompt(), out);
        commandLine.exitCode = 0;
    } catch (const db::DbError& error) {
        commandLine.errorOutput = db::errorBoxText(error.text()) + u'\n';
        commandLine.exitCode = 1;
    }
}

void userCommandFromCommandLine(CommandLine& commandLine, const QString& settingsPath)
{
    commandLine.finished = true;
    QTextStream out(&commandLine.output);
    QTextStream err(&commandLine.errorOutput);
    try {
        commandLine.exitCode =
            runUserCommand(commandLine.user, db::loadDatabaseSettings(settingsPath),
                           terminalPasswordPrompt(), out, err);
    } catch (const db::DbError& error) {
        err << db::errorBoxText(error.text()) << '\n';
        commandLine.exitCode = 1;
    }
}

void importStudentsFromCommandLine(CommandLine& commandLine, const QString& settingsPath)
{
    commandLine.finished = true;
    QString lines;
    QTextStream out(&lines);
    try {
        db::Connection connection;
        db::openConfigured(connection, db::loadDatabaseSettings(settingsPath));
        const studentregister::ImportCommand command{
            commandLine.importStudents, commandLine.importUnit, commandLine.importDryRun,
            commandLine.importSkipInvalid, qEnvironmentVariable("USER")};
        commandLine.exitCode = studentregister::runImportCommand(connection, command, out);
        out.flush();
        commandLine.output = lines;
    } catch (const db::DbError& error) {
        commandLine.errorOutput = db::errorBoxText(error.text()) + u'\n';
        commandLine.exitCode = 2;
    }
}

} // namespace zelvo::app
