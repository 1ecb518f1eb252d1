#include "postprocess/DesktopApplications.h"

#include "AfterRunTestSupport.h"

#include <QDir>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

// Desktop entries and mimeapps.list files in the test's own XDG folders only.
class DesktopApplicationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = TestEnvironment::makeFolder("desktop");
        m_saved = {qgetenv("XDG_DATA_HOME"), qgetenv("XDG_DATA_DIRS"), qgetenv("XDG_CONFIG_HOME"),
                   qgetenv("XDG_CONFIG_DIRS"), qgetenv("XDG_CURRENT_DESKTOP")};
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_root + "/data"));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_root + "/system"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_root + "/config"));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_root + "/etc"));
        qputenv("XDG_CURRENT_DESKTOP", "Test");
        QDir().mkpath(m_root + "/system");
        QFile::link("/usr/share/mime", m_root + "/system/mime");
        entry("data", "roller", "Archive Manager", "file-roller %U",
              "MimeType=application/x-stuffit;\n");
        entry("data", "hidden", "Hidden Tool", "hidden %f", "Hidden=true\n");
        entry("data", "absent", "Absent Tool", "absent %f", "TryExec=no-such-program\n");
        entry("system", "viewer", "Image Viewer", "/opt/viewer \"--title=%c\" %i --file=%f",
              "MimeType=image/png;\n");
    }
    void TearDown() override {
        const char* names[] = {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME",
                               "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP"};
        for (int i = 0; i < 5; ++i)
            qputenv(names[i], m_saved[i]);
    }

    void entry(const QString& where, const QString& id, const QString& name, const QString& exec,
               const QString& extra = QString()) {
        writeFile(m_root + '/' + where + "/applications/" + id + ".desktop",
                  ("[Desktop Entry]\nType=Application\nName=" + name + "\nName[de]=Anders\nExec=" +
                   exec + '\n' + extra + "[Desktop Action x]\nExec=wrong\n")
                      .toUtf8());
    }
    QStringList command(const std::optional<DesktopApplications::Application>& app,
                        const QString& file) {
        return app ? DesktopApplications::commandLine(*app, file) : QStringList{"<none>"};
    }

    QString m_root;
    QList<QByteArray> m_saved;
};

} // namespace

TEST_F(DesktopApplicationsTest, ProgramsAreFoundByEntryNameOrExecutable) {
    EXPECT_EQ(command(DesktopApplications::find("roller"), "/a b.sit"),
              QStringList({"file-roller", "file:///a%20b.sit"}));
    EXPECT_EQ(command(DesktopApplications::find("archive manager.app"), "/x.sit"),
              QStringList({"file-roller", "file:///x.sit"}));
    EXPECT_EQ(command(DesktopApplications::find("Image Viewer"), "/p.png"),
              QStringList({"/opt/viewer", "--title=Image Viewer", "--file=/p.png"}));
    EXPECT_EQ(command(DesktopApplications::find("sh"), "/x"),
              QStringList({QStandardPaths::findExecutable("sh"), "/x"}));
    EXPECT_FALSE(DesktopApplications::find("Hidden Tool"));
    EXPECT_FALSE(DesktopApplications::find("Absent Tool"));
    EXPECT_FALSE(DesktopApplications::find("no-such-program"));
    EXPECT_EQ(DesktopApplications::splitExec(R"(a "b c" "d\"e\\f" "" g)"),
              QStringList({"a", "b c", "d\"e\\f", "", "g"}));
}

TEST_F(DesktopApplicationsTest,
       UnarElseTheDefaultApplicationOfTheFilesTypeStandsInForStuffitExpander) {
    writeFile(m_root + "/data/x.sit", "SIT!\0\0\0\0rLau");
    writeFile(m_root + "/data/unknown.bin", QByteArray(64, '\x01'));
    const QByteArray path = qgetenv("PATH");
    writeExecutable(m_root + "/bin/unar", "#!/bin/sh\n");
    qputenv("PATH", QFile::encodeName(m_root + "/bin"));
    EXPECT_EQ(
        command(DesktopApplications::forRule("Stuffit Expander", m_root + "/data/x.sit"), "/f"),
        QStringList({m_root + "/bin/unar", "-r", "-o", m_root + "/data", "/f"}));

    qputenv("PATH", QFile::encodeName(m_root + "/no-programs"));
    EXPECT_EQ(
        command(DesktopApplications::forRule("Stuffit Expander", m_root + "/data/x.sit"), "/f"),
        QStringList({"file-roller", "file:///f"}));

    entry("data", "expander", "Other Expander", "expander %f");
    writeFile(m_root + "/config/test-mimeapps.list",
              "[Added Associations]\napplication/x-stuffit=roller.desktop;\n"
              "[Default Applications]\napplication/x-stuffit=gone.desktop;expander.desktop;\n");
    EXPECT_EQ(
        command(DesktopApplications::forRule("Stuffit Expander.app", m_root + "/data/x.sit"), "/f"),
        QStringList({"expander", "/f"}));
    EXPECT_FALSE(DesktopApplications::forRule("Stuffit Expander", m_root + "/data/unknown.bin"));
    EXPECT_FALSE(DesktopApplications::forRule("Other Program", m_root + "/data/x.sit"));
    EXPECT_EQ(DesktopApplications::executablePath(*DesktopApplications::find("roller")), QString());
    qputenv("PATH", path);
}
