// SPDX-License-Identifier: GPL-2.0-or-later
// Start-up of the application against a bare main window, both on the offscreen platform and
// timed by the same first-paint probe: once with empty folders and once with 1,000 report
// archives and 50 debug modules. Runs alternate between the programs; medians are printed with
// their ratios to the bare window. The application's form shown with none of its code is timed
// too: the floor of any window that shows this form.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <time.h>
#include <unistd.h>

namespace {

const int Rounds = 15;
const int WarmUpRounds = 3;
const int Archives = 1000;
const int Modules = 50;

struct Sample
{
    double paintedWallMs = 0;
    double paintedCpuMs = 0;
    double completeWallMs = 0;
    double completeCpuMs = 0;
    double peakMiB = 0;
};

qint64 monotonicNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
}

// Report archives with their checksums; each module changes two of five small configuration
// files, as the shipped modules do.
void fillFolders(const QString &reports, const QString &modules, const QString &configs)
{
    for (int i = 0; i < Archives; ++i)
        writeFile(QStringLiteral("%1/sosreport-host%2-2024.tar.xz").arg(reports).arg(i), "x");
    for (int c = 0; c < 5; ++c) {
        QByteArray content;
        for (int line = 0; line < 200; ++line)
            content += line == 100 ? "level = 0\n" : "key_" + QByteArray::number(line) + " = v\n";
        writeFile(QStringLiteral("%1/conf%2").arg(configs).arg(c), content);
    }
    for (int m = 0; m < Modules; ++m) {
        QString changes;
        for (int c : {m % 5, (m + 1) % 5})
            changes += QStringLiteral("%1{\"filename\": \"%2/conf%3\", \"oldtext\": \"level = 0\","
                                      " \"newtext\": \"level = 9\"}")
                           .arg(changes.isEmpty() ? "" : ",", configs)
                           .arg(c);
        writeFile(QStringLiteral("%1/module%2.json").arg(modules).arg(m),
                  QStringLiteral("{\"modulename\": \"module%1\", \"filechanges\": [%2]}")
                      .arg(m)
                      .arg(changes)
                      .toUtf8());
    }
}

class Bench
{
public:
    Bench()
    {
        for (const char *name : {"home/.config/kro", "runtime", "reports", "modules", "configs",
                                 "empty-reports", "empty-modules"})
            QDir(root.path()).mkpath(QLatin1String(name));
        QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        fillFolders(root.filePath(QStringLiteral("reports")),
                    root.filePath(QStringLiteral("modules")),
                    root.filePath(QStringLiteral("configs")));
        // Written back now, not while the first starts are timed.
        ::sync();
    }

    // Stores the folders the application reads at its next start.
    void useFolders(const QString &reports, const QString &modules, int rows, int moduleCount)
    {
        QSettings settings(root.filePath(QStringLiteral("home/.config/kro/kro-sosreport.ini")),
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("tmpdirs"), QStringList{root.filePath(reports)});
        settings.setValue(QStringLiteral("debugjson"), QStringList{root.filePath(modules)});
        expectedRows = rows;
        expectedModules = moduleCount;
    }

    // A program run without the lists to wait for is complete once painted.
    Sample run(const QString &program, bool awaitLists = true)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           root.filePath(QStringLiteral("home/.config")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                           root.filePath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(KRO_PROBE_LIBRARY));
        const QString output = root.filePath(QStringLiteral("probe"));
        QFile::remove(output);
        environment.insert(QStringLiteral("KRO_PROBE_OUTPUT"), output);
        if (awaitLists) {
            environment.insert(QStringLiteral("KRO_PROBE_ROWS"), QString::number(expectedRows));
            environment.insert(QStringLiteral("KRO_PROBE_MODULES"),
                               QString::number(expectedModules));
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const qint64 started = monotonicNs();
        process.start(program, QStringList());
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            qFatal("%s did not finish: a message box, or fewer rows or modules than expected?",
                   qPrintable(program));
        }
        QFile file(output);
        file.open(QIODevice::ReadOnly);
        const QList<QByteArray> fields = file.readAll().trimmed().split(' ');
        if (fields.size() != 8)
            qFatal("%s left no probe answer", qPrintable(program));
        Sample sample;
        sample.paintedWallMs = (fields.at(1).toLongLong() - started) / 1e6;
        sample.paintedCpuMs = fields.at(2).toLongLong() / 1e6;
        sample.completeWallMs = (fields.at(4).toLongLong() - started) / 1e6;
        sample.completeCpuMs = fields.at(5).toLongLong() / 1e6;
        sample.peakMiB = fields.at(7).toDouble() / 1024;
        return sample;
    }

private:
    QTemporaryDir root;
    int expectedRows = 0;
    int expectedModules = 0;
};

double median(QVector<Sample> samples, double Sample::*field)
{
    std::sort(samples.begin(), samples.end(),
              [field](const Sample &a, const Sample &b) { return a.*field < b.*field; });
    return samples.at(samples.size() / 2).*field;
}

void report(QTextStream &out, const QString &label, const QVector<Sample> &bare,
            const QVector<Sample> &form, const QVector<Sample> &app)
{
    auto line = [&](const char *what, double Sample::*field, double Sample::*anchor,
                    const char *goal) {
        out << "  " << what << ": " << median(app, field) << " ms against " << median(bare, anchor)
            << " ms, ratio " << median(app, field) / median(bare, anchor) << " (goal <= " << goal
            << ")\n";
    };
    out << label << " (medians of " << Rounds << " paired starts)\n";
    line("first paint, CPU      ", &Sample::paintedCpuMs, &Sample::paintedCpuMs, "1.3");
    line("first paint, wall     ", &Sample::paintedWallMs, &Sample::paintedWallMs, "1.3");
    line("table and modules, CPU", &Sample::completeCpuMs, &Sample::paintedCpuMs, "2");
    line("table and modules, wall", &Sample::completeWallMs, &Sample::paintedWallMs, "2");
    const double formMs = median(form, &Sample::paintedCpuMs);
    out << "  the form alone, first paint, CPU: " << formMs << " ms, ratio to the bare window "
        << formMs / median(bare, &Sample::paintedCpuMs)
        << " (the floor of any window showing this form)\n"
        << "  first paint over the form alone, CPU: ratio "
        << median(app, &Sample::paintedCpuMs) / formMs << '\n';
    out << "  peak memory: " << median(app, &Sample::peakMiB) << " MiB against "
        << median(bare, &Sample::peakMiB) << " MiB, difference "
        << median(app, &Sample::peakMiB) - median(bare, &Sample::peakMiB) << " MiB (goal <= 15)\n";
    out.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    Bench bench;
    struct Case
    {
        const char *label;
        const char *reports;
        const char *modules;
        int rows;
        int modulesShown;
    };
    const Case cases[] = {
        {"start-up, empty folders", "empty-reports", "empty-modules", 0, 0},
        {"start-up, 1000 archives and 50 modules", "reports", "modules", Archives, Modules}};
    for (const Case &c : cases) {
        bench.useFolders(QLatin1String(c.reports), QLatin1String(c.modules), c.rows,
                         c.modulesShown);
        QVector<Sample> bare, form, application;
        // Unmeasured starts fill the caches.
        for (int round = 0; round < WarmUpRounds; ++round) {
            bench.run(QStringLiteral(KRO_BARE_WINDOW));
            bench.run(QStringLiteral(KRO_FORM_WINDOW), false);
            bench.run(QStringLiteral(KRO_APPLICATION));
        }
        for (int round = 0; round < Rounds; ++round) {
            bare.append(bench.run(QStringLiteral(KRO_BARE_WINDOW)));
            form.append(bench.run(QStringLiteral(KRO_FORM_WINDOW), false));
            application.append(bench.run(QStringLiteral(KRO_APPLICATION)));
        }
        report(out, QLatin1String(c.label), bare, form, application);
    }
    return 0;
}
