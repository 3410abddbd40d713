// The save dialog: its folder boxes, the saved bytes, and every way a save
// can be refused or fail without losing data.

#include "MainWindowFixture.h"
#include "results/Form2.h"
#include "results/Form3.h"

#include <QApplication>
#include <QFile>

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

const QByteArray kSavedBytes = "X, Y\r\n1.235E+03, 1.200E-03\r\n-5.270E+01, 0.000E+00\r\n1.000E+00, 1.000E+01\r\n";
const QByteArray kOldBytes =
    "an older file, longer than the one saved over it, whose every byte must survive a failed save\r\n";
const QString kCannotSave = QStringLiteral(" --- ファイルを保存できません --- \n\n");

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void prepareFolder(const QDir& folder)
{
    writeFile(folder.filePath("a.csv"), kOldBytes);
    writeFile(folder.filePath("b.txt"), "x");
    folder.mkdir("sub");
    writeFile(folder.filePath("sub/inner.csv"), kOldBytes);
}

// Three points as Digitize left them, a stale fourth row from an earlier
// run, and the dialog opened through the result window.
results::Form3& openDialog(MainWindowFixture& app)
{
    const double rows[][2] = {{1234.56, 0.0012}, {-52.7, 0.0}, {1.0, 9.9996}, {7.0, 7.0}};
    for (int i = 1; i <= 4; ++i) {
        app.module->DigitizedPoints(i).X = rows[i - 1][0];
        app.module->DigitizedPoints(i).Y = rows[i - 1][1];
    }
    app.module->PointCount = 3;
    app.module->form2().Command6->click();
    return app.module->form3();
}

}  // namespace

class SaveDialogTest : public QObject {
    Q_OBJECT
private slots:
    void boxesStartInTheCurrentFolderAndFollowTheChoice()
    {
        MainWindowFixture app(prepareFolder);
        results::Form3& dialog = openDialog(app);
        QCOMPARE(dialog.Dir2->Path(), QDir::cleanPath(app.folder().absolutePath()));
        QCOMPARE(dialog.File2->Path(), dialog.Dir2->Path());
        QCOMPARE(dialog.File2->count(), 1);
        QCOMPARE(dialog.File2->item(0)->text(), QString("a.csv"));
        QVERIFY(dialog.Dir2->setPath(app.path("sub")));
        QCOMPARE(dialog.File2->Path(), dialog.Dir2->Path());
        QCOMPARE(dialog.File2->item(0)->text(), QString("inner.csv"));

        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.Command6));
    }

    void saveWritesTheFileThenConfirmsThenHides_data()
    {
        QTest::addColumn<QString>("typed");  // null: the preset date
        QTest::addColumn<QString>("file");
        QTest::newRow("the preset date") << QString() << "12-06-2026.csv";
        QTest::newRow("three blanks") << "   "
                                      << "   .csv";
        QTest::newRow("an extension of its own") << "data.csv"
                                                 << "data.csv.csv";
        QTest::newRow("an existing, longer file") << "a"
                                                  << "a.csv";
    }

    void saveWritesTheFileThenConfirmsThenHides()
    {
        QFETCH(QString, typed);
        QFETCH(QString, file);
        MainWindowFixture app(prepareFolder);
        results::Form3& dialog = openDialog(app);
        if (!typed.isNull()) dialog.Text9->setText(typed);
        bool shownDuringMessage = false;
        int yieldsBeforeMessage = -1;
        const int yieldsAtStart = app.platform.yields;
        app.platform.whileMessageShown = [&](const QString&) {
            shownDuringMessage = dialog.isVisible();
            yieldsBeforeMessage = app.platform.yields - yieldsAtStart;
        };
        dialog.Command6->click();

        QCOMPARE(contents(app.path(file)), kSavedBytes);
        QCOMPARE(app.platform.texts(), QStringList{" データは保存されました "});
        QCOMPARE(app.platform.messages[0].style, tk::kPlainMessage);
        QVERIFY(shownDuringMessage);
        QCOMPARE(yieldsBeforeMessage, 1);
        QVERIFY(!dialog.isVisible());
    }

    void emptyNameIsRefused()
    {
        MainWindowFixture app;
        results::Form3& dialog = openDialog(app);
        const QStringList before = app.folder().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        dialog.Text9->clear();
        dialog.Command6->click();
        QCOMPARE(app.platform.texts(), QStringList{"ファイル名を入力して下さい"});
        QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
        QCOMPARE(app.folder().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QVERIFY(dialog.isVisible());
    }

    void failedSaveIsReportedAndLosesNothing_data()
    {
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");  // must stay byte for byte; empty: nothing may appear at the target
        QTest::addColumn<QString>("reason");
        QTest::newRow("name leaving the folder") << ""
                                                 << "../a"
                                                 << "a.csv"
                                                 << "ファイル名に「/」は使えません";
        QTest::newRow("name through a folder") << ""
                                               << "../sub/inner"
                                               << "sub/inner.csv"
                                               << "ファイル名に「/」は使えません";
        // The system would cut the name at the NUL and replace the file "kept".
        QTest::newRow("name with a NUL") << "nul" << QString("kept") + QChar(u'\0') + "x"
                                         << "sub/kept"
                                         << "ファイル名に NUL 文字は使えません";
        QTest::newRow("folder removed after it was chosen") << "removed"
                                                            << "out"
                                                            << ""
                                                            << "保存先のフォルダーがありません";
        QTest::newRow("target name is a folder") << "folder"
                                                 << "out"
                                                 << "sub/out.csv/kept.txt"
                                                 << "同じ名前のフォルダーがあります";
        QTest::newRow("folder replaced by a plain file") << "plain"
                                                         << "out"
                                                         << "sub"
                                                         << "保存先はフォルダーではありません";
    }

    void failedSaveIsReportedAndLosesNothing()
    {
        QFETCH(QString, breakage);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(QString, reason);
        MainWindowFixture app(prepareFolder);
        results::Form3& dialog = openDialog(app);
        QVERIFY(dialog.Dir2->setPath(app.path("sub")));
        dialog.Text9->setText(typed);
        if (!breakage.isEmpty() && breakage != "nul") QVERIFY(QDir(app.path("sub")).removeRecursively());
        if (breakage == "folder") QVERIFY(app.folder().mkpath("sub/out.csv") && writeFile(app.path(kept), kOldBytes));
        if (breakage == "plain") QVERIFY(writeFile(app.path("sub"), kOldBytes));
        if (breakage == "nul") QVERIFY(writeFile(app.path(kept), kOldBytes));
        const QString target = dialog.Dir2->Path() + "/" + typed + ".csv";

        dialog.Command6->click();
        if (kept.isEmpty())
            QVERIFY(!QFileInfo::exists(target));
        else
            QCOMPARE(contents(app.path(kept)), kOldBytes);
        if (breakage == "folder")
            QCOMPARE(QDir(app.path("sub")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                     QStringList{"out.csv"});
        QCOMPARE(app.platform.messages.size(), 1);
        const QString message = app.platform.messages[0].text;
        QVERIFY2(message.startsWith(kCannotSave + target + "\n" + reason), qPrintable(message));
        QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(SaveDialogTest)
#include "save_dialog_test.moc"
