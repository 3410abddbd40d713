#pragma once
// A top-level window of fixed client size with a dialog frame: no minimise,
// no maximise, a close box. Hiding keeps the window and everything in it.

#include <QWidget>

namespace vastrel::tk {

class Form : public QWidget {
    Q_OBJECT
public:
    enum class Placement { CentreOnScreen, SystemDefault };

    Form(const QString& caption, QSize clientArea, Placement placement, bool inTaskBar);

    void Show();
    void Hide() { hide(); }

signals:
    // The user (or the system) closes the window through its frame.
    void Unload();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Placement placement_;
    bool placed_ = false;
};

// The icon of the program's windows, drawn in code.
QIcon applicationIcon();
QPixmap applicationPicture();

}  // namespace vastrel::tk
