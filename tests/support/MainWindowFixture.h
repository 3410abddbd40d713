#pragma once
// A main window started in a temporary folder, with messages recorded.

#include "RecordingPlatform.h"
#include "shell/Form1.h"
#include "shell/Module1.h"
#include "toolkit/Fonts.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace vastrel::testing {

class MainWindowFixture {
public:
    // `prepareFolder` fills the start folder before the window reads it.
    template <class Prepare>
    explicit MainWindowFixture(Prepare prepareFolder)
    {
        tk::installFontSubstitutes();
        previousFolder_ = QDir::currentPath();
        prepareFolder(folder());
        QDir::setCurrent(root_.path());
        module = std::make_unique<shell::Module1>(platform);
        form = std::make_unique<shell::Form1>(*module);
    }
    MainWindowFixture() : MainWindowFixture([](const QDir&) {}) {}
    ~MainWindowFixture()
    {
        form.reset();
        module.reset();
        QDir::setCurrent(previousFolder_);
    }

    QDir folder() const { return QDir(root_.path()); }
    QString path(const QString& name) const { return root_.filePath(name); }

    bool show()
    {
        form->Show();
        return QTest::qWaitForWindowActive(form.get());
    }

    // Presses a mouse button over the image area at drawing-area pixel (x, y).
    void pressOnPicture(int x, int y, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mousePress(form->Picture1, button, modifiers, form->Picture1->contentsRect().topLeft() + QPoint(x, y));
        QTest::mouseRelease(form->Picture1, button, modifiers, form->Picture1->contentsRect().topLeft() + QPoint(x, y));
    }
    void moveOverPicture(int x, int y)
    {
        QTest::mouseMove(form->Picture1, form->Picture1->contentsRect().topLeft() + QPoint(x, y));
    }

    // Selects a listed file with the mouse, as a user would.
    bool clickFile(const QString& name)
    {
        const auto found = form->File1->findItems(name, Qt::MatchExactly);
        if (found.size() != 1) return false;
        const QRect row = form->File1->visualItemRect(found.first());
        QTest::mouseClick(form->File1->viewport(), Qt::LeftButton, {}, row.center());
        return form->File1->FileName() == name;
    }

    RecordingPlatform platform;
    std::unique_ptr<shell::Module1> module;
    std::unique_ptr<shell::Form1> form;

private:
    QTemporaryDir root_;
    QString previousFolder_;
};

inline QImage filledImage(QSize size, QColor colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    image.fill(colour);
    return image;
}

}  // namespace vastrel::testing
