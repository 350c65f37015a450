#include "osc/oscsettings.h"
#include "osctesthelpers.h"
#include "tests/support/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarv::osc;
using namespace tarv::osc::test;

namespace {

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestOscSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // CTest gives every test its own configuration folder; run by hand, the
        // test must still never touch the user's real settings.
        if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME")) {
            qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
        }
        QCOMPARE(QMetaType::fromName("osc::OscSettings"), QMetaType::fromType<OscSettings>());
    }

    void init()
    {
        m_path = QString::fromStdString(OscSettingsFilePath());
        QCOMPARE(m_path, qEnvironmentVariable("XDG_CONFIG_HOME") + "/tarv_cue/osc_settings.tarv");
        QDir(QFileInfo(m_path).path()).removeRecursively();
    }

    void savesExactFormatAndLoadsItBack()
    {
        SaveOscSettings(OscSettings(), m_path.toStdString()); // creates the tarv_cue folder
        QCOMPARE(Read(m_path), "{\n"
                               "    \"oscEnabled\": true,\n"
                               "    \"oscListenPort\": 55037,\n"
                               "    \"version\": \"1.0\"\n"
                               "}\n");

        SaveOscSettings(OscSettings(false, 9000), m_path.toStdString());
        OscSettings loaded;
        LoadOscSettings(loaded, m_path.toStdString());
        QCOMPARE(loaded.oscEnabled, false);
        QCOMPARE(loaded.oscListenPort, 9000);
    }

    void loadsOnlyWhatTheFileAllows_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("port");
        const auto row = [](const char* file, bool enabled, int port) {
            QTest::newRow(file ? file : "missing") << QByteArray(file) << enabled << port;
        };
        row(nullptr, true, 55036); // no file: the settings are kept, with a notice
        row(R"({"version": "1.0"})", false, 0);
        row(R"({"version": "1.1", "oscEnabled": false, "oscListenPort": 1})", true, 55036);
        row("oscEnabled=false", true, 55036);
        row(R"({"version": "1.0", "oscEnabled": "yes", "oscListenPort": "80"})", false, 0);
        row(R"({"version": "1.0", "oscListenPort": 80.5})", false, 0);
        row(R"({"version": "1.0", "oscListenPort": 1e12})", false, 0);
        row(R"({"version": "1.0", "oscEnabled": true, "oscListenPort": 70000})", true, 70000);
    }

    void loadsOnlyWhatTheFileAllows()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, enabled);
        QFETCH(int, port);
        if (file.isNull()) {
            QTest::ignoreMessage(QtWarningMsg, "Failed to open osc settings file.");
        } else {
            Write(m_path, file);
        }
        OscSettings settings(true, 55036);
        LoadOscSettings(settings, m_path.toStdString());
        QCOMPARE(settings.oscEnabled, enabled);
        QCOMPARE(settings.oscListenPort, port);
    }

    void reportsUnwritableLocation()
    {
        // Running as root defeats permission bits; a folder that is a file does not.
        const QString blocker = qEnvironmentVariable("XDG_CONFIG_HOME") + "/blocker";
        Write(blocker, "a file, not a folder");
        const CerrCapture capture;
        SaveOscSettings(OscSettings(), (blocker + "/tarv_cue/osc_settings.tarv").toStdString());
        QVERIFY2(capture.Text().starts_with("Failed to create path for saving osc settings.\n"
                                            "Failed to save osc settings to "),
                 capture.Text().c_str());
        QCOMPARE(Read(blocker), "a file, not a folder");
        QFile::remove(blocker);
    }

    void failedWriteKeepsOldFile()
    {
        const QByteArray old = R"({"version": "1.0", "oscEnabled": true, "oscListenPort": 1234})";
        Write(m_path, old);

        // A file size limit makes the write fail midway, as a full disk would.
        {
            const tarv::testing::FileSizeLimit limit(16);
            const CerrCapture capture;
            SaveOscSettings(OscSettings(false, 9), m_path.toStdString());
            QVERIFY2(capture.Text().starts_with("Failed to save osc settings to " +
                                                m_path.toStdString()),
                     capture.Text().c_str());
        }
        QCOMPARE(Read(m_path), old);
        QCOMPARE(QDir(QFileInfo(m_path).path()).entryList(QDir::Files),
                 QStringList{"osc_settings.tarv"});
    }

private:
    QTemporaryDir m_home;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestOscSettings)
#include "tst_oscsettings.moc"
