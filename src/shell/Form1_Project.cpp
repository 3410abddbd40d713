// "プロジェクトを保存" and "プロジェクトを開く": the whole set-up of a graph
// kept in a project file and brought back from one. A project that cannot be
// read changes nothing; an image that is missing or whose bytes changed is
// said so, and the user may choose it again.

#include "digitize/ShowDigitizedResult.h"
#include "engine/image/FileDigest.h"
#include "engine/project/ProjectFile.h"
#include "engine/results/WholeFile.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vastrel::shell {

namespace {

const QString kProjectFilter = QStringLiteral("プロジェクト (*.vdproj)");
const QString kImageFilter = QStringLiteral("画像 (*.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff)");
const QString kProgram = QStringLiteral("vastrel-digitizer " VASTREL_VERSION);

// The image's path as the project keeps it: relative where the image lies in
// the project's folder or below, so that both can move together.
QString keptImagePath(const QString& image, const QDir& folder)
{
    if (image.isEmpty()) return {};
    const QString relative = folder.relativeFilePath(image);
    return relative.startsWith(QLatin1String("../")) ? QFileInfo(image).absoluteFilePath() : relative;
}

}  // namespace

project::Project Form1::currentProject(const QDir& folder) const
{
    project::Project p;
    p.imagePath = keptImagePath(module_.imagePath, folder);
    p.imageSha256 = module_.imageSha256;
    if (module_.StartPixelX.isSet() && module_.StartPixelY.isSet())
        p.start = project::PickedPixel{module_.StartPixelX, module_.StartPixelY};
    if (module_.EndPixelX.isSet() && module_.EndPixelY.isSet())
        p.end = project::PickedPixel{module_.EndPixelX, module_.EndPixelY};
    p.texts = {Text1->Text(), Text2->Text(), Text3->Text(), Text4->Text()};
    for (const AddedReference& r : module_.addedReferences) p.more.push_back({{r.x, r.y}, r.typedX, r.typedY, r.found});
    const auto mode = static_cast<digitize::ScaleMode>(static_cast<std::int16_t>(module_.AxisScaleMode));
    p.mode = project::modeNamed(project::modeName(mode)).value_or(digitize::ScaleMode::LinearLinear);
    p.erasures = erasures_;
    p.colour = module_.curveColour;
    p.series = module_.series.all();
    return p;
}

void Form1::saveProject()
{
    if (Picture1->Picture().isNull() || module_.imageSha256.isEmpty()) {
        module_.platform().MsgBox(QStringLiteral(" --- 画像を開いてからプロジェクトを保存して下さい --- "),
                                  tk::kExclamationMessage);
        return;
    }
    QString start = projectPath_;
    if (start.isEmpty() && !module_.imagePath.isEmpty()) {
        const QFileInfo image(module_.imagePath);
        start = image.dir().filePath(image.completeBaseName() + QStringLiteral(".vdproj"));
    }
    const QString path = module_.platform().saveFileName(QStringLiteral("プロジェクトを保存"), start, kProjectFilter);
    if (!path.isEmpty()) saveProjectTo(path);
}

bool Form1::saveProjectTo(QString path)
{
    if (!path.endsWith(QLatin1String(".vdproj"))) path += QStringLiteral(".vdproj");
    const QByteArray bytes = project::projectJson(currentProject(QFileInfo(path).absoluteDir()), kProgram);
    if (const auto failure = results::writeWholeFile(path, std::string_view(bytes.constData(), size_t(bytes.size())))) {
        module_.platform().MsgBox(
            QStringLiteral(" --- プロジェクトを保存できません --- \n\n%1\n%2").arg(path, *failure),
            tk::kExclamationMessage);
        return false;
    }
    projectPath_ = path;
    module_.platform().MsgBox(QStringLiteral(" プロジェクトは保存されました "));
    return true;
}

void Form1::openProject()
{
    const QString path = module_.platform().openFileName(
        QStringLiteral("プロジェクトを開く"), projectPath_.isEmpty() ? Dir1->Path() : projectPath_, kProjectFilter);
    if (!path.isEmpty()) openProjectFile(path);
}

bool Form1::openProjectFile(const QString& path)
{
    tk::Platform& platform = module_.platform();
    const auto refuse = [&](const QString& reason) {
        platform.MsgBox(QStringLiteral(" --- プロジェクトを開けません --- \n\n%1\n%2").arg(path, reason),
                        tk::kExclamationMessage);
        return false;
    };
    const QFileInfo info(path);
    // A pipe or a device could hold anything, or never end.
    if (!info.isFile()) return refuse(QStringLiteral("ファイルではありません"));
    if (info.size() > project::kMaxProjectBytes) return refuse(QStringLiteral("ファイルが大きすぎます"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return refuse(file.errorString());
    const QByteArray bytes = file.read(project::kMaxProjectBytes + 1);
    const project::ProjectReading reading = project::readProject(bytes);
    if (!reading.project) return refuse(reading.refusal);
    const project::Project& p = *reading.project;

    QString image = p.imagePath.isEmpty() ? QString() : info.absoluteDir().absoluteFilePath(p.imagePath);
    const std::optional<QString> sha = image.isEmpty() ? std::nullopt : image::sha256OfFile(image);
    if (sha != p.imageSha256) {
        const QString what = image.isEmpty() ? QStringLiteral("(貼り付けた画像)") : image;
        platform.MsgBox((sha ? QStringLiteral(" --- プロジェクトの画像が保存したときと変わっています --- \n\n%1\n")
                             : QStringLiteral(" --- プロジェクトの画像が見つかりません --- \n\n%1\n"))
                                .arg(what) +
                            QStringLiteral("画像を選び直して下さい"),
                        tk::kExclamationMessage);
        image = platform.openFileName(QStringLiteral("プロジェクトの画像を選ぶ"), info.absolutePath(), kImageFilter);
        if (image.isEmpty()) return false;
    }
    const int loadsBefore = imageLoads_;
    loadImageFile(image);
    if (imageLoads_ == loadsBefore) return false;  // told why, and the picture shown stays
    applyProject(p);
    projectPath_ = path;
    return true;
}

void Form1::applyProject(const project::Project& p)
{
    for (const QRect& r : p.erasures)
        Picture1->changePicture([&](QImage& area) {
            const QRect painted = eraseHistory_.erase(area, r);
            if (!painted.isEmpty()) recordErasure(painted);
            return painted;
        });
    const std::pair<tk::LineControl*, tk::LineControl*> marks[] = {{Line1, Line2}, {Line3, Line4}};
    const std::optional<project::PickedPixel> picks[] = {p.start, p.end};
    for (int which = 0; which < 2; ++which) {
        if (picks[which]) {
            placePick(which + 1, float(picks[which]->column), float(picks[which]->row));
            continue;
        }
        (which == 0 ? module_.StartPixelX : module_.EndPixelX) = Unset<float>();
        (which == 0 ? module_.StartPixelY : module_.EndPixelY) = Unset<float>();
        for (tk::Label* label : {which == 0 ? Label11 : Label13, which == 0 ? Label12 : Label14})
            label->setCaption(QString());
        marks[which].first->setVisible(false);
        marks[which].second->setVisible(false);
    }
    const std::array<tk::TextBox*, 4> boxes{Text1, Text2, Text3, Text4};
    for (std::size_t i = 0; i < boxes.size(); ++i) boxes[i]->setText(p.texts[i]);
    const std::array<tk::OptionButton*, 4> options{Option1, Option2, Option3, Option4};
    options[std::size_t(p.mode) - 1]->setValue(true);
    module_.AxisScaleMode = std::int16_t(p.mode);

    module_.addedReferences.clear();
    for (const project::ReferenceText& r : p.more)
        module_.addedReferences.push_back({r.at.column, r.at.row, r.x, r.y, r.found});
    module_.referencePickIndex.reset();
    showReferenceMarkers();
    referencesChanged();
    module_.curveColour = p.colour;
    showCurveColour();

    // The series as saved, with the references they were kept on.
    module_.series = {};
    module_.series.refs = typedReferences();
    module_.series.more = addedReferencePoints().value_or(std::vector<digitize::ReferencePoint>{});
    module_.series.kept = p.series;
    if (!p.series.empty()) {
        module_.DigitizedFlag = 1;
        digitize::ShowDigitizedResult(module_);
    }
}

}  // namespace vastrel::shell
