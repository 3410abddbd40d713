// Drives the drive, directory and file boxes with real mouse and key events
// over a scratch folder tree.

#include "toolkit/DirListBox.h"
#include "toolkit/DriveListBox.h"
#include "toolkit/FileListBox.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace vastrel::tk;

namespace {

QStringList rowTexts(const QListWidget& list)
{
    QStringList texts;
    for (int row = 0; row < list.count(); ++row) texts.append(list.item(row)->text());
    return texts;
}

QPoint centreOfRow(const QListWidget& list, const QString& text)
{
    const QList<QListWidgetItem*> found = list.findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? QPoint() : list.visualItemRect(found.first()).center();
}

void clickRow(QListWidget& list, const QString& text)
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centreOfRow(list, text));
}

// A user's double-click arrives as a click followed by the double-click event.
void doubleClickRow(QListWidget& list, const QString& text)
{
    clickRow(list, text);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centreOfRow(list, text));
}

bool shown(QWidget& widget)
{
    widget.show();
    return QTest::qWaitForWindowExposed(&widget);
}

}  // namespace

class FileBoxesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fileBoxListsMatchingFilesOnly();
    void fileBoxRaisesClickOnlyForUserSelection();
    void fileBoxDownWithNothingSelectedTakesTheFirstFile();

    void dirBoxOpensRowsByDoubleClickOrEnter();
    void dirBoxRefusesFoldersItCannotList();

    void driveBoxDriveFollowsCurrentDirectory();
    void driveBoxRaisesChangeOnlyForUserPicks();

private:
    QString path(const char* name) const { return m_root + QLatin1Char('/') + QLatin1String(name); }
    void touch(const char* name) const { QVERIFY(QFile(path(name)).open(QIODevice::WriteOnly)); }
    void showImages(FileListBox& box) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
    QString m_startDir = QDir::currentPath();
    QByteArray m_home = qgetenv("HOME");
};

void FileBoxesTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = QDir(m_dir->path()).canonicalPath();
    for (const char* name : {"a.jpg", "B.BMP", "c.Gif", "d.tif", "e.png", "notes.txt", ".hidden.jpg"}) touch(name);
    for (const char* folder : {"sub/Beta", "sub/alpha", ".git"}) QVERIFY(QDir(m_root).mkpath(QLatin1String(folder)));
    touch("sub/z.jpg");
    // A home folder of our own makes the drive box hold at least two entries.
    qputenv("HOME", m_root.toUtf8());
}

void FileBoxesTest::cleanup()
{
    QDir::setCurrent(m_startDir);
    qputenv("HOME", m_home);
    m_dir.reset();
}

void FileBoxesTest::showImages(FileListBox& box) const
{
    box.setPattern(QStringLiteral("*.jpg;*.bmp;*.gif;*.tif"));
    QVERIFY(box.setPath(m_root));
    QVERIFY(shown(box));
}

void FileBoxesTest::fileBoxListsMatchingFilesOnly()
{
    FileListBox box;
    showImages(box);
    QCOMPARE(rowTexts(box), (QStringList{"a.jpg", "B.BMP", "c.Gif", "d.tif"}));
    QCOMPARE(box.FileName(), QString());

    QVERIFY(QDir(m_root).mkdir(QStringLiteral("gone")));
    QVERIFY(QDir(path("gone")).removeRecursively());
    QVERIFY(!box.setPath(path("gone")));
    QVERIFY(!box.setPath(path("a.jpg")));
    QCOMPARE(box.Path(), m_root);
    QCOMPARE(rowTexts(box).size(), 4);

    touch("data.csv");
    touch("OLD.CSV");
    box.setPattern(QStringLiteral("*.csv"));
    QCOMPARE(rowTexts(box), (QStringList{"data.csv", "OLD.CSV"}));
}

void FileBoxesTest::fileBoxRaisesClickOnlyForUserSelection()
{
    FileListBox box;
    showImages(box);
    QSignalSpy clicks(&box, &FileListBox::Click);

    clickRow(box, QStringLiteral("B.BMP"));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(box.FileName(), QStringLiteral("B.BMP"));

    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(box.FileName(), QStringLiteral("c.Gif"));

    touch("A2.JPG");
    box.Refresh();
    QCOMPARE(rowTexts(box), (QStringList{"a.jpg", "A2.JPG", "B.BMP", "c.Gif", "d.tif"}));
    QCOMPARE(box.FileName(), QStringLiteral("c.Gif"));

    QTest::keyClick(&box, Qt::Key_End);
    QCOMPARE(clicks.count(), 3);
    QCOMPARE(box.FileName(), QStringLiteral("d.tif"));

    QVERIFY(QFile::remove(path("d.tif")));
    box.Refresh();
    QCOMPARE(box.FileName(), QString());

    clickRow(box, QStringLiteral("a.jpg"));
    QVERIFY(box.setPath(path("sub")));
    QCOMPARE(rowTexts(box), QStringList{"z.jpg"});
    QCOMPARE(box.FileName(), QString());
    QCOMPARE(clicks.count(), 4);
}

void FileBoxesTest::fileBoxDownWithNothingSelectedTakesTheFirstFile()
{
    FileListBox box;
    showImages(box);
    box.activateWindow();
    box.setFocus();
    QTRY_VERIFY(box.hasFocus());
    QSignalSpy clicks(&box, &FileListBox::Click);

    QCOMPARE(box.FileName(), QString());
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.FileName(), QStringLiteral("a.jpg"));
    QCOMPARE(clicks.count(), 1);
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.FileName(), QStringLiteral("B.BMP"));
    QCOMPARE(clicks.count(), 2);

    // The selected file gone, the box keeps its place but selects nothing.
    QTest::keyClick(&box, Qt::Key_End);
    QVERIFY(QFile::remove(path("d.tif")));
    box.Refresh();
    QCOMPARE(box.FileName(), QString());
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.FileName(), QStringLiteral("a.jpg"));
    QCOMPARE(clicks.count(), 4);
}

void FileBoxesTest::dirBoxOpensRowsByDoubleClickOrEnter()
{
    DirListBox box;
    QVERIFY(box.setPath(m_root + QStringLiteral("/sub/..")));
    QVERIFY(shown(box));
    QSignalSpy changes(&box, &DirListBox::Change);

    const QStringList chain = QStringList{"/"} + m_root.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QCOMPARE(box.Path(), m_root);
    QCOMPARE(rowTexts(box), chain + QStringList{"sub"});
    QVERIFY(box.item(int(chain.size()) - 1)->isSelected());

    clickRow(box, QStringLiteral("sub"));
    QCOMPARE(changes.count(), 0);
    doubleClickRow(box, QStringLiteral("sub"));
    QCOMPARE(box.Path(), path("sub"));
    QCOMPARE(rowTexts(box), (chain + QStringList{"sub", "alpha", "Beta"}));
    QCOMPARE(changes.count(), 1);

    clickRow(box, QStringLiteral("alpha"));
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(box.Path(), path("sub/alpha"));
    QCOMPARE(changes.count(), 2);

    QVERIFY(box.setPath(path("sub/alpha")));
    QCOMPARE(changes.count(), 2);
}

void FileBoxesTest::dirBoxRefusesFoldersItCannotList()
{
    DirListBox box;
    QVERIFY(box.setPath(m_root));
    QVERIFY(shown(box));
    QSignalSpy changes(&box, &DirListBox::Change);
    QSignalSpy refusals(&box, &DirListBox::PathRefused);

    QVERIFY(!box.setPath(path("missing")));
    QVERIFY(!box.setPath(path("a.jpg")));
    QCOMPARE(box.Path(), m_root);

    const QStringList listed = rowTexts(box);
    QVERIFY(QDir(path("sub")).removeRecursively());
    doubleClickRow(box, QStringLiteral("sub"));
    QCOMPARE(refusals.count(), 1);
    QCOMPARE(refusals.first().at(0).toString(), path("sub"));
    QVERIFY(!refusals.first().at(1).toString().isEmpty());
    QCOMPARE(box.Path(), m_root);
    QCOMPARE(rowTexts(box), listed);
    QCOMPARE(changes.count(), 0);
}

void FileBoxesTest::driveBoxDriveFollowsCurrentDirectory()
{
    QVERIFY(QDir::setCurrent(path("sub")));
    DriveListBox box;
    QCOMPARE(box.itemText(0), QStringLiteral("/"));
    QCOMPARE(box.currentIndex(), box.findData(m_root));
    QCOMPARE(box.Drive(), QDir::currentPath());

    box.setDriveOf(QStringLiteral("/"));
    QCOMPARE(box.Drive(), QStringLiteral("/"));

    box.setDriveOf(path("sub/alpha"));
    QCOMPARE(box.Drive(), QDir::currentPath());
}

void FileBoxesTest::driveBoxRaisesChangeOnlyForUserPicks()
{
    DriveListBox box;
    QVERIFY(shown(box));
    QSignalSpy changes(&box, &DriveListBox::Change);

    box.setDriveOf(m_root);
    box.setDriveOf(QStringLiteral("/"));
    QCOMPARE(box.currentIndex(), 0);
    QCOMPARE(changes.count(), 0);

    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.currentIndex(), 1);
    QCOMPARE(changes.count(), 1);

    box.refreshDrives();
    QCOMPARE(box.currentIndex(), 1);
    QTest::keyClick(&box, Qt::Key_Home);
    QCOMPARE(box.currentIndex(), 0);
    QCOMPARE(changes.count(), 2);
}

QTEST_MAIN(FileBoxesTest)
#include "file_boxes_test.moc"
