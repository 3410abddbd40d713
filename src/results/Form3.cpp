#include "results/Form3.h"

#include "engine/results/CsvFile.h"
#include "results/StoredPoints.h"
#include "shell/Module1.h"
#include "toolkit/FolderMessages.h"

namespace vastrel::results {

Form3::Form3(shell::Module1& module)
    : tk::Form(QStringLiteral(" Data Save"), QSize(572, 643), Placement::SystemDefault, true), module_(module)
{
    createControls();
    setTabOrder();
    connectHandlers();
    Dir2->setPath(Drive2->Drive());
    File2->setPath(Dir2->Path());
    Command6->setFocus();
}

void Form3::connectHandlers()
{
    connect(this, &tk::Form::Unload, this, &Form3::Hide);
    connect(Drive2, &tk::DriveListBox::Change, this, &Form3::Drive2_Change);
    connect(Dir2, &tk::DirListBox::Change, this, &Form3::Dir2_Change);
    connect(Dir2, &tk::DirListBox::PathRefused, this, &Form3::Dir2_PathRefused);
    connect(Command6, &tk::CommandButton::Click, this, &Form3::Command6_Click);
    connect(Command1, &tk::CommandButton::Click, this, &Form3::Command1_Click);
}

void Form3::Drive2_Change()
{
    const QString target = Drive2->Drive();
    if (!Dir2->setPath(target)) {
        tk::reportCannotOpenFolder(module_.platform(), target, tk::kDriveUnreadable);
        // The boxes keep showing the folder the next file would go to.
        Drive2->setDriveOf(Dir2->Path());
    }
}

void Form3::Dir2_Change()
{
    if (!File2->setPath(Dir2->Path()))
        tk::reportCannotOpenFolder(module_.platform(), Dir2->Path(), tk::kFileListUnreadable);
}

void Form3::Dir2_PathRefused(const QString& path, const QString& reason)
{
    tk::reportCannotOpenFolder(module_.platform(), path, reason);
}

void Form3::Command6_Click()
{
    tk::Platform& platform = module_.platform();
    if (Text9->Text().isEmpty()) {
        platform.MsgBox(QStringLiteral("ファイル名を入力して下さい"), tk::kExclamationMessage);
        return;
    }
    if (allSeries_) {
        writeAllSeries();
        return;
    }

    reportSave(writeCsvFile(Dir2->Path(), Text9->Text(), storedPoints(module_)));
}

void Form3::reportSave(const CsvFileOutcome& outcome)
{
    tk::Platform& platform = module_.platform();
    if (!outcome.saved()) {
        // The dialog stays open so that another folder or name can be chosen.
        platform.MsgBox(
            QStringLiteral(" --- ファイルを保存できません --- \n\n%1\n%2").arg(outcome.path, outcome.failure),
            tk::kExclamationMessage);
        return;
    }
    platform.DoEvents();
    platform.MsgBox(QStringLiteral(" データは保存されました "), tk::kPlainMessage);
    Hide();
}

void Form3::Command1_Click()
{
    Hide();
}

}  // namespace vastrel::results
