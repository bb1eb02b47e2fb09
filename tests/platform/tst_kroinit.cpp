// SPDX-License-Identifier: GPL-2.0-or-later
// Start-up registration: where the settings go, which icon theme the window gets, that the
// application icon is found from the build tree, and which help page is opened.
#include "kroinit.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QPushButton>
#include <QSettings>
#include <QUrl>

class TestKroInit : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE void openUrl(const QUrl &url) { openedUrls << url; }

private slots:
    void init();
    void cleanup();
    void settingsStoreIsPerUserIniFile();
    void iconThemeFallback_data();
    void iconThemeFallback();
    void applicationIconFromBuildTree();
    void qtTranslationsForLocale();
    void helpPages();

private:
    QList<QUrl> openedUrls;
};

void TestKroInit::init()
{
    openedUrls.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
}

void TestKroInit::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
}

void TestKroInit::settingsStoreIsPerUserIniFile()
{
    kroInit(QStringLiteral("0.3.0+zo6z2"), QStringLiteral("Kro sosreport"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("0.3.0+zo6z2"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Kro sosreport"));

    QSettings settings;
    settings.setValue(QStringLiteral("geometry"), QByteArray("x"));
    settings.sync();
    const QString expected =
        qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/kro/kro-sosreport.ini");
    QCOMPARE(settings.fileName(), expected);
    QVERIFY(QFileInfo::exists(expected));
}

void TestKroInit::iconThemeFallback_data()
{
    QTest::addColumn<QString>("platformTheme");
    QTest::addColumn<bool>("kept");
    QTest::newRow("none") << QString() << false;
    QTest::newRow("not installed") << QStringLiteral("kro-no-such-theme") << false;
    QTest::newRow("only the base theme") << QStringLiteral("hicolor") << false;
    QTest::newRow("installed") << QStringLiteral("Adwaita") << true;
}

void TestKroInit::iconThemeFallback()
{
    QFETCH(QString, platformTheme);
    QFETCH(bool, kept);
    const QStringList themes = {QStringLiteral("breeze"), QStringLiteral("Adwaita")};
    const bool anyInstalled = std::any_of(themes.cbegin(), themes.cend(), [](const QString &t) {
        return QFileInfo::exists(QStringLiteral("/usr/share/icons/%1/index.theme").arg(t));
    });
    if (!anyInstalled || (kept && !QFileInfo::exists("/usr/share/icons/Adwaita/index.theme")))
        QSKIP("the desktop icon themes are not installed");

    QIcon::setThemeName(platformTheme);
    kroInit(QStringLiteral("1"), QStringLiteral("Kro sosreport"));
    if (kept)
        QCOMPARE(QIcon::themeName(), platformTheme);
    else
        QVERIFY2(themes.contains(QIcon::themeName()), qPrintable(QIcon::themeName()));
    QVERIFY(QIcon::hasThemeIcon(QStringLiteral("dialog-warning")));
}

void TestKroInit::applicationIconFromBuildTree()
{
    kroInit(QStringLiteral("1"), QStringLiteral("Kro sosreport"));
    const QIcon icon = QIcon::fromTheme(QStringLiteral("kro-sosreport"));
    QVERIFY(!icon.isNull());
    QVERIFY(!icon.pixmap(48).isNull());
}

void TestKroInit::qtTranslationsForLocale()
{
    const QString catalogue =
        QLibraryInfo::location(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm");
    if (!QFileInfo::exists(catalogue))
        QSKIP("Qt's German translations are not installed");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    kroInit(QStringLiteral("1"), QStringLiteral("Kro sosreport"));
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    QString text = box.button(QDialogButtonBox::Cancel)->text();
    QLocale::setDefault(QLocale::c());
    kroInit(QStringLiteral("1"), QStringLiteral("Kro sosreport"));
    QCOMPARE(text.remove(QLatin1Char('&')), QStringLiteral("Abbrechen"));
}

void TestKroInit::helpPages()
{
    kroHelpShow(QString());
    QCOMPARE(openedUrls.size(), 1);
    const QUrl start = openedUrls.first();
    QVERIFY(start.isLocalFile());
    QVERIFY2(start.toLocalFile().endsWith(QStringLiteral("/help/index.html")),
             qPrintable(start.toString()));
    QVERIFY(QFileInfo(start.toLocalFile()).isFile());

    kroHelpShow(QStringLiteral("index.html#debug-modules"));
    QCOMPARE(openedUrls.size(), 2);
    QCOMPARE(openedUrls.last().fragment(), QStringLiteral("debug-modules"));
    QCOMPARE(openedUrls.last().toLocalFile(), start.toLocalFile());

    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Ok);
    kroHelpShow(QStringLiteral("kro-missing.html"));
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(openedUrls.size(), 2);
    QCOMPARE(dialogs.last().text,
             QStringLiteral("The help page kro-missing.html is not installed."));

    // No browser (the offscreen platform opens nothing): the box gives the page's path.
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    dialogs.expectMessageBoxButton(QStringLiteral("Copy path"));
    kroHelpShow(QString());
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(
        dialogs.last().text,
        QStringLiteral("No web browser could be started to show %1.").arg(start.toLocalFile()));
    QCOMPARE(QApplication::clipboard()->text(), start.toLocalFile());
}

KRO_TEST_MAIN(TestKroInit)
#include "tst_kroinit.moc"
